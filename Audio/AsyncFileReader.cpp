#include "Audio/AsyncFileReader.h"

#include "Audio/SampleSourceInfo.h"

#include <cstring>

AsyncFileReader::AsyncFileReader(const SampleSourceInfo& info)
    : m_hFile(INVALID_HANDLE_VALUE), m_nNextId(1), m_nFileSize(0) {
    std::memset(m_Slots, 0, sizeof(m_Slots));
    m_hFile = CreateFileA(info.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_hFile != INVALID_HANDLE_VALUE) m_nFileSize = ::GetFileSize(m_hFile, nullptr);
}

AsyncFileReader::~AsyncFileReader() {
    for (AsyncReadSlot& slot : m_Slots) {
        if (slot.requestId != 0) Wait(slot.requestId);
    }
    if (m_hFile != INVALID_HANDLE_VALUE) CloseHandle(m_hFile);
}

bool AsyncFileReader::IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

AsyncReadSlot* AsyncFileReader::FindSlot(uint32_t id) {
    if (id == 0) return nullptr;  // 0 marks the free slots
    for (AsyncReadSlot& slot : m_Slots) {
        if (slot.requestId == id) return &slot;
    }
    return nullptr;
}

int64_t AsyncFileReader::Read(void* buffer, uint32_t offset, uint32_t count) {
    if (!IsOpen()) return -1;
    const uint32_t left = offset < m_nFileSize ? m_nFileSize - offset : 0;
    const uint32_t bytes = count < left ? count : left;

    AsyncReadSlot* slot = nullptr;
    for (AsyncReadSlot& s : m_Slots) {
        if (s.requestId == 0) {
            slot = &s;
            break;
        }
    }
    if (!slot) return -1;

    std::memset(slot, 0, sizeof(*slot));
    slot->requestId = m_nNextId++;
    if (m_nNextId == 0) m_nNextId = 1;  // ids never become 0, the free mark
    slot->byteCount = bytes;
    slot->overlapped.Offset = offset;
    if (ReadFile(m_hFile, buffer, bytes, nullptr, &slot->overlapped) || GetLastError() == ERROR_IO_PENDING) {
        return slot->requestId;
    }
    std::memset(slot, 0, sizeof(*slot));
    return -1;
}

int64_t AsyncFileReader::Poll(uint32_t id) {
    if (!IsOpen()) return 0;
    AsyncReadSlot* slot = FindSlot(id);
    if (!slot) return -1;
    DWORD transferred = 0;
    if (!GetOverlappedResult(m_hFile, &slot->overlapped, &transferred, FALSE) &&
        GetLastError() == ERROR_IO_INCOMPLETE) {
        return -1;
    }
    // Finished, or failed: a failed read is reported as finished with what it delivered,
    // so that nobody polls it for ever.
    std::memset(slot, 0, sizeof(*slot));
    return transferred;
}

void AsyncFileReader::Wait(uint32_t id) {
    if (!IsOpen()) return;
    AsyncReadSlot* slot = FindSlot(id);
    if (!slot) return;
    DWORD transferred = 0;
    GetOverlappedResult(m_hFile, &slot->overlapped, &transferred, TRUE);
    std::memset(slot, 0, sizeof(*slot));
}
