// The player's way into the battle: pointer events (camera drag and zoom, the HUD
// buttons' press and release, the map, the boxes, leaving a finished battle), the speed
// modes, the in-game menu, and the replay of recorded actions.
#include "Classes/Battle/BattleEvents.h"
#include "Classes/Battle/BattleMessageBoxes.h"
#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CInputMonitor.h"
#include "Classes/Battle/HudTables.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Core/Service.h"
#include "Game/Cursors.h"
#include "Game/GameAudio.h"
#include "Graphics/GraphicsDevice.h"
#include "SceneGraph/Camera.h"
#include "shell/InputState.h"
#include "shell/TouchEvent.h"

namespace {

// Program key code of Shift: held while dragging, the right button zooms.
const int kShiftKey = 64;
// The HUD strip reaches this far below the spell buttons (their price line).
const int32_t kHudStripMargin = 32;

void ClearPressed(HudButton* buttons, int count) {
    for (int i = 0; i < count; ++i) buttons[i].pressed = 0;
}

void SetHighlights(HudButton* buttons, int count) {
    for (int i = 0; i < count; ++i) buttons[i].highlight = 1000;
}

// A press on a button: its sound unless it is pressed already, and the press noted.
void PressButton(HudButton& button, const char* sound, int32_t index, int32_t& active, int32_t& pressedIndex) {
    if (button.pressed == 0) PlaySound(sound, true);
    button.pressed = 1;
    active = 1;
    pressedIndex = index;
}

}  // namespace

int32_t CDunmarchGame::HitTestButtons(const HudButton* buttons, int32_t count, const Vector2& point) {
    for (int32_t i = 0; i < count; ++i) {
        const HudButton& b = buttons[i];
        if (b.x <= point.x && point.x <= b.x + b.tw && b.y <= point.y && point.y <= b.y + b.th) return i;
    }
    return -1;
}

int32_t CDunmarchGame::HitTestInfoItems(const HudInfoItem* items, int32_t count, const Vector2& point) {
    for (int32_t i = 0; i < count; ++i) {
        const HudInfoItem& b = items[i];
        if (b.x <= point.x && point.x <= b.x + b.tw && b.y <= point.y && point.y <= b.y + b.th) return i;
    }
    return -1;
}

bool CDunmarchGame::HasSelectedSpot() const { return level_ && !level_->GetSelectedSpot().expired(); }

bool CDunmarchGame::HasSelectedDefenders() const {
    if (!level_ || level_->GetSelectedDefenders().empty()) return false;
    const boost::shared_ptr<CUnit> first = level_->GetSelectedDefenders().front().lock();
    return first && !first->IsSold();
}

bool CDunmarchGame::HasSelectedAttacker() const { return level_ && !level_->GetSelectedAttacker().expired(); }

void CDunmarchGame::RestartHighlights() {
    if (HasSelectedSpot()) SetHighlights(DefenderButtons, kPurchaseButtonCount);
    else if (HasSelectedAttacker()) SetHighlights(SpellButtons, kSpellButtonCount);
    else if (HasSelectedDefenders()) SetHighlights(ActionButtons, kActionButtonCount);
}

void CDunmarchGame::PruneSelection() {
    if (level_) level_->PruneSelectedDefenders();
}

void CDunmarchGame::CloseWarning() {
    if (Service<BattleMessageBoxes>::Exists()) Service<BattleMessageBoxes>::Get()->Close();
    warning_pending_ = 0;
}

// ---- camera ----

void CDunmarchGame::ZoomCamera(float z) {
    if (!camera_) return;
    Vector3 v = camera_->GetWorldEye() - camera_->GetWorldTarget();
    v.Normalize();
    v = v * (z * (z < 0.0f ? 300.0f : 250.0f));
    PanCamera(0.0f, v.y, v.z);
}

void CDunmarchGame::DragCamera(int32_t phase, const Vector2& position, int32_t w, int32_t h) {
    if (phase == kTouchPress) {
        last_drag_position_ = position;
        SelectCursor(1);
        return;
    }
    if (phase == kTouchRelease) SelectCursor(0);
    if (phase != kTouchDrag) return;
    const Vector2 d(position.x - last_drag_position_.x, position.y - last_drag_position_.y);
    last_drag_position_ = position;
    if (IsKeyPressed(GetInputState().keys, kShiftKey, false)) ZoomCamera(d.x);
    else PanCamera(-d.x * static_cast<float>(w) * 0.5f, 0.0f, d.y * static_cast<float>(h) * 0.5f);
}

// ---- pointer events ----

