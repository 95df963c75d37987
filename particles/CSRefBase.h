#pragma once
// Base of the library's reference-counted resources (textures and parameter
// blocks): the count starts at 1 and the object deletes itself at 0.
#include <cstdint>

class CSRefBase {
public:
    CSRefBase() = default;
    CSRefBase& operator=(const CSRefBase&) = delete;
    virtual ~CSRefBase() = default;

    int32_t AddRef() { return ++m_nRefCount; }
    // The new count; at 0 the object is deleted.
    int32_t Release();
    int32_t GetRefCount() const { return m_nRefCount; }

protected:
    // A copy is a new object: it starts with a count of its own.
    CSRefBase(const CSRefBase&) {}

private:
    int32_t m_nRefCount = 1;
};
