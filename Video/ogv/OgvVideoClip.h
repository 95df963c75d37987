#pragma once
// One open video: an Ogg file with a Theora stream and, when the manager has an audio
// factory, a Vorbis stream. Construction reads both streams' headers, makes the Theora
// decoder, measures the duration from the end of the file, allocates the frame queue and
// obtains the audio output. Clips are made and destroyed only by OgvVideoManager.
#include <atomic>
#include <cstdint>
#include <string>

class OgvAudioInterface;
class OgvDataSource;
class OgvFrameQueue;
class OgvMutex;
class OgvTimer;
class OgvWorkerThread;
struct OgvStreams;

class OgvVideoClip {
public:
    static constexpr int kMaxFrameSide = 4096;
    static constexpr int kReadSize = 4096;
    static constexpr int kDurationWindows = 10;

    // Throws _OgvGenericException when the headers cannot be used; nothing is left behind.
    OgvVideoClip(OgvDataSource* source, int outputMode, int numPrecachedFrames, bool usePower2Stride);
    // Waits for a worker that decodes the clip. The data source is left to its creator.
    ~OgvVideoClip();
    OgvVideoClip(const OgvVideoClip&) = delete;
    OgvVideoClip& operator=(const OgvVideoClip&) = delete;

    // The clock in use; null gives back the clip's own.
    void SetTimer(OgvTimer* clock);
    void SetAudioInterface(OgvAudioInterface* output) { audioInterface = output; }

    std::string GetName() const { return name; }
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    int GetStride() const { return stride; }
    int GetOutputMode() const { return outputMode; }
    // Seconds; -1 while unknown.
    float GetDuration() const { return duration.load(); }
    // 0 while unknown.
    int GetNumFrames() const { return numFrames; }
    float GetTimePosition();
    int GetNumPrecachedFrames() const;
    int GetNumReadyFrames() const;
    OgvFrameQueue* GetFrameQueue() const { return frameQueue; }
    OgvAudioInterface* GetAudioInterface() const { return audioInterface; }
    OgvTimer* GetTimer() const { return timer; }
    OgvDataSource* GetDataSource() const { return dataSource; }
    // Header packets parsed: 0 when the stream was not found, 3 when it is complete.
    int GetTheoraHeaders() const { return theoraHeaders; }
    int GetVorbisHeaders() const { return vorbisHeaders; }
    bool HasDecoder() const;

    void Play();
    void Pause();
    bool IsPaused();

    // Ready frames, plus half the queue while the clock is paused; lower is more urgent.
    float GetPriority();
    bool IsBusy() const { return assignedWorker.load() != nullptr; }
    OgvWorkerThread* GetAssignedWorker() const { return assignedWorker.load(); }
    void SetAssignedWorker(OgvWorkerThread* worker) { assignedWorker = worker; }
    // -1 no seek; 0 or more a pending seek to this time.
    float GetSeekTime() const { return seekTime.load(); }

    // The worker's turn. Stand-ins until the decoding lands: the seek does nothing, the
    // decode reads one chunk of the data and decodes nothing.
    void DoSeek();
    void DecodeNextFrame();

private:
    void Load(OgvDataSource* source);
    void ReadTheoraVorbisHeaders();
    void ReadDuration();
    // Up to kReadSize more bytes into the sync state; the count.
    int32_t BufferData();
    // Every codec state back to zero, its memory freed.
    void ClearStreams();
    void Free();
    void Log(const std::string& message);

    OgvFrameQueue* frameQueue = nullptr;
    OgvAudioInterface* audioInterface = nullptr;
    OgvDataSource* dataSource = nullptr;
    OgvTimer* timer = nullptr;
    OgvTimer* defaultTimer = nullptr;
    std::atomic<OgvWorkerThread*> assignedWorker{nullptr};
    std::atomic<int32_t> numDroppedFrames{0};
    std::atomic<int32_t> numDisplayedFrames{0};
    int32_t theoraHeaders = 0;
    int32_t vorbisHeaders = 0;
    int32_t numPrecachedFrames;
    int32_t audioPageSkipped = 0;
    std::atomic<float> seekTime{-1.0f};
    std::atomic<float> duration{-1.0f};
    std::string name;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
    int32_t numFrames = 0;
    int32_t outputMode;
    bool autoRestart = false;
    bool use_power2_stride_;
    std::atomic<bool> endOfFile{false};
    std::atomic<bool> restarted{false};
    OgvStreams* streams = nullptr;
    OgvMutex* audioMutex = nullptr;
};
