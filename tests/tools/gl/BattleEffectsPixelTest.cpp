// The battle's effects as drawn on the OpenGL device: the driver plays the builder's
// particle script and keeps a screenshot at each of its steps, once as it is and once
// without particles. At every step the two pictures differ only inside the screen
// rectangles the trace gives the visible effects, and do differ inside the rectangle
// of the step's scripted effect and of a torch. The pictures are kept as
// $DM_BUILD_DIR/screenshots/effects-<step>[-bare].png.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/BattleDriverFolder.h"
#include "support/PngFile.h"
#include "tools/catalogue/GameData.h"
#include "tools/catalogue/Level.h"
#include "tools/catalogue/ParticleEffects.h"
#include "tools/catalogue/TestScripts.h"

namespace {

namespace fs = std::filesystem;
namespace ts = catalogue::testscripts;
namespace fx = catalogue::particles;

struct EffectRect {
    std::string file;  // the effect file's own name
    int left, top, right, bottom;

    bool Holds(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// The visible effects of the frame that ran each step, from a --trace run: a frame's
// "effect" lines come before the line of the step it ran.
std::map<unsigned, std::vector<EffectRect>> EffectsByStep(const std::string& output) {
    std::map<unsigned, std::vector<EffectRect>> steps;
    std::vector<EffectRect> frame;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        char name[256] = {};
        EffectRect rect{};
        unsigned step = 0;
        long number = 0;
        if (std::sscanf(line.c_str(), "frame %ld ", &number) == 1) {
            frame.clear();
        } else if (std::sscanf(line.c_str(), "effect %255s %d %d %d %d", name, &rect.left, &rect.top, &rect.right,
                               &rect.bottom) == 5) {
            rect.file = fs::path(name).filename().string();
            frame.push_back(rect);
        } else if (std::sscanf(line.c_str(), "step %u ", &step) == 1) {
            steps[step] = frame;
        }
    }
    return steps;
}

bool Differs(const testsupport::PngPixels& a, const testsupport::PngPixels& b, int x, int y) {
    const uint8_t* p = a.At(x, y);
    const uint8_t* q = b.At(x, y);
    return p[0] != q[0] || p[1] != q[1] || p[2] != q[2];
}

// Pixels of the rectangle where the two pictures differ.
int DiffersIn(const testsupport::PngPixels& a, const testsupport::PngPixels& b, const EffectRect& rect) {
    int count = 0;
    for (int y = std::max(rect.top, 0); y < std::min(rect.bottom, a.height); ++y)
        for (int x = std::max(rect.left, 0); x < std::min(rect.right, a.width); ++x) count += Differs(a, b, x, y);
    return count;
}

struct Shot {
    long step;
    const char* scripted;  // the effect the script brought in at this step, or null
};

}  // namespace

TEST(BattleEffectsPixelTest, ParticlesChangeThePictureOnlyInsideTheirEffects) {
    // The chosen spot is a boosted one: its selected marker is the variant's.
    const bool boosted = catalogue::level::kDefenderSpots[ts::kParticleSpot - 1].variant == 1;
    const Shot shots[] = {{ts::kSceneryStep, nullptr},
                          {ts::kSpotMarkerStep, boosted ? fx::kSelection4 : fx::kSelection2},
                          {ts::kEntryEffectStep, fx::kSpawn},
                          {ts::kSelectedStep, fx::kSelected}};
    const std::string folder = testsupport::BuildDir() + "/screenshots/";
    fs::create_directories(folder);
    std::string particles = " --script " + std::string(ts::kFolder) + ts::kParticles, bare = particles;
    for (const Shot& shot : shots) {
        const std::string name = folder + "effects-" + std::to_string(shot.step);
        particles += " --screenshot " + std::to_string(shot.step) + ":" + name + ".png";
        bare += " --screenshot " + std::to_string(shot.step) + ":" + name + "-bare.png";
    }
    const long frames = ts::kSelectedStep + 1;
    const testsupport::BattleDriverFolder game;
    const testsupport::ProgramResult run = game.Run("--frames " + std::to_string(frames) + " --trace" + particles);
    ASSERT_EQ(0, run.exitCode) << run.output.substr(0, 3000);
    const testsupport::ProgramResult without =
        game.Run("--frames " + std::to_string(frames) + " --no-particles" + bare);
    ASSERT_EQ(0, without.exitCode) << without.output.substr(0, 3000);
    const std::map<unsigned, std::vector<EffectRect>> effects = EffectsByStep(run.output);

    for (const Shot& shot : shots) {
        SCOPED_TRACE("step " + std::to_string(shot.step));
        const std::string name = folder + "effects-" + std::to_string(shot.step);
        const testsupport::PngPixels drawn = testsupport::ReadPngFile(name + ".png");
        const testsupport::PngPixels plain = testsupport::ReadPngFile(name + "-bare.png");
        ASSERT_EQ(1024, drawn.width) << name;
        ASSERT_EQ(drawn.width, plain.width);
        ASSERT_EQ(drawn.height, plain.height);
        ASSERT_EQ(1u, effects.count(unsigned(shot.step))) << "no trace of the step";
        const std::vector<EffectRect>& visible = effects.at(unsigned(shot.step));

        // Nothing but the effects changed: every changed pixel lies in a rectangle.
        int outside = 0;
        int box[4] = {drawn.width, drawn.height, -1, -1};
        for (int y = 0; y < drawn.height; ++y)
            for (int x = 0; x < drawn.width; ++x) {
                if (!Differs(drawn, plain, x, y)) continue;
                bool inside = false;
                for (const EffectRect& rect : visible) inside = inside || rect.Holds(x, y);
                if (inside) continue;
                ++outside;
                box[0] = std::min(box[0], x), box[1] = std::min(box[1], y);
                box[2] = std::max(box[2], x), box[3] = std::max(box[3], y);
            }
        EXPECT_EQ(0, outside) << "changed outside the effects, within (" << box[0] << ", " << box[1] << ")-("
                              << box[2] << ", " << box[3] << ")";

        // The torches burn, and the script's effect shows.
        int torches = 0, scripted = 0;
        for (const EffectRect& rect : visible) {
            if (rect.file == catalogue::gamedata::kTorch && DiffersIn(drawn, plain, rect) > 0) ++torches;
            if (shot.scripted != nullptr && rect.file == shot.scripted) {
                ++scripted;
                EXPECT_GT(DiffersIn(drawn, plain, rect), 0) << rect.file << " at " << rect.left << ", " << rect.top;
            }
        }
        EXPECT_GE(torches, 1);
        if (shot.scripted != nullptr) {
            EXPECT_EQ(1, scripted) << shot.scripted << " not in view";
        }
    }
}
