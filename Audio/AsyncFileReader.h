#pragma once
// Reads one sound file with overlapped reads: a read of a byte range goes straight into
// the caller's buffer and is later polled or waited for by its request id. At most 16
// reads are in flight; the buffer of a read must stay valid until it has finished.
#include "platform/win32/Overlapped.h"

#include <cstdint>

struct SampleSourceInfo;

struct AsyncReadSlot {
    OVERLAPPED overlapped;
    uint32_t byteCount;  // bytes asked for
    uint32_t requestId;  // 0: the slot is free
};

class AsyncFileReader {
public:
    static constexpr int kSlotCount = 16;

    explicit AsyncFileReader(const SampleSourceInfo& info);
    // Waits for every read in flight, then closes the file.
    ~AsyncFileReader();

    AsyncFileReader(const AsyncFileReader&) = delete;
    AsyncFileReader& operator=(const AsyncFileReader&) = delete;

    bool IsOpen() const;
    // Issues a read of count bytes at offset, cut at the end of the file. The request id, or
    // -1 without a file, with all slots busy, or when the read cannot be issued.
    int64_t Read(void* buffer, uint32_t offset, uint32_t count);
    // The bytes transferred once the read has finished (the slot is freed); -1 while it is in
    // flight or for an unknown id; 0 without a file. A read that failed counts as finished and
    // gives the bytes it delivered, fewer than asked for.
    int64_t Poll(uint32_t id);
    // Blocks until the read has finished (or failed) and frees its slot.
    void Wait(uint32_t id);
    // Size of the file when it was opened.
    uint32_t GetFileSize() const { return m_nFileSize; }

private:
    AsyncReadSlot* FindSlot(uint32_t id);

    HANDLE m_hFile;
    AsyncReadSlot m_Slots[kSlotCount];
    uint32_t m_nNextId;
    uint32_t m_nFileSize;
};
