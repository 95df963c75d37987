// Any bytes as an ".ogv" clip, played as the intro window plays one: opened by the
// engine's player on the null device with the game's sound output, then a second of
// frames (the decoding turns taken here), each due picture uploaded. Seeds: the sample
// data's clips.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Audio/AudioDevice.h"
#include "Core/FrameClock.h"
#include "Graphics/GraphicsDevice.h"
#include "Video/VideoPlayer.h"
#include "Video/ogv/OgvVideoClip.h"
#include "Video/ogv/OgvWorkerThread.h"
#include "platform/win32/Time.h"
#include "support/FuzzDevice.h"
#include "support/FuzzInput.h"

namespace {

Graphics::GraphicsDevice* TheDevice() {
    static Graphics::GraphicsDevice* graphics = [] {
        IDirect3D9* d3d = nullptr;
        IDirect3DDevice9* device = fuzzinput::NullDevice(64, 48, &d3d);
        return new Graphics::GraphicsDevice(d3d, device);
    }();
    return graphics;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    TheDevice();
    static Audio::AudioDevice* audio = new Audio::AudioDevice;  // the sound output, kept
    (void)audio;
    static platform::ScopedFakeClock* clock = new platform::ScopedFakeClock(1000);
    (void)clock;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (4u << 20)) return 0;
    const std::string path = fuzzinput::WriteNamed("clip.ogv", data, size);
    ResetFrameClock();
    VideoPlayer player(0);
    if (!player.Open(TheDevice(), path)) return 0;
    OgvVideoClip* clip = VideoPlayer::GetClip();
    OgvWorkerThread worker;
    for (int frame = 0; frame < 60; ++frame) {
        for (int turn = 0; turn < 2 && clip->GetNumReadyFrames() < clip->GetNumPrecachedFrames(); ++turn) worker.Step();
        platform::AdvanceFakeClock(frame % 3 == 2 ? 16 : 17);
        TickFrameClock();
        player.Update();
        player.UploadFrame();
    }
    player.GetInfoText();
    return 0;
}
