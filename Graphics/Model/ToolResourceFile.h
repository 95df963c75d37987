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

    bool IsOpen() const { return open_; }
    size_t Size() const { return size_; }
    const void* DataPtr() const { return data_; }

    void Close();

private:
    bool open_;
    bool memory_not_owned_;
    size_t size_;
    const char* data_;
};
