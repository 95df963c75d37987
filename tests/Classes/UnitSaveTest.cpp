// The units' savegame records: every item written and read back, the restore onto a unit
// made again, and damaged streams that must not be acted on.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Classes/Level/CLevel.h"
#include "Classes/Level/CUnit.h"
#include "Classes/Level/UnitSaveRecord.h"
#include "IO/MemoryStream.h"
#include "LevelFixtures.h"
#include "SceneGraph/Material.h"
#include "SceneGraph/ModelNode.h"
#include "UnitFixture.h"

using namespace levelfixtures;

namespace {

class UnitSaveTest : public UnitFixture {
protected:
    static std::string Bytes(MemoryStream& stream) {
        int length = 0;
        const char* bytes = stream.GetBuffer(length);
        return std::string(bytes != nullptr ? bytes : "", static_cast<size_t>(length));
    }
    static UnitSaveRecord Saved(const CUnit& unit) {
        MemoryStream stream;
        EXPECT_EQ(1, unit.Save(stream));
        UnitSaveRecord record;
        EXPECT_EQ(1, record.Read(stream));
        EXPECT_EQ(0, stream.GetBytesLeft());
        return record;
    }
    // A unit made again from the record, as the battle's restore makes it.
    boost::shared_ptr<CUnit> Remade(const UnitSaveRecord& record, int32_t column, int32_t row) {
        const boost::shared_ptr<CUnit> unit = Spawn(record.name, record.side, column, row);
        unit->Restore(record);
        return unit;
    }
};

}  // namespace

TEST_F(UnitSaveTest, ARecordCarriesEveryItemAndReadsBackAsWritten) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 1);
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 4, 1);
    guard->Upgrade(0);
    guard->Upgrade(1);
    guard->AddEffect(Slow, 30, 1, "slowed.prt", 700);
    guard->AddEffect(Boost, 20, 0, "", 0);  // no particle: a text of length 0
    guard->SetHitPoints(77);
    guard->MoveToCell(guard->GetCell(), level_.GetCell(1, 2), false);
    PathSearchToken = 0;  // the brain stays where it is
    guard->Update(33);    // makes the slow's node, runs the effects' time
    guard->SetDirection(-90);
    guard->GetBrain()->SetTarget(orc);
    guard->GetBrain()->SetState(CGenericBrain::kMove);
    guard->GetBrain()->SetTimer(1234);
    guard->GetBrain()->GetPath() = {level_.GetCell(3, 1), level_.GetCell(2, 1)};
    guard->QueueEffect("queued.prt");

    const UnitSaveRecord record = Saved(*guard);
    EXPECT_EQ(750, record.position.x);
    EXPECT_EQ(1250, record.position.y);
    EXPECT_EQ(270, record.direction);
    EXPECT_EQ(guard->GetId(), record.id);
    EXPECT_EQ("Guard", record.name);
    EXPECT_EQ(CUnit::kDefender, record.side);
    EXPECT_EQ(77, record.hitPoints);
    EXPECT_EQ(33, record.age);
    EXPECT_EQ(230, record.invested);
    EXPECT_EQ(150, record.investedInHitPoints);
    EXPECT_EQ(750, record.previousPosition.x);
    EXPECT_EQ(750, record.previousPosition.y);
    EXPECT_EQ(750, record.homePosition.y);
    EXPECT_EQ(1, record.upgradeLevels[0]);
    EXPECT_EQ(1, record.upgradeLevels[1]);
    EXPECT_EQ(7, record.weaponId);
    ASSERT_EQ(2u, record.effects.size());
    EXPECT_EQ(Slow, record.effects[0].kind);
    EXPECT_EQ("slowed.prt", record.effects[0].particle);
    EXPECT_EQ(667, record.effects[0].remaining);
    EXPECT_EQ(0, record.effects[0].nodePending);
    EXPECT_EQ("", record.effects[1].particle);
    EXPECT_EQ(std::vector<std::string>{"queued.prt"}, record.queuedEffects);
    EXPECT_EQ(CGenericBrain::kMove, record.brainFields[0]);
    EXPECT_EQ(1234, record.brainFields[2]);
    EXPECT_EQ(orc->GetId(), record.targetId);
    const std::vector<std::pair<int32_t, int32_t>> path = {{1500, 500}, {1000, 500}};
    EXPECT_EQ(path, record.path);
    EXPECT_EQ(-1, record.keeperId);
    EXPECT_EQ(-1, record.wayPointId);
    EXPECT_EQ(spots_[0]->GetId(), record.homeSpawnPointId);

    // Written again, the read record gives the same bytes.
    MemoryStream first;
    MemoryStream second;
    guard->Save(first);
    record.Write(second);
    EXPECT_EQ(Bytes(first), Bytes(second));
    // An attacker names the keeper and way point it goes for (none here).
    const UnitSaveRecord attacker = Saved(*orc);
    EXPECT_EQ(-1, attacker.keeperId);
    EXPECT_EQ(-1, attacker.homeSpawnPointId);
}

