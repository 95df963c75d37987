#pragma once
// The sample battle of the winning script, played once to its end and saved shortly
// before its victory, for the tests that check the whole battle and those that draw or
// play the won battle's end. The run takes most of a minute in the sanitizer build, so
// its output and its savegame are kept in the build folder under a fingerprint of the
// battle driver, the sample data and the script: made once for all the tests of a
// build and again only when one of them changes. A lock has a test that comes while
// another makes them wait for that one. Header only.
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

// The winning script's battle played to its end with --trace, saved on the way at
// kVictorySaveStep: its output and its savegame, kept files both.
struct VictoryRun {
    std::string savegame;  // path; "" with the failure added
    std::string output;    // path of the driver's output
};

inline VictoryRun TheVictoryRun() {
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
    std::snprintf(name, sizeof name, "victory-%ld-%016llx", kVictorySaveStep,
                  static_cast<unsigned long long>(FingerprintOf(inputs)));
    const fs::path cache = BuildDir() + "/test-cache";
    fs::create_directories(cache);
    const fs::path kept = cache / (std::string(name) + ".sav");
    const fs::path output = cache / (std::string(name) + ".out");

    const int lock = open((cache / "victory.lock").c_str(), O_CREAT | O_RDWR, 0644);
    if (lock < 0 || flock(lock, LOCK_EX) != 0) {
        ADD_FAILURE() << "no lock in " << cache;
        if (lock >= 0) close(lock);
        return {};
    }
    VictoryRun result{kept.string(), output.string()};
    if (!fs::exists(kept) || !fs::exists(output)) {
        const BattleDriverFolder folder;
        const std::string step = std::to_string(kVictorySaveStep);
        const ProgramResult run = folder.Run("--until-end --trace --save-at " + step + " --script " + script);
        if (run.exitCode != 0 || Count(run.output, "saved at step " + step + ",") != 1 ||
            !fs::exists(folder.File("savegame.dat"))) {
            ADD_FAILURE() << "the battle driver saved no battle\n"
                          << run.output.substr(run.output.size() - std::min<size_t>(run.output.size(), 4000));
            result = {};
        } else {
            // Older fingerprints go; the new ones come whole or not at all.
            std::vector<fs::path> old;
            for (const fs::directory_entry& e : fs::directory_iterator(cache))
                if (e.path().extension() == ".sav" || e.path().extension() == ".out") old.push_back(e.path());
            for (const fs::path& file : old) fs::remove(file);
            std::ofstream(output.string() + ".new", std::ios::binary) << run.output;
            fs::rename(output.string() + ".new", output);
            fs::copy_file(folder.File("savegame.dat"), kept.string() + ".new", fs::copy_options::overwrite_existing);
            fs::rename(kept.string() + ".new", kept);
        }
    }
    flock(lock, LOCK_UN);
    close(lock);
    return result;
}

// The kept savegame's path, or "" with the failure added.
inline std::string VictorySavegame() { return TheVictoryRun().savegame; }

}  // namespace testsupport
