#include "Classes/Level/UnitList.h"

#include <cstdio>
#include <cstdlib>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Dictionary/GameDictionary/UnitDefinition.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Classes/Level/LevelServices.h"
#include "Classes/Level/UnitSaveRecord.h"
#include "Core/Service.h"
#include "Game/GameAudio.h"
#include "IO/MemoryStream.h"
#include "SceneGraph/ModelNode.h"

int32_t PathSearchToken = 0;

namespace {

// A wave that lasts longer than this many battle steps has its attackers killed.
const uint32_t kWaveTimeOutSteps = 180000;

// The least bytes of one unit record in the stream (every list empty, every text too).
const int kUnitRecordBytes = 184;

CLevel* Level() { return Service<CLevel>::Exists() ? Service<CLevel>::Get() : nullptr; }

}  // namespace

boost::shared_ptr<CUnit> UnitList::SpawnUnit(const std::string& name, const boost::weak_ptr<CSpawnPoint>& spawnPoint,
                                             int32_t side, bool playSound, bool counted) {
    CLevel* level = Level();
    if (level == nullptr) return boost::shared_ptr<CUnit>();
    const int32_t id = counted ? next_id_++ : 0;
    const boost::shared_ptr<CUnit> unit(new CUnit(level, id, name, side, spawnPoint));
    units_.push_back(unit);
    if (playSound) PlaySound("Spawn.wav", true);
    if (counted) unit->AddParticleEffect("spawn.prt", true);
    level->SetUnitCell(unit, nullptr, level->GetCellOf(unit));
    if (unit->IsDefender())
        if (const boost::shared_ptr<CSpawnPoint> point = spawnPoint.lock()) point->SetOccupant(unit, 0, counted);
    return unit;
}

boost::shared_ptr<CUnit> UnitList::SpawnUnitAt(const std::string& name, int32_t spawnPointId, int32_t side,
                                               bool playSound, bool counted) {
    const CLevel* level = Level();
    if (level == nullptr) return boost::shared_ptr<CUnit>();
    boost::shared_ptr<CSpawnPoint> point;
    if (side == CUnit::kDefender) {
        point = level->FindMarker(spawnPointId);
    } else if (side == CUnit::kAttacker) {
        const std::vector<boost::weak_ptr<CSpawnPoint>>& entries = level->GetSpawnPoints(CSpawnPoint::kAttackerEntry);
        if (!entries.empty()) point = entries.front().lock();
    }
    if (!point) return boost::shared_ptr<CUnit>();
    return SpawnUnit(name, point, side, playSound, counted);
}

int32_t UnitList::Update(int32_t dt) {
    const CDunmarchGame* battle = Battle();
    if (battle != nullptr && static_cast<uint32_t>(battle->GetWaveStepCounter()) > kWaveTimeOutSteps)
        KillAllAttackers();
    // A removed unit's place is taken by the next one, which is stepped in its turn.
    int32_t i = 0;
    while (i < GetCount()) {
        if (units_[static_cast<size_t>(i)]->Update(dt)) ++i;
        else RemoveAt(i);
    }
    return GetCount();
}

bool UnitList::RemoveAt(int32_t index) {
    if (index < 0 || index >= GetCount()) return false;
    const boost::shared_ptr<CUnit> unit = units_[static_cast<size_t>(index)];
    if (unit->IsDefender()) {
        const CDefenderBrain* brain = static_cast<const CDefenderBrain*>(unit->GetBrain());
        if (brain != nullptr)
            if (const boost::shared_ptr<CSpawnPoint> home = brain->GetHomeSpot().lock())
                home->SetOccupant(boost::shared_ptr<CUnit>(), 1, 1);
        CLevel* level = Level();
        if (level != nullptr && unit->IsSelected()) level->RemoveSelectedDefender(unit);
    }
    units_.erase(units_.begin() + index);
    return true;
}

