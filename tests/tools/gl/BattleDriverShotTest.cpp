// The battle driver's screenshots: the run drawn on OpenGL plays the same steps as on
// the null device, and the shot of a step holds the drawn battle; a shot the run never
// reaches fails the run. A scripted battle shot at its HUD's moments: a spot selected
// with the prices, a defender with its actions, an attacker with a spell cooling down;
// and the victory screen of the sample data's winning script, drawn from a save made
// shortly before the battle is won. The shots are kept as
// $DM_BUILD_DIR/screenshots/battle-*.png (the victory screen as battle-end.png).
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "support/BattleDriverFolder.h"
#include "support/PngFile.h"
#include "support/VictorySave.h"
#include "tools/catalogue/Textures.h"

namespace {

std::vector<std::string> StepLines(const std::string& output) {
    std::vector<std::string> steps;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        if (line.compare(0, 5, "step ") == 0) steps.push_back(line);
    return steps;
}

}  // namespace

TEST(BattleDriverShotTest, AShotHoldsTheDrawnBattleAndChangesNoStep) {
    const testsupport::BattleDriverFolder folder;
    const testsupport::ProgramResult shot = folder.Run("--frames 40 --trace --screenshot 35:shot.png");
    ASSERT_EQ(0, shot.exitCode) << shot.output;
    EXPECT_NE(std::string::npos, shot.output.find("\nscreenshot at step 35: shot.png\n")) << shot.output;
    const testsupport::ProgramResult plain = folder.Run("--frames 40 --trace");
    ASSERT_EQ(0, plain.exitCode) << plain.output;
    EXPECT_EQ(StepLines(plain.output), StepLines(shot.output));

    const testsupport::PngPixels png = testsupport::ReadPngFile(folder.File("shot.png"));
    ASSERT_EQ(1024, png.width);
    ASSERT_EQ(768, png.height);
    // The lit map fills the screen, in many shades.
    EXPECT_GT(png.LitIn(0, 0, 1024, 768), 1024 * 768 * 9 / 10);
    std::set<uint32_t> colours;
    for (int y = 0; y < png.height; y += 4)
        for (int x = 0; x < png.width; x += 4) {
            const uint8_t* p = png.At(x, y);
            colours.insert(uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
        }
    EXPECT_GT(colours.size(), 1000u);

    const testsupport::ProgramResult unreached = folder.Run("--frames 10 --screenshot 5:a.png --screenshot 50:b.png");
    EXPECT_EQ(1, unreached.exitCode) << unreached.output;
    EXPECT_NE(std::string::npos, unreached.output.find("the run ended before step 50: no screenshot b.png"))
        << unreached.output;
    EXPECT_EQ(1024, testsupport::ReadPngFile(folder.File("a.png")).width);
}

namespace {

namespace tex = catalogue::textures;

const tex::HudRegion& Region(const char* name) {
    for (const tex::HudRegion& r : tex::kHudRegions)
        if (std::strcmp(r.name, name) == 0) return r;
    ADD_FAILURE() << name;
    return tex::kHudRegions[0];
}

// The pixels of the rectangle that differ clearly between the two pictures.
int ChangedIn(const testsupport::PngPixels& a, const testsupport::PngPixels& b, int x, int y, int w, int h) {
    int changed = 0;
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) {
            const uint8_t* p = a.At(i, j);
            const uint8_t* q = b.At(i, j);
            if (std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 48) ++changed;
        }
    return changed;
}

// Most of the button's rectangle and some of its price line below it differ from the
// picture without a selection.
void ExpectButtonDrawn(const testsupport::PngPixels& shot, const testsupport::PngPixels& plain, const char* name) {
    const tex::HudRegion& r = Region(name);
    EXPECT_GT(ChangedIn(shot, plain, r.x, r.y, r.tw, r.th), r.tw * r.th / 2) << name;
    EXPECT_GT(ChangedIn(shot, plain, r.x, r.y + r.th, r.tw, 40), 40) << name << "'s price";
}

// Copies a shot to $DM_BUILD_DIR/screenshots/battle-NAME.png, where the shots are kept.
void KeepShot(const std::string& file, const std::string& name) {
    const char* build = std::getenv("DM_BUILD_DIR");
    ASSERT_NE(nullptr, build);
    std::filesystem::create_directories(std::string(build) + "/screenshots");
    std::filesystem::copy_file(file, std::string(build) + "/screenshots/battle-" + name + ".png",
                               std::filesystem::copy_options::overwrite_existing);
}

}  // namespace

