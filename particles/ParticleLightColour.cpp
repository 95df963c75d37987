#include "particles/ParticleLightColour.h"

#include <algorithm>

CSVector4 ParticleLightColour(1.0f, 1.0f, 1.0f, 1.0f);

namespace {
float Brightened(float c) { return std::min(1.0f * c + 0.5f * c, 1.0f); }
}  // namespace

CSVector4 GetParticleTint() {
    const CSVector4& c = ParticleLightColour;
    return CSVector4(Brightened(c.x), Brightened(c.y), Brightened(c.z), c.w);
}
