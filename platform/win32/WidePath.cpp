#include "platform/win32/WidePath.h"

#include <cstdint>

namespace platform {

std::wstring PathToWide(const std::string& path) {
    std::wstring out;
    const size_t n = path.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char b0 = static_cast<unsigned char>(path[i]);
        uint32_t cp = 0;
        size_t len = 0;
        if (b0 < 0x80) {
            cp = b0;
            len = 1;
        } else if (b0 >= 0xC2 && b0 <= 0xDF) {
            cp = b0 & 0x1Fu;
            len = 2;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            cp = b0 & 0x0Fu;
            len = 3;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            cp = b0 & 0x07u;
            len = 4;
        }
        bool ok = len > 0 && i + len <= n;
        for (size_t k = 1; ok && k < len; ++k) {
            const unsigned char b = static_cast<unsigned char>(path[i + k]);
            if ((b & 0xC0u) != 0x80u) ok = false;
            cp = (cp << 6) | (b & 0x3Fu);
        }
        // Reject overlong forms, surrogates and values past U+10FFFF.
        if (ok && ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
                   (cp >= 0xD800 && cp <= 0xDFFF)))
            ok = false;
        if (ok) {
            out.push_back(static_cast<wchar_t>(cp));
            i += len;
        } else {
            out.push_back(static_cast<wchar_t>(0xDC00u + b0));
            i += 1;
        }
    }
    return out;
}

std::string WideToPath(const wchar_t* path) {
    std::string out;
    if (!path) return out;
    for (; *path; ++path) {
        const uint32_t cp = static_cast<uint32_t>(*path);
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp >= 0xDC80 && cp <= 0xDCFF) {
            out.push_back(static_cast<char>(cp - 0xDC00));  // an escaped raw byte
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp <= 0x10FFFF) {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back('?');
        }
    }
    return out;
}

std::string WideToPath(const std::wstring& path) { return WideToPath(path.c_str()); }

}  // namespace platform
