#include "Classes/Level/WaveRunner.h"

#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Classes/Level/RecordStream.h"
#include "Classes/Level/SaveCheck.h"
#include "Core/Service.h"

namespace {

// The banner of a wave shows this long from its start.
const int32_t kBannerTime = 3000;

// The least bytes of one entry in the stream: an empty name and four numbers.
const int kEntryBytes = 4 + 4 * 4;

// A count of 0 or below sends nothing: counting it down would send billions.
uint32_t Sendable(const WaveEntry& entry) { return entry.count > 0 ? static_cast<uint32_t>(entry.count) : 0u; }

bool SameEntry(const WaveEntry& a, const WaveEntry& b) {
    return a.name == b.name && a.time == b.time && a.count == b.count && a.spawnPoint == b.spawnPoint &&
           a.goldThreshold == b.goldThreshold;
}

}  // namespace

WaveRunner::WaveRunner()
    : wave_id_(0),
      wave_gold_(0),
      bonus_percent_(0),
      survival_percent_(0),
      elapsed_(0),
      banner_countdown_(0),
      total_count_(0) {}

WaveRunner::WaveRunner(int32_t waveId, int32_t waveGold, int32_t bonusPercent, int32_t survivalPercent,
                       const std::vector<WaveEntry>& entries)
    : wave_id_(waveId),
      wave_gold_(waveGold),
      bonus_percent_(bonusPercent),
      survival_percent_(survivalPercent),
      elapsed_(0),
      banner_countdown_(kBannerTime),
      total_count_(0),
      entries_(entries) {
    for (const WaveEntry& entry : entries_) total_count_ += Sendable(entry);
}

bool WaveRunner::Update(int32_t dt) {
    elapsed_ += dt;
    if (banner_countdown_ > 0) banner_countdown_ -= dt;
    CLevel* level = Service<CLevel>::Exists() ? Service<CLevel>::Get() : nullptr;
    if (!entries_.empty()) {
        // Only the first entry is looked at: a later one waits for it, whatever its time.
        WaveEntry& entry = entries_.front();
        if (elapsed_ / 1000 >= entry.time) {
            const boost::shared_ptr<CSpawnPoint> point =
                level != nullptr ? level->FindSpawnPoint(CSpawnPoint::kAttackerEntry, entry.spawnPoint).lock()
                                 : boost::shared_ptr<CSpawnPoint>();
            if (point)
                for (; entry.count > 0; --entry.count)
                    level->GetUnitList().SpawnUnit(entry.name, point, CUnit::kAttacker, true, true);
            entries_.erase(entries_.begin());
        }
        return true;
    }
    return level != nullptr && level->GetUnitList().CountLivingAttackers() > 0;
}

int32_t WaveRunner::DropEntriesAboveGold(int32_t gold) {
    int32_t dropped = 0;
    for (std::vector<WaveEntry>::iterator it = entries_.begin(); it != entries_.end();) {
        if (gold < it->goldThreshold) {
            it = entries_.erase(it);
            ++dropped;
        } else {
            ++it;
        }
    }
    return dropped;
}

int32_t WaveRunner::GetSpawnedCount() const {
    uint32_t waiting = 0;
    for (const WaveEntry& entry : entries_) waiting += Sendable(entry);
    return static_cast<int32_t>(total_count_ - waiting);
}

bool WaveRunner::Save(MemoryStream& stream) const {
    RecordWriter out(stream);
    out.Int(wave_id_).Int(wave_gold_).Int(bonus_percent_).Int(survival_percent_).Int(elapsed_);
    out.Int(banner_countdown_).UInt(total_count_).Int(static_cast<int32_t>(entries_.size()));
    for (const WaveEntry& entry : entries_) {
        out.Text(entry.name).UInt(static_cast<uint32_t>(entry.time)).UInt(static_cast<uint32_t>(entry.count));
        out.UInt(static_cast<uint32_t>(entry.spawnPoint)).UInt(static_cast<uint32_t>(entry.goldThreshold));
    }
    return out.Result() == 1;
}

bool WaveRunner::Load(MemoryStream& stream) {
    WaveRunner read;
    RecordReader in(stream);
    int32_t count = 0;
    in.Int(read.wave_id_).Int(read.wave_gold_).Int(read.bonus_percent_).Int(read.survival_percent_);
    in.Int(read.elapsed_).Int(read.banner_countdown_).UInt(read.total_count_).Count(count, kEntryBytes);
    if (in.Result() != 1) return false;
    read.entries_.resize(static_cast<size_t>(count));
    for (WaveEntry& entry : read.entries_) {
        uint32_t numbers[4] = {0, 0, 0, 0};
        in.Text(entry.name).UInt(numbers[0]).UInt(numbers[1]).UInt(numbers[2]).UInt(numbers[3]);
        entry.time = static_cast<int32_t>(numbers[0]);
        entry.count = static_cast<int32_t>(numbers[1]);
        entry.spawnPoint = static_cast<int32_t>(numbers[2]);
        entry.goldThreshold = static_cast<int32_t>(numbers[3]);
    }
    if (in.Result() != 1) return false;
    *this = read;
    return true;
}

bool WaveRunner::CouldFollow(const WaveRunner& made) const {
    // Entries leave whole: sent or dropped, never changed.
    size_t next = 0;
    for (const WaveEntry& entry : entries_) {
        while (next < made.entries_.size() && !SameEntry(made.entries_[next], entry)) ++next;
        if (next == made.entries_.size()) return false;
        ++next;
    }
    return SaveCheck()
        .That(wave_id_ == made.wave_id_ && wave_gold_ == made.wave_gold_ && bonus_percent_ == made.bonus_percent_ &&
              survival_percent_ == made.survival_percent_ && total_count_ == made.total_count_)
        .In(elapsed_, 0, savecheck::kMaxTime)
        .In(banner_countdown_, -savecheck::kStepOvershoot, kBannerTime)
        .Passed();
}
