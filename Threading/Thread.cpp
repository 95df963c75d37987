#include "Threading/Thread.h"

#include <pthread.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/win32/Time.h"

namespace Threading {

namespace {

void WriteError(const char* what, int code) {
    std::fprintf(stderr, "(TThread) %s (%s)\n", what, std::strerror(code));
    std::fflush(stderr);
}

}  // namespace

void* ThreadMain(void* object) {
    // Declared first, released last: the thread's share of the object.
    const std::unique_ptr<std::shared_ptr<Thread>> hold(static_cast<std::shared_ptr<Thread>*>(object));
    Thread& self = **hold;
    {
        std::lock_guard<std::mutex> lock(self.mutex_);
        self.worker_ = pthread_self();
        self.worker_known_ = true;
    }
    // Also when the run is cancelled or exits: no cancel is sent after this,
    // and the flag drops as the last action on the object.
    struct End {
        Thread& self;
        ~End() {
            int previous = 0;
            pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, &previous);
            {
                std::lock_guard<std::mutex> lock(self.mutex_);
                self.finished_ = true;
            }
            self.running_.exchange(0);
        }
    } end{self};
    self.Run();
    return nullptr;
}

Thread::Thread(int parameter) : parameter_(parameter) {}

Thread::~Thread() {
    if (joinable_) {
        // The thread no longer uses the object: it has returned from its run,
        // or it is the thread itself letting the object go.
        if (OnWorker()) pthread_detach(pthread_self());
        else pthread_join(handle_, nullptr);
    }
    if (attributes_initialised_) pthread_attr_destroy(&attributes_);
}

void Thread::Start(bool detached, bool systemScope) {
    if (running_.load() != 0) {
        std::fprintf(stdout, "(TThread) create : thread is already running\n");
        std::fflush(stdout);
        return;
    }
    std::shared_ptr<Thread> self = weak_from_this().lock();
    if (!self) {
        WriteError("create : the thread object is not held by a shared pointer", EINVAL);
        return;
    }
    if (joinable_) {  // an earlier run that has ended
        pthread_join(handle_, nullptr);
        joinable_ = false;
    }
    if (attributes_initialised_) {
        pthread_attr_destroy(&attributes_);
        attributes_initialised_ = false;
    }
    if (int rc = pthread_attr_init(&attributes_)) {
        WriteError("create : pthread_attr_init", rc);
        return;
    }
    attributes_initialised_ = true;
    if (detached) {
        if (int rc = pthread_attr_setdetachstate(&attributes_, PTHREAD_CREATE_DETACHED)) {
            WriteError("create : pthread_attr_setdetachstate", rc);
            return;
        }
    }
    if (systemScope) {
        if (int rc = pthread_attr_setscope(&attributes_, PTHREAD_SCOPE_SYSTEM)) {
            WriteError("create : pthread_attr_setscope", rc);
            return;
        }
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        worker_known_ = false;
        finished_ = false;
    }
    // The flag goes up before the thread exists, so a run that ends at once
    // cannot have its lowering overwritten.
    running_.store(1);
    auto* hold = new std::shared_ptr<Thread>(std::move(self));
    if (int rc = pthread_create(&handle_, &attributes_, &ThreadMain, hold)) {
        delete hold;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            finished_ = true;
        }
        running_.store(0);
        WriteError("create : pthread_create", rc);
        return;
    }
    joinable_ = !detached;
}

bool Thread::IsRunning() const { return running_.load() != 0; }

void Thread::Join() {
    if (joinable_) {
        if (int rc = pthread_join(handle_, nullptr)) {
            WriteError("join : pthread_join", rc);
            return;
        }
        joinable_ = false;
        running_.store(0);
    } else if (running_.load() != 0) {
        WriteError("join : pthread_join", EINVAL);  // detached: cannot be waited for
    }
}

void Thread::Detach() {
    if (!joinable_) return;
    if (int rc = pthread_detach(handle_)) {
        WriteError("detach : pthread_detach", rc);
        return;
    }
    joinable_ = false;
}

void Thread::Cancel() {
    // Until the thread has passed the end of its run it exists, detached or
    // not, so its handle is valid.
    std::lock_guard<std::mutex> lock(mutex_);
    if (finished_ || running_.load() == 0) return;
    if (int rc = pthread_cancel(handle_)) WriteError("cancel : pthread_cancel", rc);
}

bool Thread::OnWorker() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return worker_known_ && pthread_equal(pthread_self(), worker_);
}

void Thread::Exit() {
    if (running_.load() == 0 || !OnWorker()) return;
    pthread_exit(nullptr);  // the entry's guard lowers the flag on the way out
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

}  // namespace Threading

void SleepTimespec(const SleepTime& time) {
    ::Sleep(static_cast<DWORD>(time.seconds * 1000 + time.microseconds / 1000));
}

void SleepSeconds(float seconds) {
    if (seconds < 0) return;
    ::Sleep(static_cast<DWORD>(seconds * 1000.0f));
}
