#pragma once
// What the shell's view callbacks ask of the particle library, which sits
// above the shell: InitView calls the first hook once the device and the
// window exist, before the game initialises; ReleaseView calls the second
// after the game's shutdown. The library binds them; unbound, they are skipped.
typedef void (*ParticleViewHook)();
void SetParticleViewHooks(ParticleViewHook initView, ParticleViewHook releaseView);
