// The battle driver on the sample data in a game folder of its own: a new battle starts,
// the first wave begins after the starting step and a second of battle, and its
// attackers come in at their entry; run to its end without input, the first wave walks
// its routes to the undefended keeper and kills it; the builder's script gives the
// player's orders through the map and the HUD, and its victory script wins all five
// waves; a finished battle is left with a click.
// The loading before the battle runs by turns on its loader thread, and the battle's
// units find their models and clip tables in the caches it filled. Its particles are
// counted every frame, far below the detail level's budget, and leaving them out of
// the draw changes nothing else.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "../../particles/CraftedEffects.h"
#include "support/BattleDriverFolder.h"
#include "support/PngFile.h"
#include "support/RunDunmarch.h"
#include "support/ScratchDir.h"
#include "support/VictorySave.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/Fonts.h"
#include "tools/catalogue/GameData.h"
#include "tools/catalogue/Level.h"
#include "tools/catalogue/Models.h"
#include "tools/catalogue/ParticleEffects.h"
#include "tools/catalogue/TestScripts.h"
#include "tools/prt/PrtWriter.h"

namespace fs = std::filesystem;
namespace cl = catalogue::level;
namespace ts = catalogue::testscripts;

namespace {

struct TracedUnit {
    int id, x, y, hitPoints;
};

// The units of a "step" line of the trace.
std::vector<TracedUnit> UnitsOf(const std::string& line) {
    std::vector<TracedUnit> units;
    for (size_t bar = line.find(" | "); bar != std::string::npos; bar = line.find(" | ", bar + 1)) {
        TracedUnit unit{};
        if (std::sscanf(line.c_str() + bar, " | %d (%d, %d) %d", &unit.id, &unit.x, &unit.y, &unit.hitPoints) == 4)
            units.push_back(unit);
    }
    return units;
}

// The units of the last "step" line of the trace.
std::vector<TracedUnit> LastUnits(const std::string& output) {
    const size_t at = output.rfind("\nstep ");
    if (at == std::string::npos) return std::vector<TracedUnit>();
    return UnitsOf(output.substr(at + 1, output.find('\n', at + 1) - at - 1));
}

using GameFolder = testsupport::BattleDriverFolder;

testsupport::ProgramResult RunDriver(const std::string& arguments) { return GameFolder().Run(arguments); }

// The particles counted in each frame of a --trace run.
std::vector<int> ParticlesPerFrame(const std::string& output) {
    std::vector<int> counts;
    std::istringstream lines(output);
    std::string line;
    long frame = 0;
    int hosted = 0, unhosted = 0;
    while (std::getline(lines, line))
        if (std::sscanf(line.c_str(), "frame %ld particles %d unhosted %d", &frame, &hosted, &unhosted) == 3)
            counts.push_back(hosted + unhosted);
    return counts;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(BattleDriverTest, TheFirstWaveComesInAfterASecond) {
    const testsupport::ProgramResult run = RunDriver("--frames 40 --trace");
    ASSERT_EQ(0, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("battle on Harrowmere: 5 waves")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("\nwave 1 begun at step 31\n")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("end: state 1 result -1 wave 0 gold 350")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find(" steps 40\n")) << run.output;

    // The keeper, then the first entry's three attackers at the west gate, or on the
    // free cells beside it, a few steps on their way.
    const std::vector<TracedUnit> units = LastUnits(run.output);
    ASSERT_EQ(4u, units.size()) << run.output.substr(run.output.rfind("\nstep "));
    const int gateX = cl::kEntries[0].cell.column * 500 + 250, gateY = cl::kEntries[0].cell.row * 500 + 250;
    for (size_t i = 1; i < units.size(); ++i) {
        EXPECT_EQ(static_cast<int>(i), units[i].id);
        EXPECT_LE(std::abs(units[i].x - gateX), 1250) << units[i].x;
        EXPECT_LE(std::abs(units[i].y - gateY), 1250) << units[i].y;
        EXPECT_GT(units[i].hitPoints, 0);
    }
}

TEST(BattleDriverTest, TheFirstWaveKillsTheUndefendedKeeper) {
    const testsupport::ProgramResult run = RunDriver("--until-end --trace");
    ASSERT_EQ(0, run.exitCode) << run.output.substr(0, 2000);
    // Every step's units: the keeper first, then the attackers.
    std::istringstream lines(run.output);
    std::string line;
    int keeperFull = -1, keeperLast = -1, keeperFalls = 0;
    std::vector<int> walked;  // level units covered by each attacker
    std::vector<TracedUnit> previous;
    while (std::getline(lines, line)) {
        if (line.compare(0, 5, "step ") != 0) continue;
        const std::vector<TracedUnit> units = UnitsOf(line);
        if (units.empty()) continue;
        if (keeperFull < 0) keeperFull = units[0].hitPoints;
        if (keeperLast >= 0 && units[0].hitPoints < keeperLast) ++keeperFalls;
        keeperLast = units[0].hitPoints;
        for (const TracedUnit& unit : units)
            for (const TracedUnit& before : previous)
                if (unit.id == before.id && unit.id > 0) {
                    if (walked.size() <= static_cast<size_t>(unit.id)) walked.resize(unit.id + 1, 0);
                    walked[unit.id] += std::abs(unit.x - before.x) + std::abs(unit.y - before.y);
                }
        previous = units;
    }
    ASSERT_GT(keeperFull, 0) << run.output.substr(0, 2000);
    // The first entry's three attackers walked their routes, several cells long.
    ASSERT_GE(walked.size(), 4u);
    for (size_t id = 1; id <= 3; ++id) EXPECT_GT(walked[id], 2000) << "attacker " << id;
    EXPECT_GE(keeperFalls, 3);
    EXPECT_EQ(0, keeperLast);
    // The final line reads defeat: the battle over (state 2), result 1, in the first wave.
    EXPECT_NE(std::string::npos, run.output.find("\nend: state 2 result 1 wave 0 "))
        << run.output.substr(run.output.rfind("\nstep "));
    EXPECT_NE(std::string::npos, run.output.find("\nposted EvGameOver\n"))
        << run.output.substr(run.output.rfind("\nstep "));
    // The detail level's budget is never reached: it stays at full detail.
    const std::vector<int> particles = ParticlesPerFrame(run.output);
    ASSERT_FALSE(particles.empty());
    for (size_t frame = 0; frame < particles.size(); ++frame) ASSERT_LT(particles[frame], 1500) << "frame " << frame;
}

TEST(BattleDriverTest, TheScriptsOrdersGoThroughTheMapAndTheHud) {
    const testsupport::ProgramResult run =
        RunDriver(std::string("--until-end --trace --script ") + ts::kFolder + ts::kOrders);
    ASSERT_EQ(0, run.exitCode) << run.output;
    // Buy an archer through its spot and the HUD, upgrade its hit points, hide it; buy a
    // swordman and sell it; unhide the archer; slow the first attacker down.
    std::vector<std::string> inputs;
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);)
        if (line.compare(0, 6, "input ") == 0) inputs.push_back(line.substr(line.find(':') + 2));
    const std::vector<std::string> expected = {"type 0 x 12 y 1", "type 4 x 1 y 0",  "type 3 x 1 y -1",
                                               "type 0 x 10 y 0", "type 6 x 2 y -1", "type 3 x 1 y -1",
                                               "type 7 x 3 y -1"};
    EXPECT_EQ(expected, inputs) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("\nend: state 2 ")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("\nposted EvGameOver\n")) << run.output;
    // Defenders, their spells and the attackers' hits stay below the detail level's budget.
    const std::vector<int> particles = ParticlesPerFrame(run.output);
    ASSERT_FALSE(particles.empty());
    for (size_t frame = 0; frame < particles.size(); ++frame) ASSERT_LT(particles[frame], 1500) << "frame " << frame;
}