void CDunmarchGame::OnPointerInput(const TouchEvent& event, bool demo) {
    const Vector2 screen = graphics_device_ != nullptr ? graphics_device_->GetScreenSize() : Vector2(1024.0f, 768.0f);
    const int32_t w = static_cast<int32_t>(screen.x);
    const int32_t h = static_cast<int32_t>(screen.y);
    const Vector2 p(static_cast<float>(w) * event.position.x, static_cast<float>(h) * event.position.y);
    if (!level_) return;

    const int32_t button = event.button;
    int32_t phase = event.phase;
    if (phase == kTouchPress && button == last_pointer_button_ && last_pointer_phase_ == kTouchPress) return;
    // A drag whose press was missed starts as a press.
    if (phase == kTouchDrag && ((button == kTouchLeft && left_held_ == 0) || (button == kTouchRight && right_held_ == 0)))
        phase = kTouchPress;
    // One button at a time.
    if ((left_held_ != 0 && button == kTouchRight) || (right_held_ != 0 && button == kTouchLeft)) return;
    int32_t& held = button == kTouchLeft ? left_held_ : right_held_;
    if (button == kTouchLeft || button == kTouchRight) {
        if (phase == kTouchPress || phase == kTouchDrag) held = 1;
        else if (phase == kTouchRelease) held = 0;
    }

    if (state_ == kRunning) {
        bool handled = false;
        if (button == kTouchRight) {
            DragCamera(phase, event.position, w, h);
            handled = true;
        }
        if (!demo) {
            if (button == kTouchLeft) {
                if (warning_pending_ != 0 && phase == kTouchPress) {
                    CloseWarning();
                    handled = true;
                }
                if (summary_shown_ != 0) {
                    if (phase == kTouchPress) CloseSummary(1);
                    handled = true;
                } else {
                    if (p.y < static_cast<float>(SpellButtons[0].y + SpellButtons[0].th + kHudStripMargin))
                        handled = true;
                    if (OnHudButtons(phase, p, demo)) handled = true;
                }
            }
            if (button == kTouchLeft && phase == kTouchRelease) {
                ClearPressed(DefenderButtons, kPurchaseButtonCount);
                ClearPressed(ActionButtons, kActionButtonCount);
                ClearPressed(SpellButtons, kSpellButtonCount);
                ReflagSpeedButtons();
                hud_press_active_ = 0;
            }
            if (!handled && !(button == kTouchLeft && hud_press_active_ != 0)) level_->OnMapInput(phase, p);
        }
    } else if (state_ == kOver) {
        if (button == kTouchRight) DragCamera(phase, event.position, w, h);
        if (!demo && button == kTouchLeft && phase == kTouchRelease && end_delay_ <= 0) {
            SelectCursor(0);
            StopMusic();
            PlayMainMenuMusic();
            // A continued battle, or one on modified data, has no score to show.
            const bool modified = recorder_ && recorder_->GetStamp().IsModified() != 0;
            PostBattleEvent(restored_ != 0 || modified ? kEvBackPressed : kEvGameOver);
            return;
        }
    }

    PruneSelection();
    last_pointer_phase_ = phase;
    last_pointer_button_ = button;
}

bool CDunmarchGame::OnHudButtons(int32_t phase, const Vector2& p, bool) {
    const bool press = phase == kTouchPress;
    const bool release = phase == kTouchRelease;
    const int32_t speed = HitTestButtons(SpeedButtons, kSpeedButtonCount, p);
    if (speed >= 0 && demo_playback_ == 0) {
        if (press) {
            if (SpeedButtons[speed].pressed == 0) PlaySound("Transition.wav", true);
            ReflagSpeedButtons();
            SpeedButtons[speed].pressed = 1;
            hud_press_active_ = 1;
            pressed_index_ = speed;
            return true;
        }
        if (release && hud_press_active_ != 0 && pressed_index_ == speed) {
            switch (SpeedButtons[speed].id) {
                case 6: Pause(); break;
                case 7: PlayNormal(); break;
                case 8: PlayDouble(); break;
                case 9: OpenInGameMenu(); break;
                default: break;
            }
            ReflagSpeedButtons();
            return true;
        }
        return false;
    }
    if (HasSelectedSpot()) {
        const int32_t d = HitTestButtons(DefenderButtons, kPurchaseButtonCount, p);
        const boost::shared_ptr<CSpawnPoint> spot = level_->GetSelectedSpot().lock();
        if (d < 0 || CanBuy(DefenderButtons[d].unitId, spot, nullptr) == 0) return false;
        if (press) {
            PressButton(DefenderButtons[d], "BtnPress.wav", d, hud_press_active_, pressed_index_);
            return true;
        }
        if (release && hud_press_active_ != 0 && pressed_index_ == d) {
            BuyDefender(spot, d);
            return true;
        }
        return false;
    }
    if (HasSelectedDefenders()) {
        const int32_t a = HitTestButtons(ActionButtons, kActionButtonCount, p);
        if (a < 0) return false;
        if (press) {
            PressButton(ActionButtons[a], "BtnPress.wav", a, hud_press_active_, pressed_index_);
            return true;
        }
        if (release && hud_press_active_ != 0 && pressed_index_ == a) {
            RunAction(ActionButtons[a].id);
            return true;
        }
        return false;
    }
    if (HasSelectedAttacker()) {
        const int32_t s = HitTestButtons(SpellButtons, kSpellButtonCount, p);
        if (s < 0) return false;
        if (press) {
            PressButton(SpellButtons[s], "BtnPress.wav", s, hud_press_active_, pressed_index_);
            return true;
        }
        if (release && hud_press_active_ != 0 && pressed_index_ == s) {
            CastSpell(SpellButtons[s].id - 7, level_->GetSelectedAttacker().lock());
            return true;
        }
    }
    return false;
}

