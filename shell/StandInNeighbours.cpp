// Stand-in until the particle library and the audio device exist (see
// StandInNeighbours.h): there are no particle batches to reset or free and no
// audio device to update yet.
#include "shell/StandInNeighbours.h"

void ParticlesInitView() {}
void ParticlesReleaseView() {}
void UpdateAudioService() {}
