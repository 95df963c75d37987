#pragma once
// The library's lock. The thread that holds it may take it again. It is made with the
// object rather than on first use, so two threads can never race to create it.
#include <mutex>

class OgvMutex {
public:
    void Lock() { mutex_.lock(); }
    void Unlock() { mutex_.unlock(); }

private:
    std::recursive_mutex mutex_;
};

// Holds an OgvMutex for a scope, also when an exception leaves it.
class OgvMutexLock {
public:
    explicit OgvMutexLock(OgvMutex& mutex) : mutex_(mutex) { mutex_.Lock(); }
    ~OgvMutexLock() { mutex_.Unlock(); }
    OgvMutexLock(const OgvMutexLock&) = delete;
    OgvMutexLock& operator=(const OgvMutexLock&) = delete;

private:
    OgvMutex& mutex_;
};
