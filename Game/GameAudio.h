#pragma once
// Music and sound effects by file name, through the sound loaders and the
// audio device services. Each answers false when a service is missing or the
// file does not load.
#include <string>

// Loops the stream on the music group at the group's volume, unless it is
// already playing. Another track already playing keeps playing.
bool PlayMusic(const std::string& fileName);
void PlayMainMenuMusic();
// Stops everything on the music group.
bool StopMusic();
// Plays the sound once on the effects group at the group's volume. Without
// restart a sound that is already playing is left alone.
bool PlaySound(const std::string& fileName, bool restart);
