// The player's orders on a unit, its prices, the spot bonus and the self-healing.
#include <algorithm>
#include <cstdio>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/UnitDefinition.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Core/Service.h"
#include "Game/GameAudio.h"
#include "SceneGraph/EmitterNode.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/ModelNode.h"

namespace {

// price x base / 100 in unsigned arithmetic, truncated.
int32_t PercentOf(int32_t price, int32_t base) {
    return static_cast<int32_t>(static_cast<uint32_t>(price) * static_cast<uint32_t>(base) / 100u);
}

int32_t Sum(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }

}  // namespace

bool CUnit::IsSelected() const {
    if (level_ == nullptr) return false;
    if (IsAttacker()) return level_->GetSelectedAttacker().lock().get() == this;
    for (const boost::weak_ptr<CUnit>& selected : level_->GetSelectedDefenders())
        if (selected.lock().get() == this) return true;
    return false;
}

bool CUnit::IsHighlighted() const { return level_ != nullptr && level_->GetHoveredUnit().lock().get() == this; }

void CUnit::UpdateSelectionEffect() {
    const bool selected = IsSelected();
    if (selected && !selection_effect_) {
        selection_effect_ = AddParticleEffect("selected.prt", true);
        if (!selection_effect_) return;
        selection_effect_->SetUpdateWhilePaused(true);
        if (model_node_) model_node_->SetCastsShadow(false);
    } else if (!selected && selection_effect_) {
        if (action_group_) action_group_->RemoveChild(selection_effect_);
        selection_effect_.reset();
        if (model_node_) model_node_->SetCastsShadow(IsAlive());
    }
}

void CUnit::Sell() {
    sold_ = 1;
    fade_timer_ = 500;
    AddParticleEffect("Sell.prt", false);
    PlaySound("Sell.wav", true);
}

int32_t CUnit::GetSellValue() const {
    const DefenderDefinition* defender = GetDefenderDefinition();
    if (defender == nullptr) return 0;
    const int32_t percent = defender->prices[IsAlive() ? DefenderDefinition::kPriceSellAlivePercent
                                                       : DefenderDefinition::kPriceSellDeadPercent];
    return PercentOf(percent, invested_);
}

void CUnit::Heal(bool silent, bool noHealParticle, bool noResurrectParticle) {
    if (IsAlive()) {
        if (!silent) PlaySound("Heal.wav", true);
        if (!noHealParticle && !noResurrectParticle) AddParticleEffect("Healing.prt", true);
    } else {
        Resurrect(silent, noResurrectParticle);
    }
    hit_points_ = GetMaxHitPoints(false);
    if (!brain_ || brain_->GetState() != CGenericBrain::kDead) return;
    if (level_ != nullptr) {
        // Back on its own cell when no other unit took it, else on the nearest free one.
        CLevelNode* cell = GetCell();
        const bool free = cell != nullptr && (!cell->HasOccupant() || cell->GetOccupant().lock().get() == this);
        CLevelNode* place = free ? cell : level_->FindNearestFreeCell(cell);
        const IntVector3 centre =
            place != nullptr ? IntVector3(place->GetPosition().x + 250, place->GetPosition().y + 250, 0) : IntVector3();
        MoveToCell(cell, level_->GetCellAt(centre.x, centre.y), false);
    }
    brain_->SetState(CGenericBrain::kIdle);
}

void CUnit::Resurrect(bool silent, bool noParticle) {
    if (model_node_) model_node_->SetPickGroup(kPickLiving);
    if (silent && level_ != nullptr && IsSelected() && level_->GetSelectedDefenders().size() > 1)
        level_->RemoveSelectedDefender(GetWeakPtr());
    if (!silent) PlaySound("Resurrect.wav", true);
    if (!noParticle) AddParticleEffect("Resurrect.prt", true);
}

int32_t CUnit::GetHealCost() const {
    const DefenderDefinition* defender = GetDefenderDefinition();
    if (defender == nullptr) return 0;
    if (IsAlive()) return PercentOf(defender->prices[DefenderDefinition::kPriceHealPercent], invested_in_hit_points_);
    return PercentOf(defender->prices[DefenderDefinition::kPriceResurrectPercent], invested_);
}

void CUnit::ToggleHide() {
    if (!IsDefender()) return;
    if (hidden_ != 0 || hide_requested_ != 0) {
        if (hidden_ != 0) {
            hidden_ = 0;
            UpdateMaterial();
        } else {
            hide_requested_ = 0;
        }
        PlaySound("Unhide.wav", true);
    } else {
        hide_requested_ = 1;
        PlaySound("Hide.wav", true);
    }
    AddParticleEffect("Hide.prt", true);
    if (Service<CDunmarchGame>::Exists())
        hide_order_step_ = static_cast<int32_t>(Service<CDunmarchGame>::Get()->GetStepCounter());
}

