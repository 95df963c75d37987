#pragma once
// One unit's entry of the savegame, in the order written: the unit's own state, its
// effects and queued effects, its animation, then its brain's fields and references.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "Classes/Level/CUnit.h"
#include "Maths/IntVector3.h"

class MemoryStream;

struct UnitSaveRecord {
    enum { kBrainFieldCount = 9 };

    IntVector3 position;
    int32_t direction = 0;
    int32_t id = 0;
    std::string name;
    int32_t side = 0;
    int32_t hitPoints = 0;
    int32_t sold = 0;
    int32_t hidden = 0;
    int32_t hideRequested = 0;
    int32_t hideOrderStep = -1;
    int32_t fadeTimer = 0;
    int32_t autoHealTimer = 0;
    int32_t age = 0;
    int32_t attackCounter = 0;
    int32_t dying = 0;
    int32_t invested = 0;
    int32_t investedInHitPoints = 0;
    IntVector3 previousPosition;  // z is not saved
    IntVector3 homePosition;      // z is not saved
    int32_t upgradeLevels[2] = {0, 0};
    int32_t weaponId = -1;
    std::vector<UnitEffect> effects;  // without nodes
    std::vector<std::string> queuedEffects;
    std::string clipName;
    float clipFrame = 0.0f;
    float animationSpeed = 1.0f;
    int32_t clipLoops = 0;
    // State, steps in the state, timer, cooldown, turn start and end, turn target, rest
    // direction, path retry delay.
    int32_t brainFields[kBrainFieldCount] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    int32_t targetId = -1;
    std::vector<std::pair<int32_t, int32_t>> path;  // cell positions, goal first
    int32_t keeperId = -1;
    int32_t wayPointId = -1;
    int32_t homeSpawnPointId = -1;

    // 1 done, -1 once the stream has failed.
    int Write(MemoryStream& stream) const;
    // 1 done. A stream that ends early, or a count or text length that is negative or
    // larger than what the stream still holds, fails the read (-1 or 0) and the record
    // is left part-filled: a reader acts on no record of a failed read.
    int Read(MemoryStream& stream);
};
