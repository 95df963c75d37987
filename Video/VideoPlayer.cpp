#include "Video/VideoPlayer.h"

#include <AL/alc.h>

#include <cstdint>
#include <cstdio>

#include "Core/FrameClock.h"
#include "Graphics/Texture2D.h"
#include "Graphics/Draw2D.h"
#include "Maths/Color.h"
#include "Video/OpenAL_AudioInterface.h"
#include "Video/ogv/DecodedVideoFrame.h"
#include "Video/ogv/OgvColourConversion.h"
#include "Video/ogv/OgvFile.h"
#include "Video/ogv/OgvGenericException.h"
#include "Video/ogv/OgvVideoClip.h"
#include "Video/ogv/OgvVideoManager.h"

namespace {

OgvVideoManager* g_manager = nullptr;
OgvVideoClip* g_clip = nullptr;
// While set the clock waits for the queue to fill.
bool g_precache = true;

// Rows of texels pitch bytes apart, each filled by row(y, texels).
template <typename Row>
void FillTexture(Graphics::Texture2D* texture, Row row) {
    IDirect3DTexture9* device = texture != nullptr ? texture->GetTexture() : nullptr;
    // A texture the device refused has nothing to lock.
    if (device == nullptr) return;
    D3DLOCKED_RECT locked;
    if (device->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD) != D3D_OK) return;
    for (int y = 0;; ++y) {
        uint32_t* texels = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + size_t(y) * locked.Pitch);
        if (!row(y, texels)) break;
    }
    device->UnlockRect(0);
}

}  // namespace

int NextPowerOfTwo(int value) {
    int power = 1;
    while (power < value && power < (1 << 30)) power *= 2;
    return power;
}

VideoPlayer::VideoPlayer(int workerCount) : dataSource(new OgvFile()) { CreateVideoLibrary(workerCount); }

VideoPlayer::~VideoPlayer() {
    DestroyVideoLibrary();
    delete dataSource;
    texture.reset();
}

OgvVideoManager* VideoPlayer::GetManager() { return g_manager; }

OgvVideoClip* VideoPlayer::GetClip() { return g_clip; }

void VideoPlayer::CreateVideoLibrary(int workerCount) {
    if (g_manager != nullptr) return;
    g_manager = new OgvVideoManager(workerCount);
    g_precache = true;
    // Without the game's sound context the clip plays silently on its own clock.
    if (alcGetCurrentContext() == nullptr) return;
    if (audioFactory == nullptr) audioFactory = new Video::OpenAL_AudioInterfaceFactory();
    g_manager->SetAudioInterfaceFactory(audioFactory);
}

void VideoPlayer::DestroyVideoLibrary() {
    if (g_clip != nullptr && g_manager != nullptr) {
        g_clip->Stop();
        g_manager->DestroyVideoClip(g_clip);
        g_clip = nullptr;
    }
    delete g_manager;
    g_manager = nullptr;
    delete audioFactory;
    audioFactory = nullptr;
}

bool VideoPlayer::Open(Graphics::GraphicsDevice* device, const std::string& path) {
    if (g_manager == nullptr) return false;
    if (g_clip != nullptr) {
        g_manager->DestroyVideoClip(g_clip);
        g_clip = nullptr;
        g_precache = true;
    }
    if (!dataSource->Open(path)) {
        g_manager->Log(path + ": no such video");
        return false;
    }
    try {
        g_clip = g_manager->CreateVideoClip(dataSource, OgvOutputRGB, 0, false);
    } catch (_OgvGenericException& error) {
        g_manager->Log(path + ": " + error.GetText());
        dataSource->Close();
        return false;
    }
    if (!g_clip->HasDecoder()) {
        g_manager->DestroyVideoClip(g_clip);
        g_clip = nullptr;
        dataSource->Close();
        return false;
    }
    g_clip->SetAutoRestart(true);
    MakeTexture(device, g_clip->GetWidth(), g_clip->GetHeight());
    return true;
}

void VideoPlayer::CreateEmptyTexture(Graphics::GraphicsDevice* device, int width, int height) {
    emptyWidth = width;
    emptyHeight = height;
    MakeTexture(device, width, height);
}

