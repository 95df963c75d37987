#pragma once
// The level's section of the savegame as read, before the level is rebuilt from it.
#include <cstdint>
#include <vector>

#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/MissileSaveRecord.h"
#include "Classes/Level/UnitSaveRecord.h"

struct LevelSaveRecord {
    std::vector<SpawnPointSaveRecord> spots;  // in marker order
    std::vector<MissileSaveRecord> missiles;
    std::vector<UnitSaveRecord> units;
    std::vector<int32_t> occupants;  // height x width, row 0 first; -1 for an empty cell
    int32_t highlightMode = 0;       // read, not applied: a restored level starts with 0
    std::vector<int32_t> selectedDefenders;
    int32_t selectedAttacker = -1;
    int32_t selectedSpot = -1;
};
