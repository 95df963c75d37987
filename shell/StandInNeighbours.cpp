// Stand-in until the particle library exists (see StandInNeighbours.h): there
// are no particle batches to reset or free yet.
#include "shell/StandInNeighbours.h"

void ParticlesInitView() {}
void ParticlesReleaseView() {}
