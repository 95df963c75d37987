#pragma once
// The Interlocked* operations over std::atomic. Values shared between threads
// are best declared std::atomic<LONG>; the plain forms over a volatile LONG
// are kept for code written the Win32 way and are atomic as well.
#include <atomic>

#include "platform/win32/Types.h"

// Each returns what Win32 returns: Exchange and CompareExchange the previous
// value, Increment and Decrement the new one.
inline LONG InterlockedExchange(std::atomic<LONG>* target, LONG value) { return target->exchange(value); }
inline LONG InterlockedIncrement(std::atomic<LONG>* target) { return target->fetch_add(1) + 1; }
inline LONG InterlockedDecrement(std::atomic<LONG>* target) { return target->fetch_sub(1) - 1; }
inline LONG InterlockedCompareExchange(std::atomic<LONG>* target, LONG exchange, LONG comparand) {
    target->compare_exchange_strong(comparand, exchange);
    return comparand;
}

inline LONG InterlockedExchange(volatile LONG* target, LONG value) {
    return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}
inline LONG InterlockedIncrement(volatile LONG* target) { return __atomic_add_fetch(target, 1, __ATOMIC_SEQ_CST); }
inline LONG InterlockedDecrement(volatile LONG* target) { return __atomic_sub_fetch(target, 1, __ATOMIC_SEQ_CST); }
inline LONG InterlockedCompareExchange(volatile LONG* target, LONG exchange, LONG comparand) {
    __atomic_compare_exchange_n(target, &comparand, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
    return comparand;
}
