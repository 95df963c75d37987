// The battle driver's screenshots: the run drawn on OpenGL plays the same steps as on
// the null device, and the shot of a step holds the drawn battle; a shot the run never
// reaches fails the run.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/BattleDriverFolder.h"
#include "support/PngFile.h"

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
