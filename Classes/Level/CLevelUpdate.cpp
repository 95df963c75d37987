// The level's battle step and the missiles it fires.
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CMissile.h"

int32_t BlinkTimer = 250;

void CLevel::Update(int32_t dt, int32_t frozen, int32_t advanceBlink) {
    if (advanceBlink != 0) {
        BlinkTimer -= dt;
        if (BlinkTimer < -250) BlinkTimer = 250;
    }
    if (spot_highlight_mode_ != 0) UpdateSpotHighlights();
    UpdateHover();
    if (frozen != 0) return;
    size_t i = 0;
    while (i < missiles_.size()) {
        if (missiles_[i]->Update(dt, unit_list_)) {
            ++i;
            continue;
        }
        // Out of the world now, whoever else still holds the missile.
        missiles_[i]->DetachNode();
        missiles_.erase(missiles_.begin() + static_cast<std::ptrdiff_t>(i));
    }
    PathSearchToken = 1;
    unit_list_.Update(dt);
}

boost::shared_ptr<CMissile> CLevel::CreateMissile(const boost::weak_ptr<CUnit>& source,
                                                  const boost::weak_ptr<CUnit>& target, const WeaponDefinition* weapon,
                                                  int32_t flag) {
    const boost::shared_ptr<CUnit> shooter = source.lock();
    if (weapon == nullptr && shooter) weapon = shooter->GetWeapon();
    if (weapon == nullptr) return boost::shared_ptr<CMissile>();
    const boost::shared_ptr<CMissile> missile(new CMissile(this, shooter, target.lock(), weapon, flag));
    missiles_.push_back(missile);
    return missile;
}
