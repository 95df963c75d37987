#pragma once
// A decoding thread: it asks the manager for the most urgent clip, decodes one frame of it
// and asks again. An idle worker looks four times a second.
#include "Video/ogv/OgvThread.h"

class OgvVideoClip;

class OgvWorkerThread : public OgvThread {
public:
    static constexpr int kIdleWaitMs = 250;
    static constexpr int kBusyWaitMs = 1;

    void Execute() override;
    // One turn without the wait after it: pick a clip, perform a pending seek, decode one
    // frame, give the clip back. False when there was nothing to pick. A manager without
    // workers leaves the turns to its caller.
    bool Step();

    OgvVideoClip* GetCurrentClip() const { return currentClip; }

private:
    OgvVideoClip* currentClip = nullptr;
};