TEST_F(UnitSaveTest, AUnitWithoutBrainOrWeapon) {
    const CUnit loose(&level_, 3, "Unarmed", CUnit::kDefender, boost::weak_ptr<CSpawnPoint>());
    const UnitSaveRecord record = Saved(loose);
    EXPECT_EQ(-1, record.weaponId);
    for (int32_t field : record.brainFields) EXPECT_EQ(0, field);
    EXPECT_EQ(-1, record.targetId);
    EXPECT_TRUE(record.path.empty());
    EXPECT_EQ(-1, record.keeperId);
    EXPECT_EQ(-1, record.wayPointId);
    EXPECT_EQ(-1, record.homeSpawnPointId);
    EXPECT_EQ("", record.clipName);
    // The least a record takes: every list and text empty.
    UnitSaveRecord empty;
    MemoryStream stream;
    ASSERT_EQ(1, empty.Write(stream));
    EXPECT_EQ(184, stream.GetSize());

    const boost::shared_ptr<CUnit> unarmed = Remade(record, 2, 2);
    EXPECT_EQ(nullptr, unarmed->GetWeapon());
    EXPECT_EQ(3, unarmed->GetId());
}

TEST_F(UnitSaveTest, RestoreBringsBackTheUnitAndItsLook) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 1);
    guard->Upgrade(0);
    guard->SetHitPoints(120);
    guard->AddEffect(Slow, 30, 1, "slowed.prt", 700);
    guard->ToggleHide();
    guard->Update(33);
    ASSERT_TRUE(guard->IsHidden());
    UnitSaveRecord record = Saved(*guard);
    record.previousPosition.z = 9;
    record.homePosition.z = 9;
    MemoryStream stream;
    record.Write(stream);
    record = UnitSaveRecord();
    ASSERT_EQ(1, record.Read(stream));
    EXPECT_EQ(0, record.previousPosition.z);
    EXPECT_EQ(0, record.homePosition.z);

    const boost::shared_ptr<CUnit> again = Remade(record, 4, 3);
    EXPECT_EQ(guard->GetId(), again->GetId());
    EXPECT_EQ(guard->GetPosition().x, again->GetPosition().x);
    EXPECT_EQ(guard->GetPosition().y, again->GetPosition().y);
    EXPECT_EQ(120, again->GetHitPoints());
    EXPECT_EQ(1, again->GetUpgradeLevel(0));
    EXPECT_EQ(150, again->GetInvestedInHitPoints());
    EXPECT_TRUE(again->IsHidden());
    EXPECT_EQ(guard->GetHideOrderStep(), again->GetHideOrderStep());
    // Effects are added again and their nodes made at once.
    ASSERT_TRUE(again->IsSlowed());
    EXPECT_EQ(667, again->FindEffect(Slow)->remaining);
    EXPECT_TRUE(again->FindEffect(Slow)->node);
    EXPECT_EQ(0, again->FindEffect(Slow)->nodePending);
    // A hidden defender looks hidden, not as a fresh unit does.
    EXPECT_TRUE(again->GetMaterial()->IsBlending());
    EXPECT_FLOAT_EQ(0.5f, again->GetMaterial()->GetOpacity());

    // A dead attacker comes back dead to the eye and to picking.
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 6, 1);
    guard->Damage(orc, 1000, 0);
    const boost::shared_ptr<CUnit> corpse = Remade(Saved(*orc), 6, 3);
    EXPECT_FALSE(corpse->IsAlive());
    EXPECT_EQ(CUnit::kPickDeadAttacker, corpse->GetModelNode()->GetPickGroup());
    EXPECT_FALSE(corpse->GetModelNode()->CastsShadow());
    EXPECT_TRUE(corpse->GetMaterial()->IsBlending());
    EXPECT_EQ(orc->IsDying(), corpse->IsDying());
}

