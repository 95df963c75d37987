#include "Video/ogv/OgvVideoManager.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "Video/ogv/OgvColourConversion.h"
#include "Video/ogv/OgvDataSource.h"
#include "Video/ogv/OgvMutex.h"
#include "Video/ogv/OgvText.h"
#include "Video/ogv/OgvVideoClip.h"
#include "Video/ogv/OgvWorkerThread.h"

namespace {

void PrintLine(const std::string& message) { std::printf("%s\n", message.c_str()); }

std::atomic<OgvVideoManager*> g_instance{nullptr};

}  // namespace

OgvLogFunction ogvLogFunction = &PrintLine;

OgvVideoManager::OgvVideoManager(int workerCount) {
    defaultPrecachedFrames = kDefaultPrecachedFrames;
    g_instance = this;
    Log("Initializing Ogv Video Library (" + GetVersionString() + ")");
    audioFactory = nullptr;
    mutex = new OgvMutex();
    BuildYuvTables();
    for (int i = 0; i < workerCount; ++i) {
        OgvWorkerThread* worker = new OgvWorkerThread();
        worker->Start();
        workers.push_back(worker);
    }
}

OgvVideoManager::~OgvVideoManager() {
    for (OgvWorkerThread* worker : workers) {
        worker->Join();
        delete worker;
    }
    workers.clear();
    for (OgvVideoClip* clip : clips) delete clip;
    clips.clear();
    delete mutex;
    OgvVideoManager* self = this;
    g_instance.compare_exchange_strong(self, nullptr);
}

OgvVideoManager* OgvVideoManager::Instance() { return g_instance.load(); }

void OgvVideoManager::SetAudioInterfaceFactory(OgvAudioInterfaceFactory* factory) { audioFactory = factory; }

OgvVideoClip* OgvVideoManager::CreateVideoClip(OgvDataSource* source, int outputMode, int numPrecachedFrames,
                                               bool usePower2Stride) {
    OgvMutexLock lock(*mutex);
    if (numPrecachedFrames == 0) numPrecachedFrames = defaultPrecachedFrames;
    Log("Creating video from data source: " + source->Name());
    OgvVideoClip* clip = new OgvVideoClip(source, outputMode, numPrecachedFrames, usePower2Stride);
    clips.push_back(clip);
    return clip;
}

void OgvVideoManager::DestroyVideoClip(OgvVideoClip* clip) {
    if (clip == nullptr) return;
    OgvMutexLock lock(*mutex);
    // Look the clip up before touching it: a pointer that is not listed may be stale.
    const auto listed = std::find(clips.begin(), clips.end(), clip);
    if (listed == clips.end()) {
        Log("Destroying video clip: not a clip of this manager, nothing destroyed");
        return;
    }
    Log("Destroying video clip: " + clip->GetName());
    // Holding the lock keeps the worker from picking the clip again once it lets go.
    bool waited = false;
    while (clip->GetAssignedWorker() != nullptr) {
        if (!waited) Log("Waiting for WorkerThread to finish decoding in order to destroy");
        waited = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (waited) Log("WorkerThread done, destroying..");
    clips.erase(listed);
    delete clip;
    Log("Destroyed video.");
}

OgvVideoClip* OgvVideoManager::PickClipForWorker(OgvWorkerThread* worker) {
    OgvMutexLock lock(*mutex);
    float best = 100000.0f;
    OgvVideoClip* chosen = nullptr;
    for (OgvVideoClip* clip : clips) {
        if (clip->GetAssignedWorker() != nullptr) continue;
        const float priority = clip->GetPriority();
        if (priority < best) {
            best = priority;
            chosen = clip;
        }
    }
    if (chosen != nullptr) chosen->SetAssignedWorker(worker);
    return chosen;
}

void OgvVideoManager::Update(float increase) {
    for (OgvVideoClip* clip : clips) {
        clip->Update(increase);
        clip->DecodeAudio();
    }
}

void OgvVideoManager::Log(const std::string& message) { ogvLogFunction(message); }

void OgvVideoManager::GetVersion(int* major, int* minor, int* revision) {
    *major = 1;
    *minor = 0;
    *revision = -2;
}

std::string OgvVideoManager::GetVersionString() {
    int major, minor, revision;
    GetVersion(&major, &minor, &revision);
    std::string text = OgvIntText(major) + "." + OgvIntText(minor);
    if (revision < 0) text += " RC" + OgvIntText(-revision);
    if (revision > 0) text += "." + OgvIntText(revision);
    return text;
}
