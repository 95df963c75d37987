#pragma once
// Small text operations shared across the game: narrow/wide conversion
// without code pages, wide-string wrappers, a local-time text and the string
// scrambler.
#include <cstddef>
#include <ctime>
#include <string>

// Each byte becomes one 16-bit unit by sign extension (80..FF give
// U+FF80..U+FFFF); the reverse keeps each unit's low byte.
void ToWideString(const std::string& in, std::wstring& out);
std::wstring ToWideString(const std::string& in);
void ToNarrowString(const std::wstring& in, std::string& out);
std::string ToNarrowString(const std::wstring& in);

size_t WideStrLen(const wchar_t* text);
wchar_t* WideStrNCopy(wchar_t* destination, const wchar_t* source, size_t count);
wchar_t* WideStrCopy(wchar_t* destination, const wchar_t* source);
int WideStrCompare(const wchar_t* a, const wchar_t* b);
int WideStrNCompare(const wchar_t* a, const wchar_t* b, size_t count);
// No terminator is added when the whole count is converted.
wchar_t* MultiByteToWideStr(const char* source, wchar_t* destination);
char* WideToMultiByteStr(const wchar_t* source, char* destination);

// The current local time as "%Y-%m-%d %H.%M.%S". One shared text, overwritten
// by every call.
const std::string& GetTimeStamp();
void StoreTimeStamp();
// The formatting step of GetTimeStamp.
std::string FormatTimeStamp(const std::tm& time);

// XORs the text (up to its first zero byte) with a built-in ten-byte key,
// byte i with key[(i + n) mod 10]; its own inverse while the scrambled form
// holds no zero byte (always so for ASCII text, as every key byte has its
// high bit set). Safe to call from several threads.
std::string ScrambleString(const char* text);
