#pragma once
// Thread handles and the turn-taking of two threads, in place of the Win32
// suspension calls the loading hand-over is written with.
//
// A thread is never stopped from outside: SuspendThread only parks the calling
// thread until another thread resumes it, and ResumeThread hands it the turn.
// A resume that arrives before the thread parks is kept, so the next
// SuspendThread returns at once; resumes do not add up (one pending turn at
// most). Everything goes through one mutex and condition variable, so what a
// thread wrote before handing the turn over is seen by the thread that takes it.
#include "platform/win32/Handle.h"

#ifndef DUPLICATE_SAME_ACCESS
#define DUPLICATE_SAME_ACCESS 0x00000002
#endif
#ifndef THREAD_ALL_ACCESS
#define THREAD_ALL_ACCESS 0x001FFFFF
#endif

// Pseudo handles: stand for the caller, are not objects and are never closed.
HANDLE GetCurrentProcess();
HANDLE GetCurrentThread();

// Makes a real handle (closed by CloseHandle) of a thread: of the pseudo
// handle of the current thread, or of another real thread handle. Both process
// handles must be the current process. FALSE with ERROR_INVALID_HANDLE for
// anything that is not a thread handle, ERROR_INVALID_PARAMETER for a null
// target or another process.
BOOL DuplicateHandle(HANDLE sourceProcess, HANDLE source, HANDLE targetProcess, HANDLE* target, DWORD access,
                     BOOL inherit, DWORD options);

// Parks the calling thread until it is given the turn (at once when a resume
// is pending). Returns 0; (DWORD)-1 when the handle is not a thread handle
// (ERROR_INVALID_HANDLE) or names another thread (ERROR_INVALID_PARAMETER:
// only a thread's own suspension is supported).
DWORD SuspendThread(HANDLE thread);
// Gives the thread the turn. Returns 1 when the thread was parked, 0 when the
// turn is kept for its next SuspendThread; (DWORD)-1 for a handle that is not
// a thread handle (ERROR_INVALID_HANDLE).
DWORD ResumeThread(HANDLE thread);
