#include "Game/GameSettings.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "Audio/AudioDevice.h"
#include "Core/AppDataFolder.h"
#include "Core/Service.h"
#include "Core/TextHelpers.h"
#include "platform/win32/WideFileApi.h"

namespace {

const uint8_t kMagic[4] = {'S', 'E', 'T', 0};
const uint32_t kVersion = 1000;
// Room for the text of one string; a longer string keeps its first 511 bytes.
const size_t kStringRoom = 511;

bool GetDataFolder(std::wstring& folder) {
    std::wstring appData;
    if (!GetLocalAppDataFolder(appData)) return false;
    folder = appData + ToWideString("/Dunmarch_DATA/");
    return true;
}

bool ReadExactly(FILE* file, void* buffer, size_t n) { return std::fread(buffer, 1, n, file) == n; }

bool ReadUInt32(FILE* file, uint32_t& value) {
    uint8_t b[4];
    if (!ReadExactly(file, b, 4)) return false;
    value = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return true;
}

bool ReadFloat(FILE* file, float& value) {
    uint32_t bits;
    if (!ReadUInt32(file, bits)) return false;
    std::memcpy(&value, &bits, sizeof(value));
    return true;
}

// A corrupt file must not hand the audio device a NaN or a gain outside 0..1.
float ClampVolume(float v) {
    if (std::isnan(v)) return 0.0f;
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

// Length and bytes; the text is kept up to its first zero byte and at most 511 bytes.
// A string the file cannot supply in full leaves the current value alone.
bool ReadString(FILE* file, std::string& value) {
    uint32_t length;
    if (!ReadUInt32(file, length)) return false;
    char buffer[kStringRoom + 1] = {};
    const size_t kept = length < kStringRoom ? length : kStringRoom;
    if (!ReadExactly(file, buffer, kept)) return false;
    char discard[256];
    for (uint32_t rest = length - static_cast<uint32_t>(kept); rest > 0;) {
        const size_t n = rest < sizeof(discard) ? rest : sizeof(discard);
        if (!ReadExactly(file, discard, n)) return false;
        rest -= static_cast<uint32_t>(n);
    }
    value = buffer;
    return true;
}

void PutUInt32(std::vector<uint8_t>& bytes, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutFloat(std::vector<uint8_t>& bytes, float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof(bits));
    PutUInt32(bytes, bits);
}

void PutString(std::vector<uint8_t>& bytes, const std::string& s) {
    PutUInt32(bytes, static_cast<uint32_t>(s.size()));
    bytes.insert(bytes.end(), s.begin(), s.end());
}

}  // namespace

GameSettings::GameSettings() : sound_volume_(1.0f), music_volume_(1.0f) {}

void GameSettings::SetSoundVolume(float volume) {
    sound_volume_ = volume;
    if (Service<Audio::AudioDevice>::Exists()) Service<Audio::AudioDevice>::Get()->SetEffectsVolume(volume);
}

void GameSettings::SetMusicVolume(float volume) {
    music_volume_ = volume;
    if (Service<Audio::AudioDevice>::Exists()) Service<Audio::AudioDevice>::Get()->SetMusicVolume(volume);
}

bool GameSettings::Load() {
    std::wstring folder;
    if (!GetDataFolder(folder)) return false;
    FILE* file = _wfopen((folder + ToWideString("settings.dat")).c_str(), L"rb");
    if (!file) return false;

    // The magic and the version are read but not tested.
    uint32_t magic = 0, version = 0;
    float sound = 0.0f, music = 0.0f;
    bool complete = ReadUInt32(file, magic) && ReadUInt32(file, version);
    const bool haveSound = complete && ReadFloat(file, sound);
    const bool haveMusic = haveSound && ReadFloat(file, music);
    if (haveSound) SetSoundVolume(ClampVolume(sound));
    if (haveMusic) SetMusicVolume(ClampVolume(music));
    complete = haveMusic && ReadString(file, player_name_) && ReadString(file, email_);
    std::fclose(file);
    return complete;
}

bool GameSettings::Save() {
    std::wstring folder;
    if (!GetDataFolder(folder)) return false;
    if (!PathExists(folder)) CreateFolder(folder);

    std::vector<uint8_t> bytes(kMagic, kMagic + 4);
    PutUInt32(bytes, kVersion);
    PutFloat(bytes, sound_volume_);
    PutFloat(bytes, music_volume_);
    PutString(bytes, player_name_);
    PutString(bytes, email_);

    const std::wstring path = folder + ToWideString("settings.dat");
    const std::wstring temp = path + ToWideString(".new");
    FILE* file = _wfopen(temp.c_str(), L"wb");
    if (!file) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = (std::fflush(file) == 0) && ok;
    ok = (std::fclose(file) == 0) && ok;
    if (!ok || !MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}
