#pragma once
// A thread that runs one Delegate with its target.
#include "Core/Delegate.h"
#include "Threading/Thread.h"

namespace Threading {

class QThread : public Thread {
public:
    // With startNow the thread starts at once (joinable, default scope).
    QThread(const Delegate<>& work, bool startNow, bool joinOnDestroy, int parameter = -1);
    // With joinOnDestroy a running thread is waited for; otherwise it is
    // left to finish, and work that has not begun yet never runs.
    ~QThread() override;

    void Run() override;

private:
    Delegate<> work_;
    bool join_on_destroy_;
};

}  // namespace Threading
