// The HUD's actions: buying defenders, the orders to a defender (heal, teleport, hide,
// upgrade, sell) and the three spells. Every action has a check that the HUD reads to
// draw its button and that the action runs again itself, so neither a stale press nor a
// replayed record can act on what is no longer possible, or drive the gold below zero.
#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CInputMonitor.h"
#include "Classes/Battle/HudTables.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/UnitDefinition.h"
#include "Classes/Dictionary/GameDictionary/WeaponDefinition.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "platform/Trace.h"

namespace {

void Set(int32_t* flag, int32_t value) {
    if (flag != nullptr) *flag = value;
}

// The prices summed as the unit prices are: in unsigned arithmetic.
int32_t Sum(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }

bool IsOrdinaryDefender(const CUnit& unit) { return unit.IsDefender() && !unit.IsHero() && !unit.IsDungeonKeeper(); }

// Hidden, or waiting to hide: a hide order is paid when it is given.
bool CountsAsHidden(const CUnit& unit) { return unit.IsHidden() || unit.IsHideRequested(); }

}  // namespace

// ---- checks ----

int32_t CDunmarchGame::CanBuy(const std::string& name, const boost::shared_ptr<CSpawnPoint>& spot,
                              int32_t* tooExpensive) const {
    Set(tooExpensive, 0);
    if (name.empty() || !level_ || !spot) return 0;
    const CLevelNode* cell = level_->GetCellOf(spot);
    if (cell == nullptr || cell->HasOccupant()) return 0;
    if (!spot->IsFree()) return 0;
    if (wave_index_ < GetAvailabilityWave(name) - 1) return 0;
    if (FindDefenderDefinition(name) == nullptr) return 0;
    if (GetBuyPrice(name) > gold_) {
        Set(tooExpensive, 1);
        return 0;
    }
    return 1;
}

int32_t CDunmarchGame::CanHeal(const boost::shared_ptr<CUnit>& unit, int32_t* tooExpensive,
                               int32_t* resurrection) const {
    Set(tooExpensive, 0);
    Set(resurrection, 0);
    if (!unit || !unit->IsDefender()) return 0;
    if (!unit->IsAlive()) {
        if (unit->IsDungeonKeeper() || unit->IsDying()) return 0;
        Set(resurrection, 1);
    }
    if (unit->GetHitPoints() >= unit->GetMaxHitPoints(false)) return 0;
    const DefenderDefinition* definition = unit->GetDefenderDefinition();
    if (definition == nullptr || (definition->flags & kNoHealing) != 0) return 0;
    if (GetHealPrice(unit) > gold_) {
        Set(tooExpensive, 1);
        return 0;
    }
    return 1;
}

int32_t CDunmarchGame::CanTeleport(const boost::shared_ptr<CUnit>& unit, int32_t* tooExpensive) const {
    Set(tooExpensive, 0);
    if (!unit || !unit->IsAlive() || !IsOrdinaryDefender(*unit)) return 0;
    if (unit->GetDefenderDefinition() == nullptr || GetTeleportPrice(unit) > gold_) {
        Set(tooExpensive, 1);
        return 0;
    }
    return 1;
}

int32_t CDunmarchGame::CanHide(const boost::shared_ptr<CUnit>& unit, int32_t* tooExpensive, int32_t* hidden) const {
    Set(tooExpensive, 0);
    Set(hidden, 0);
    if (!unit || !IsOrdinaryDefender(*unit)) return 0;
    const bool isHidden = CountsAsHidden(*unit);
    Set(hidden, isHidden ? 1 : 0);
    // One toggle a step.
    if (unit->GetHideOrderStep() == static_cast<int32_t>(step_counter_)) return 0;
    if (isHidden) return 1;
    if (unit->GetBrain() == nullptr) return 0;
    if (GetHidePrice(unit) > gold_) {
        Set(tooExpensive, 1);
        return 0;
    }
    return 1;
}

