#include "Threading/QThread.h"

namespace Threading {

namespace {

// The owner's share: the thread holds the object on its own while it runs,
// so the owner's release is where join-on-destroy waits.
struct Owner {
    std::shared_ptr<QThread> thread;
    bool join = false;
    ~Owner() {
        if (join && thread && thread->IsRunning()) thread->Join();
    }
};

}  // namespace

QThread::QThread(const Delegate<>& work, bool joinOnDestroy, int parameter)
    : Thread(parameter), work_(work), join_on_destroy_(joinOnDestroy) {}

std::shared_ptr<QThread> QThread::Create(const Delegate<>& work, bool startNow, bool joinOnDestroy, int parameter) {
    std::shared_ptr<QThread> thread(new QThread(work, joinOnDestroy, parameter));
    if (startNow) thread->Start(false, false);
    QThread* object = thread.get();
    auto owner = std::make_shared<Owner>();
    owner->thread = std::move(thread);
    owner->join = joinOnDestroy;
    return std::shared_ptr<QThread>(owner, object);
}

// Only reached once the run has returned or never began.
QThread::~QThread() = default;

void QThread::Run() { work_(); }

}  // namespace Threading
