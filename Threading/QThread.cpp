#include "Threading/QThread.h"

namespace Threading {

QThread::QThread(const Delegate<>& work, bool startNow, bool joinOnDestroy, int parameter)
    : Thread(parameter), work_(work), join_on_destroy_(joinOnDestroy) {
    if (startNow) Start(false, false);
}

QThread::~QThread() {
    if (IsRunning() && join_on_destroy_) Join();
    Release();
}

void QThread::Run() {
    Delegate<> work;
    if (!WithObject(this, [&] { work = work_; })) return;
    work();
}

}  // namespace Threading
