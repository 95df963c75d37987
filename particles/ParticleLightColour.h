#pragma once
// The light colour the renderer modulates particle colours with: opaque white, and
// nothing in the game changes it.
#include "particles/CSVector.h"

extern CSVector4 ParticleLightColour;

// Per channel of red, green and blue min(1.5 c, 1.0) of the light colour, alpha as it
// is: opaque white while the light colour is.
CSVector4 GetParticleTint();
