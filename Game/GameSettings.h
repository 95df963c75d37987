#pragma once
// What the player sets (the two volumes) and what the score-submission form remembers
// (player name, e-mail), kept in "settings.dat" in the per-user data folder.
//
// settings.dat, little-endian: "SET\0", uint32 1000, float sound volume, float music
// volume, then the player name and the e-mail, each a uint32 length and its bytes.
#include <string>

class GameSettings {
public:
    GameSettings();

    // False when there is no data folder or no file; a file shorter than its fields
    // announce also gives false, and the fields it could not supply keep their values.
    bool Load();
    // Writes beside the file and renames over it, so a failed save keeps the old file.
    bool Save();

    // Also set the audio device's group volume while the device exists.
    void SetSoundVolume(float volume);
    void SetMusicVolume(float volume);
    float GetSoundVolume() const { return sound_volume_; }
    float GetMusicVolume() const { return music_volume_; }

    std::string GetPlayerName() const { return player_name_; }
    std::string GetEmail() const { return email_; }
    void SetPlayerName(const std::string& name) { player_name_ = name; }
    void SetEmail(const std::string& email) { email_ = email; }

private:
    float sound_volume_;
    float music_volume_;
    std::string player_name_;
    std::string email_;
};
