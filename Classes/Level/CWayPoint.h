#pragma once
// A way point of the attackers' routes (level file point types 3 and 4).
#include "Classes/Level/CLevelPoint.h"

class CWayPoint : public CLevelPoint {
public:
    // Facing 0.
    CWayPoint(CLevel* level, int32_t number, int32_t objectId, int32_t x, int32_t y, int32_t direction = 0);
    ~CWayPoint() override;
};
