#pragma once
// A thread that runs one Delegate with its target.
#include <memory>

#include "Core/Delegate.h"
#include "Threading/Thread.h"

namespace Threading {

class QThread : public Thread {
public:
    // With startNow the thread starts at once (joinable, default scope). The
    // owner's pointer: releasing it waits for a running thread when
    // joinOnDestroy is set; otherwise the thread finishes on its own.
    static std::shared_ptr<QThread> Create(const Delegate<>& work, bool startNow, bool joinOnDestroy,
                                           int parameter = -1);
    ~QThread() override;

    void Run() override;

private:
    QThread(const Delegate<>& work, bool joinOnDestroy, int parameter);

    Delegate<> work_;
    bool join_on_destroy_;
};

}  // namespace Threading
