#include "Core/AppDataFolder.h"

#include "platform/win32/ShellFolders.h"
#include "platform/win32/WideFileApi.h"

bool GetLocalAppDataFolder(std::wstring& out) {
    wchar_t buffer[MAX_PATH + 2] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, buffer) != S_OK) return false;
    out = buffer;
    return true;
}

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void CreateFolder(const std::wstring& path) { CreateDirectoryW(path.c_str(), nullptr); }
