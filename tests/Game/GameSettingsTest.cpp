#include "Game/GameSettings.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "Core/AppDataFolder.h"
#include "support/ScratchFolder.h"

namespace {

// Settings live in $XDG_DATA_HOME/Dunmarch_DATA/settings.dat.
class GameSettingsTest : public ::testing::Test {
protected:
    ScratchFolder tmp;
    ScopedEnv xdg{"XDG_DATA_HOME", tmp.Path().c_str()};
    std::string File() const { return tmp / "Dunmarch_DATA/settings.dat"; }
    void WriteFile(const std::string& bytes) const { tmp.Write("Dunmarch_DATA/settings.dat", bytes); }
};

std::string U32(uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
    return s;
}

std::string F32(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return U32(bits);
}

std::string Str(const std::string& s) { return U32(static_cast<uint32_t>(s.size())) + s; }

const std::string kHead = std::string("SET\0", 4) + U32(1000);

}  // namespace

TEST_F(GameSettingsTest, SaveWritesTheExactBytes) {
    GameSettings settings;
    settings.SetMusicVolume(0.5f);
    ASSERT_TRUE(settings.Save());
    const unsigned char expected[24] = {0x53, 0x45, 0x54, 0x00, 0xE8, 0x03, 0x00, 0x00, 0x00, 0x00, 0x80, 0x3F,
                                        0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(expected), 24), ScratchFolder::Read(File()));
    // Written beside and renamed: nothing is left over.
    struct stat st;
    EXPECT_NE(0, stat((File() + ".new").c_str(), &st));
}

TEST_F(GameSettingsTest, RoundTrip) {
    GameSettings saved;
    saved.SetSoundVolume(0.25f);
    saved.SetMusicVolume(0.75f);
    saved.SetPlayerName("Aldric");
    saved.SetEmail("aldric@example.org");
    ASSERT_TRUE(saved.Save());
    EXPECT_EQ(kHead + F32(0.25f) + F32(0.75f) + Str("Aldric") + Str("aldric@example.org"), ScratchFolder::Read(File()));

    GameSettings loaded;
    ASSERT_TRUE(loaded.Load());
    EXPECT_EQ(0.25f, loaded.GetSoundVolume());
    EXPECT_EQ(0.75f, loaded.GetMusicVolume());
    EXPECT_EQ("Aldric", loaded.GetPlayerName());
    EXPECT_EQ("aldric@example.org", loaded.GetEmail());
}

TEST_F(GameSettingsTest, NoFileKeepsTheDefaults) {
    GameSettings settings;
    EXPECT_FALSE(settings.Load());
    EXPECT_EQ(1.0f, settings.GetSoundVolume());
    EXPECT_EQ(1.0f, settings.GetMusicVolume());
    EXPECT_EQ("", settings.GetPlayerName());
    // Before any audio device exists the setter only stores.
    settings.SetMusicVolume(0.25f);
    EXPECT_EQ(0.25f, settings.GetMusicVolume());
}

// Files the loader must survive: what it can read is taken, the rest keeps the
// values the record had ("old" name and e-mail, volumes 0.5).
TEST_F(GameSettingsTest, DamagedFiles) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        std::string bytes;
        bool loaded;
        float sound, music;
        std::string name, email;
    } cases[] = {
        {"empty", "", false, 0.5f, 0.5f, "old", "old@x"},
        {"half a header", "SET", false, 0.5f, 0.5f, "old", "old@x"},
        {"no music volume", kHead + F32(0.2f), false, 0.2f, 0.5f, "old", "old@x"},
        {"volumes only", kHead + F32(0.2f) + F32(0.3f), false, 0.2f, 0.3f, "old", "old@x"},
        {"wrong magic and version", "XXXX" + U32(7) + F32(0.2f) + F32(0.3f) + Str("n") + Str("e"), true, 0.2f, 0.3f,
         "n", "e"},
        {"name cut at its zero byte", kHead + F32(1) + F32(1) + Str(std::string("ab\0cd", 5)) + Str("e"), true, 1.0f,
         1.0f, "ab", "e"},
        {"name longer than the file", kHead + F32(1) + F32(1) + U32(50) + "short", false, 1.0f, 1.0f, "old", "old@x"},
        {"huge name length", kHead + F32(1) + F32(1) + U32(0xFFFFFFFFu) + "x", false, 1.0f, 1.0f, "old", "old@x"},
        {"e-mail cut short", kHead + F32(1) + F32(1) + Str("n") + U32(10) + "abc", false, 1.0f, 1.0f, "n", "old@x"},
        {"name over 511 bytes", kHead + F32(1) + F32(1) + Str(std::string(600, 'a')) + Str("e"), true, 1.0f, 1.0f,
         std::string(511, 'a'), "e"},
        {"volumes out of range", kHead + F32(-3) + F32(7) + Str("") + Str(""), true, 0.0f, 1.0f, "", ""},
        {"NaN volumes", kHead + F32(nan) + F32(-nan) + Str("") + Str(""), true, 0.0f, 0.0f, "", ""},
        {"infinite volumes", kHead + F32(INFINITY) + F32(-INFINITY) + Str("") + Str(""), true, 1.0f, 0.0f, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(c.bytes);
        GameSettings settings;
        settings.SetSoundVolume(0.5f);
        settings.SetMusicVolume(0.5f);
        settings.SetPlayerName("old");
        settings.SetEmail("old@x");
        EXPECT_EQ(c.loaded, settings.Load());
        EXPECT_EQ(c.sound, settings.GetSoundVolume());
        EXPECT_EQ(c.music, settings.GetMusicVolume());
        EXPECT_EQ(c.name, settings.GetPlayerName());
        EXPECT_EQ(c.email, settings.GetEmail());
    }
}

TEST_F(GameSettingsTest, AFailedSaveKeepsThePreviousFile) {
    GameSettings first;
    first.SetPlayerName("first");
    ASSERT_TRUE(first.Save());
    const std::string before = ScratchFolder::Read(File());

    // The file written beside cannot be created: the save fails, the old file stays.
    ASSERT_EQ(0, mkdir((File() + ".new").c_str(), 0700));
    GameSettings second;
    second.SetPlayerName("second");
    EXPECT_FALSE(second.Save());
    EXPECT_EQ(before, ScratchFolder::Read(File()));
    rmdir((File() + ".new").c_str());

    EXPECT_TRUE(second.Save());
    GameSettings loaded;
    ASSERT_TRUE(loaded.Load());
    EXPECT_EQ("second", loaded.GetPlayerName());
}

TEST_F(GameSettingsTest, SaveCreatesOnlyTheDataFolder) {
    // The data folder is made (one level) under an existing application-data folder.
    std::wstring appData;
    ASSERT_TRUE(GetLocalAppDataFolder(appData));
    EXPECT_FALSE(PathExists(appData + L"/Dunmarch_DATA/"));
    GameSettings settings;
    EXPECT_TRUE(settings.Save());
    EXPECT_TRUE(PathExists(appData + L"/Dunmarch_DATA/"));
}

TEST(GameSettingsNoFolderTest, NoDataFolderFails) {
    ScratchFolder tmp;
    // XDG_DATA_HOME under a regular file can never become a folder.
    ScopedEnv xdg("XDG_DATA_HOME", (tmp.Write("plain", "x") + "/sub").c_str());
    GameSettings settings;
    EXPECT_FALSE(settings.Save());
    EXPECT_FALSE(settings.Load());
}
