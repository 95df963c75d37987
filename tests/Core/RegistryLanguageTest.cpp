#include "Core/RegistryLanguage.h"

#include <gtest/gtest.h>

#include "support/ScratchFolder.h"

TEST(RegistryLanguageTest, CodeFromTheStoredValues) {
    struct Case {
        const char* file;  // null: no registry file at all
        int expected;
    } cases[] = {
        {nullptr, 127},                    // no key
        {"", 127},                         // key without values
        {"DEFAULT=1\nLANGUAGE=3\n", 127},  // "no language chosen" wins
        {"DEFAULT=0\nLANGUAGE=3\n", 3},
        {"LANGUAGE=3\n", 3},  // no DEFAULT value
        {"LANGUAGE=0\n", 0},
        {"LANGUAGE=6\n", 6},
        {"LANGUAGE=126\n", 126},  // beyond the seven languages, still a code
        {"LANGUAGE=127\n", 127},
        {"LANGUAGE=128\n", 127},
        {"LANGUAGE=200\n", 127},
        {"LANGUAGE=-1\n", 127},             // 0xFFFFFFFF as unsigned
        {"LANGUAGE=three\n", 127},          // unreadable value
        {"DEFAULT=oops\nLANGUAGE=4\n", 4},  // an unreadable DEFAULT does not count
    };
    for (const Case& c : cases) {
        ScratchFolder tmp;
        const std::string path = c.file ? tmp.Write("registry.ini", c.file) : tmp / "none.ini";
        ScopedEnv env("DUNMARCH_REGISTRY", path.c_str());
        EXPECT_EQ(c.expected, ReadLanguageFromRegistry(kLanguageRegistryKey, kLanguageRegistryValue))
            << (c.file ? c.file : "(no file)");
    }
}

TEST(RegistryLanguageTest, OtherKeyOrValueName) {
    ScratchFolder tmp;
    ScopedEnv env("DUNMARCH_REGISTRY", tmp.Write("registry.ini", "LANGUAGE=2\nOTHER=5\n").c_str());
    EXPECT_EQ(127, ReadLanguageFromRegistry("SOFTWARE\\Morvane\\Other", kLanguageRegistryValue));
    EXPECT_EQ(5, ReadLanguageFromRegistry(kLanguageRegistryKey, "OTHER"));
    EXPECT_EQ(127, ReadLanguageFromRegistry(kLanguageRegistryKey, "MISSING"));

    HKEY key = OpenRegistryKey(kLanguageRegistryKey);
    ASSERT_NE(nullptr, key);
    DWORD value = 99;
    EXPECT_TRUE(ReadRegistryDword(key, "LANGUAGE", value));
    EXPECT_EQ(2u, value);
    EXPECT_FALSE(ReadRegistryDword(key, "DEFAULT", value));
    CloseRegistryKey(key);
    CloseRegistryKey(nullptr);  // harmless
}