boost::shared_ptr<CUnit> UnitList::GetAt(int32_t index) const {
    return index >= 0 && index < GetCount() ? units_[static_cast<size_t>(index)] : boost::shared_ptr<CUnit>();
}

boost::shared_ptr<CUnit> UnitList::FindShared(const CUnit* unit) const {
    for (const boost::shared_ptr<CUnit>& listed : units_)
        if (listed.get() == unit) return listed;
    return boost::shared_ptr<CUnit>();
}

boost::weak_ptr<CUnit> UnitList::FindDungeonKeeper() const {
    for (const boost::shared_ptr<CUnit>& unit : units_)
        if (unit->IsDefender() && unit->IsDungeonKeeper()) return unit;
    return boost::weak_ptr<CUnit>();
}

int32_t UnitList::CountLivingAttackers() const {
    int32_t count = 0;
    for (const boost::shared_ptr<CUnit>& unit : units_) count += unit->IsAttacker() && unit->IsAlive();
    return count;
}

int32_t UnitList::CountLivingDefenders() const {
    int32_t count = 0;
    for (const boost::shared_ptr<CUnit>& unit : units_)
        count += unit->IsDefender() && unit->IsAlive() && !unit->IsDungeonKeeper();
    return count;
}

int32_t UnitList::GetTotalSellValue(bool includeDead, bool includeKeeper) const {
    uint32_t total = 0;
    for (const boost::shared_ptr<CUnit>& unit : units_) {
        if (!unit->IsDefender() || unit->IsSold()) continue;
        if (!unit->IsAlive() && !includeDead) continue;
        if (unit->IsDungeonKeeper() && !includeKeeper) continue;
        total += static_cast<uint32_t>(unit->GetSellValue());
    }
    return static_cast<int32_t>(total);
}

void UnitList::SendDefendersHome() {
    for (const boost::shared_ptr<CUnit>& unit : units_) {
        if (!unit->IsDefender()) continue;
        unit->ReturnHome();
        if (CGenericBrain* brain = unit->GetBrain()) {
            brain->SetState(CGenericBrain::kIdle);
            brain->ClearPath(1);
        }
    }
}

void UnitList::HealAllDefenders() {
    for (const boost::shared_ptr<CUnit>& unit : units_) {
        if (!unit->IsDefender()) continue;
        unit->Heal(true, false, true);
        unit->RemoveSlowEffects();
    }
}

void UnitList::RemoveHeroes() {
    int32_t i = 0;
    while (i < GetCount()) {
        const boost::shared_ptr<CUnit>& unit = units_[static_cast<size_t>(i)];
        if (unit->IsDefender() && unit->IsHero()) RemoveAt(i);
        else ++i;
    }
}

void UnitList::RemoveAllButDungeonKeepers() {
    int32_t i = 0;
    while (i < GetCount()) {
        const boost::shared_ptr<CUnit>& unit = units_[static_cast<size_t>(i)];
        if (unit->IsDefender() && unit->IsDungeonKeeper()) ++i;
        else RemoveAt(i);
    }
}

void UnitList::KillAllAttackers() {
    const CDunmarchGame* battle = Battle();
    if (battle == nullptr || !battle->IsRunning()) return;
    // A kill removes nothing from the list, so the indexes stay.
    for (size_t i = 0; i < units_.size(); ++i) {
        const boost::shared_ptr<CUnit> unit = units_[i];
        if (unit->IsAttacker() && unit->IsAlive()) unit->Damage(unit, unit->GetHitPoints(), -1);
    }
}

