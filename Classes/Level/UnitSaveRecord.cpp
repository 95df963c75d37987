#include "Classes/Level/UnitSaveRecord.h"

#include "Classes/Level/RecordStream.h"

namespace {

// The least bytes one element of each list takes in the stream.
const int kEffectBytes = 7 * 4;
const int kTextBytes = 4;
const int kPathCellBytes = 2 * 4;

}  // namespace

int UnitSaveRecord::Write(MemoryStream& stream) const {
    RecordWriter out(stream);
    out.Int(position.x).Int(position.y).Int(position.z).Int(direction).Int(id).Text(name).Int(side).Int(hitPoints);
    out.Int(sold).Int(hidden).Int(hideRequested).Int(hideOrderStep).Int(fadeTimer).Int(autoHealTimer).Int(age);
    out.Int(attackCounter).Int(dying).Int(invested).Int(investedInHitPoints);
    out.Int(previousPosition.x).Int(previousPosition.y).Int(homePosition.x).Int(homePosition.y);
    out.Int(upgradeLevels[0]).Int(upgradeLevels[1]).Int(weaponId);
    out.Int(static_cast<int32_t>(effects.size()));
    for (const UnitEffect& e : effects)
        out.Int(e.kind).Int(e.value).Int(e.timed).Text(e.particle).Int(e.remaining).Int(e.nodePending).Int(e.expired);
    out.Int(static_cast<int32_t>(queuedEffects.size()));
    for (const std::string& queued : queuedEffects) out.Text(queued);
    out.Text(clipName).Float(clipFrame).Float(animationSpeed).Int(clipLoops);
    for (int32_t field : brainFields) out.Int(field);
    out.Int(targetId).Int(static_cast<int32_t>(path.size()));
    for (const std::pair<int32_t, int32_t>& cell : path) out.Int(cell.first).Int(cell.second);
    out.Int(keeperId).Int(wayPointId).Int(homeSpawnPointId);
    return out.Result();
}

int UnitSaveRecord::Read(MemoryStream& stream) {
    RecordReader in(stream);
    in.Int(position.x).Int(position.y).Int(position.z).Int(direction).Int(id).Text(name).Int(side).Int(hitPoints);
    in.Int(sold).Int(hidden).Int(hideRequested).Int(hideOrderStep).Int(fadeTimer).Int(autoHealTimer).Int(age);
    in.Int(attackCounter).Int(dying).Int(invested).Int(investedInHitPoints);
    in.Int(previousPosition.x).Int(previousPosition.y).Int(homePosition.x).Int(homePosition.y);
    previousPosition.z = 0;
    homePosition.z = 0;
    in.Int(upgradeLevels[0]).Int(upgradeLevels[1]).Int(weaponId);
    int32_t count = 0;
    in.Count(count, kEffectBytes);
    effects.clear();
    for (int32_t i = 0; i < count && in.Result() == 1; ++i) {
        UnitEffect e;
        in.Int(e.kind).Int(e.value).Int(e.timed).Text(e.particle).Int(e.remaining).Int(e.nodePending).Int(e.expired);
        effects.push_back(e);
    }
    in.Count(count, kTextBytes);
    queuedEffects.clear();
    for (int32_t i = 0; i < count && in.Result() == 1; ++i) {
        std::string queued;
        in.Text(queued);
        queuedEffects.push_back(queued);
    }
    in.Text(clipName).Float(clipFrame).Float(animationSpeed).Int(clipLoops);
    for (int32_t& field : brainFields) in.Int(field);
    in.Int(targetId).Count(count, kPathCellBytes);
    path.clear();
    for (int32_t i = 0; i < count && in.Result() == 1; ++i) {
        std::pair<int32_t, int32_t> cell;
        in.Int(cell.first).Int(cell.second);
        path.push_back(cell);
    }
    in.Int(keeperId).Int(wayPointId).Int(homeSpawnPointId);
    return in.Result();
}