// Bought through the spots and the HUD, upgraded, hidden, sold and bought again, with a
// spell cast: the defence holds all five waves, and the battle is left to the score screen.
// The whole battle's particles stay below the detail level's budget. The trace runs to
// megabytes: failures show its end only.
TEST(BattleDriverTest, TheVictoryScriptWinsEveryWave) {
    // The run (exit 0, or no savegame) whose savegame the won battle's other tests continue.
    const testsupport::VictoryRun victory = testsupport::TheVictoryRun();
    ASSERT_FALSE(victory.savegame.empty());
    const std::string output = ReadAll(victory.output);
    const std::string tail = output.substr(output.size() - std::min<size_t>(output.size(), 4000));
    EXPECT_EQ(1, testsupport::Count(output, "\nsaved at step " + std::to_string(testsupport::kVictorySaveStep)))
        << tail;
    EXPECT_NE(std::string::npos, output.find("\nwave 5 ended at step ")) << tail;
    // Victory (result 0), the wave index back on the last wave played.
    EXPECT_NE(std::string::npos, output.find("\nend: state 2 result 0 wave 4 ")) << tail;
    EXPECT_NE(std::string::npos, output.find("\nposted EvGameOver\n")) << tail;
    EXPECT_EQ(std::string::npos, output.find("\nposted EvBackPressed\n")) << tail;

    // Every kind of order took effect: purchases (0), hit-point and weapon upgrades (4,
    // 5), the hide order and its cancelling (3), the sale (6), the slowdown (7), and a
    // purchase after the sale.
    std::vector<int> types;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        unsigned frame = 0;
        int type = -1;
        if (std::sscanf(line.c_str(), "input %u: type %d", &frame, &type) == 2) types.push_back(type);
    }
    const auto count = [&types](int type) { return std::count(types.begin(), types.end(), type); };
    EXPECT_GE(count(0), 6) << tail;
    EXPECT_GE(count(4), 1);
    EXPECT_GE(count(5), 1);
    EXPECT_EQ(2, count(3));
    EXPECT_EQ(1, count(6));
    EXPECT_EQ(1, count(7));
    const auto sale = std::find(types.begin(), types.end(), 6);
    EXPECT_NE(types.end(), std::find(sale, types.end(), 0)) << "no purchase after the sale";

    const std::vector<int> particles = ParticlesPerFrame(output);
    ASSERT_GT(particles.size(), 15000u);
    const auto most = std::max_element(particles.begin(), particles.end());
    EXPECT_LT(*most, 1500) << "frame " << (most - particles.begin());
}