void VideoPlayer::MakeTexture(Graphics::GraphicsDevice* device, int width, int height) {
    textureWidth = NextPowerOfTwo(width);
    textureHeight = NextPowerOfTwo(height);
    texture.reset(new Graphics::Texture2D(device, textureWidth, textureHeight, 1, Graphics::SurfaceFormatA8R8G8B8));
    const uint32_t white = Color(255, 255, 255).ToARGB();
    FillTexture(texture.get(), [&](int y, uint32_t* texels) {
        if (y >= textureHeight) return false;
        for (int x = 0; x < textureWidth; ++x) texels[x] = white;
        return true;
    });
}

bool VideoPlayer::Update() {
    if (g_manager == nullptr) return false;
    if (g_precache && g_clip != nullptr) {
        if (g_clip->GetNumReadyFrames() < 0.5f * static_cast<float>(g_clip->GetNumPrecachedFrames())) return false;
        g_precache = false;
    }
    g_manager->Update(GetFrameDelta());
    return true;
}

bool VideoPlayer::UploadFrame() {
    if (g_clip == nullptr) return false;
    DecodedVideoFrame* frame = g_clip->GetNextFrame();
    if (frame == nullptr) return false;
    const int width = g_clip->GetWidth();
    const int height = g_clip->GetHeight();
    const uint8_t* pixels = frame->GetPixels();
    FillTexture(texture.get(), [&](int y, uint32_t* texels) {
        if (y >= height) return false;
        const uint8_t* rgb = pixels + size_t(y) * width * 3;
        for (int x = 0; x < width; ++x, rgb += 3) texels[x] = Color(rgb[0], rgb[1], rgb[2], 255).ToARGB();
        return true;
    });
    g_clip->PopFrame();
    return true;
}

void VideoPlayer::Draw(float x, float y, float width, float height) {
    float sourceWidth, sourceHeight;
    if (g_clip != nullptr) {
        sourceWidth = static_cast<float>(g_clip->GetWidth());
        sourceHeight = static_cast<float>(g_clip->GetHeight());
    } else if (emptyWidth > 0) {
        sourceWidth = static_cast<float>(emptyWidth);
        sourceHeight = static_cast<float>(emptyHeight);
    } else {
        return;
    }
    if (!texture) return;
    Graphics::Draw2D::DrawTextureRegion(texture, x, y, width, height, 0.0f, 0.0f, sourceWidth, sourceHeight,
                                        Color::White);
}

float VideoPlayer::GetTimePosition() { return g_clip != nullptr ? g_clip->GetTimePosition() : 0.0f; }

float VideoPlayer::GetDuration() { return g_clip != nullptr ? g_clip->GetDuration() : 1.0f; }

bool VideoPlayer::Play() {
    if (g_clip == nullptr) return false;
    g_clip->Play();
    return true;
}

bool VideoPlayer::Pause() {
    if (g_clip == nullptr) return false;
    g_clip->Pause();
    return true;
}

bool VideoPlayer::Stop() {
    if (g_clip == nullptr) return false;
    g_clip->Stop();
    return true;
}

bool VideoPlayer::IsPaused() { return g_clip != nullptr && g_clip->IsPaused(); }

bool VideoPlayer::SeekToFraction(float fraction) {
    if (g_clip == nullptr) return false;
    g_clip->Seek(g_clip->GetDuration() * fraction);
    return true;
}

const char* VideoPlayer::GetInfoText() {
    static char text[300];
    if (g_clip == nullptr) {
        std::snprintf(text, sizeof(text), "no video opened");
        return text;
    }
    const float position = g_clip->GetTimePosition();
    const float duration = g_clip->GetDuration();
    std::snprintf(text, sizeof(text), "vid: %dx%d  tex: %dx%d  len %4.1fs  pos %5.2f  %4.1f%%", g_clip->GetWidth(),
                  g_clip->GetHeight(), textureWidth, textureHeight, duration, position, 100.0f * position / duration);
    return text;
}
