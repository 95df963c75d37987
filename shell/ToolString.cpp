#include "shell/ToolString.h"

#include <cstring>

namespace {
// The tools layer's process-wide string; it lives from start-up to exit.
CToolString s_toolString;
}  // namespace

CToolString::CToolString() : string_(new char[1]), size_(0), capacity_(1) { string_[0] = 0; }

CToolString::~CToolString() { delete[] string_; }

CToolString& CToolString::Assign(const char* text, size_t length) {
    if (text == nullptr) length = 0;
    char* target = string_;
    if (length >= capacity_) {
        target = new char[length + 1];
        capacity_ = length + 1;
    }
    if (length > 0) std::memmove(target, text, length);
    target[length] = 0;
    size_ = length;
    // Freed only after the copy, so a text inside the old buffer survives.
    if (target != string_) {
        delete[] string_;
        string_ = target;
    }
    return *this;
}

CToolString& CToolString::Assign(const char* text) { return Assign(text, text ? std::strlen(text) : 0); }

CToolString& CToolString::operator=(const char* text) { return Assign(text); }