int32_t CDunmarchGame::CanUpgrade(const boost::shared_ptr<CUnit>& unit, int32_t stat, int32_t* tooExpensive,
                                  int32_t* nonDamageWeapon) const {
    Set(tooExpensive, 0);
    Set(nonDamageWeapon, 0);
    // The stat indexes the two upgrade tables: a replayed record with another is refused.
    if (stat != 0 && stat != 1) return 0;
    if (!unit || !unit->IsDefender() || !unit->IsAlive()) return 0;
    const int32_t level = unit->GetUpgradeLevel(stat);
    if (level < 0 || level >= 4) return 0;
    if (stat == 1 && (unit->GetWeapon() == nullptr || unit->GetWeapon()->kind != kWeaponDamage))
        Set(nonDamageWeapon, 1);
    const DefenderDefinition* definition = unit->GetDefenderDefinition();
    if (definition == nullptr) return 0;
    if ((definition->flags & (stat == 0 ? kNoHitPointUpgrading : kNoWeaponUpgrading)) != 0) return 0;
    if (definition->upgrades[stat].values[level] == 0) return 0;
    if (GetUpgradePrice(unit, stat) > gold_) {
        Set(tooExpensive, 1);
        return 0;
    }
    return 1;
}

int32_t CDunmarchGame::CanSell(const boost::shared_ptr<CUnit>& unit) const {
    return unit && IsOrdinaryDefender(*unit) ? 1 : 0;
}

int32_t CDunmarchGame::CanCast(int32_t kind, const boost::shared_ptr<CUnit>& target, int32_t* tooExpensive) const {
    Set(tooExpensive, 0);
    if (kind < 0 || kind >= 3 || !target || !target->IsAlive()) return 0;
    if (kind == 0 && target->IsSlowed()) return 0;
    if (spell_cooldowns_[kind] > 0) return 0;
    // Without a keeper or its spell there is nothing to cast.
    const boost::shared_ptr<CUnit> keeper = GetKeeper();
    if (!keeper || GetSpellDefinition(kind, keeper->GetUpgradeLevel(1)) == nullptr) return 0;
    if (GetSpellPrice(kind) > gold_) {
        Set(tooExpensive, 1);
        return 0;
    }
    return 1;
}

int32_t CDunmarchGame::CanHealAll(const std::vector<boost::weak_ptr<CUnit>>& units, int32_t* tooExpensive,
                                  int32_t* resurrection) const {
    Set(tooExpensive, 0);
    Set(resurrection, 0);
    int32_t living = 0, dead = 0, healable = 0;
    for (const boost::weak_ptr<CUnit>& entry : units) {
        const boost::shared_ptr<CUnit> unit = entry.lock();
        if (!unit) continue;
        if (unit->IsAlive()) ++living;
        else ++dead;
        if (CanHeal(unit, nullptr, nullptr) != 0) ++healable;
    }
    if (living > 0 && dead > 0) return 0;
    if (dead > 0) Set(resurrection, 1);
    if (healable == 0) return 0;
    if (GetHealPriceAll(units) > gold_) {
        Set(tooExpensive, 1);
        return 0;
    }
    return 1;
}

int32_t CDunmarchGame::CanHideAll(const std::vector<boost::weak_ptr<CUnit>>& units, int32_t* tooExpensive,
                                  int32_t* hidden) const {
    Set(tooExpensive, 0);
    Set(hidden, 0);
    int32_t hiddenCount = 0, visible = 0, passing = 0, present = 0;
    for (const boost::weak_ptr<CUnit>& entry : units) {
        const boost::shared_ptr<CUnit> unit = entry.lock();
        if (!unit) continue;
        ++present;
        if (CountsAsHidden(*unit)) ++hiddenCount;
        else ++visible;
        if (CanHide(unit, nullptr, nullptr) != 0) ++passing;
    }
    if (hiddenCount > 0 && visible > 0) return 0;
    if (hiddenCount > 0) Set(hidden, 1);
    if (GetHidePriceAll(units) > gold_) {
        Set(tooExpensive, 1);
        return 0;
    }
    return present > 0 && passing == present ? 1 : 0;
}

int32_t CDunmarchGame::CanSellAll(const std::vector<boost::weak_ptr<CUnit>>& units) const {
    if (units.empty()) return 0;
    for (const boost::weak_ptr<CUnit>& entry : units)
        if (CanSell(entry.lock()) == 0) return 0;
    return 1;
}