int32_t CUnit::GetHidePrice() const {
    const DefenderDefinition* defender = GetDefenderDefinition();
    if (defender == nullptr || hidden_ != 0 || hide_requested_ != 0) return 0;
    return defender->prices[DefenderDefinition::kPriceHide];
}

int32_t CUnit::Upgrade(int32_t kind) {
    const DefenderDefinition* defender = GetDefenderDefinition();
    // The battle checks before calling; a level past the table's four is refused here.
    if (defender == nullptr || (kind != 0 && kind != 1) || upgrade_levels_[kind] >= 4) return 0;
    const int32_t level = ++upgrade_levels_[kind];
    const UpgradeEntry& entry = defender->upgrades[kind];
    const int32_t value = entry.values[level - 1];
    const int32_t price = entry.prices[level - 1];
    if (kind == DefenderDefinition::kUpgradeHitPoints) {
        invested_in_hit_points_ = Sum(invested_in_hit_points_, price);
    } else {
        weapon_ = CDunmarchGame::FindWeaponDefinition(value);
        AttachWeaponModel();
    }
    invested_ = Sum(invested_, price);
    Heal(false, true, false);
    PlaySound("Upgrade.wav", true);
    AddParticleEffect("Upgrade.prt", true);
    return price;
}

int32_t CUnit::GetUpgradePrice(int32_t kind) const {
    const DefenderDefinition* defender = GetDefenderDefinition();
    if (defender == nullptr || (kind != 0 && kind != 1) || upgrade_levels_[kind] < 0 || upgrade_levels_[kind] >= 4)
        return 0;
    return defender->upgrades[kind].prices[upgrade_levels_[kind]];
}

void CUnit::ApplySpawnPointBonus(CSpawnPoint* spawnPoint, int32_t apply) {
    if (spawnPoint == nullptr || !IsDefender() || apply == 0) return;
    const SpawnPointType* type = CDunmarchGame::FindSpawnPointType(spawnPoint->GetVariant());
    if (type != nullptr && spawnPoint->GetVariant() == 1) {
        AddEffect(Boost, type->value, 0, kBoostEffectFile, 0);
        char text[32];
        std::snprintf(text, sizeof(text), "+%d%%", type->value);
        if (Service<CDunmarchGame>::Exists())
            Service<CDunmarchGame>::Get()->AddFloatingText(text, position_, Color(255, 165, 0, 255));
    }
    if (!brain_) return;
    const int32_t direction = ((spawnPoint->GetDirection() % 360) + 360) % 360;
    brain_->SetHomeDirection(direction);
    if (IsAlive()) brain_->TurnTo(direction, 1);
}

void CUnit::RemoveSpawnPointBonus(int32_t remove, int32_t keepHitPoints) {
    if (!IsDefender() || FindEffect(Boost) == nullptr || remove == 0) return;
    RemoveEffect(Boost, true, keepHitPoints != 0);
}

void CUnit::SetAutoHeal(bool on) {
    if (!on) {
        RemoveEffect(AutoHeal, false, false);
        return;
    }
    if (FindEffect(AutoHeal) == nullptr) AddEffect(AutoHeal, 0, 0, kAutoHealEffectFile, 0);
}

void CUnit::AutoHealStep(int32_t dt) {
    const int32_t healSpot = GetHealSpotValue();
    if (healSpot == 0) return;
    const int32_t maximum = GetMaxHitPoints(false);
    if (FindEffect(AutoHeal) == nullptr) {
        if (hit_points_ >= maximum || !brain_ || brain_->GetCooldown() > 0) return;
        if (hidden_ == 0 && !GetUnitsNear(GetOppositeSide(side_), GetViewRange()).empty()) return;
        SetAutoHeal(true);
        auto_heal_timer_ = 0;
    }
    if (hit_points_ >= maximum) {
        SetAutoHeal(false);
        return;
    }
    auto_heal_timer_ += dt;
    if (auto_heal_timer_ > 1000) {
        const int64_t healed = hit_points_ + static_cast<int64_t>(healSpot) * maximum / 100;
        hit_points_ = static_cast<int32_t>(std::min<int64_t>(maximum, healed));
        auto_heal_timer_ = 0;
    }
}
