#include "shell/ToolString.h"

#include <cstring>

namespace {
// The tools layer's process-wide string; it lives from start-up to exit.
CToolString s_toolString;
}  // namespace

CToolString::CToolString() : m_pString(new char[1]), m_Size(0), m_Capacity(1) { m_pString[0] = 0; }

CToolString::~CToolString() { delete[] m_pString; }

CToolString& CToolString::Assign(const char* text, size_t length) {
    if (text == nullptr) length = 0;
    char* target = m_pString;
    if (length >= m_Capacity) {
        target = new char[length + 1];
        m_Capacity = length + 1;
    }
    if (length > 0) std::memmove(target, text, length);
    target[length] = 0;
    m_Size = length;
    // Freed only after the copy, so a text inside the old buffer survives.
    if (target != m_pString) {
        delete[] m_pString;
        m_pString = target;
    }
    return *this;
}

CToolString& CToolString::Assign(const char* text) { return Assign(text, text ? std::strlen(text) : 0); }

CToolString& CToolString::operator=(const char* text) { return Assign(text); }
