#pragma once
// What the particle library asks the entity that hosts an effect. The hosts of this
// game answer by fixed rules, whatever the entity: the ground is 0.1 high everywhere,
// and a point is valid above the ground plane on the non-negative quarter of the map.
#include <cstdint>

class CSEntity;

// The ground height under (x, y): 0.1 for every argument.
float HostGroundHeight(const CSEntity* host, int32_t x, int32_t y, bool a, bool b, bool c);
// True exactly when x >= 0, y >= 0 and z > 0.
bool HostPointTest(const CSEntity* host, int32_t x, int32_t y, float z);
