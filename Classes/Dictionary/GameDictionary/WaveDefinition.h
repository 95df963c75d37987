#pragma once
// An attack wave of the game data (folder "waves").
#include <cstdint>
#include <string>
#include <vector>

struct WaveEntry {
    std::string name;  // attacker id
    int32_t time = 0;  // seconds after the wave's start
    int32_t count = 0;
    int32_t spawnPoint = 0;     // the attacker entry point's number in the level file
    int32_t goldThreshold = 0;  // dropped when the wave starts with less gold than this
};

struct WaveDefinition {
    int32_t id = 0;
    std::vector<WaveEntry> entries;  // in file order
};
