#include "particles/ParticleDetailLevel.h"

#include <algorithm>

#include "particles/ParticleFrameState.h"

namespace {

// Threshold k (percent of the budget) is 1000 / (10 - k) with the fraction dropped.
const int32_t kThresholds[kMaxParticleDetailLevel] = {100, 111, 125, 142, 166, 200, 250, 333, 500};

// Row = level, column = serial % 10; each row keeps a subset of the row above.
const uint8_t kKeep[kMaxParticleDetailLevel + 1][10] = {
    {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, {0, 1, 1, 1, 1, 1, 1, 1, 1, 1}, {0, 1, 1, 1, 1, 1, 0, 1, 1, 1},
    {0, 1, 1, 0, 1, 1, 0, 1, 1, 1}, {0, 1, 1, 0, 1, 1, 0, 1, 1, 0}, {0, 0, 1, 0, 1, 1, 0, 1, 1, 0},
    {0, 0, 1, 0, 1, 1, 0, 0, 1, 0}, {0, 0, 1, 0, 0, 1, 0, 0, 1, 0}, {0, 0, 1, 0, 0, 0, 0, 0, 1, 0},
    {0, 0, 1, 0, 0, 0, 0, 0, 0, 0}};

bool g_enabled = true;
int32_t g_forced = -1;
int32_t g_budgets[3] = {800, 1500, 3000};
int32_t g_mode = 1;
int32_t g_budget = 1500;
int32_t g_history[kParticleDetailHistory] = {};
int32_t g_level = 0;

int32_t ComputedLevel() {
    if (g_forced >= 1) return g_forced;
    const int32_t counted = ParticleDrawCounters.hosted;
    if (!g_enabled || counted < g_budget) return 0;
    const int64_t load = int64_t(counted) * 100 / std::max(g_budget, 1);
    int32_t level = 0;
    while (level < kMaxParticleDetailLevel && load >= kThresholds[level]) ++level;
    return level;
}

}  // namespace

void UpdateParticleDetailLevel() {
    const int32_t level = ComputedLevel();
    ParticleDrawCounters = ParticleDrawCountersState();
    std::copy_backward(g_history, g_history + kParticleDetailHistory - 1, g_history + kParticleDetailHistory);
    g_history[0] = level;
    if (level == g_level) return;
    if (level - g_level >= 2 || g_level - level >= 2) {
        g_level = level;
        return;
    }
    const bool rising = level > g_level;
    const int32_t votes = int32_t(std::count_if(g_history, g_history + kParticleDetailHistory,
                                                [&](int32_t past) { return rising ? past >= level : past <= level; }));
    if (votes > 20) g_level = level;
}

bool IsParticleDrawnAtDetailLevel(bool effectHasHost, int32_t liveParticles, uint16_t serial) {
    if (g_level == 0 || liveParticles < 5 || !effectHasHost) return true;
    return kKeep[g_level][serial % 10] != 0;
}

int32_t GetParticleDetailLevel() { return g_level; }

void ResetParticleDetailLevel() {
    std::fill(g_history, g_history + kParticleDetailHistory, 0);
    g_level = 0;
    ParticleDrawCounters = ParticleDrawCountersState();
}

void SetParticleDetailEnabled(bool enabled) {
    g_enabled = enabled;
    if (!enabled) g_level = 0;
}

void SetForcedParticleDetailLevel(int32_t level) { g_forced = level; }

void SetParticleBudget(int32_t mode, int32_t budget) {
    if (mode < 0 || mode > 2) return;
    g_budgets[mode] = std::max(budget, 10);
}

void SetParticleBudgetMode(int32_t mode) {
    g_mode = mode;
    g_budget = g_budgets[mode >= 0 && mode <= 2 ? mode : 0];
}

int32_t GetParticleBudgetMode() { return g_mode; }

int32_t GetActiveParticleBudget() { return g_budget; }
