#pragma once
// Counts the program's heap allocations by replacing the global operator new
// and delete (malloc underneath). The replacements are definitions: include
// this header in one source file of a program only.
#include <atomic>
#include <cstdlib>
#include <new>

namespace testsupport {

inline std::atomic<long> g_allocations{0};

// Allocations made so far; the difference of two readings is what ran between them.
inline long Allocations() { return g_allocations.load(); }

}  // namespace testsupport

#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    testsupport::g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