void CDunmarchGame::RunAction(int32_t id) {
    const std::vector<boost::weak_ptr<CUnit>> selected = level_->GetSelectedDefenders();
    if (selected.size() > 1) {
        if (id == 1) HealAll(selected);
        else if (id == 3) HideAll(selected);
        else if (id == 6) SellAll(selected);
        return;
    }
    const boost::shared_ptr<CUnit> unit = selected.empty() ? boost::shared_ptr<CUnit>() : selected.front().lock();
    switch (id) {
        case 1: HealUnit(unit); break;
        case 2: ToggleTeleportMode(unit); break;
        case 3: ToggleHide(unit); break;
        case 4:
        case 5: {
            UpgradeUnit(unit, id - 4);
            // Nothing left to upgrade (not merely too dear): the buttons give way.
            int32_t dear0 = 0, dear1 = 0;
            if (CanUpgrade(unit, 0, &dear0, nullptr) == 0 && dear0 == 0 && CanUpgrade(unit, 1, &dear1, nullptr) == 0 &&
                dear1 == 0)
                level_->ClearSelectedDefenders();
            break;
        }
        case 6: SellUnit(unit); break;
        default: break;
    }
}

void CDunmarchGame::SelectButton(int32_t group, int32_t index) {
    if (!level_) return;
    if (group == 0) {
        BuyDefender(level_->GetSelectedSpot().lock(), index);
        return;
    }
    if (group >= 7 && group <= 9) {
        CastSpell(group - 7, level_->GetSelectedAttacker().lock());
        return;
    }
    if (group < 1 || group > 6 || level_->GetSelectedDefenders().empty()) return;
    const boost::shared_ptr<CUnit> unit = level_->GetSelectedDefenders().front().lock();
    switch (group) {
        case 1: HealUnit(unit); break;
        case 2: ToggleTeleportMode(unit); break;
        case 3: ToggleHide(unit); break;
        case 4: UpgradeUnit(unit, 0); break;
        case 5: UpgradeUnit(unit, 1); break;
        case 6: SellUnit(unit); break;
        default: break;
    }
}

// ---- speed modes and the menu ----

void CDunmarchGame::CycleSpeed() {
    if (state_ != kRunning || summary_shown_ != 0 || warning_pending_ != 0) return;
    if (speed_mode_ == 0) PlayNormal();
    else if (speed_mode_ == 1) PlayDouble();
    else Pause();
}

void CDunmarchGame::ReapplySpeedMode() {
    const int32_t mode = speed_mode_;
    speed_mode_ = -1;
    if (mode == 0) Pause();
    else if (mode == 2) PlayDouble();
    else PlayNormal();
}

void CDunmarchGame::OpenInGameMenu() {
    PostBattleEvent(kEvInGameMenuPressed);
    BattleActive = 0;
}

// ---- recorded input ----

std::vector<DemoInput> CDunmarchGame::GetDueInputs() const {
    return player_ ? player_->RecordsDueAt(step_counter_) : std::vector<DemoInput>();
}

void CDunmarchGame::ApplyRecordedInput(const DemoInput& input) {
    if (!level_) return;
    switch (input.type) {
        case 0: BuyDefender(level_->FindMarker(input.x), input.y); break;
        case 1: HealUnit(level_->FindUnit(input.x)); break;
        case 2: level_->Teleport(level_->FindUnit(input.x), level_->FindMarker(input.y)); break;
        case 3: ToggleHide(level_->FindUnit(input.x)); break;
        case 4:
        case 5: UpgradeUnit(level_->FindUnit(input.x), input.y); break;
        case 6: SellUnit(level_->FindUnit(input.x)); break;
        case 7:
        case 8:
        case 9: CastSpell(input.type - 7, level_->FindUnit(input.x)); break;
        case 10: CloseSummary(1); break;
        default: break;
    }
}
