// Damaged files in the real game: one file the game reads, from its data folder
// or the user's, is truncated, emptied or filled with noise in a game folder of
// the test's own, and dunmarch runs headless to the main menu. The game either
// reaches the menu or, for data it cannot do without, refuses with a message
// and a failing exit; it never crashes, never names the sanitizer, keeps every
// other user file as it was and writes nothing over the damaged one.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "App/LayoutClicks.h"
#include "GameFolder.h"
#include "support/RunDunmarch.h"
#include "support/ScratchDir.h"
#include "tools/catalogue/Layouts.h"

namespace {

namespace fs = std::filesystem;
using testsupport::Count;
namespace layouts = catalogue::layouts;

using testsupport::BuildDir;

enum class Damage { Truncated, Emptied, Noise };
enum class Outcome { Starts, StartsOrRefuses, Refuses };

struct Case {
    const char* name;  // the test's name
    const char* file;  // under the game folder, or "user/" for the per-user data folder
    Damage damage;
    Outcome outcome;
};

std::string Damaged(const std::string& good, Damage damage) {
    switch (damage) {
        case Damage::Truncated: return good.substr(0, good.size() / 2);
        case Damage::Emptied: return std::string();
        case Damage::Noise: {
            std::mt19937 random(54321);
            std::string noise(std::max<size_t>(good.size(), 64), '\0');
            for (char& c : noise) c = static_cast<char>(random());
            return noise;
        }
    }
    return good;
}

// The user's files before the run: the settings (English, no language window),
// a high-score table and a savegame the game would find, and a cached banner.
// The table and the savegame need not be well formed for this test: it only
// checks that they come out as they went in.
const std::map<std::string, std::string>& UserFiles() {
    static const std::map<std::string, std::string> files = {
        {"game/registry.ini", "LANGUAGE=0\nMUSIC_VOLUME=80\n"},
        {"game/highscores.dat", std::string("HSC\x01\x00\x00\x00", 7)},
        {"game/savegame.dat", std::string("SAV\xe8\x03\x00\x00\xe8\x03\x00\x00", 11)},
        {"user/Dunmarch_DATA/cache/banner.png", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(56, 'b')},
    };
    return files;
}

class DamagedFilesRunTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(gamefolder::Make(root_));
        fs::create_directories(root_.File("user/Dunmarch_DATA/cache"));
        for (const auto& [path, bytes] : UserFiles()) root_.Write(path, bytes);
    }

    // Esc cuts the intro short; without a language in the settings the
    // language window asks for one; "Start" is clicked until the main menu.
    void WriteScript(bool languageWindow) const {
        const std::string language = languageWindow
                                         ? "1 await state entered: LanguageWindow\n"
                                           "5 click " +
                                               layoutclicks::CentreOf(layouts::kLanguageWindow, "GERUnPressed") + "\n"
                                         : std::string();
        root_.Write("input.txt", "1 key Esc\n" + language +
                                     "6 await state entered: LoadingWindow\n"
                                     "7 await every 10 " +
                                     layoutclicks::CentreOf(layouts::kLoadingWindow, "Start") +
                                     " within 1500 state entered: MainWindow\n");
    }

    // The file becomes one of the test's own (the folders above it too, their
    // other entries staying links to the sample data) and takes the bytes.
    void Replace(const std::string& file, const std::string& bytes) {
        fs::path at = root_.Folder();
        const fs::path relative(file);
        for (auto part = relative.begin(); part != relative.end(); ++part) {
            at /= *part;
            if (std::next(part) == relative.end()) break;
            if (!fs::is_symlink(at)) continue;
            const fs::path target = fs::read_symlink(at);
            fs::remove(at);
            fs::create_directory(at);
            for (const fs::directory_entry& e : fs::directory_iterator(target))
                fs::create_symlink(e.path(), at / e.path().filename());
        }
        fs::remove(at);
        std::ofstream(at, std::ios::binary) << bytes;
    }

    int Run() {
        const testsupport::ProgramResult result = testsupport::RunDunmarch(
            root_.File("game/"), "-qaf=200" + gamefolder::kSmallWindow.Options(),
            "XDG_DATA_HOME='" + root_.File("user") + "' DUNMARCH_INPUT='" + root_.File("input.txt") + "'");
        output_ = result.output;
        return result.exitCode;
    }

    ScratchDir root_;
    std::string output_;
};

