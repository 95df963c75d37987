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

#include "platform/win32/Types.h"

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

// The main thread's half until the loading window takes it over: starts PreloadAssets
// on a loader thread and takes turns with it until it has ended, calling onProgress
// (when set) on the main thread with each new progress value. True when the loading
// finished, false when the loader ended early.
bool PreloadByTurns(const std::function<void(LONG progress)>& onProgress);
