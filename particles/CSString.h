#pragma once
// The particle library's text: a zero-terminated heap buffer with its length and
// capacity. A string that never held text has no buffer and reads as "".
#include <cstdint>
#include <vector>

class CSString {
public:
    CSString() = default;
    // Length of the text, capacity length + 1 (so "" keeps a one-byte buffer).
    CSString(const char* text);
    // An empty source gives a string without buffer.
    CSString(const CSString& other);
    CSString(CSString&& other) noexcept;
    CSString& operator=(const CSString& other);
    CSString& operator=(CSString&& other) noexcept;
    ~CSString();

    // n bytes and a terminator; n = 0 empties the text and keeps the buffer.
    void Assign(const char* chars, int32_t n);
    // Frees the buffer: no buffer, length 0, capacity 0.
    void Free();
    // Installs a buffer of n + 1 bytes whose byte n is zero; the string owns it.
    void Adopt(char* buffer, int32_t n);

    const char* c_str() const { return m_pText != nullptr ? m_pText : ""; }
    const char* GetBuffer() const { return m_pText; }
    int32_t GetLength() const { return m_nLength; }
    int32_t GetCapacity() const { return m_nCapacity; }
    bool IsEmpty() const { return m_nLength == 0; }

    // Letter case ignored (ASCII); an absent buffer compares as "".
    bool EqualsNoCase(const char* text) const;

private:
    char* m_pText = nullptr;
    int32_t m_nLength = 0;
    int32_t m_nCapacity = 0;
};

bool operator==(const CSString& a, const CSString& b);
inline bool operator!=(const CSString& a, const CSString& b) { return !(a == b); }

// A list of strings as effect files store them (count, an ignored word, strings).
typedef std::vector<CSString> CSStringList;
