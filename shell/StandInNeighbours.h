#pragma once
// Stand-in until the particle library exists: what the shell's view
// callbacks call of it. The particle library brings ParticlesInitView and
// ParticlesReleaseView.

void ParticlesInitView();
void ParticlesReleaseView();
