#include "Threading/QThread.h"

namespace Threading {

QThread::QThread(const Delegate<>& work, bool startNow, bool joinOnDestroy, int parameter)
    : Thread(parameter), work_(work), joinOnDestroy_(joinOnDestroy) {
    if (startNow) Start(false, false);
}

QThread::~QThread() {
    if (IsRunning() && joinOnDestroy_) Join();
    Release();
}

void QThread::Run() {
    Delegate<> work;
    if (!WithObject(this, [&] { work = work_; })) return;
    work();
}

}  // namespace Threading
