#pragma once
// The audio device on OpenAL Soft's loopback device: nothing reaches a sound card, and the
// caller renders the mix itself, a fixed number of frames per simulated frame, so playback
// advances exactly as far as the caller's clock says (the tests, the battle driver, whose
// frames run faster than real time). Header only.
#include <AL/alc.h>
#include <AL/alext.h>

#include <cstdint>
#include <vector>

#include "Audio/AudioDevice.h"

namespace Audio {

class LoopbackAudio {
public:
    static constexpr int kRate = 44100;
    // A frame of a 60 Hz game.
    static constexpr int kFrameSamples = kRate / 60;

    // Audio devices made while it lives open the loopback device.
    LoopbackAudio() { AudioDevice::SetOutputOpener(&Open); }
    ~LoopbackAudio() { AudioDevice::SetOutputOpener(nullptr); }
    LoopbackAudio(const LoopbackAudio&) = delete;
    LoopbackAudio& operator=(const LoopbackAudio&) = delete;

    // The next frames of the mix, 16-bit stereo interleaved; empty while no context is current.
    static std::vector<int16_t> Render(int frames) {
        std::vector<int16_t> out;
        ALCcontext* current = alcGetCurrentContext();
        if (current == nullptr) return out;
        static const LPALCRENDERSAMPLESSOFT render =
            reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
        out.resize(static_cast<size_t>(frames) * 2);
        render(alcGetContextsDevice(current), out.data(), frames);
        return out;
    }

private:
    // The device's attributes plus the loopback's output format.
    static bool Open(const ALCint* attributes, ALCdevice** device, ALCcontext** context) {
        static const LPALCLOOPBACKOPENDEVICESOFT open =
            reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
        if (open == nullptr) return false;
        ALCdevice* loopback = open(nullptr);
        if (loopback == nullptr) return false;
        std::vector<ALCint> list;
        for (const ALCint* a = attributes; *a != 0; a += 2) list.insert(list.end(), {a[0], a[1]});
        list.insert(list.end(), {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_SHORT_SOFT, 0});
        ALCcontext* created = alcCreateContext(loopback, list.data());
        if (created == nullptr || !alcMakeContextCurrent(created)) {
            if (created != nullptr) alcDestroyContext(created);
            alcCloseDevice(loopback);
            return false;
        }
        *device = loopback;
        *context = created;
        return true;
    }
};

}  // namespace Audio
