// The battle driver on the sample data in a game folder of its own: a new battle starts,
// the first wave begins after the starting step and a second of battle, and its
// attackers stand on the map at their entry.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/RunDunmarch.h"
#include "support/ScratchDir.h"
#include "tools/catalogue/Level.h"

namespace fs = std::filesystem;
namespace cl = catalogue::level;

namespace {

struct TracedUnit {
    int id, x, y, hitPoints;
};

// The units of the last "step" line of the trace.
std::vector<TracedUnit> LastUnits(const std::string& output) {
    const size_t at = output.rfind("\nstep ");
    std::vector<TracedUnit> units;
    if (at == std::string::npos) return units;
    std::string line = output.substr(at + 1, output.find('\n', at + 1) - at - 1);
    for (size_t bar = line.find(" | "); bar != std::string::npos; bar = line.find(" | ", bar + 1)) {
        TracedUnit unit{};
        if (std::sscanf(line.c_str() + bar, " | %d (%d, %d) %d", &unit.id, &unit.x, &unit.y, &unit.hitPoints) == 4)
            units.push_back(unit);
    }
    return units;
}

}  // namespace

TEST(BattleDriverTest, TheFirstWaveComesInAfterASecond) {
    const std::string game = testsupport::BuildGameDir();
    ASSERT_TRUE(fs::exists(game + "/dunmarch-battle")) << game;
    ScratchDir root;
    fs::create_directories(root.File("game"));
    fs::create_directories(root.File("user"));
    const std::string folder = root.File("game/");
    fs::copy_file(game + "/dunmarch-battle", folder + "dunmarch-battle");
    for (const char* entry : {"config.xml", "res-pc", "res-common"})
        fs::create_symlink(game + "/" + entry, folder + entry);
    const fs::path data = fs::path(game).parent_path() / "Data";
    if (fs::exists(data)) fs::create_directory_symlink(data, root.File("Data"));

    const testsupport::ProgramResult run = testsupport::RunGameProgram(
        folder, "dunmarch-battle", "--frames 200 --trace", "XDG_DATA_HOME='" + root.File("user") + "'");
    ASSERT_EQ(0, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("battle on Harrowmere: 5 waves")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("\nwave 1 begun at step 31\n")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("end: state 1 result -1 wave 0 gold 350")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find(" steps 200\n")) << run.output;

    // The keeper, then the first entry's three attackers at the west gate, or on the
    // free cells beside it.
    const std::vector<TracedUnit> units = LastUnits(run.output);
    ASSERT_EQ(4u, units.size()) << run.output.substr(run.output.rfind("\nstep "));
    const int gateX = cl::kEntries[0].cell.column * 500 + 250, gateY = cl::kEntries[0].cell.row * 500 + 250;
    for (size_t i = 1; i < units.size(); ++i) {
        EXPECT_EQ(static_cast<int>(i), units[i].id);
        EXPECT_LE(std::abs(units[i].x - gateX), 1000) << units[i].x;
        EXPECT_LE(std::abs(units[i].y - gateY), 1000) << units[i].y;
        EXPECT_GT(units[i].hitPoints, 0);
    }
}

TEST(BattleDriverTest, WithoutDataNoBattleStarts) {
    const std::string game = testsupport::BuildGameDir();
    ScratchDir root;
    fs::create_directories(root.File("game"));
    fs::copy_file(game + "/dunmarch-battle", root.File("game/dunmarch-battle"));
    const testsupport::ProgramResult run = testsupport::RunGameProgram(
        root.File("game/"), "dunmarch-battle", "--frames 5", "XDG_DATA_HOME='" + root.Folder() + "'");
    EXPECT_EQ(1, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("no battle started")) << run.output;
}
