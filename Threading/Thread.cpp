#include "Threading/Thread.h"

#include <pthread.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/win32/Time.h"

namespace Threading {

struct Thread::State {
    std::atomic<int32_t> running{0};

    // Owner side only.
    pthread_t handle{};
    pthread_attr_t attributes{};
    bool attributesInitialised = false;
    bool joinable = false;  // started without detaching, not yet joined or detached

    // The hand-over between the owner and the thread.
    std::mutex mutex;
    std::condition_variable released;
    Thread* object = nullptr;  // null once released
    bool dispatching = false;  // the thread may still reach the object outside WithObject
    pthread_t worker{};        // the thread itself, once it runs
    bool workerKnown = false;

    bool OnWorker() const { return workerKnown && pthread_equal(pthread_self(), worker); }
};

// The state of the thread object whose thread this is (null on threads that
// were not started by a Thread).
thread_local Thread::State* Thread::t_workerState = nullptr;

namespace {

void WriteError(const char* what, int code) {
    std::fprintf(stderr, "(TThread) %s (%s)\n", what, std::strerror(code));
    std::fflush(stderr);
}

}  // namespace

void* ThreadMain(void* arg) {
    std::unique_ptr<std::shared_ptr<Thread::State>> hold(static_cast<std::shared_ptr<Thread::State>*>(arg));
    Thread::State* state = hold->get();
    // Guards, so that a thread that is cancelled or exits early does the same.
    struct LowerFlag {
        std::atomic<int32_t>* running;
        ~LowerFlag() { running->exchange(0); }
    };
    struct DispatchEnd {
        Thread::State* state;
        ~DispatchEnd() {
            std::lock_guard<std::mutex> lock(state->mutex);
            state->dispatching = false;
            state->released.notify_all();
        }
    };
    LowerFlag lower{&state->running};  // the thread's last action, after the run
    Thread* object;
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        object = state->object;
        state->dispatching = object != nullptr;
        state->worker = pthread_self();
        state->workerKnown = true;
    }
    DispatchEnd end{state};
    Thread::t_workerState = state;
    if (object != nullptr) object->Run();
    return nullptr;
}

Thread::Thread(int parameter) : state_(std::make_shared<State>()), parameter_(parameter) { state_->object = this; }

Thread::~Thread() {
    Release();
    State& s = *state_;
    if (s.joinable) {
        // A thread that has finished is reaped; one that still runs is left
        // to finish on its own (cancelling would unwind it at an arbitrary
        // point, with locks and half-written data left behind).
        if (s.running.load() == 0) pthread_join(s.handle, nullptr);
        else pthread_detach(s.handle);
        s.joinable = false;
    }
    if (s.attributesInitialised) pthread_attr_destroy(&s.attributes);
}

void Thread::Start(bool detached, bool systemScope) {
    State& s = *state_;
    if (s.running.load() != 0) {
        std::fprintf(stdout, "(TThread) create : thread is already running\n");
        std::fflush(stdout);
        return;
    }
    if (s.joinable) {  // an earlier run that has ended
        pthread_join(s.handle, nullptr);
        s.joinable = false;
    }
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (s.object == nullptr) return;  // released: being destroyed
        s.workerKnown = false;
    }
    if (s.attributesInitialised) {
        pthread_attr_destroy(&s.attributes);
        s.attributesInitialised = false;
    }
    if (int rc = pthread_attr_init(&s.attributes)) {
        WriteError("create : pthread_attr_init", rc);
        return;
    }
    s.attributesInitialised = true;
    if (detached) {
        if (int rc = pthread_attr_setdetachstate(&s.attributes, PTHREAD_CREATE_DETACHED)) {
            WriteError("create : pthread_attr_setdetachstate", rc);
            return;
        }
    }
    if (systemScope) {
        if (int rc = pthread_attr_setscope(&s.attributes, PTHREAD_SCOPE_SYSTEM)) {
            WriteError("create : pthread_attr_setscope", rc);
            return;
        }
    }
    // The flag goes up before the thread exists, so a run that ends at once
    // cannot have its lowering overwritten.
    s.running.store(1);
    auto* hold = new std::shared_ptr<State>(state_);
    if (int rc = pthread_create(&s.handle, &s.attributes, &ThreadMain, hold)) {
        delete hold;
        s.running.store(0);
        WriteError("create : pthread_create", rc);
        return;
    }
    s.joinable = !detached;
}

bool Thread::IsRunning() const { return state_->running.load() != 0; }

void Thread::Join() {
    State& s = *state_;
    if (s.joinable) {
        if (int rc = pthread_join(s.handle, nullptr)) {
            WriteError("join : pthread_join", rc);
            return;
        }
        s.joinable = false;
        s.running.store(0);
    } else if (s.running.load() != 0) {
        WriteError("join : pthread_join", EINVAL);  // detached: cannot be waited for
    }
}

void Thread::Detach() {
    State& s = *state_;
    if (!s.joinable) return;
    if (int rc = pthread_detach(s.handle)) {
        WriteError("detach : pthread_detach", rc);
        return;
    }
    s.joinable = false;
}

void Thread::Cancel() {
    State& s = *state_;
    // A detached thread may already be gone, so only a joinable one is asked.
    if (!s.joinable || s.running.load() == 0) return;
    if (int rc = pthread_cancel(s.handle)) WriteError("cancel : pthread_cancel", rc);
}

void Thread::Exit() {
    State& s = *state_;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (s.running.load() == 0 || !s.OnWorker()) return;
    }
    pthread_exit(nullptr);  // the entry's guards lower the flag on the way out
}

void Thread::Sleep(float seconds) {
    if (!IsRunning()) return;
    SleepTime time{0, 0};
    if (seconds > 0) {
        double whole = std::floor(seconds);
        time.seconds = static_cast<long>(whole);
        time.microseconds = static_cast<long>((seconds - whole) * 1000000.0);
    }
    SleepTimespec(time);
}

void Thread::Release() {
    State& s = *state_;
    std::unique_lock<std::mutex> lock(s.mutex);
    s.object = nullptr;
    if (s.OnWorker()) return;  // destroyed by its own thread
    s.released.wait(lock, [&] { return !s.dispatching; });
}

Thread::State* Thread::BeginUse(Thread* self) {
    State* state = t_workerState != nullptr ? t_workerState : self->state_.get();
    state->mutex.lock();
    if (state->object == nullptr) {
        state->dispatching = false;
        state->released.notify_all();
        state->mutex.unlock();
        return nullptr;
    }
    return state;
}

void Thread::EndUse(State* state) {
    state->dispatching = false;
    state->released.notify_all();
    state->mutex.unlock();
}

}  // namespace Threading

void SleepTimespec(const SleepTime& time) {
    ::Sleep(static_cast<DWORD>(time.seconds * 1000 + time.microseconds / 1000));
}

void SleepSeconds(float seconds) {
    if (seconds < 0) return;
    ::Sleep(static_cast<DWORD>(seconds * 1000.0f));
}
