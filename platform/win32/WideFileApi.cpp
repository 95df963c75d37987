#include "platform/win32/WideFileApi.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/win32/WidePath.h"

namespace {

bool SyncPath(const std::string& path, int flags) {
    const int fd = open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = fsync(fd) == 0;
    close(fd);
    return ok;
}

std::string ParentFolder(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

DWORD GetFileAttributesW(LPCWSTR path) {
    if (!path || !*path) return INVALID_FILE_ATTRIBUTES;
    const std::string p = platform::WideToPath(path);
    struct stat st;
    if (stat(p.c_str(), &st) != 0) return INVALID_FILE_ATTRIBUTES;
    DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : 0;
    if (access(p.c_str(), W_OK) != 0) attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES /*attributes*/) {
    if (!path || !*path) return FALSE;
    return mkdir(platform::WideToPath(path).c_str(), 0777) == 0 ? TRUE : FALSE;
}

BOOL DeleteFileW(LPCWSTR path) {
    if (!path || !*path) return FALSE;
    const std::string p = platform::WideToPath(path);
    struct stat st;
    if (stat(p.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return FALSE;
    return unlink(p.c_str()) == 0 ? TRUE : FALSE;
}

BOOL MoveFileExW(LPCWSTR existing, LPCWSTR destination, DWORD flags) {
    if (!existing || !*existing || !destination || !*destination) return FALSE;
    const std::string from = platform::WideToPath(existing);
    const std::string to = platform::WideToPath(destination);
    struct stat st;
    if (stat(from.c_str(), &st) != 0) return FALSE;
    if (!(flags & MOVEFILE_REPLACE_EXISTING) && stat(to.c_str(), &st) == 0) return FALSE;
    if ((flags & MOVEFILE_WRITE_THROUGH) && !SyncPath(from, O_RDONLY)) return FALSE;
    if (rename(from.c_str(), to.c_str()) != 0) return FALSE;
    if (flags & MOVEFILE_WRITE_THROUGH) SyncPath(ParentFolder(to), O_RDONLY | O_DIRECTORY);
    return TRUE;
}

FILE* _wfopen(const wchar_t* path, const wchar_t* mode) {
    if (!path || !*path || !mode) return nullptr;
    const std::string p = platform::WideToPath(path);
    const std::string m = platform::WideToPath(mode);
    // A folder opens for reading on Linux; Windows refuses it.
    struct stat st;
    if (stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return nullptr;
    return std::fopen(p.c_str(), m.c_str());
}