TEST(BattleDriverShotTest, TheHudAtItsMoments) {
    const testsupport::BattleDriverFolder folder;
    // A spot and an archer bought there (it stays selected); later the keeper's slowdown on
    // the first attacker, which stays selected with the spell cooling down.
    std::ofstream(folder.File("hud.txt")) << "5 tap-spot 10\n6 hud Archer\n150 tap-unit 3\n151 hud Slow\n";
    const testsupport::ProgramResult run = folder.Run(
        "--frames 155 --no-particles --script hud.txt --screenshot 5:none.png --screenshot 6:spot.png"
        " --screenshot 8:defender.png --screenshot 154:spell.png");
    ASSERT_EQ(0, run.exitCode) << run.output;
    testsupport::PngPixels picture[4];
    const char* names[4] = {"none", "spot", "defender", "spell"};
    for (int i = 0; i < 4; ++i) {
        const std::string file = folder.File(std::string(names[i]) + ".png");
        picture[i] = testsupport::ReadPngFile(file);
        ASSERT_EQ(1024, picture[i].width) << names[i];
        KeepShot(file, names[i]);
    }
    const testsupport::PngPixels& none = picture[0];
    // The spot: the swordsman and the archer with their prices; the necromancer comes later.
    ExpectButtonDrawn(picture[1], none, "Swordman");
    ExpectButtonDrawn(picture[1], none, "Archer");
    const tex::HudRegion& necromancer = Region("Necromancer");
    EXPECT_LT(ChangedIn(picture[1], none, necromancer.x, necromancer.y, necromancer.tw, necromancer.th), 200);
    // The archer's six actions with their prices.
    for (const char* action : {"Heal", "Teleport", "HideShow", "UpgradeHP", "UpgradeWeapon", "Sell"})
        ExpectButtonDrawn(picture[2], none, action);
    // The three spells with their prices, the slowdown cooling down.
    for (const char* spell : {"Slow", "Firestorm", "Lightning"}) ExpectButtonDrawn(picture[3], none, spell);
}

// Drawing the whole won battle would take too long: the battle is continued from the
// save made shortly before its victory, and only the rest is drawn.
TEST(BattleDriverShotTest, TheVictoryScreen) {
    const std::string saved = testsupport::VictorySavegame();
    ASSERT_FALSE(saved.empty());
    const long saveStep = testsupport::kVictorySaveStep;
    const testsupport::BattleDriverFolder folder;
    std::filesystem::copy_file(saved, folder.File("savegame.dat"));
    // The battle as continued, then its last frame: --until-end leaves the battle with a
    // click on the first frame after the end screen's delay, so its click line is drawn.
    const testsupport::ProgramResult run = folder.Run("--continue --until-end --no-particles --screenshot " +
                                                      std::to_string(saveStep) +
                                                      ":continued.png --screenshot end:end.png");
    ASSERT_EQ(0, run.exitCode) << run.output;
    const size_t over = run.output.find("\nover at step ");
    ASSERT_NE(std::string::npos, over) << run.output;
    // Won (result 0).
    EXPECT_NE(std::string::npos, run.output.find("\nend: state 2 result 0 ", over)) << run.output.substr(over);
    const testsupport::PngPixels continued = testsupport::ReadPngFile(folder.File("continued.png"));
    const testsupport::PngPixels end = testsupport::ReadPngFile(folder.File("end.png"));
    ASSERT_EQ(1024, continued.width);
    ASSERT_EQ(1024, end.width);
    KeepShot(folder.File("end.png"), "end");
    // The panel with its title in the middle, the score line and the click line under it.
    const tex::HudRegion& result = Region("Result");
    const int left = (1024 - result.tw) / 2, top = (768 - result.th) / 2 - 15;
    EXPECT_GT(ChangedIn(end, continued, left, top, result.tw, result.th), result.tw * result.th / 2);
    EXPECT_GT(ChangedIn(end, continued, 200, 525, 624, 40), 1500) << "score line";
    EXPECT_GT(ChangedIn(end, continued, 200, 565, 624, 50), 3000) << "click line";
}
