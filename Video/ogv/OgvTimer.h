#pragma once
// A clip's clock in seconds. The main thread moves it; a worker reads the time and the
// paused state without a lock, so both are atomic.
#include <atomic>

class OgvTimer {
public:
    virtual ~OgvTimer() = default;

    virtual float GetTime() { return time.load(); }
    // Adds increase x speed; the clip calls it only while the clock runs.
    virtual void Update(float increase) { time = time.load() + increase * speed; }
    virtual void Pause() { paused = true; }
    virtual void Play() { paused = false; }
    virtual bool IsPaused() { return paused.load(); }
    virtual void Stop() {}
    virtual void SetSpeed(float value) { speed = value; }
    virtual float GetSpeed() { return speed; }
    virtual void Seek(float seconds) { time = seconds; }

protected:
    std::atomic<float> time{0.0f};
    float speed = 1.0f;
    std::atomic<bool> paused{false};
};
