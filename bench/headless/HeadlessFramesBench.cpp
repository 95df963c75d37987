// Runs the game headless on the sample data for 1,000 frames and for 100,000 frames
// (`-qaf`) and prints the peak memory of each run, their ratio (goal: the long run within
// 10% of the short one: frames that are never handed to the renderer make memory grow
// without limit) and the time of a frame. Arguments: the two frame counts.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Run {
    bool ok = false;
    double seconds = 0.0;
    long peakKiB = 0;
};

Run RunGame(long frames) {
    Run run;
    const std::string quit = "-qaf=" + std::to_string(frames);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(DM_BENCH_GAME_DIR) != 0) _exit(127);
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("DUNMARCH_HEADLESS", "1", 1);
        setenv("ALSOFT_DRIVERS", "null", 0);
        if (std::freopen("/dev/null", "w", stdout) == nullptr || std::freopen("/dev/null", "w", stderr) == nullptr)
            _exit(127);
        execl("./dunmarch", "dunmarch", quit.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (child < 0) return run;
    int status = 0;
    rusage usage = {};
    if (wait4(child, &status, 0, &usage) != child) return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakKiB = usage.ru_maxrss;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    const long shortRun = argc > 1 ? std::atol(argv[1]) : 1000;
    const long longRun = argc > 2 ? std::atol(argv[2]) : 100000;
    if (shortRun <= 0 || longRun <= shortRun) {
        std::fprintf(stderr, "usage: bench_headless [short frames [long frames]]\n");
        return 2;
    }
    const Run a = RunGame(shortRun);
    const Run b = RunGame(longRun);
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
