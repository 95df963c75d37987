#pragma once
// The language stored in the registry: HKEY_LOCAL_MACHINE\<key path>, values "DEFAULT"
// (non-zero: no language chosen) and the named one (the language code).
#include "platform/win32/Registry.h"

inline constexpr const char kLanguageRegistryKey[] = "SOFTWARE\\Morvane\\Dunmarch\\PARAMETERS";
inline constexpr const char kLanguageRegistryValue[] = "LANGUAGE";

// The stored code 0..127, or 127 (ask the player) when "DEFAULT" is set, the value is
// missing or unreadable, or it is above 127.
int ReadLanguageFromRegistry(const char* keyPath, const char* valueName);

// Opens the key under the local-machine hive for reading; null on failure.
HKEY OpenRegistryKey(const char* keyPath);
// Reads a 4-byte value; its type is not tested.
bool ReadRegistryDword(HKEY key, const char* valueName, DWORD& value);
void CloseRegistryKey(HKEY key);
