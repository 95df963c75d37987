#pragma once
// Work off the main thread over POSIX threads. The owner polls IsRunning,
// which the thread lowers atomically as its last action.
//
// The running flag and the hand-over with the thread live in a block that
// the thread shares, so a thread object may be destroyed while its thread
// still runs: the thread is then detached and finishes on its own, and
// nothing is written to the destroyed object. A subclass whose object may
// be destroyed that way calls Release() first in its destructor and lets
// Run touch its members only inside WithObject(this, ...).
#include <cstdint>
#include <memory>

namespace Threading {

class Thread {
public:
    explicit Thread(int parameter = -1);
    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    virtual void Run() = 0;

    // Starts the thread unless it runs already (then one line on the
    // standard output); a failure leaves it not running and writes one line
    // to the standard error.
    void Start(bool detached = false, bool systemScope = false);
    bool IsRunning() const;
    // Waits for a thread started without detaching.
    void Join();
    void Detach();
    // Asks a thread started without detaching to stop at its next
    // cancellation point; the flag drops when it has.
    void Cancel();
    // Ends the calling thread when it is this object's thread.
    void Exit();
    // Sleeps the calling thread, only while this object's thread runs.
    void Sleep(float seconds);

    void SetParameter(int parameter) { parameter_ = parameter; }
    int GetParameter() const { return parameter_; }

protected:
    // After Release the thread no longer reaches this object: Run has not
    // begun and never will, or it has returned, or it has passed a
    // WithObject call and every later one fails.
    void Release();
    // Runs f under the hand-over lock while the object is not released;
    // false (f not run) once it is. Static, called as WithObject(this, f):
    // within Run it never reads the object, so it is safe after the object
    // is gone.
    template <typename F>
    static bool WithObject(Thread* self, F&& f) {
        State* state = BeginUse(self);
        if (state == nullptr) return false;
        f();
        EndUse(state);
        return true;
    }

private:
    struct State;
    friend void* ThreadMain(void* state);
    // The state of the calling worker thread, else the object's own; locked
    // and returned while the object is not released.
    static State* BeginUse(Thread* self);
    static void EndUse(State* state);

    static thread_local State* t_workerState;

    std::shared_ptr<State> state_;
    int parameter_;
};

// The entry handed to pthread_create.
void* ThreadMain(void* state);

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
