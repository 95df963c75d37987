#pragma once
// The video library's centre: it owns the open clips and the decoding threads, carries the
// log output and the factory of the clips' audio outputs. One manager exists at a time;
// clips and workers reach it through Instance.
#include <string>
#include <vector>

class OgvAudioInterfaceFactory;
class OgvDataSource;
class OgvMutex;
class OgvVideoClip;
class OgvWorkerThread;

// The library's log output: the message and a newline on the standard output. Tests may
// point it elsewhere before they make a manager.
using OgvLogFunction = void (*)(const std::string& message);
extern OgvLogFunction ogvLogFunction;

class OgvVideoManager {
public:
    static constexpr int kDefaultPrecachedFrames = 16;

    // Builds the colour tables and starts workerCount decoding threads (0 leaves the
    // decoding to the caller, through OgvWorkerThread::Step).
    explicit OgvVideoManager(int workerCount);
    // Joins every worker before any clip is deleted; then Instance gives null.
    virtual ~OgvVideoManager();
    OgvVideoManager(const OgvVideoManager&) = delete;
    OgvVideoManager& operator=(const OgvVideoManager&) = delete;

    static OgvVideoManager* Instance();

    // Not owned. Clips made afterwards take their audio output from it.
    void SetAudioInterfaceFactory(OgvAudioInterfaceFactory* factory);
    OgvAudioInterfaceFactory* GetAudioInterfaceFactory() const { return audioFactory; }

    // Opens a clip on source (not owned by the clip) and lists it. 0 precached frames means
    // the default. The clip's _OgvGenericException reaches the caller with nothing listed.
    OgvVideoClip* CreateVideoClip(OgvDataSource* source, int outputMode, int numPrecachedFrames = 0,
                                  bool usePower2Stride = false);
    // Waits for a worker decoding the clip, then unlists and deletes it. A clip this
    // manager does not list is left alone.
    void DestroyVideoClip(OgvVideoClip* clip);
    // The most urgent clip that no worker holds (ties to the earlier clip), now held by
    // worker; null when there is none.
    OgvVideoClip* PickClipForWorker(OgvWorkerThread* worker);
    // Main thread, once a frame: every clip's clock moves by increase seconds and its
    // sound is fed. Only the main thread adds or removes clips, so no lock is taken.
    void Update(float increase);

    void Log(const std::string& message);
    void GetVersion(int* major, int* minor, int* revision);
    // "1.0 RC2"
    std::string GetVersionString();

    const std::vector<OgvVideoClip*>& GetClips() const { return clips; }
    const std::vector<OgvWorkerThread*>& GetWorkers() const { return workers; }

private:
    std::vector<OgvWorkerThread*> workers;
    std::vector<OgvVideoClip*> clips;
    int defaultPrecachedFrames;
    OgvMutex* mutex;
    OgvAudioInterfaceFactory* audioFactory;
};
