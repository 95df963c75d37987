#include "Classes/Loading/LoaderHandover.h"

#include <memory>

#include "Classes/Loading/PreloadAssets.h"
#include "Core/Delegate.h"
#include "Threading/QThread.h"
#include "platform/win32/ThreadTurns.h"
#include "platform/win32/Time.h"

std::atomic<HANDLE> MainThreadHandle{nullptr};
std::atomic<HANDLE> LoaderThreadHandle{nullptr};
std::atomic<LONG> LoadingProgress{0};
std::atomic<LONG> LoadingFinished{0};

namespace {

std::atomic<bool> g_loaderEntered{false};

void LoaderThreadMain(void*) {
    g_loaderEntered = true;
    PreloadAssets();
}

}  // namespace

bool PreloadByTurns(const std::function<void(LONG progress)>& onProgress) {
    if (MainThreadHandle.load() == nullptr) {
        HANDLE main = nullptr;
        if (DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &main, 0, TRUE,
                            DUPLICATE_SAME_ACCESS))
            MainThreadHandle = main;
    }
    const LONG finishedBefore = LoadingFinished.load();
    g_loaderEntered = false;
    std::shared_ptr<Threading::QThread> loader =
        Threading::QThread::Create(Delegate<>::FromFunction<&LoaderThreadMain, void>(nullptr), true, true, -1);
    // The loader hands the first turn over after its preparation (or as it ends); a
    // thread that never started (not running, never entered) hands nothing over.
    if (!loader->IsRunning() && !g_loaderEntered.load()) return false;
    SuspendThread(MainThreadHandle.load());
    LONG shown = 0;
    for (;;) {
        const LONG progress = LoadingProgress.load();
        if (progress != shown && onProgress) onProgress(progress);
        shown = progress;
        const HANDLE loaderHandle = LoaderThreadHandle.load();
        if (loaderHandle == nullptr) break;
        ResumeThread(loaderHandle);
        SuspendThread(MainThreadHandle.load());
        Sleep(20);
    }
    loader.reset();  // joins the loader, which has handed back its last turn
    return LoadingFinished.load() != finishedBefore;
}
