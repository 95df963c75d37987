#pragma once
// One open video: an Ogg file with a Theora stream and, when the manager has an audio
// factory, a Vorbis stream. Construction reads both streams' headers, makes the Theora
// decoder, measures the duration from the end of the file, allocates the frame queue and
// obtains the audio output. Clips are made and destroyed only by OgvVideoManager.
//
// Playing: a worker decodes ahead into the frame queue (DecodeNextFrame, DoSeek); the main
// thread moves the clock, wraps it when the clip loops and feeds the sound (Update,
// DecodeAudio), then takes the frame due now (GetNextFrame, PopFrame).
#include <atomic>
#include <cstdint>
#include <string>

class DecodedVideoFrame;
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
    // Frames late by more than this when due are dropped.
    static constexpr float kLateWindow = 0.1f;
    // The sound read ahead of the clock.
    static constexpr float kAudioAhead = 1.0f;
    // At the wrap, queued frames timed after this belong to the loop that ends.
    static constexpr float kNewLoopTime = 0.5f;
    // While the clock is still at the end, late frames before this belong to the next loop.
    static constexpr float kNextLoopFrameTime = 2.0f;
    static constexpr int kSeekPasses = 100;
    // seekTime: no seek, or a seek performed that waits for a keyframe.
    static constexpr float kNoSeek = -1.0f;
    static constexpr float kAwaitingKeyframe = -2.0f;

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

    // The clock; with sound also its source.
    void Play();
    void Pause();
    bool IsPaused();
    // Pauses and seeks to the start.
    void Stop();
    // Records a seek for the worker's next turn; a later one replaces it.
    void Seek(float seconds);
    // Looping; switching it on also lets a clip at its end decode again.
    void SetAutoRestart(bool value);
    bool GetAutoRestart() const { return autoRestart.load(); }
    bool IsEndOfFile() const { return endOfFile.load(); }
    // The data was rewound for the next loop and the clock has not wrapped yet.
    bool IsRestarted() const { return restarted.load(); }
    int GetNumDroppedFrames() const { return numDroppedFrames.load(); }
    int GetNumDisplayedFrames() const { return numDisplayedFrames.load(); }
    OgvMutex* GetAudioMutex() const { return audioMutex; }

    // Main thread, once a frame: moves the clock by increase seconds and wraps it at the
    // end of a looping clip, keeping one end frame to show at once.
    void Update(float increase);
    // Main thread, after Update: hands the decoded sound to the audio output.
    void DecodeAudio();
    // The frame to show now, or null; frames more than kLateWindow late are dropped on
    // the way. The caller copies the picture and then pops it.
    DecodedVideoFrame* GetNextFrame();
    void PopFrame();

    // Ready frames, plus half the queue while the clock is paused; lower is more urgent.
    float GetPriority();
    bool IsBusy() const { return assignedWorker.load() != nullptr; }
    OgvWorkerThread* GetAssignedWorker() const { return assignedWorker.load(); }
    void SetAssignedWorker(OgvWorkerThread* worker) { assignedWorker = worker; }
    // -1 no seek; 0 or more a pending seek to this time.
    float GetSeekTime() const { return seekTime.load(); }

    // The worker's turn: a pending seek, then one frame decoded into the queue (frames
    // already late are decoded but not converted).
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
    // Worker: more data into the streams, the sound kept kAudioAhead ahead of the clock;
    // false at the end of the data, where a looping clip rewinds.
    bool ReadData();
    // Worker: back to the start of the data for the next loop.
    void Restart();
    void ReplaceDecoder();
    // Worker: bisection over the data for the page before targetFrame; the keyframe's
    // granule number, or -1 when positioning the streams there.
    int SeekPage(int targetFrame, bool returnKeyframe);
    // The clock's operations, under the audio lock: with sound the clock is the output.
    void ClockSeek(float seconds);

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
    // Worker only: the keyframe the last seek aims at (its granule number), -1 when none.
    int32_t seekKeyframe = -1;
    std::atomic<float> seekTime{kNoSeek};
    std::atomic<float> duration{-1.0f};
    std::string name;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
    int32_t numFrames = 0;
    int32_t outputMode;
    std::atomic<bool> autoRestart{false};
    bool use_power2_stride_;
    std::atomic<bool> endOfFile{false};
    std::atomic<bool> restarted{false};
    OgvStreams* streams = nullptr;
    OgvMutex* audioMutex = nullptr;
};
