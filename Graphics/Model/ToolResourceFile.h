#pragma once
// A read-only view of a resource already in memory; the POD reader's byte
// source reads through it.
#include <cstddef>

class CToolResourceFile {
public:
    // Open over the caller's memory, which is neither copied nor ever freed.
    CToolResourceFile(const void* data, size_t size);
    virtual ~CToolResourceFile();
    CToolResourceFile(const CToolResourceFile&) = delete;
    CToolResourceFile& operator=(const CToolResourceFile&) = delete;

    bool IsOpen() const { return m_bOpen; }
    size_t Size() const { return m_Size; }
    const void* DataPtr() const { return m_pData; }

    void Close();

private:
    bool m_bOpen;
    bool m_bMemoryNotOwned;
    size_t m_Size;
    const char* m_pData;
};
