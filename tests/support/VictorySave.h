#pragma once
// The sample battle of the winning script saved shortly before its victory, for the
// tests that draw or play the won battle's end. Playing up to the save takes a minute
// and more in the sanitizer build, so the savegame is kept in the build folder under a
// fingerprint of the battle driver, the sample data and the script: made once for all
// the tests of a build and again only when one of them changes. A lock has a test that
// comes while another makes it wait for that one. Header only.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/BattleDriverFolder.h"
#include "support/RunDunmarch.h"
#include "tools/catalogue/TestScripts.h"

namespace testsupport {

// The step of the save: after the script's last order (frame 14311), some two hundred
// steps before the battle is won (about 15800).
constexpr long kVictorySaveStep = 15600;

// FNV-1a over the bytes of the files, each after its name.
inline uint64_t FingerprintOf(const std::vector<std::filesystem::path>& files) {
    uint64_t hash = 14695981039346656037ull;
    const auto add = [&hash](const char* bytes, size_t n) {
        for (size_t i = 0; i < n; ++i) hash = (hash ^ uint8_t(bytes[i])) * 1099511628211ull;
    };
    std::vector<char> buffer(1 << 20);
    for (const std::filesystem::path& file : files) {
        const std::string name = file.string();
        add(name.c_str(), name.size() + 1);
        std::ifstream in(file, std::ios::binary);
        while (in.read(buffer.data(), std::streamsize(buffer.size())) || in.gcount() > 0)
            add(buffer.data(), size_t(in.gcount()));
    }
    return hash;
}

// The kept savegame's path, or "" with the failure added.
inline std::string VictorySavegame() {
    namespace fs = std::filesystem;
    namespace ts = catalogue::testscripts;
    const std::string game = BuildGameDir();
    const std::string script = std::string(ts::kFolder) + ts::kVictory;
    std::vector<fs::path> inputs = {game + "/dunmarch-battle", game + "/config.xml", game + "/" + script};
    for (const char* folder : {"/res-pc", "/res-common"})
        for (const fs::directory_entry& e :
             fs::recursive_directory_iterator(game + folder, fs::directory_options::follow_directory_symlink))
            if (e.is_regular_file()) inputs.push_back(e.path());
    std::sort(inputs.begin() + 3, inputs.end());
    char name[64];
    std::snprintf(name, sizeof name, "victory-%ld-%016llx.sav", kVictorySaveStep,
                  static_cast<unsigned long long>(FingerprintOf(inputs)));
    const fs::path cache = BuildDir() + "/test-cache";
    fs::create_directories(cache);
    const fs::path kept = cache / name;

    const int lock = open((cache / "victory.lock").c_str(), O_CREAT | O_RDWR, 0644);
    if (lock < 0 || flock(lock, LOCK_EX) != 0) {
        ADD_FAILURE() << "no lock in " << cache;
        if (lock >= 0) close(lock);
        return "";
    }
    std::string result = kept.string();
    if (!fs::exists(kept)) {
        const BattleDriverFolder folder;
        const std::string step = std::to_string(kVictorySaveStep);
        const ProgramResult saving = folder.Run("--save-at " + step + " --script " + script);
        if (saving.exitCode != 0 || Count(saving.output, "saved at step " + step + ",") != 1 ||
            !fs::exists(folder.File("savegame.dat"))) {
            ADD_FAILURE() << "the battle driver saved no battle\n" << saving.output;
            result.clear();
        } else {
            // Older fingerprints go; the new one comes whole or not at all.
            std::vector<fs::path> old;
            for (const fs::directory_entry& e : fs::directory_iterator(cache))
                if (e.path().extension() == ".sav") old.push_back(e.path());
            for (const fs::path& file : old) fs::remove(file);
            fs::copy_file(folder.File("savegame.dat"), kept.string() + ".new", fs::copy_options::overwrite_existing);
            fs::rename(kept.string() + ".new", kept);
        }
    }
    flock(lock, LOCK_UN);
    close(lock);
    return result;
}

}  // namespace testsupport
