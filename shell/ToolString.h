#pragma once
// The tools layer's growable string; its buffer is always zero-terminated and
// only grows.
#include <cstddef>

class CToolString {
public:
    CToolString();
    virtual ~CToolString();
    CToolString(const CToolString&) = delete;
    CToolString& operator=(const CToolString&) = delete;

    // The text may lie inside this string's own buffer.
    CToolString& Assign(const char* text, size_t length);
    CToolString& Assign(const char* text);
    CToolString& operator=(const char* text);

    const char* c_str() const { return m_pString; }
    size_t length() const { return m_Size; }
    size_t capacity() const { return m_Capacity; }

private:
    char* m_pString;
    size_t m_Size;
    size_t m_Capacity;
};
