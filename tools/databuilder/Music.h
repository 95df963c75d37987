#pragma once
// The sample music: each track a theme with variations, long enough that a player does not
// hear the same bars again within a minute. Interleaved stereo in -1 ... 1 at kMusicRate;
// the same samples on every run.
#include <vector>

namespace music {

inline constexpr double kMusicRate = 44100.0;

// The menus: A minor, calm, 64 s.
std::vector<float> MenuTrack();
// The battle on the map: D minor, with drums, 66 s.
std::vector<float> BattleTrack();

}  // namespace music