TEST_P(DamagedFilesRunTest, TheGameStartsOrRefusesAndLosesNothing) {
    const Case& c = GetParam();
    const std::string file = c.file;
    const bool userFile = UserFiles().count(file) != 0;
    const std::string good = userFile ? UserFiles().at(file) : testsupport::ReadWholeFile(BuildDir() + "/" + file);
    ASSERT_TRUE(userFile || !good.empty()) << file;
    const std::string damaged = Damaged(good, c.damage);
    Replace(file, damaged);
    WriteScript(file == "game/registry.ini");

    const int exitCode = Run();
    for (const char* fault : {"AddressSanitizer", "runtime error:", "LeakSanitizer", "Program Error"})
        EXPECT_EQ(0, Count(output_, fault)) << fault << "\n" << output_;
    const bool started = Count(output_, "[trace] state entered: MainWindow") == 1;
    if (c.outcome == Outcome::Refuses) {
        EXPECT_FALSE(started) << output_;
    }
    if (c.outcome == Outcome::Starts || (c.outcome == Outcome::StartsOrRefuses && exitCode == 0)) {
        EXPECT_EQ(0, exitCode) << output_;
        EXPECT_TRUE(started) << output_;
    } else {
        // Refused: the program ends on its own with a failing exit (not a
        // signal) and says which file it could not use.
        EXPECT_GT(exitCode, 0) << output_;
        EXPECT_LT(exitCode, 128) << output_;
        EXPECT_GE(Count(output_, fs::path(file).filename().string()), 1) << output_;
    }

    // Nothing was written over the damaged file, and the user's other files
    // are as they were.
    EXPECT_EQ(damaged, testsupport::ReadWholeFile(root_.File(file))) << file;
    for (const auto& [path, bytes] : UserFiles()) {
        if (path != file) {
            EXPECT_EQ(bytes, testsupport::ReadWholeFile(root_.File(path))) << path;
        }
    }
}

// One file of each kind the game reads, each kind of damage among them. The
// game's own data tables are needed to play: the game may refuse them. Without
// its configuration it knows none of its folders: it must refuse.
const Case kCases[] = {
    {"ConfigTruncated", "game/config.xml", Damage::Truncated, Outcome::Refuses},
    {"ConfigEmptied", "game/config.xml", Damage::Emptied, Outcome::Refuses},
    {"ConfigNoise", "game/config.xml", Damage::Noise, Outcome::Refuses},
    {"Map", "game/res-common/maps/harrowmere.xml", Damage::Truncated, Outcome::Starts},
    {"MapLogic", "game/res-common/logic/data_harrowmere.xml", Damage::Emptied, Outcome::StartsOrRefuses},
    {"Waves", "game/res-common/waves/waves_harrowmere.xml", Damage::Noise, Outcome::Starts},
    {"Attackers", "game/res-common/attackers/attackers.xml", Damage::Truncated, Outcome::StartsOrRefuses},
    {"Defenders", "game/res-common/defenders/defenders.xml", Damage::Emptied, Outcome::StartsOrRefuses},
    {"Weapons", "game/res-common/weapons/weapons.xml", Damage::Noise, Outcome::StartsOrRefuses},
    {"Animations", "game/res-common/anims/warrior.xml", Damage::Truncated, Outcome::StartsOrRefuses},
    {"MapView", "game/res-pc/mapviews/view_harrowmere.xml", Damage::Emptied, Outcome::StartsOrRefuses},
    {"MenuLayout", "game/res-pc/ui/mainwindow.xml", Damage::Noise, Outcome::StartsOrRefuses},
    {"Language", "game/res-common/language/en.lan", Damage::Truncated, Outcome::StartsOrRefuses},
    {"OtherLanguage", "game/res-common/language/fr.lan", Damage::Noise, Outcome::Starts},
    {"Video", "game/res-pc/videos/intro.ogv", Damage::Truncated, Outcome::Starts},
    {"Particles", "game/res-common/particles/torch.prt", Damage::Noise, Outcome::StartsOrRefuses},
    {"Texture", "game/res-pc/textures/archer.dds", Damage::Noise, Outcome::StartsOrRefuses},
    {"Mesh", "game/res-pc/meshes/archer.pod", Damage::Truncated, Outcome::StartsOrRefuses},
    {"Font", "game/res-pc/fonts/tarragon_40.fnt", Damage::Emptied, Outcome::StartsOrRefuses},
    {"Sound", "game/res-common/sounds/btnpress.wav", Damage::Truncated, Outcome::Starts},
    {"Settings", "game/registry.ini", Damage::Noise, Outcome::Starts},
    {"SettingsEmptied", "game/registry.ini", Damage::Emptied, Outcome::Starts},
    {"HighScores", "game/highscores.dat", Damage::Noise, Outcome::Starts},
    {"Savegame", "game/savegame.dat", Damage::Truncated, Outcome::Starts},
    {"BannerCache", "user/Dunmarch_DATA/cache/banner.png", Damage::Noise, Outcome::Starts},
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.file; }

INSTANTIATE_TEST_SUITE_P(EachKind, DamagedFilesRunTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
