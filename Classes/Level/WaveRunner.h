#pragma once
// One attack wave of a running battle: sends the attackers of its wave definition into
// the level at their times, tells the battle when the wave is over, and carries the gold
// the battle pays at its end. The units it sends belong to the level's unit list.
#include <cstdint>
#include <vector>

#include "Classes/Dictionary/GameDictionary/WaveDefinition.h"

class MemoryStream;

class WaveRunner {
public:
    // Before a savegame is loaded into it: every number 0, no entries.
    WaveRunner();
    WaveRunner(int32_t waveId, int32_t waveGold, int32_t bonusPercent, int32_t survivalPercent,
               const std::vector<WaveEntry>& entries);

    // One battle step: at most one entry leaves, when its second has come. True while
    // the wave runs; false once no entry and no living attacker is left.
    bool Update(int32_t dt);
    // Entries whose gold threshold is above the gold leave unsent; how many.
    int32_t DropEntriesAboveGold(int32_t gold);
    // The attackers sent, entries dropped counted as sent.
    int32_t GetSpawnedCount() const;

    int32_t GetWaveId() const { return wave_id_; }
    int32_t GetWaveGold() const { return wave_gold_; }
    int32_t GetBonusPercent() const { return bonus_percent_; }
    int32_t GetSurvivalPercent() const { return survival_percent_; }
    int32_t GetElapsed() const { return elapsed_; }
    // The wave's banner shows while this is above 0.
    int32_t GetBannerCountdown() const { return banner_countdown_; }
    uint32_t GetTotalCount() const { return total_count_; }
    const std::vector<WaveEntry>& GetEntries() const { return entries_; }

    bool Save(MemoryStream& stream) const;
    // False, and the runner as it was, when the record cannot be read whole.
    bool Load(MemoryStream& stream);
    // A runner read from a savegame is one the runner made for its wave could have
    // become: the same wave, gold, percents and unit total, the entries still waiting
    // among the made runner's in the same order and unchanged, and its times in range.
    bool CouldFollow(const WaveRunner& made) const;

private:
    int32_t wave_id_;
    int32_t wave_gold_;
    int32_t bonus_percent_;
    int32_t survival_percent_;
    int32_t elapsed_;
    int32_t banner_countdown_;
    uint32_t total_count_;
    std::vector<WaveEntry> entries_;
};