TEST_F(UnitSaveTest, ASoldDefenderSavedMidFadeFadesOnAndGoes) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 1);
    guard->Sell();
    for (int step = 0; step < 5; ++step) ASSERT_TRUE(guard->Update(33));
    const boost::shared_ptr<CUnit> again = Remade(Saved(*guard), 3, 3);
    EXPECT_TRUE(again->IsSold());
    EXPECT_EQ(500 - 5 * 33, again->GetFadeTimer());
    int updates = 0;
    while (again->Update(33)) ASSERT_LT(++updates, 100);
    EXPECT_EQ(11, updates);
}

TEST_F(UnitSaveTest, DamagedListSectionsAreRefusedWhole) {
    Defender("Unarmed", 1, 1)->SetHitPoints(50);
    MemoryStream good;
    ASSERT_TRUE(level_.GetUnitList().Save(good));
    const std::string bytes = Bytes(good);
    // One unit whose name is "Unarmed" and whose lists are all empty.
    ASSERT_EQ(static_cast<size_t>(4 + 184 + 7 + 8), bytes.size());
    const int32_t nextId = level_.GetUnitList().GetNextId();

    auto load = [&](const std::string& content) {
        MemoryStream stream;
        stream.Write(content.data(), static_cast<int>(content.size()));
        std::vector<UnitSaveRecord> records(1);
        const bool loaded = level_.GetUnitList().Load(records, stream);
        EXPECT_EQ(loaded ? 2u : 1u, records.size());
        return loaded;
    };
    EXPECT_TRUE(load(bytes));
    for (size_t length = 0; length < bytes.size(); ++length)
        EXPECT_FALSE(load(bytes.substr(0, length))) << "cut at " << length;

    struct Patch {
        const char* what;
        size_t offset;
        int32_t value;
    };
    const size_t name = 4 + 12 + 4 + 4;
    const size_t effects = name + 4 + 7 + 13 * 4 + 8 + 8 + 8 + 4;
    const size_t queued = effects + 4;
    const size_t path = queued + 4 + 4 + 4 + 4 + 4 + 9 * 4 + 4;
    const Patch patches[] = {
        {"negative unit count", 0, -1},
        {"two units in the room of one", 0, 2},
        {"a huge unit count", 0, 0x7fffffff},
        {"negative name length", name, -1},
        {"name longer than the stream", name, 100000},
        {"negative effect count", effects, -1},
        {"effects beyond the stream", effects, 1 << 28},
        {"queued names beyond the stream", queued, 1000},
        {"path beyond the stream", path, 1000},
    };
    for (const Patch& p : patches) {
        std::string damaged = bytes;
        std::memcpy(&damaged[p.offset], &p.value, 4);
        EXPECT_FALSE(load(damaged)) << p.what;
    }
    EXPECT_EQ(nextId, level_.GetUnitList().GetNextId());
}
