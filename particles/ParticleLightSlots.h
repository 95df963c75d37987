#pragma once
// The light slots that emitted lights are placed in.
//
// Stand-in until the light slots exist: there are no slots yet, so there is nothing
// to free.

// Stand-in: deletes the entities of the light slots (none yet).
void ReleaseParticleLights();
