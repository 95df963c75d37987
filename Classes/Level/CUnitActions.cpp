// The player's orders on a unit.
#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Level/CUnit.h"
#include "Core/Service.h"
#include "Game/GameAudio.h"

void CUnit::Sell() {
    sold_ = 1;
    fade_timer_ = 500;
    AddParticleEffect("Sell.prt", false);
    PlaySound("Sell.wav", true);
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
