#include "particles/ParticleHost.h"

float HostGroundHeight(const CSEntity* /*host*/, int32_t /*x*/, int32_t /*y*/, bool /*a*/, bool /*b*/, bool /*c*/) {
    return 0.1f;
}

bool HostPointTest(const CSEntity* /*host*/, int32_t x, int32_t y, float z) { return x >= 0 && y >= 0 && z > 0.0f; }
