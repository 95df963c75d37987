#pragma once
// Work off the main thread over POSIX threads. The owner polls IsRunning,
// which the thread lowers atomically as its last action on the object.
//
// A thread object is owned jointly by its owner and its running thread: it
// is made with std::make_shared (or another shared pointer) and Start refuses
// any other. Releasing the owner's pointer therefore never blocks and never
// frees what Run still uses: the object goes when the last of the two lets it
// go, which may be the thread itself once Run has returned.
#include <pthread.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

namespace Threading {

class Thread : public std::enable_shared_from_this<Thread> {
public:
    explicit Thread(int parameter = -1);
    // Runs once neither the owner nor the thread holds the object: the run
    // has returned (or never began).
    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    virtual void Run() = 0;

    // Starts the thread unless it runs already (then one line on the
    // standard output); a failure, or an object not held by a shared
    // pointer, leaves it not running and writes one line to the standard
    // error.
    void Start(bool detached = false, bool systemScope = false);
    bool IsRunning() const;
    // Waits for a thread started without detaching.
    void Join();
    void Detach();
    // Asks a running thread, detached or not, to stop at its next
    // cancellation point; the flag drops when it has.
    void Cancel();
    // Ends the calling thread when it is this object's thread.
    void Exit();
    // Sleeps the calling thread, only while this object's thread runs.
    void Sleep(float seconds);

    void SetParameter(int parameter) { parameter_ = parameter; }
    int GetParameter() const { return parameter_; }

private:
    friend void* ThreadMain(void* object);
    bool OnWorker() const;

    pthread_t handle_{};
    pthread_attr_t attributes_{};
    std::atomic<int32_t> running_{0};
    int parameter_;
    bool attributes_initialised_ = false;
    bool joinable_ = false;  // started without detaching, not yet joined or detached

    // Between the owner and the thread: who the thread is, and whether it has
    // passed the end of its run (after which it is not cancelled). The flag is
    // changed under the mutex; it is atomic too, since a cancelled thread's
    // lock is not always seen by ThreadSanitizer.
    mutable std::mutex mutex_;
    pthread_t worker_{};
    bool worker_known_ = false;
    std::atomic<bool> finished_{true};
};

// The entry handed to pthread_create; its argument is a new
// std::shared_ptr<Thread>, the thread's share of the object.
void* ThreadMain(void* object);

}  // namespace Threading

// {whole seconds, microseconds}
struct SleepTime {
    long seconds;
    long microseconds;
};
// Sleeps seconds * 1000 + microseconds / 1000 milliseconds.
void SleepTimespec(const SleepTime& time);
// Sleeps the seconds cut to whole milliseconds; 0 yields the processor once,
// a negative value returns at once.
void SleepSeconds(float seconds);
