#include "Video/ogv/OgvWorkerThread.h"

#include "Video/ogv/OgvVideoClip.h"
#include "Video/ogv/OgvVideoManager.h"

void OgvWorkerThread::Execute() {
    // The flag was raised by Start: raising it here would undo a Join that came first.
    while (running) Wait(Step() ? kBusyWaitMs : kIdleWaitMs);
}

bool OgvWorkerThread::Step() {
    currentClip = OgvVideoManager::Instance()->PickClipForWorker(this);
    if (currentClip == nullptr) return false;
    if (currentClip->GetSeekTime() >= 0) currentClip->DoSeek();
    currentClip->DecodeNextFrame();
    currentClip->SetAssignedWorker(nullptr);
    currentClip = nullptr;
    return true;
}