TEST(BattleDriverTest, AScriptLineThatNamesNothingStopsTheRun) {
    ScratchDir scripts;
    const std::string bad = scripts.File("bad.txt");
    std::ofstream(bad) << "3 tap-spot 99\n";
    const testsupport::ProgramResult run = RunDriver("--frames 10 --script " + bad);
    EXPECT_EQ(1, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("no spot 99 at frame 3")) << run.output;
    std::ofstream(bad) << "3 jump 1 2\n";
    EXPECT_EQ(2, RunDriver("--frames 10 --script " + bad).exitCode);
}

// Every frame counts its particles and names each effect in view with its rectangle on
// the screen; the map's torches stand on its north wall, inside the screen. Without
// particles in the draw the battle, its effects and their counts run the same.
TEST(BattleDriverTest, TraceNamesTheEffectsInViewAndNoParticlesChangesNothingElse) {
    const GameFolder folder;
    const testsupport::ProgramResult run = folder.Run("--frames 20 --trace");
    ASSERT_EQ(0, run.exitCode) << run.output;
    const std::vector<int> particles = ParticlesPerFrame(run.output);
    ASSERT_EQ(20u, particles.size()) << run.output;
    EXPECT_GT(particles.back(), 0);

    std::istringstream lines(run.output.substr(run.output.rfind("\nframe 19 ")));
    std::string line;
    int torches = 0;
    while (std::getline(lines, line)) {
        char name[256] = {};
        int left = 0, top = 0, right = 0, bottom = 0;
        if (std::sscanf(line.c_str(), "effect %255s %d %d %d %d", name, &left, &top, &right, &bottom) != 5) continue;
        EXPECT_LE(0, left) << line;
        EXPECT_LE(0, top) << line;
        EXPECT_LE(right, 1024) << line;
        EXPECT_LE(bottom, 768) << line;
        EXPECT_LE(left, right) << line;
        EXPECT_LE(top, bottom) << line;
        if (fs::path(name).filename() != catalogue::gamedata::kTorch) continue;
        ++torches;
        EXPECT_LT(left, right) << line;
        EXPECT_LT(top, bottom) << line;
    }
    EXPECT_EQ(2, torches) << run.output.substr(run.output.rfind("\nframe 19 "));

    const testsupport::ProgramResult bare = folder.Run("--frames 20 --trace --no-particles");
    ASSERT_EQ(0, bare.exitCode) << bare.output;
    EXPECT_EQ(run.output, bare.output);
}

