#include "platform/win32/Registry.h"

#include <strings.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>

struct HKEY__ {
    // value name (upper case) -> DWORD
    std::map<std::string, DWORD> values;
};

namespace {

const char kGameKeyPath[] = "SOFTWARE\\Morvane\\Dunmarch\\PARAMETERS";

std::string ProgramFolder() {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (n <= 0) return std::string();
    std::string path(buffer, static_cast<size_t>(n));
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string RegistryFilePath() {
    const char* env = std::getenv("DUNMARCH_REGISTRY");
    if (env && *env) return env;
    return ProgramFolder() + "registry.ini";
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Decimal (optionally negative, wrapping as a DWORD would) or 0x hexadecimal; the whole
// text must be a number that fits 32 bits.
bool ParseDword(const std::string& text, DWORD& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long long v;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        v = std::strtoll(text.c_str() + 2, &end, 16);
        if (end == text.c_str() + 2) return false;
    } else {
        v = std::strtoll(text.c_str(), &end, 10);
        if (end == text.c_str()) return false;
    }
    if (errno != 0 || *end != '\0') return false;
    if (v < -2147483648LL || v > 0xFFFFFFFFLL) return false;
    out = static_cast<DWORD>(v);
    return true;
}

}  // namespace

LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD /*options*/, REGSAM desired, PHKEY result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    if (key != HKEY_LOCAL_MACHINE || !subKey) return ERROR_FILE_NOT_FOUND;
    if (desired & ~static_cast<REGSAM>(KEY_READ)) return ERROR_ACCESS_DENIED;
    if (strcasecmp(subKey, kGameKeyPath) != 0) return ERROR_FILE_NOT_FOUND;

    std::ifstream in(RegistryFilePath());
    if (!in) return ERROR_FILE_NOT_FOUND;
    HKEY opened = new HKEY__;
    std::string line;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#' || line[0] == '[') continue;
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        DWORD value;
        if (!ParseDword(Trim(line.substr(eq + 1)), value)) continue;
        opened->values[Upper(Trim(line.substr(0, eq)))] = value;
    }
    *result = opened;
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD /*reserved*/, LPDWORD type, LPBYTE data,
                         LPDWORD dataSize) {
    if (!key || key == HKEY_LOCAL_MACHINE) return ERROR_INVALID_HANDLE;
    const auto it = key->values.find(Upper(valueName ? valueName : ""));
    if (it == key->values.end()) return ERROR_FILE_NOT_FOUND;
    if (type) *type = REG_DWORD;
    if (data) {
        if (!dataSize || *dataSize < sizeof(DWORD)) {
            if (dataSize) *dataSize = sizeof(DWORD);
            return ERROR_MORE_DATA;
        }
        std::memcpy(data, &it->second, sizeof(DWORD));
    }
    if (dataSize) *dataSize = sizeof(DWORD);
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
    if (!key || key == HKEY_LOCAL_MACHINE) return ERROR_INVALID_HANDLE;
    delete key;
    return ERROR_SUCCESS;
}
