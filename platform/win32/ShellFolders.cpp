#include "platform/win32/ShellFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/win32/WidePath.h"

namespace {

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home == '/') return home;
    struct passwd pw;
    struct passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &pw, buffer, sizeof(buffer), &found) == 0 && found && found->pw_dir &&
        found->pw_dir[0] == '/')
        return found->pw_dir;
    return std::string();
}

std::string LocalDataFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    // The XDG rules ignore relative values.
    if (xdg && *xdg == '/') return xdg;
    const std::string home = HomeFolder();
    if (home.empty()) return std::string();
    return home + (home.back() == '/' ? "" : "/") + ".local/share";
}

// mkdir -p with the private mode the XDG rules ask for.
bool MakeFolders(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    for (size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos != path.size() && path[pos] != '/') continue;
        const std::string part = path.substr(0, pos);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

HRESULT SHGetFolderPathW(HWND /*hwnd*/, int csidl, HANDLE /*token*/, DWORD /*flags*/, LPWSTR pszPath) {
    if (!pszPath) return E_INVALIDARG;
    pszPath[0] = L'\0';
    if ((csidl & 0xff) != CSIDL_LOCAL_APPDATA) return E_INVALIDARG;
    std::string folder = LocalDataFolder();
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (folder.empty() || !MakeFolders(folder)) return E_FAIL;
    const std::wstring wide = platform::PathToWide(folder);
    if (wide.size() >= MAX_PATH) return E_FAIL;
    wide.copy(pszPath, wide.size());
    pszPath[wide.size()] = L'\0';
    return S_OK;
}
