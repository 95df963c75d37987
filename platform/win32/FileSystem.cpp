#include "platform/win32/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace platform {
namespace {

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

// The entries of a folder, sorted, "." and ".." left out.
std::vector<std::string> ReadFolder(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return names;
    while (dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
        names.emplace_back(entry->d_name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::string FindCaseInsensitive(const std::string& folder, const std::string& name) {
    for (const std::string& entry : ReadFolder(folder))
        if (strcasecmp(entry.c_str(), name.c_str()) == 0) return entry;
    return std::string();
}

bool SyncFolderOf(const std::string& path) {
    std::string::size_type slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    fsync(fd);
    close(fd);
    return true;
}

// Copies the bytes of an open file into another; false on any error.
bool CopyBytes(int from, int to) {
    char buffer[64 * 1024];
    for (;;) {
        ssize_t n = read(from, buffer, sizeof(buffer));
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        for (ssize_t done = 0; done < n;) {
            ssize_t w = write(to, buffer + done, static_cast<size_t>(n - done));
            if (w < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            done += w;
        }
    }
}

bool CopyRegularFile(const std::string& from, const std::string& to, bool failIfExists) {
    int in = open(from.c_str(), O_RDONLY);
    if (in < 0) return false;
    struct stat st;
    if (fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(in);
        return false;
    }
    int flags = O_WRONLY | O_CREAT | O_TRUNC | (failIfExists ? O_EXCL : 0);
    int out = open(to.c_str(), flags, st.st_mode & 07777);
    if (out < 0) {
        close(in);
        return false;
    }
    bool ok = CopyBytes(in, out);
    ok = close(out) == 0 && ok;
    close(in);
    if (!ok) unlink(to.c_str());
    return ok;
}

struct FindState {
    std::vector<std::string> names;
    std::vector<uint64_t> sizes;
    size_t next = 0;
};

void Fill(const FindState& state, size_t index, WIN32_FIND_DATAA* data) {
    std::memset(data, 0, sizeof(*data));
    data->dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
    data->nFileSizeHigh = static_cast<DWORD>(state.sizes[index] >> 32);
    data->nFileSizeLow = static_cast<DWORD>(state.sizes[index]);
    std::memcpy(data->cFileName, state.names[index].c_str(), state.names[index].size() + 1);
}

}  // namespace

std::string ResolvePath(const std::string& name) {
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.empty() || Exists(path)) return path;

    const bool absolute = path[0] == '/';
    const bool trailingSlash = path.size() > 1 && path.back() == '/';
    std::vector<std::string> parts;
    for (std::string::size_type start = 0; start <= path.size();) {
        std::string::size_type end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }

    std::string resolved = absolute ? "/" : "";
    bool matching = true;
    for (const std::string& part : parts) {
        std::string candidate = Join(resolved, part);
        if (matching && part != "." && part != ".." && !Exists(candidate)) {
            std::string match = FindCaseInsensitive(resolved, part);
            if (match.empty()) matching = false;  // the rest is kept as written
            else candidate = Join(resolved, match);
        }
        resolved = candidate;
    }
    if (trailingSlash) resolved += '/';
    return resolved;
}

FILE* OpenFile(const std::string& name, const char* mode) {
    if (name.empty() || mode == nullptr) return nullptr;
    std::string path = ResolvePath(name);
    FILE* file = std::fopen(path.c_str(), mode);
    if (file == nullptr) return nullptr;
    struct stat st;
    if (fstat(fileno(file), &st) != 0 || !S_ISREG(st.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

bool IsRegularFile(const std::string& name) {
    struct stat st;
    return !name.empty() && stat(ResolvePath(name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsDirectory(const std::string& name) {
    struct stat st;
    return !name.empty() && stat(ResolvePath(name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace platform

BOOL DeleteFileA(LPCSTR name) {
    if (name == nullptr || *name == '\0') return FALSE;
    std::string path = platform::ResolvePath(name);
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return FALSE;
    return unlink(path.c_str()) == 0 ? TRUE : FALSE;
}

BOOL CopyFileA(LPCSTR existing, LPCSTR destination, BOOL failIfExists) {
    if (existing == nullptr || destination == nullptr || *destination == '\0') return FALSE;
    std::string from = platform::ResolvePath(existing);
    std::string to = platform::ResolvePath(destination);
    struct stat a, b;
    // Copying a file onto itself would truncate it first.
    if (stat(from.c_str(), &a) == 0 && stat(to.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino)
        return FALSE;
    return platform::CopyRegularFile(from, to, failIfExists != FALSE) ? TRUE : FALSE;
}

BOOL MoveFileA(LPCSTR existing, LPCSTR destination) {
    if (existing == nullptr || destination == nullptr || *destination == '\0') return FALSE;
    std::string from = platform::ResolvePath(existing);
    std::string to = platform::ResolvePath(destination);
    struct stat st;
    if (lstat(from.c_str(), &st) != 0 || platform::Exists(to)) return FALSE;
    if (rename(from.c_str(), to.c_str()) == 0) return TRUE;
    if (errno != EXDEV || !S_ISREG(st.st_mode)) return FALSE;
    if (!platform::CopyRegularFile(from, to, true)) return FALSE;
    if (unlink(from.c_str()) != 0) {
        unlink(to.c_str());
        return FALSE;
    }
    return TRUE;
}

BOOL ReplaceFileA(LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags, LPVOID, LPVOID) {
    if (replaced == nullptr || replacement == nullptr) return FALSE;
    std::string target = platform::ResolvePath(replaced);
    std::string source = platform::ResolvePath(replacement);
    struct stat targetStat, sourceStat;
    if (stat(target.c_str(), &targetStat) != 0 || !S_ISREG(targetStat.st_mode)) return FALSE;
    if (stat(source.c_str(), &sourceStat) != 0 || !S_ISREG(sourceStat.st_mode)) return FALSE;
    if (targetStat.st_dev == sourceStat.st_dev && targetStat.st_ino == sourceStat.st_ino) return FALSE;

    int in = open(source.c_str(), O_RDONLY);
    if (in < 0) return FALSE;
    std::string temporary = target + ".replace-XXXXXX";
    std::vector<char> templ(temporary.begin(), temporary.end());
    templ.push_back('\0');
    int out = mkstemp(templ.data());
    if (out < 0) {
        close(in);
        return FALSE;
    }
    temporary = templ.data();
    fchmod(out, targetStat.st_mode & 07777);
    bool ok = platform::CopyBytes(in, out);
    close(in);
    if (ok && (flags & REPLACEFILE_WRITE_THROUGH) != 0) ok = fsync(out) == 0;
    ok = close(out) == 0 && ok;
    if (ok && backup != nullptr && *backup != '\0') {
        std::string kept = platform::ResolvePath(backup);
        unlink(kept.c_str());
        ok = link(target.c_str(), kept.c_str()) == 0 || platform::CopyRegularFile(target, kept, false);
    }
    if (ok) ok = rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temporary.c_str());
        return FALSE;
    }
    if ((flags & REPLACEFILE_WRITE_THROUGH) != 0) platform::SyncFolderOf(target);
    unlink(source.c_str());
    return TRUE;
}

HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data) {
    if (pattern == nullptr || *pattern == '\0' || data == nullptr) return INVALID_HANDLE_VALUE;
    std::string path = pattern;
    std::replace(path.begin(), path.end(), '\\', '/');
    std::string::size_type slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    std::string mask = slash == std::string::npos ? path : path.substr(slash + 1);
    if (mask.empty()) return INVALID_HANDLE_VALUE;
    folder = platform::ResolvePath(folder);

    auto* state = new platform::FindState;
    for (const std::string& name : platform::ReadFolder(folder)) {
        if (name.size() >= MAX_PATH) continue;
        if (fnmatch(mask.c_str(), name.c_str(), FNM_CASEFOLD) != 0) continue;
        struct stat st;
        if (stat(platform::Join(folder.empty() ? "." : folder, name).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        state->names.push_back(name);
        state->sizes.push_back(static_cast<uint64_t>(st.st_size));
    }
    if (state->names.empty()) {
        delete state;
        return INVALID_HANDLE_VALUE;
    }
    platform::Fill(*state, 0, data);
    state->next = 1;
    return static_cast<HANDLE>(state);
}

BOOL FindNextFileA(HANDLE search, LPWIN32_FIND_DATAA data) {
    if (search == nullptr || search == INVALID_HANDLE_VALUE || data == nullptr) return FALSE;
    auto* state = static_cast<platform::FindState*>(search);
    if (state->next >= state->names.size()) return FALSE;
    platform::Fill(*state, state->next++, data);
    return TRUE;
}

BOOL FindClose(HANDLE search) {
    if (search == nullptr || search == INVALID_HANDLE_VALUE) return FALSE;
    delete static_cast<platform::FindState*>(search);
    return TRUE;
}
