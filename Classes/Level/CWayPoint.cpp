#include "Classes/Level/CWayPoint.h"

CWayPoint::CWayPoint(CLevel* level, int32_t number, int32_t objectId, int32_t x, int32_t y, int32_t direction)
    : CLevelPoint(level, number, objectId, x, y, direction) {}

CWayPoint::~CWayPoint() = default;
