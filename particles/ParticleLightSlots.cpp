#include "particles/ParticleLightSlots.h"

// Stand-in until the light slots exist.
void ReleaseParticleLights() {}
