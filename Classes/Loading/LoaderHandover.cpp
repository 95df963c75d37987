#include "Classes/Loading/LoaderHandover.h"

#include "Classes/Loading/PreloadAssets.h"
#include "Core/Delegate.h"
#include "Threading/QThread.h"
#include "platform/win32/ThreadTurns.h"
#include "platform/win32/Time.h"

std::atomic<HANDLE> MainThreadHandle{nullptr};
std::atomic<HANDLE> LoaderThreadHandle{nullptr};
std::atomic<LONG> LoadingProgress{0};
std::atomic<LONG> LoadingFinished{0};
std::atomic<bool> LoaderStopRequested{false};

namespace {

const DWORD kRefused = static_cast<DWORD>(-1);

std::atomic<bool> g_loaderEntered{false};

void LoaderThreadMain(void*) {
    g_loaderEntered = true;
    PreloadAssets();
}

// Parks the main thread until the loader hands the turn back; nothing to wait for
// without a main thread handle (the loader then runs straight through).
bool WaitForTurn() {
    const HANDLE main = MainThreadHandle.load();
    return main == nullptr || SuspendThread(main) != kRefused;
}

}  // namespace

LoaderTurns::LoaderTurns() = default;

LoaderTurns::~LoaderTurns() { Stop(); }

LoaderTurns::Result LoaderTurns::Start() {
    if (MainThreadHandle.load() == nullptr) {
        HANDLE main = nullptr;
        if (DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &main, 0, TRUE,
                            DUPLICATE_SAME_ACCESS))
            MainThreadHandle = main;
    }
    LoaderStopRequested = false;
    g_loaderEntered = false;
    loader_ = Threading::QThread::Create(Delegate<>::FromFunction<&LoaderThreadMain, void>(nullptr), true, true, -1);
    // The loader hands the first turn over after its preparation (or as it ends); a
    // thread that never started (not running, never entered) hands nothing over.
    if (!loader_->IsRunning() && !g_loaderEntered.load()) {
        loader_.reset();
        return kLoaderEnded;
    }
    return WaitForTurn() ? kTurnTaken : kTurnFailed;
}

LoaderTurns::Result LoaderTurns::Turn() {
    const HANDLE loader = LoaderThreadHandle.load();
    if (loader == nullptr) return kLoaderEnded;
    // A loader that did not get the turn will not hand it back: waiting would hang.
    if (ResumeThread(loader) == kRefused) return kTurnFailed;
    if (!WaitForTurn()) return kTurnFailed;
    Sleep(20);
    return kTurnTaken;
}

void LoaderTurns::Stop() {
    if (!loader_) return;
    if (const HANDLE loader = LoaderThreadHandle.load()) {
        LoaderStopRequested = true;
        // The loader ends in the turn it is given and hands that turn back as it ends.
        if (ResumeThread(loader) != kRefused) WaitForTurn();
    }
    loader_.reset();  // joins the loader
    LoaderStopRequested = false;
}

bool PreloadByTurns(const std::function<void(LONG progress)>& onProgress) {
    const LONG finishedBefore = LoadingFinished.load();
    LoaderTurns turns;
    if (turns.Start() == LoaderTurns::kLoaderEnded) return false;
    LONG shown = 0;
    for (;;) {
        const LONG progress = LoadingProgress.load();
        if (progress != shown && onProgress) onProgress(progress);
        shown = progress;
        if (turns.Turn() != LoaderTurns::kTurnTaken) break;
    }
    turns.Stop();
    return LoadingFinished.load() != finishedBefore;
}