namespace {

// The folder's effects become its own: links to the sample's, but for `replaced`
// (file name, effect), written in their place.
void ReplaceEffects(const GameFolder& folder,
                    const std::vector<std::pair<std::string, const CParticlesMesh*>>& replaced) {
    const fs::path common = fs::path(folder.File(catalogue::config::kResourceCommon)).parent_path();
    const fs::path sample = fs::read_symlink(common);
    fs::remove(common);
    fs::create_directory(common);
    for (const fs::directory_entry& entry : fs::directory_iterator(sample))
        if (entry.path().filename() != "particles") fs::create_symlink(entry.path(), common / entry.path().filename());
    const fs::path particles = folder.File(catalogue::config::kParticles.Path());
    fs::create_directory(particles);
    for (const fs::directory_entry& entry : fs::directory_iterator(sample / "particles")) {
        const std::string name = entry.path().filename().string();
        const auto own = std::find_if(replaced.begin(), replaced.end(), [&](const auto& r) { return r.first == name; });
        if (own == replaced.end()) fs::create_symlink(entry.path(), particles / name);
        else ASSERT_TRUE(PrtWriter(PrtWriter::VersionWord(5)).WriteFile(*own->second, (particles / name).string()));
    }
}

}  // namespace

// Torches and spawn effects whose particles fly beyond the 32-bit range, straight or
// through their speed row, drawn as sprites and as ribbons: the battle runs on, and the
// renderer counts no more particles than the sample's effects and theirs make.
TEST(BattleDriverTest, EffectsOfOversizedVelocitiesRunAndDraw) {
    const testsupport::ProgramResult sample = RunDriver("--frames 60 --trace");
    ASSERT_EQ(0, sample.exitCode) << sample.output.substr(0, 3000);
    const std::vector<int> sampleParticles = ParticlesPerFrame(sample.output);
    const GameFolder folder;
    const craftedeffects::VelocityEffect torch(6e10f, {});
    const craftedeffects::VelocityEffect spawn(-30.0f, {3.0f, 3e10f}, 5);
    ASSERT_NO_FATAL_FAILURE(ReplaceEffects(
        folder, {{catalogue::gamedata::kTorch, &torch.built}, {catalogue::particles::kSpawn, &spawn.built}}));
    const testsupport::ProgramResult run = folder.Run("--frames 60 --trace");
    ASSERT_EQ(0, run.exitCode) << run.output.substr(0, 3000);
    EXPECT_EQ(std::string::npos, run.output.find("runtime error")) << run.output.substr(0, 3000);
    EXPECT_NE(std::string::npos, run.output.find("\nwave 1 begun at step 31\n")) << run.output;
    const std::vector<int> particles = ParticlesPerFrame(run.output);
    ASSERT_EQ(60u, particles.size()) << run.output;
    ASSERT_EQ(60u, sampleParticles.size()) << sample.output;
    // Two torches and the first wave's three spawns, each at most 62 particles.
    for (size_t frame = 0; frame < particles.size(); ++frame)
        EXPECT_LE(particles[frame], sampleParticles[frame] + 5 * 62) << "frame " << frame;
}

