#pragma once
// Stand-in until the particle library and the audio device exist: what the
// shell's frame and view callbacks call of them. The particle library brings
// ParticlesInitView and ParticlesReleaseView; with the audio device, the frame
// calls Service<Audio::AudioDevice>::Get()->Update() while it is registered.

void ParticlesInitView();
void ParticlesReleaseView();
// The frame's audio update, while an audio device is registered.
void UpdateAudioService();
