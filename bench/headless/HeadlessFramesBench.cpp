// Runs the game headless on the sample data for 1,000 frames and for 100,000 frames
// (`-qaf`) and prints the peak memory of each run, their ratio (goal: the long run within
// 10% of the short one: frames that are never handed to the renderer make memory grow
// without limit) and the time of a frame. Arguments: the two frame counts.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/support/ChildRun.h"

namespace {

benchsupport::ChildRun RunGame(long frames) {
    return benchsupport::RunChild(DM_BENCH_GAME_DIR, {"./dunmarch", "-qaf=" + std::to_string(frames)},
                                  {{"SDL_VIDEODRIVER", benchsupport::EnvironmentOr("SDL_VIDEODRIVER", "offscreen")},
                                   {"DUNMARCH_HEADLESS", "1"},
                                   {"ALSOFT_DRIVERS", benchsupport::EnvironmentOr("ALSOFT_DRIVERS", "null")}});
}

}  // namespace

int main(int argc, char** argv) {
    const long shortRun = argc > 1 ? std::atol(argv[1]) : 1000;
    const long longRun = argc > 2 ? std::atol(argv[2]) : 100000;
    if (shortRun <= 0 || longRun <= shortRun) {
        std::fprintf(stderr, "usage: bench_headless [short frames [long frames]]\n");
        return 2;
    }
    const benchsupport::ChildRun a = RunGame(shortRun);
    const benchsupport::ChildRun b = RunGame(longRun);
    if (!a.ok || !b.ok) {
        std::fprintf(stderr, "bench_headless: the game did not run to its last frame in %s\n", DM_BENCH_GAME_DIR);
        return 1;
    }
    std::printf("%ld frames: peak %.1f MiB in %.2f s\n", shortRun, a.peakKiB / 1024.0, a.seconds);
    std::printf("%ld frames: peak %.1f MiB in %.2f s\n", longRun, b.peakKiB / 1024.0, b.seconds);
    std::printf("peak memory, %ld frames / %ld frames: %.3f (goal: at most 1.10)\n", longRun, shortRun,
                static_cast<double>(b.peakKiB) / static_cast<double>(a.peakKiB));
    std::printf("a frame: %.3f ms\n", (b.seconds - a.seconds) * 1000.0 / static_cast<double>(longRun - shortRun));
    return 0;
}
