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

    const char* c_str() const { return string_; }
    size_t length() const { return size_; }
    size_t capacity() const { return capacity_; }

private:
    char* string_;
    size_t size_;
    size_t capacity_;
};
