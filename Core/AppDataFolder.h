#pragma once
// The per-user data folder and the two folder operations that go with it (settings,
// banner cache).
#include <string>

// The local application-data folder of the current user, without a trailing separator.
bool GetLocalAppDataFolder(std::wstring& out);
bool PathExists(const std::wstring& path);
// One level; the result is not reported (PathExists tells).
void CreateFolder(const std::wstring& path);
