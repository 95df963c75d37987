#pragma once
// The values the loader thread (PreloadAssets) and the main thread share while
// the game loads, and the main thread's half of their turn-taking.
//
// The two threads never run at the same time: the loader hands the turn to the
// main thread after each loading step and waits; the main thread draws a frame,
// hands the turn back and waits. The content caches, the device and the file
// layer are shared without locks on that ground alone.
#include <atomic>
#include <functional>
#include <memory>

#include "platform/win32/Types.h"

namespace Threading {
class QThread;
}

// A real handle of the main thread, made once per process by the first main-thread
// half that finds it empty.
extern std::atomic<HANDLE> MainThreadHandle;
// The loader's own handle while it has work left; null once it has ended (however it
// ended), so the main thread hands no more turns to it.
extern std::atomic<HANDLE> LoaderThreadHandle;
// 0..100, written by the loader with an interlocked exchange.
extern std::atomic<LONG> LoadingProgress;
// Non-zero once the loader has loaded everything; never reset.
extern std::atomic<LONG> LoadingFinished;
// Set by the main thread when it gives up on the loading (the program ends): the
// loader then ends at the next turn it is given, without loading more.
extern std::atomic<bool> LoaderStopRequested;

// The main thread's half, one hand-over at a time (the loading window takes one a
// frame). Owns the loader thread.
class LoaderTurns {
public:
    enum Result {
        kTurnTaken,    // the loader had its turn and handed it back
        kLoaderEnded,  // no loader to hand a turn to (it has ended or never started)
        kTurnFailed,   // a resume or suspend was refused; nothing waits
    };

    LoaderTurns();
    // Stop: never waits for a loader that waits for this thread.
    ~LoaderTurns();
    LoaderTurns(const LoaderTurns&) = delete;
    LoaderTurns& operator=(const LoaderTurns&) = delete;

    // Makes the main thread's handle when there is none yet, starts PreloadAssets on a
    // loader thread and waits until the loader hands over its first turn (at once when
    // it already has). Without a main thread handle nothing waits.
    Result Start();
    // Gives the loader one turn while it has work left and waits for it to hand the
    // turn back, then sleeps 20 ms.
    Result Turn();
    // A loader with work left is asked to stop and given the turn to do so; then the
    // thread is joined. Nothing is left waiting either way.
    void Stop();

private:
    std::shared_ptr<Threading::QThread> loader_;
};

// The main thread's half until the loading window takes it over: starts PreloadAssets
// on a loader thread and takes turns with it until it has ended, calling onProgress
// (when set) on the main thread with each new progress value. True when the loading
// finished, false when the loader ended early.
bool PreloadByTurns(const std::function<void(LONG progress)>& onProgress);
