#include "particles/CSString.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace {
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

CSString::CSString(const char* text) {
    if (text == nullptr) text = "";
    m_nLength = static_cast<int32_t>(std::strlen(text));
    m_nCapacity = m_nLength + 1;
    m_pText = static_cast<char*>(std::malloc(static_cast<size_t>(m_nCapacity)));
    std::memcpy(m_pText, text, static_cast<size_t>(m_nCapacity));
}

CSString::CSString(const CSString& other) {
    if (other.m_nLength > 0) Assign(other.m_pText, other.m_nLength);
}

CSString::CSString(CSString&& other) noexcept
    : m_pText(std::exchange(other.m_pText, nullptr)),
      m_nLength(std::exchange(other.m_nLength, 0)),
      m_nCapacity(std::exchange(other.m_nCapacity, 0)) {}

CSString& CSString::operator=(const CSString& other) {
    if (this != &other) Assign(other.m_pText, other.m_nLength);
    return *this;
}

CSString& CSString::operator=(CSString&& other) noexcept {
    if (this != &other) {
        Free();
        m_pText = std::exchange(other.m_pText, nullptr);
        m_nLength = std::exchange(other.m_nLength, 0);
        m_nCapacity = std::exchange(other.m_nCapacity, 0);
    }
    return *this;
}

CSString::~CSString() { Free(); }

void CSString::Assign(const char* chars, int32_t n) {
    if (n <= 0 || chars == nullptr) {
        m_nLength = 0;
        if (m_pText != nullptr) m_pText[0] = '\0';
        return;
    }
    if (m_nCapacity < n + 1) {
        m_pText = static_cast<char*>(std::realloc(m_pText, static_cast<size_t>(n) + 1));
        m_nCapacity = n + 1;
    }
    // chars may point into this string's own buffer.
    std::memmove(m_pText, chars, static_cast<size_t>(n));
    m_pText[n] = '\0';
    m_nLength = n;
}

void CSString::Free() {
    std::free(m_pText);
    m_pText = nullptr;
    m_nLength = 0;
    m_nCapacity = 0;
}

void CSString::Adopt(char* buffer, int32_t n) {
    Free();
    m_pText = buffer;
    m_nLength = n;
    m_nCapacity = n + 1;
}

bool CSString::EqualsNoCase(const char* text) const {
    const char* a = c_str();
    const char* b = text != nullptr ? text : "";
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (Lower(*a) != Lower(*b)) return false;
    }
    return *a == *b;
}

bool operator==(const CSString& a, const CSString& b) {
    return a.GetLength() == b.GetLength() && std::memcmp(a.c_str(), b.c_str(), static_cast<size_t>(a.GetLength())) == 0;
}
