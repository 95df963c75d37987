#include "Core/RegistryLanguage.h"

#include "Core/Language.h"

HKEY OpenRegistryKey(const char* keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

bool ReadRegistryDword(HKEY key, const char* valueName, DWORD& value) {
    DWORD type = 0;
    DWORD size = sizeof(value);
    return RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size) == ERROR_SUCCESS;
}

void CloseRegistryKey(HKEY key) {
    if (key) RegCloseKey(key);
}

int ReadLanguageFromRegistry(const char* keyPath, const char* valueName) {
    HKEY key = OpenRegistryKey(keyPath);
    if (!key) return kNoLanguage;
    DWORD value = 0;
    if (ReadRegistryDword(key, "DEFAULT", value) && value != 0) {
        CloseRegistryKey(key);
        return kNoLanguage;
    }
    if (!ReadRegistryDword(key, valueName, value) || value > static_cast<DWORD>(kNoLanguage)) {
        CloseRegistryKey(key);
        return kNoLanguage;
    }
    CloseRegistryKey(key);
    return static_cast<int>(value);
}
