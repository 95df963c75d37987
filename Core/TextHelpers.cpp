#include "Core/TextHelpers.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>

void ToWideString(const std::string& in, std::wstring& out) {
    out.resize(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        const int16_t unit = static_cast<signed char>(in[i]);
        out[i] = static_cast<wchar_t>(static_cast<uint16_t>(unit));
    }
}

std::wstring ToWideString(const std::string& in) {
    std::wstring out;
    ToWideString(in, out);
    return out;
}

void ToNarrowString(const std::wstring& in, std::string& out) {
    out.resize(in.size());
    for (size_t i = 0; i < in.size(); ++i) out[i] = static_cast<char>(static_cast<unsigned char>(in[i] & 0xFF));
}

std::string ToNarrowString(const std::wstring& in) {
    std::string out;
    ToNarrowString(in, out);
    return out;
}

size_t WideStrLen(const wchar_t* text) { return std::wcslen(text); }

wchar_t* WideStrNCopy(wchar_t* destination, const wchar_t* source, size_t count) {
    return std::wcsncpy(destination, source, count);
}

wchar_t* WideStrCopy(wchar_t* destination, const wchar_t* source) { return std::wcscpy(destination, source); }

int WideStrCompare(const wchar_t* a, const wchar_t* b) { return std::wcscmp(a, b); }

int WideStrNCompare(const wchar_t* a, const wchar_t* b, size_t count) { return std::wcsncmp(a, b, count); }

wchar_t* MultiByteToWideStr(const char* source, wchar_t* destination) {
    std::mbstowcs(destination, source, std::strlen(source));
    return destination;
}

char* WideToMultiByteStr(const wchar_t* source, char* destination) {
    std::wcstombs(destination, source, std::wcslen(source));
    return destination;
}

std::string FormatTimeStamp(const std::tm& time) {
    char buffer[128];
    const size_t n = std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H.%M.%S", &time);
    return std::string(buffer, n);
}

const std::string& GetTimeStamp() {
    static std::string stamp;
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    stamp = local ? FormatTimeStamp(*local) : std::string();
    return stamp;
}

namespace {
std::string g_storedTimeStamp;  // kept for inspection in a debugger only
}

void StoreTimeStamp() { g_storedTimeStamp = GetTimeStamp(); }

std::string ScrambleString(const char* text) {
    // Built at every call so the key never sits in the program as one block.
    unsigned char key[10];
    key[0] = 0xA7;
    key[1] = 0xC3;
    key[2] = 0x9E;
    key[3] = 0xF1;
    key[4] = 0x85;
    key[5] = 0xD6;
    key[6] = 0xB2;
    key[7] = 0x8B;
    key[8] = 0xE4;
    key[9] = 0x99;

    // Each call works in its own text: the request thread scrambles too.
    std::string out;
    if (text == nullptr) return out;
    const size_t n = std::strlen(text);
    out.resize(n);
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<char>(static_cast<unsigned char>(text[i]) ^ key[(i + n) % 10]);
    return out;
}
