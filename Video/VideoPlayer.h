#pragma once
// The video library in the engine: the player owns the library (its manager with one
// decoding thread, and the sound output's factory when the game has a sound context),
// opens a clip through the file layer, lets it advance once a frame, copies the frame due
// into a lockable texture and draws it as a 2D quad. The intro window owns one.
//
// Main thread only. The manager, the open clip and the precache hold are process-wide:
// one player at a time.
#include <boost/shared_ptr.hpp>

#include <string>

class OgvFile;
class OgvVideoClip;
class OgvVideoManager;

namespace Graphics {
class GraphicsDevice;
class Texture2D;
}  // namespace Graphics

namespace Video {
class OpenAL_AudioInterfaceFactory;
}

class VideoPlayer {
public:
    // Creates the library with that many decoding threads (tests may take the decoding
    // turns themselves with 0).
    explicit VideoPlayer(int workerCount = 1);
    // Destroys the library: the clip, its sound and the threads.
    ~VideoPlayer();
    VideoPlayer(const VideoPlayer&) = delete;
    VideoPlayer& operator=(const VideoPlayer&) = delete;

    // Replaces the open clip with the file's, looping, and makes its texture, white until
    // the first frame. False, with no clip open, when the file is missing or holds no
    // usable Theora stream.
    bool Open(Graphics::GraphicsDevice* device, const std::string& path);
    // A white texture of that size to draw while no clip is open.
    void CreateEmptyTexture(Graphics::GraphicsDevice* device, int width, int height);

    // Advances the clip by the frame time once half its queue is ready; false without a
    // library or while waiting for that.
    bool Update();
    // Copies the frame due now into the texture and pops it; false when none is due.
    bool UploadFrame();
    // The picture at that place and size on the 2D layer (inside Draw2D's Begin and End).
    void Draw(float x, float y, float width, float height);

    // Seconds; 0 without a clip.
    float GetTimePosition();
    // Seconds; 1 without a clip.
    float GetDuration();
    bool Play();
    bool Pause();
    bool Stop();
    bool IsPaused();
    bool SeekToFraction(float fraction);
    // One line on the clip, its texture and position (a buffer shared by every call).
    const char* GetInfoText();

    const boost::shared_ptr<Graphics::Texture2D>& GetTexture() const { return texture; }
    int GetTextureWidth() const { return textureWidth; }
    int GetTextureHeight() const { return textureHeight; }
    static OgvVideoManager* GetManager();
    static OgvVideoClip* GetClip();

private:
    void CreateVideoLibrary(int workerCount);
    void DestroyVideoLibrary();
    // A texture of power-of-two sides covering width x height, filled with opaque white.
    void MakeTexture(Graphics::GraphicsDevice* device, int width, int height);

    int emptyWidth = 0;
    int emptyHeight = 0;
    boost::shared_ptr<Graphics::Texture2D> texture;
    int textureWidth = 0;
    int textureHeight = 0;
    Video::OpenAL_AudioInterfaceFactory* audioFactory = nullptr;
    OgvFile* dataSource;
};

// The smallest power of two at least value (1 for 0 and below).
int NextPowerOfTwo(int value);
