#include "platform/win32/Registry.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "support/ScratchFolder.h"

namespace {

const char kKey[] = "SOFTWARE\\Morvane\\Dunmarch\\PARAMETERS";

// The value as the game reads it, or -1 when the query fails.
long long Query(HKEY key, const char* name) {
    DWORD value = 0, type = REG_NONE, size = sizeof(value);
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size) != ERROR_SUCCESS)
        return -1;
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(sizeof(DWORD), size);
    return value;
}

}  // namespace

TEST(RegistryTest, ValuesFromTheFileNamedByTheEnvironment) {
    ScratchFolder tmp;
    ScopedEnv env("DUNMARCH_REGISTRY", tmp.Write("reg.ini",
                                                 "; the game's key\n[PARAMETERS]\n  LANGUAGE = 3 \ndefault=0x10\n"
                                                 "Negative=-1\nHuge=4294967296\nWord=five\nEmpty=\nnoequals\n")
                                           .c_str());
    HKEY key = nullptr;
    // Key paths are compared without regard to case, as the registry does.
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, "software\\morvane\\DUNMARCH\\parameters", 0, KEY_READ, &key));
    ASSERT_NE(nullptr, key);

    struct Case {
        const char* name;
        long long expected;
    } cases[] = {
        {"LANGUAGE", 3}, {"language", 3}, {"DEFAULT", 16}, {"Negative", 0xFFFFFFFFLL},
        {"Huge", -1},    {"Word", -1},    {"Empty", -1},   {"missing", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, Query(key, c.name)) << c.name;

    // A buffer too small for a DWORD is refused; a size query works without one.
    DWORD small = 2, value = 0;
    EXPECT_EQ(ERROR_MORE_DATA,
              RegQueryValueExA(key, "LANGUAGE", nullptr, nullptr, reinterpret_cast<LPBYTE>(&value), &small));
    EXPECT_EQ(sizeof(DWORD), small);
    DWORD size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "LANGUAGE", nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(sizeof(DWORD), size);

    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
}

TEST(RegistryTest, OnlyTheGamesKeyOpensAndOnlyForReading) {
    ScratchFolder tmp;
    ScopedEnv env("DUNMARCH_REGISTRY", tmp.Write("reg.ini", "LANGUAGE=1\n").c_str());
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Other", 0, KEY_READ, &key));
    EXPECT_EQ(nullptr, key);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(reinterpret_cast<HKEY>(0x80000001u), kKey, 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, 0x20006 /* KEY_WRITE */, &key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(nullptr));
}

TEST(RegistryTest, MissingFileIsAMissingKey) {
    ScratchFolder tmp;
    ScopedEnv env("DUNMARCH_REGISTRY", (tmp / "absent.ini").c_str());
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key));
    EXPECT_EQ(nullptr, key);
}

TEST(RegistryTest, WithoutTheVariableTheProgramFoldersFileIsRead) {
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    ASSERT_GT(n, 0);
    std::string folder(exe, static_cast<size_t>(n));
    folder.erase(folder.find_last_of('/') + 1);
    const std::string ini = folder + "registry.ini";

    ScopedEnv env("DUNMARCH_REGISTRY", nullptr);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key));

    std::ofstream(ini) << "LANGUAGE=6\n";
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key));
    EXPECT_EQ(6, Query(key, "LANGUAGE"));
    RegCloseKey(key);
    std::remove(ini.c_str());
}
