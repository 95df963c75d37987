#pragma once
// Test seam of the overlapped reads: tests replace the positional read to delay reads or
// make them fail after they were issued. Set it only while no read is in flight.
#include <cstdint>

// Reads up to count bytes at offset; returns the bytes read, 0 at the end of the file, or a
// negative errno value on failure. Null restores the real pread.
using OverlappedReadFunction = int64_t (*)(int fd, void* buffer, uint32_t count, uint64_t offset);
void SetOverlappedReadFunction(OverlappedReadFunction function);
