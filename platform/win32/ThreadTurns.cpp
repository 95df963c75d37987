#include "platform/win32/ThreadTurns.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

namespace {

const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));
const DWORD kFailed = static_cast<DWORD>(-1);

// One per thread, alive as long as the thread or a handle of it. Guarded by
// the baton's mutex.
struct ThreadTurn {
    bool pending = false;  // a resume not yet taken by a suspension
    bool parked = false;
};

struct Baton {
    std::mutex mutex;
    std::condition_variable changed;
};

Baton& TheBaton() {
    static Baton baton;
    return baton;
}

const std::shared_ptr<ThreadTurn>& CurrentTurn() {
    thread_local const std::shared_ptr<ThreadTurn> turn = std::make_shared<ThreadTurn>();
    return turn;
}

struct ThreadHandleObject : KernelObject {
    explicit ThreadHandleObject(std::shared_ptr<ThreadTurn> t) : turn(std::move(t)) {}
    std::shared_ptr<ThreadTurn> turn;
};

// The thread a handle names; null (last error set) when it names none.
std::shared_ptr<ThreadTurn> TurnOf(HANDLE handle) {
    if (handle == kCurrentThread) return CurrentTurn();
    if (handle == kCurrentProcess) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    const ThreadHandleObject* thread = dynamic_cast<ThreadHandleObject*>(HandleObject(handle));
    if (thread == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return thread->turn;
}

}  // namespace

HANDLE GetCurrentProcess() { return kCurrentProcess; }

HANDLE GetCurrentThread() { return kCurrentThread; }

BOOL DuplicateHandle(HANDLE sourceProcess, HANDLE source, HANDLE targetProcess, HANDLE* target, DWORD, BOOL, DWORD) {
    if (target == nullptr || sourceProcess != kCurrentProcess || targetProcess != kCurrentProcess) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::shared_ptr<ThreadTurn> turn = TurnOf(source);
    if (!turn) return FALSE;
    *target = MakeHandle(new ThreadHandleObject(std::move(turn)));
    return TRUE;
}

DWORD SuspendThread(HANDLE thread) {
    const std::shared_ptr<ThreadTurn> turn = TurnOf(thread);
    if (!turn) return kFailed;
    if (turn != CurrentTurn()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return kFailed;
    }
    Baton& baton = TheBaton();
    std::unique_lock<std::mutex> lock(baton.mutex);
    turn->parked = true;
    baton.changed.wait(lock, [&] { return turn->pending; });
    turn->pending = false;
    turn->parked = false;
    return 0;
}

DWORD ResumeThread(HANDLE thread) {
    const std::shared_ptr<ThreadTurn> turn = TurnOf(thread);
    if (!turn) return kFailed;
    Baton& baton = TheBaton();
    DWORD wasParked;
    {
        std::lock_guard<std::mutex> lock(baton.mutex);
        wasParked = turn->parked ? 1 : 0;
        turn->pending = true;
    }
    baton.changed.notify_all();
    return wasParked;
}
