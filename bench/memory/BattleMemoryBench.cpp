// The peak resident memory of `dunmarch` in the busiest moment of the sample battle
// (goal: under 150 MB), and the memory that is the game's own, without the graphics
// driver: the battle driver's peak over the whole battle on the recording null device
// (goal: at most 64 MiB).
//
// The sample data has one battle, Harrowmere. The battle driver plays it with the
// sample's defence script to its end, counting the living units of every step: the
// step with the most is the busiest moment the battle reaches. The driver plays it
// again to that step and saves it there; the game then starts as a player starts it
// (intro, loading screen, main menu), continues the saved battle and plays on for a
// while, drawing every frame. Its peak resident memory (the child's ru_maxrss, the
// kernel's VmHWM) is the figure. The driver's peak over the whole battle is the game
// without OpenGL's driver (the software renderer and its compiler, most of the game's
// resident memory); its anonymous memory (heap and stacks, sampled on every line the
// driver prints) is printed beside it, the rest being the program's and libraries' files.
// Arguments: the frames the game plays after the battle has come back (default 900).
#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/support/ChildRun.h"
#include "tools/catalogue/Layouts.h"

namespace {

namespace fs = std::filesystem;
namespace layouts = catalogue::layouts;
using benchsupport::ChildRun;
using benchsupport::RunChild;

const double kGoalMiB = 150.0;
const double kOwnGoalMiB = 64.0;

// A trace line of the driver: "step N gold G score S | id (x, y) hp | ...".
bool LivingUnits(const std::string& line, long* step, int* living) {
    if (line.compare(0, 5, "step ") != 0) return false;
    *step = std::atol(line.c_str() + 5);
    *living = 0;
    for (size_t bar = line.find(" | "); bar != std::string::npos; bar = line.find(" | ", bar + 3)) {
        const size_t close = line.find(") ", bar);
        if (close != std::string::npos && std::atol(line.c_str() + close + 2) > 0) ++*living;
    }
    return true;
}

// One of the /proc status figures of a running process in KiB (0 when unreadable).
long StatusKiB(pid_t pid, const char* key) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, std::strlen(key), key) == 0) return std::atol(line.c_str() + std::strlen(key));
    return 0;
}

// The resident set of a running process by kind (anonymous memory, mapped files such
// as the graphics driver's libraries, shared memory), from /proc.
std::string ResidentParts(pid_t pid) {
    std::string parts;
    for (const char* key : {"VmRSS:", "RssAnon:", "RssFile:", "RssShmem:"}) {
        char text[64];
        std::snprintf(text, sizeof text, "%s%s %.1f MiB", parts.empty() ? "" : ", ", key, StatusKiB(pid, key) / 1024.0);
        parts += text;
    }
    return parts;
}

std::string Centre(const char* window, const char* element) {
    const layouts::Window* w = layouts::FindWindow(window);
    if (w == nullptr || w->Find(element) == nullptr) return "-1 -1";
    const layouts::Rect r = w->At(element);
    return std::to_string(r.CentreX()) + " " + std::to_string(r.CentreY());
}

// A scratch game folder: the sample data linked, both programs copied (each reads
// beside itself), the user's data folder beside it, English already chosen.
struct Scratch {
    fs::path root, game, user;

    bool Make() {
        std::string pattern = (fs::temp_directory_path() / "dm-bench-memory-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) return false;
        root = pattern;
        game = root / "game";
        user = root / "user";
        std::error_code ec;
        fs::create_directories(game, ec);
        fs::create_directories(user, ec);
        const fs::path data(DM_BENCH_GAME_DIR);
        for (const char* entry : {"config.xml", "res-pc", "res-common", "test-scripts"})
            fs::create_symlink(data / entry, game / entry, ec);
        for (const char* program : {"dunmarch", "dunmarch-battle"}) fs::copy_file(data / program, game / program, ec);
        if (fs::exists(data.parent_path() / "Data"))
            fs::create_directory_symlink(data.parent_path() / "Data", root / "Data", ec);
        std::ofstream(game / "registry.ini") << "LANGUAGE=0\n";
        return !ec;
    }
    ~Scratch() {
        std::error_code ec;
        if (!root.empty()) fs::remove_all(root, ec);
    }
};

}  // namespace