void UnitList::OnUnitKilled(const boost::weak_ptr<CUnit>& victim, const boost::weak_ptr<CUnit>& killer) {
    const boost::shared_ptr<CUnit> unit = victim.lock();
    if (!unit) return;
    CLevel* level = Level();
    CDunmarchGame* battle = Battle();

    if (unit->IsAttacker()) unit->UpdateMaterial();
    if (unit->GetModelNode())
        unit->GetModelNode()->SetPickGroup(unit->IsAttacker() ? CUnit::kPickDeadAttacker : CUnit::kPickDeadDefender);
    if (unit->GetDefinition() != nullptr) {
        const std::vector<std::string>& sounds = unit->GetDefinition()->sounds;
        if (!sounds.empty()) PlaySound(sounds[static_cast<size_t>(std::rand()) % sounds.size()], true);
    }
    const boost::shared_ptr<CUnit> other = killer.lock();
    for (CUnit* fighter : {unit.get(), other.get()})
        if (fighter != nullptr && fighter->GetBrain() != nullptr) {
            fighter->GetBrain()->ClearTarget();
            fighter->GetBrain()->ClearPath(0);
        }
    unit->RemoveEffect(Slow, false, false);
    if (level != nullptr) {
        if (unit->IsAttacker() && level->GetSelectedAttacker().lock() == unit) {
            level->SetSelectedAttacker(boost::weak_ptr<CUnit>());
        } else if (unit->IsDefender() && unit->IsSelected()) {
            // The only selected defender stays selected, dead, for the HUD to resurrect.
            if (level->GetSelectedDefenders().size() > 1) level->RemoveSelectedDefender(unit);
            if (level->GetSpotHighlightMode() != 0) level->SetSpotHighlightMode(0);
        }
    }
    if (unit->IsAttacker() && battle != nullptr && !battle->IsOver()) battle->AddGold(unit->GetGold());
    if (unit->GetBrain() != nullptr) unit->GetBrain()->SetState(CGenericBrain::kDead);
    if (unit->IsAttacker() && battle != nullptr) {
        char text[16];
        std::snprintf(text, sizeof(text), "%d", unit->GetGold());
        battle->AddFloatingText(text, unit->GetPosition());
    }
    for (const boost::weak_ptr<CUnit>& pursuer : unit->GetPursuers()) {
        const boost::shared_ptr<CUnit> hunter = pursuer.lock();
        if (hunter && hunter->IsMelee()) {
            hunter->GetBrain()->ClearPath(0);
            hunter->GetBrain()->ClearTarget();
        }
    }
}

void UnitList::OnUnitMovedCell(const boost::weak_ptr<CUnit>& unit, CLevelNode*, CLevelNode*) {
    const boost::shared_ptr<CUnit> mover = unit.lock();
    if (!mover) return;
    for (const boost::weak_ptr<CUnit>& pursuer : mover->GetPursuers()) {
        const boost::shared_ptr<CUnit> hunter = pursuer.lock();
        if (!hunter || !hunter->IsMoving()) continue;
        CGenericBrain::Path& path = hunter->GetBrain()->GetPath();
        if (path.size() > 1) path.erase(path.begin());
    }
}

bool UnitList::Save(MemoryStream& stream) const {
    stream.WriteInt32(GetCount());
    for (const boost::shared_ptr<CUnit>& unit : units_) unit->Save(stream);
    stream.WriteInt32(next_id_);
    stream.WriteInt32(PathSearchToken);
    return true;
}

bool UnitList::Load(std::vector<UnitSaveRecord>& records, MemoryStream& stream) {
    int32_t count = 0;
    if (stream.ReadInt32(count) != 1 || count < 0 ||
        static_cast<int64_t>(count) * kUnitRecordBytes > stream.GetBytesLeft())
        return false;
    std::vector<UnitSaveRecord> read(static_cast<size_t>(count));
    for (UnitSaveRecord& record : read)
        if (record.Read(stream) != 1) return false;
    int32_t nextId = 0;
    int32_t token = 0;
    // The token is 1 between level updates and 0 once a search has taken it.
    if (stream.ReadInt32(nextId) != 1 || stream.ReadInt32(token) != 1 || nextId < 0 || token < 0 || token > 1)
        return false;
    records.insert(records.end(), read.begin(), read.end());
    next_id_ = nextId;
    PathSearchToken = token;
    return true;
}
