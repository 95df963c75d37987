#pragma once
// Wide path names of the Win32 "W" calls mapped onto Linux file names. wchar_t holds
// code points here; file names are UTF-8 bytes. A byte that is not valid UTF-8 maps to
// U+DC80..U+DCFF and back, so every Linux name survives the round trip.
#include <string>

namespace platform {

std::wstring PathToWide(const std::string& path);
std::string WideToPath(const std::wstring& path);
std::string WideToPath(const wchar_t* path);

}  // namespace platform
