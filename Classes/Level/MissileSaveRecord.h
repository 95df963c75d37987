#pragma once
// One missile's entry of the savegame, in the order written. The level finds the shooter,
// the target and the weapon by their ids and makes the missile again before restoring it.
#include <cstdint>
#include <string>

#include "Maths/IntVector3.h"

class MemoryStream;

struct MissileSaveRecord {
    int32_t id = -1;
    IntVector3 position;
    int32_t direction = 0;
    int32_t shooterId = -1;
    int32_t targetId = -1;
    int32_t weaponId = -1;
    int32_t spell = -1;
    IntVector3 start;
    IntVector3 heading;
    IntVector3 previous;
    int32_t shooterSide = 0;
    int32_t targetSide = 0;
    int32_t travelled = 0;
    int32_t flightLength = 0;
    int32_t timer = 0;
    int32_t hit = 0;
    int32_t speed = 1;
    // The flying effect's age, else the hit effect's; -1 for neither.
    float effectAge = -1.0f;
    std::string pendingEffectPath;
    std::string pendingMeshName;

    // 1 done, -1 once the stream has failed.
    int Write(MemoryStream& stream) const;
    // 1 done; a stream that ends early or a damaged text length fails the read, and the
    // record is not to be used.
    int Read(MemoryStream& stream);
};