TEST(BattleDriverTest, TheLoadingBeforeTheBattleFillsTheCachesItsUnitsTake) {
    const testsupport::ProgramResult run = RunDriver("--preload --frames 100");
    ASSERT_EQ(0, run.exitCode) << run.output;
    std::istringstream lines(run.output);
    std::string line;
    std::vector<int> progress;
    std::vector<std::string> entered;
    while (std::getline(lines, line)) {
        int value = 0;
        char name[256] = {};
        if (std::sscanf(line.c_str(), "progress %d", &value) == 1) progress.push_back(value);
        else if (std::sscanf(line.c_str(), "after preloading: %255[^\n]", name) == 1) entered.push_back(name);
    }
    ASSERT_FALSE(progress.empty()) << run.output;
    for (size_t i = 1; i < progress.size(); ++i) EXPECT_LT(progress[i - 1], progress[i]);
    EXPECT_EQ(100, progress.back());
    EXPECT_NE(std::string::npos, run.output.find("\nloading finished\n")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("\ndata stamp: unmodified ")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find(" steps 100\n")) << run.output;

    // Only the level's scenery is loaded by the battle itself: no unit or weapon model,
    // no clip table.
    for (const std::string& name : entered) {
        bool scenery = false;
        for (const char* model : catalogue::models::kScenery)
            scenery = scenery || name == std::string("model ") + model;
        EXPECT_TRUE(scenery) << name;
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

// A defended battle saved at a step and continued from the file: the continued battle is
// the saved one at that step, the file is used up, and the battle plays to its end; a cut
// copy of the file is refused and left as it was.
TEST(BattleDriverTest, ABattleSavedAtAStepContinuesFromIt) {
    const GameFolder folder;
    const testsupport::ProgramResult saving =
        folder.Run(std::string("--save-at 2000 --script ") + ts::kFolder + ts::kDefence);
    ASSERT_EQ(0, saving.exitCode) << saving.output;
    char digest[32] = {};
    const size_t at = saving.output.find("saved at step 2000, digest ");
    ASSERT_NE(std::string::npos, at) << saving.output;
    ASSERT_EQ(1, std::sscanf(saving.output.c_str() + at, "saved at step 2000, digest %16s", digest));
    const std::string saved = ReadAll(folder.File("savegame.dat"));
    ASSERT_GT(saved.size(), 12u);

    const testsupport::ProgramResult continued = folder.Run("--continue --until-end");
    ASSERT_EQ(0, continued.exitCode) << continued.output;
    EXPECT_NE(std::string::npos, continued.output.find(std::string("continued at step 2000, digest ") + digest + "\n"))
        << digest << "\n"
        << continued.output;
    EXPECT_FALSE(fs::exists(folder.File("savegame.dat")));
    // The three defenders came along: the first wave is held.
    EXPECT_NE(std::string::npos, continued.output.find("\nwave 1 ended at step ")) << continued.output;
    EXPECT_NE(std::string::npos, continued.output.find("\nend: state 2 ")) << continued.output;
    // A restored battle is left back to the menus, never to the score screen.
    EXPECT_NE(std::string::npos, continued.output.find("\nposted EvBackPressed\n")) << continued.output;

    const std::string cut = saved.substr(0, saved.size() * 2 / 3);
    std::ofstream(folder.File("savegame.dat"), std::ios::binary) << cut;
    const testsupport::ProgramResult refused = folder.Run("--continue --frames 5");
    EXPECT_EQ(1, refused.exitCode) << refused.output;
    EXPECT_NE(std::string::npos, refused.output.find("savegame.dat cannot be continued")) << refused.output;
    EXPECT_EQ(cut, ReadAll(folder.File("savegame.dat")));
}

namespace {

// The final line of a run: state, result, wave, gold, score and the step counter.
std::string EndLine(const std::string& output) {
    const size_t at = output.find("\nend: ");
    return at == std::string::npos ? std::string() : output.substr(at + 1, output.find('\n', at + 1) - at - 1);
}

// The "step" lines of a trace up to and with the step.
std::vector<std::string> StepsUpTo(const std::string& output, unsigned last) {
    std::vector<std::string> steps;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        unsigned step = 0;
        if (std::sscanf(line.c_str(), "step %u ", &step) == 1 && step <= last) steps.push_back(line);
    }
    return steps;
}

}  // namespace

// The builder's script played and recorded, then the recording replayed in the same
// folder: the replay ends at the recording's last step with its score, and every step
// up to it is the same.
TEST(BattleDriverTest, ARecordedBattleReplaysStepForStep) {
    const GameFolder folder;
    const testsupport::ProgramResult recorded =
        folder.Run(std::string("--until-end --trace --record a.dem --script ") + ts::kFolder + ts::kOrders);
    ASSERT_EQ(0, recorded.exitCode) << recorded.output.substr(0, 3000);
    EXPECT_NE(std::string::npos, recorded.output.find("\ndata stamp: unmodified ")) << recorded.output.substr(0, 3000);
    unsigned over = 0;
    size_t at = recorded.output.find("\nover at step ");
    ASSERT_NE(std::string::npos, at);
    ASSERT_EQ(1, std::sscanf(recorded.output.c_str() + at, "\nover at step %u", &over));
    int score = 0;
    at = recorded.output.find("\nend: ");
    ASSERT_NE(std::string::npos, at);
    ASSERT_NE(nullptr, std::strstr(recorded.output.c_str() + at, " score "));
    ASSERT_EQ(1, std::sscanf(std::strstr(recorded.output.c_str() + at, " score "), " score %d", &score));

    const testsupport::ProgramResult replayed = folder.Run("--until-end --trace --demo a.dem");
    ASSERT_EQ(0, replayed.exitCode) << replayed.output.substr(0, 3000);
    int records = 0, demoScore = 0;
    unsigned lastFrame = 0;
    at = replayed.output.find("\ndemo on ");
    ASSERT_NE(std::string::npos, at) << replayed.output.substr(0, 3000);
    ASSERT_EQ(3, std::sscanf(replayed.output.c_str() + at, "\ndemo on %*s %d records, score %d, last frame %u",
                             &records, &demoScore, &lastFrame));
    EXPECT_GE(records, 5);
    EXPECT_EQ(score, demoScore);
    EXPECT_EQ(over, lastFrame);
    EXPECT_NE(std::string::npos, replayed.output.find("\nover at step " + std::to_string(lastFrame) + "\n"))
        << replayed.output.substr(replayed.output.rfind("\nstep "));
    EXPECT_NE(std::string::npos, replayed.output.find(" score " + std::to_string(score) + " steps "));

    const std::vector<std::string> live = StepsUpTo(recorded.output, lastFrame);
    const std::vector<std::string> replay = StepsUpTo(replayed.output, lastFrame);
    ASSERT_EQ(live.size(), replay.size());
    for (size_t i = 0; i < live.size(); ++i) ASSERT_EQ(live[i], replay[i]) << "step line " << i;

    // Both were left at the same step.
    EXPECT_EQ(EndLine(recorded.output), EndLine(replayed.output));
}

// The same on OpenGL, two battle steps a frame: the recorded battle and its replay end
// at the same step with the same score, and their last frames are the same to the
// pixel, particles and all, but for the replay's caption. The frames are kept as
// $DM_BUILD_DIR/screenshots/replay-{recorded,replayed}.png.
TEST(BattleDriverTest, ARecordedBattleReplaysToTheSameLastFrame) {
    const GameFolder folder;
    const std::string shots = testsupport::BuildDir() + "/screenshots/";
    fs::create_directories(shots);
    const testsupport::ProgramResult recorded =
        folder.Run("--until-end --dt 66 --record a.dem --screenshot end:" + shots + "replay-recorded.png --script " +
                   ts::kFolder + ts::kOrders);
    ASSERT_EQ(0, recorded.exitCode) << recorded.output.substr(0, 3000);
    const testsupport::ProgramResult replayed =
        folder.Run("--until-end --dt 66 --demo a.dem --screenshot end:" + shots + "replay-replayed.png");
    ASSERT_EQ(0, replayed.exitCode) << replayed.output.substr(0, 3000);

    // Over and left at the same step, with the same score.
    const std::string end = EndLine(recorded.output);
    EXPECT_NE(std::string::npos, end.find("end: state 2 ")) << end;
    EXPECT_EQ(end, EndLine(replayed.output));
    const std::string shotLine = "\nscreenshot at step " + end.substr(end.rfind(' ') + 1) + ": ";
    EXPECT_NE(std::string::npos, recorded.output.find(shotLine))
        << recorded.output.substr(recorded.output.rfind("\nover"));
    EXPECT_NE(std::string::npos, replayed.output.find(shotLine))
        << replayed.output.substr(replayed.output.rfind("\nover"));

    const testsupport::PngPixels live = testsupport::ReadPngFile(shots + "replay-recorded.png");
    const testsupport::PngPixels replay = testsupport::ReadPngFile(shots + "replay-replayed.png");
    ASSERT_EQ(1024, live.width);
    ASSERT_EQ(live.width, replay.width);
    ASSERT_EQ(live.height, replay.height);
    // The replay's caption, "PLAYING DEMO ENDED" in the main font centred 175 pixels above
    // the middle, is the only difference.
    const int captionTop = live.height / 2 - 175, captionBottom = captionTop + 2 * catalogue::fonts::kMain.size;
    int caption = 0;
    for (int y = 0; y < live.height; ++y) {
        const bool inCaption = y >= captionTop && y < captionBottom;
        for (int x = 0; x < live.width; ++x) {
            const bool same = std::memcmp(live.At(x, y), replay.At(x, y), 3) == 0;
            if (inCaption) caption += !same;
            else ASSERT_TRUE(same) << "the last frames differ at (" << x << ", " << y << ")";
        }
    }
    EXPECT_GT(caption, 0);
}
