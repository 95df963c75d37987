#pragma once
// The particle detail level: once a frame the particles the renderer counted
// in the frame just ended are held against a budget of 1500, giving a level
// from 0 (every particle drawn) to 9 (one in ten). A vote over the last 30
// frames keeps the level from flickering, and whether a particle is drawn
// depends only on the level and its serial number, so the same particles stay.
#include <cstdint>

constexpr int32_t kParticleDetailHistory = 30;
constexpr int32_t kMaxParticleDetailLevel = 9;

// Reads and clears ParticleDrawCounters, computes the frame's level, records
// it and moves the current level: at once on a jump of 2 or more, after more
// than 20 of the last 30 frames agree on a step of 1.
void UpdateParticleDetailLevel();

// Whether a particle is drawn: always at level 0, for an effect without host
// and for an emitter with fewer than 5 live particles; otherwise by the keep
// table, whose column is the serial's last decimal digit. Serials wrap negative
// in emitters that never empty, so the column is taken from the unsigned
// 16-bit value.
bool IsParticleDrawnAtDetailLevel(bool effectHasHost, int32_t liveParticles, uint16_t serial);

int32_t GetParticleDetailLevel();
// Level 0, an empty history and every particle counter 0.
void ResetParticleDetailLevel();

// Settings nothing in the game changes: the feature switch (off also sets the
// level to 0), a forced level (1 or more replaces the computed one; -1 none),
// the three budgets (each at least 10) and the budget mode (0, 1 or 2; any
// other selects mode 0's budget).
void SetParticleDetailEnabled(bool enabled);
void SetForcedParticleDetailLevel(int32_t level);
void SetParticleBudget(int32_t mode, int32_t budget);
void SetParticleBudgetMode(int32_t mode);
int32_t GetParticleBudgetMode();
int32_t GetActiveParticleBudget();