// ---- actions ----

void CDunmarchGame::RecordInput(int32_t type, int32_t x, int32_t y) {
    if (!recorder_ || state_ == kOver) return;
    DemoInput input;
    input.frame = step_counter_;
    input.type = type;
    input.x = x;
    input.y = y;
    recorder_->Add(input);
}

void CDunmarchGame::BuyDefender(const boost::shared_ptr<CSpawnPoint>& spot, int32_t button) {
    if (button < 0 || button >= kPurchaseButtonCount) return;
    const std::string name = DefenderButtons[button].unitId;
    if (CanBuy(name, spot, nullptr) == 0) return;
    RecordInput(0, spot->GetId(), button);
    const int32_t price = GetBuyPrice(name);
    const boost::shared_ptr<CUnit> unit = level_->GetUnitList().SpawnUnit(name, spot, CUnit::kDefender, true, true);
    AddGold(-price);
    PlatformTrace("defender bought: %s at spot %d", name.c_str(), static_cast<int>(spot->GetId()));
    if (unit) level_->SelectDefender(unit);
    level_->SelectSpot(boost::weak_ptr<CSpawnPoint>());
}

void CDunmarchGame::HealUnit(const boost::shared_ptr<CUnit>& unit) {
    if (CanHeal(unit, nullptr, nullptr) == 0) return;
    RecordInput(1, unit->GetId(), -1);
    const int32_t price = GetHealPrice(unit);
    unit->Heal(false, false, false);
    AddGold(-price);
}

void CDunmarchGame::ToggleTeleportMode(const boost::shared_ptr<CUnit>& unit) {
    if (CanTeleport(unit, nullptr) == 0 || !level_) return;
    level_->SetSpotHighlightMode(level_->GetSpotHighlightMode() == 0 ? 1 : 0);
}

void CDunmarchGame::ToggleHide(const boost::shared_ptr<CUnit>& unit) {
    if (CanHide(unit, nullptr, nullptr) == 0 || unit->GetDefenderDefinition() == nullptr) return;
    RecordInput(3, unit->GetId(), -1);
    const int32_t price = GetHidePrice(unit);
    unit->ToggleHide();
    if (CountsAsHidden(*unit)) AddGold(-price);
}

void CDunmarchGame::UpgradeUnit(const boost::shared_ptr<CUnit>& unit, int32_t stat) {
    if (CanUpgrade(unit, stat, nullptr, nullptr) == 0) return;
    RecordInput(stat == 0 ? 4 : 5, unit->GetId(), stat);
    AddGold(-unit->Upgrade(stat));
    if (unit->IsDungeonKeeper()) ResetSpellCooldowns();
}

void CDunmarchGame::SellUnit(const boost::shared_ptr<CUnit>& unit) {
    if (CanSell(unit) == 0 || !level_) return;
    RecordInput(6, unit->GetId(), -1);
    const int32_t value = GetSellValue(unit);
    unit->Sell();
    AddGold(value);
}

void CDunmarchGame::CastSpell(int32_t kind, const boost::shared_ptr<CUnit>& target) {
    if (CanCast(kind, target, nullptr) == 0 || !level_) return;
    const boost::shared_ptr<CUnit> keeper = GetKeeper();
    if (!keeper) return;
    const SpellDefinition* spell = GetSpellDefinition(kind, keeper->GetUpgradeLevel(1));
    const WeaponDefinition* weapon = spell != nullptr ? FindWeaponDefinition(spell->weapon) : nullptr;
    if (weapon == nullptr) return;
    const int32_t price = GetSpellPrice(kind);
    RecordInput(7 + kind, target->GetId(), -1);
    level_->CreateMissile(keeper, target, weapon, kind);
    spell_cooldowns_[kind] = spell->cooldown * 1000;
    AddGold(-price);
}

void CDunmarchGame::HealAll(const std::vector<boost::weak_ptr<CUnit>>& units) {
    // A copy: healing may take a unit out of the selection.
    const std::vector<boost::weak_ptr<CUnit>> list = units;
    for (const boost::weak_ptr<CUnit>& entry : list) {
        const boost::shared_ptr<CUnit> unit = entry.lock();
        if (CanHeal(unit, nullptr, nullptr) != 0) HealUnit(unit);
    }
}