int main(int argc, char** argv) {
    const long playFrames = argc > 1 ? std::atol(argv[1]) : 900;
    if (playFrames <= 0) {
        std::fprintf(stderr, "usage: bench_memory [frames played after the battle has come back]\n");
        return 2;
    }
    Scratch scratch;
    if (!scratch.Make()) {
        std::fprintf(stderr, "bench_memory: no scratch game folder from %s\n", DM_BENCH_GAME_DIR);
        return 1;
    }
    const benchsupport::ChildEnvironment environment = {
        {"SDL_VIDEODRIVER", benchsupport::EnvironmentOr("SDL_VIDEODRIVER", "offscreen")},
        {"ALSOFT_DRIVERS", "null"},
        {"DUNMARCH_HEADLESS", "1"},
        {"DUNMARCH_TRACE", "1"},
        // Nothing leaves the machine: the banner feed finds a closed port at once.
        {"DUNMARCH_NET_REDIRECT", "127.0.0.1:1"},
        {"XDG_DATA_HOME", scratch.user.string()},
    };
    const std::string driver = (scratch.game / "dunmarch-battle").string();
    const std::string script = "test-scripts/defence.txt";

    // 1. The whole battle: the step with the most living units.
    long busiestStep = -1, lastStep = 0;
    int busiestUnits = -1;
    std::string outcome;
    long peakAnonKiB = 0;
    const ChildRun whole =
        RunChild(scratch.game, {driver, "--script", script, "--until-end", "--trace"}, environment,
                 [&](pid_t child, const std::string& line) {
                     peakAnonKiB = std::max(peakAnonKiB, StatusKiB(child, "RssAnon:"));
                     long step = 0;
                     int living = 0;
                     if (LivingUnits(line, &step, &living)) {
                         lastStep = step;
                         if (living > busiestUnits) {
                             busiestUnits = living;
                             busiestStep = step;
                         }
                     } else if (line.compare(0, 5, "wave ") == 0 || line.compare(0, 4, "end:") == 0) {
                         outcome += "  " + line + "\n";
                     }
                 });
    if (!whole.ok || busiestStep < 0) {
        std::fprintf(stderr, "bench_memory: the battle driver did not play the sample battle\n");
        return 1;
    }
    std::printf("the sample battle (Harrowmere, %s), %ld steps:\n%s", script.c_str(), lastStep, outcome.c_str());
    std::printf("busiest step %ld: %d living units (keeper, defenders and attackers)\n", busiestStep, busiestUnits);

    // 2. The battle saved at that step.
    const ChildRun saving =
        RunChild(scratch.game, {driver, "--script", script, "--save-at", std::to_string(busiestStep)}, environment);
    if (!saving.ok || !fs::exists(scratch.game / "savegame.dat")) {
        std::fprintf(stderr, "bench_memory: the battle driver did not save step %ld\n", busiestStep);
        return 1;
    }

    // 3. The game: intro, loading screen, main menu, "Continue", then frames of battle.
    const std::string input =
        "1 key Esc\n"
        "6 await state entered: LoadingWindow\n"
        "7 await every 10 " +
        Centre(layouts::kLoadingWindow, "Start") +
        " within 3000 state entered: MainWindow\n"
        "20 click " +
        Centre(layouts::kMainWindow, "Continue") +
        "\n"
        "21 await within 600 state entered: GameState\n";
    std::ofstream(scratch.root / "input.txt") << input;
    benchsupport::ChildEnvironment gameEnvironment = environment;
    gameEnvironment.emplace_back("DUNMARCH_INPUT", (scratch.root / "input.txt").string());
    // Frames are counted as presented; once the battle has played its frames the game is
    // asked to close (SIGTERM, as a window's close), and shuts down as it always does.
    long frame = 0, battleFrame = -1;
    bool asked = false;
    std::string atEnd;
    const ChildRun game =
        RunChild(scratch.game, {(scratch.game / "dunmarch").string(), "-qaf=" + std::to_string(6000 + playFrames)},
                 gameEnvironment, [&](pid_t child, const std::string& line) {
                     if (line.find("[trace] frame presented") != std::string::npos) ++frame;
                     if (line.find("[trace] state entered: GameState") != std::string::npos) battleFrame = frame;
                     if (!asked && battleFrame >= 0 && frame >= battleFrame + playFrames) {
                         asked = true;
                         atEnd = ResidentParts(child);
                         kill(child, SIGTERM);
                     }
                 });
    if (!game.ok || !asked) {
        std::fprintf(stderr, "bench_memory: the game did not continue the saved battle for %ld frames\n", playFrames);
        return 1;
    }
    const double peak = game.peakKiB / 1024.0;
    std::printf("dunmarch, loading, menu and the battle continued at step %ld: peak %.1f MiB in %.1f s\n", busiestStep,
                peak, game.seconds);
    std::printf("dunmarch after those frames: %s\n", atEnd.c_str());
    std::printf("peak resident memory of dunmarch in the busiest sample battle: %.1f MiB (goal: under %.0f MB) %s\n",
                peak, kGoalMiB, peak * 1.048576 < kGoalMiB ? "met" : "MISSED");
    const double own = whole.peakKiB / 1024.0;
    std::printf(
        "the game without the graphics driver (battle driver, null device, the whole battle): peak %.1f MiB "
        "in %.1f s, anonymous at most %.1f MiB (goal: at most %.0f MiB) %s\n",
        own, whole.seconds, peakAnonKiB / 1024.0, kOwnGoalMiB, own <= kOwnGoalMiB ? "met" : "MISSED");
    return 0;
}
