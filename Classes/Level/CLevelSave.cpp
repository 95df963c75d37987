// The level's section of the savegame: written from the running level, read into a
// record, and the level rebuilt from that record on a level fresh from its file.
#include <cstdint>
#include <vector>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Level/CGenericBrain.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CMissile.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/LevelSaveRecord.h"
#include "Classes/Level/LevelServices.h"
#include "Core/Service.h"
#include "IO/MemoryStream.h"

namespace {

const int kSpotRecordBytes = 12;

// A count read from the file: not negative, and each item of at least itemBytes still
// in the stream.
bool ReadCount(MemoryStream& stream, int32_t itemBytes, int32_t& count) {
    if (stream.ReadInt32(count) != 1 || count < 0) return false;
    return static_cast<int64_t>(count) * itemBytes <= stream.GetBytesLeft();
}

}  // namespace

int CLevel::SaveState(MemoryStream& stream) const {
    stream.WriteInt32(static_cast<int32_t>(markers_.size()));
    for (const boost::shared_ptr<CSpawnPoint>& marker : markers_) marker->Save(stream);
    stream.WriteInt32(static_cast<int32_t>(missiles_.size()));
    for (const boost::shared_ptr<CMissile>& missile : missiles_) missile->Save(stream);
    unit_list_.Save(stream);
    for (uint32_t row = 0; row < height_; ++row)
        for (uint32_t column = 0; column < width_; ++column)
            stream.WriteInt32(IdOf(rows_[row][column].GetOccupant()));
    stream.WriteInt32(spot_highlight_mode_);
    stream.WriteInt32(static_cast<int32_t>(selected_defenders_.size()));
    for (const boost::weak_ptr<CUnit>& defender : selected_defenders_) stream.WriteInt32(IdOf(defender));
    stream.WriteInt32(IdOf(selected_attacker_));
    const boost::shared_ptr<CSpawnPoint> spot = selected_spot_.lock();
    stream.WriteInt32(spot ? spot->GetId() : -1);
    return 1;
}

int CLevel::LoadState(LevelSaveRecord& record, MemoryStream& stream) {
    int32_t count = 0;
    // The spots are matched to this level's markers one by one.
    if (!ReadCount(stream, kSpotRecordBytes, count) || static_cast<size_t>(count) != markers_.size()) return 0;
    record.spots.assign(static_cast<size_t>(count), SpawnPointSaveRecord());
    for (SpawnPointSaveRecord& spot : record.spots)
        if (spot.Read(stream) != 1) return 0;

    if (!ReadCount(stream, 4, count)) return 0;
    record.missiles.clear();
    for (int32_t i = 0; i < count; ++i) {
        MissileSaveRecord missile;
        if (missile.Read(stream) != 1) return 0;
        record.missiles.push_back(missile);
    }

    record.units.clear();
    if (!unit_list_.Load(record.units, stream)) return 0;
    for (const UnitSaveRecord& unit : record.units)
        if (unit.id < 0 || unit.upgradeLevels[0] < 0 || unit.upgradeLevels[0] > 4 || unit.upgradeLevels[1] < 0 ||
            unit.upgradeLevels[1] > 4)
            return 0;

    const int64_t cells = static_cast<int64_t>(width_) * height_;
    if (cells * 4 > stream.GetBytesLeft()) return 0;
    record.occupants.assign(static_cast<size_t>(cells), -1);
    for (int32_t& occupant : record.occupants)
        if (stream.ReadInt32(occupant) != 1) return 0;

    if (stream.ReadInt32(record.highlightMode) != 1) return 0;
    if (!ReadCount(stream, 4, count)) return 0;
    record.selectedDefenders.assign(static_cast<size_t>(count), -1);
    for (int32_t& id : record.selectedDefenders)
        if (stream.ReadInt32(id) != 1) return 0;
    if (stream.ReadInt32(record.selectedAttacker) != 1 || stream.ReadInt32(record.selectedSpot) != 1) return 0;
    return 1;
}

int CLevel::RestoreState(LevelSaveRecord& record) {
    if (!Service<CDunmarchGame>::Exists()) return 0;
    CreateSceneObjects();

    // Each unit with the record it was made from, so that every brain gets its own
    // record even when a record made no unit.
    std::vector<std::pair<boost::shared_ptr<CUnit>, const UnitSaveRecord*>> made;
    for (const UnitSaveRecord& unitRecord : record.units) {
        const boost::shared_ptr<CUnit> unit =
            unit_list_.SpawnUnitAt(unitRecord.name, unitRecord.homeSpawnPointId, unitRecord.side, false, false);
        if (!unit) continue;
        unit->Restore(unitRecord);
        made.emplace_back(unit, &unitRecord);
    }
    for (const auto& entry : made)
        if (CGenericBrain* brain = entry.first->GetBrain()) brain->RestoreState(*entry.second);

    for (size_t j = 0; j < record.spots.size() && j < markers_.size(); ++j) {
        const SpawnPointSaveRecord& spot = record.spots[j];
        if (spot.moveTarget != 0) markers_[j]->SetHighlighted(1);
        markers_[j]->SetOccupant(FindUnit(spot.occupantId), 1, 0);
    }

    for (const MissileSaveRecord& missileRecord : record.missiles) {
        const boost::shared_ptr<CMissile> missile =
            CreateMissile(FindUnit(missileRecord.shooterId), FindUnit(missileRecord.targetId),
                          CDunmarchGame::FindWeaponDefinition(missileRecord.weaponId), missileRecord.spell);
        if (missile) missile->Restore(missileRecord);
    }

    size_t at = 0;
    for (uint32_t row = 0; row < height_; ++row)
        for (uint32_t column = 0; column < width_; ++column, ++at) {
            const int32_t id = at < record.occupants.size() ? record.occupants[at] : -1;
            rows_[row][column].SetOccupant(id >= 0 ? boost::weak_ptr<CUnit>(FindUnit(id)) : boost::weak_ptr<CUnit>());
        }

    for (const int32_t id : record.selectedDefenders) AddSelectedDefender(FindUnit(id));
    SetSelectedAttacker(FindUnit(record.selectedAttacker));
    SelectSpot(FindMarker(record.selectedSpot));
    return 1;
}
