#pragma once
// A thread with a running flag. Start raises the flag before the thread exists and Join
// lowers it, so a Join that comes before the thread's first turn still ends it. The
// library's waits are real time (never the platform's Sleep, which a test's fake clock
// turns into a yield that moves the clock).
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class OgvThread {
public:
    OgvThread() = default;
    // Joins a thread that still runs.
    virtual ~OgvThread();
    OgvThread(const OgvThread&) = delete;
    OgvThread& operator=(const OgvThread&) = delete;

    virtual void Execute() = 0;

    void Start();
    // Lowers the flag, wakes a Wait in progress and waits for the thread to end.
    void Join();
    bool IsRunning() const { return running.load(); }

protected:
    // Waits ms milliseconds of real time, or less when Join lowers the flag meanwhile.
    void Wait(int ms);

    std::atomic<bool> running{false};

private:
    std::thread thread_;
    std::mutex wake_mutex_;
    std::condition_variable wake_;
};