void CDunmarchGame::HideAll(const std::vector<boost::weak_ptr<CUnit>>& units) {
    const std::vector<boost::weak_ptr<CUnit>> list = units;
    for (const boost::weak_ptr<CUnit>& entry : list) {
        const boost::shared_ptr<CUnit> unit = entry.lock();
        if (CanHide(unit, nullptr, nullptr) != 0) ToggleHide(unit);
    }
}

void CDunmarchGame::SellAll(const std::vector<boost::weak_ptr<CUnit>>& units) {
    const std::vector<boost::weak_ptr<CUnit>> list = units;
    for (const boost::weak_ptr<CUnit>& entry : list) {
        const boost::shared_ptr<CUnit> unit = entry.lock();
        if (CanSell(unit) != 0) SellUnit(unit);
    }
}

// ---- prices ----

int32_t CDunmarchGame::GetBuyPrice(const std::string& name) {
    const DefenderDefinition* definition = FindDefenderDefinition(name);
    return definition != nullptr ? definition->prices[DefenderDefinition::kPricePurchase] : 0;
}

int32_t CDunmarchGame::GetSellValue(const boost::shared_ptr<CUnit>& unit) { return unit ? unit->GetSellValue() : 0; }

int32_t CDunmarchGame::GetHealPrice(const boost::shared_ptr<CUnit>& unit) { return unit ? unit->GetHealCost() : 0; }

int32_t CDunmarchGame::GetTeleportPrice(const boost::shared_ptr<CUnit>& unit) {
    return unit ? unit->GetTeleportPrice() : 0;
}

int32_t CDunmarchGame::GetHidePrice(const boost::shared_ptr<CUnit>& unit) { return unit ? unit->GetHidePrice() : 0; }

int32_t CDunmarchGame::GetUpgradePrice(const boost::shared_ptr<CUnit>& unit, int32_t stat) {
    return unit ? unit->GetUpgradePrice(stat) : 0;
}

boost::shared_ptr<CUnit> CDunmarchGame::GetKeeper() const {
    return level_ ? level_->GetUnitList().FindDungeonKeeper().lock() : boost::shared_ptr<CUnit>();
}

int32_t CDunmarchGame::GetSpellPrice(int32_t kind) const {
    const boost::shared_ptr<CUnit> keeper = GetKeeper();
    const SpellDefinition* spell = keeper ? GetSpellDefinition(kind, keeper->GetUpgradeLevel(1)) : nullptr;
    return spell != nullptr ? spell->price : 0;
}

int32_t CDunmarchGame::GetSellValueAll(const std::vector<boost::weak_ptr<CUnit>>& units) const {
    int32_t sum = 0;
    for (const boost::weak_ptr<CUnit>& entry : units) {
        const boost::shared_ptr<CUnit> unit = entry.lock();
        if (CanSell(unit) != 0) sum = Sum(sum, GetSellValue(unit));
    }
    return sum;
}

int32_t CDunmarchGame::GetHealPriceAll(const std::vector<boost::weak_ptr<CUnit>>& units) {
    int32_t sum = 0;
    for (const boost::weak_ptr<CUnit>& entry : units) sum = Sum(sum, GetHealPrice(entry.lock()));
    return sum;
}

int32_t CDunmarchGame::GetHidePriceAll(const std::vector<boost::weak_ptr<CUnit>>& units) {
    int32_t sum = 0;
    for (const boost::weak_ptr<CUnit>& entry : units) sum = Sum(sum, GetHidePrice(entry.lock()));
    return sum;
}

float CDunmarchGame::GetCooldownPercent(int32_t kind) const {
    const boost::shared_ptr<CUnit> keeper = GetKeeper();
    const SpellDefinition* spell = keeper ? GetSpellDefinition(kind, keeper->GetUpgradeLevel(1)) : nullptr;
    if (spell == nullptr || spell->cooldown == 0) return 0.0f;
    return static_cast<float>(GetSpellCooldown(kind)) * 100.0f / (static_cast<float>(spell->cooldown) * 1000.0f);
}
