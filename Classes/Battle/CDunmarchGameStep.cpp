// The battle's fixed step: the wave cycle, the score, victory and defeat, the speed
// modes and the countdowns the in-game window runs once a frame.
#include <algorithm>
#include <cstdio>

#include "Classes/Battle/BattleMessageBoxes.h"
#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CInputMonitor.h"
#include "Classes/Battle/HudTables.h"
#include "Classes/Dictionary/GameDictionary/MapDefinition.h"
#include "Classes/Level/CLevel.h"
#include "Core/FrameClock.h"
#include "Core/Language.h"
#include "Core/Service.h"
#include "Game/GameAudio.h"
#include "Graphics/Draw2D.h"
#include "Graphics/GraphicsDevice.h"
#include "SceneGraph/Scene.h"
#include "platform/Trace.h"
#include "platform/win32/Time.h"

namespace {

BattleMessageBoxes* Boxes() {
    return Service<BattleMessageBoxes>::Exists() ? Service<BattleMessageBoxes>::Get() : nullptr;
}

// Percent of a sum, truncated toward zero.
int32_t PercentOf(int32_t value, int32_t percent) {
    return static_cast<int32_t>(static_cast<int64_t>(value) * percent / 100);
}

void CountDownHighlights(HudButton* buttons, int count, int32_t dt) {
    for (int i = 0; i < count; ++i)
        if (buttons[i].highlight > 0) buttons[i].highlight -= dt;
}

}  // namespace

void CDunmarchGame::Update(int32_t dt, bool paused, bool last) {
    if (!level_) return;
    if (last) {
        for (size_t i = 0; i < floating_texts_.size();) {
            if (floating_texts_[i].Update(dt)) ++i;
            else floating_texts_.erase(floating_texts_.begin() + static_cast<std::ptrdiff_t>(i));
        }
        CountDownHighlights(SpellButtons, kSpellButtonCount, dt);
        CountDownHighlights(ActionButtons, kActionButtonCount, dt);
        CountDownHighlights(DefenderButtons, kPurchaseButtonCount, dt);
        UpdateTooltip();
    }
    if (paused || (warning_pending_ != 0 && state_ == kRunning)) {
        UpdateScore();
        level_->Update(dt, 1, last ? 1 : 0);
        if (scene_) scene_->Update(static_cast<float>(dt) / 1000.0f);
        return;
    }
    if (demo_playback_ != 0 && player_) {
        if (step_counter_ == 0) demo_start_time_ = GetTickCount();
        if (static_cast<int64_t>(step_counter_) == player_->GetLastFrame()) OnDemoEnded();
    }
    for (int32_t& cooldown : spell_cooldowns_) cooldown = std::max(0, cooldown - dt);

    if (state_ == kStarting) {
        level_->CreateSceneObjects();
        level_->SpawnKeeper();
        state_ = kRunning;
        if (warning_pending_ != 0 && demo_playback_ == 0) {
            BattleMessageBoxes* boxes = Boxes();
            if (boxes != nullptr)
                boxes->ShowWarning(GetLocalizedText("TextGameMod") + L"\n\n" + GetLocalizedText("TextClickContinue"));
        }
    } else if (state_ == kRunning) {
        RunWaves(dt, last);
        UpdateScore();
        level_->Update(dt, 0, last ? 1 : 0);
        result_ = CheckResult();
        if (result_ != kUndecided) EndBattle();
    } else {
        if (last) end_delay_ = std::max(0, end_delay_ - dt);
        level_->Update(dt, 0, last ? 1 : 0);
    }

    if (scene_) scene_->Update(static_cast<float>(dt) / 1000.0f);
    elapsed_time_ += dt;
    ++step_counter_;
    ++wave_step_counter_;
}

void CDunmarchGame::RunWaves(int32_t dt, bool last) {
    if (summary_shown_ != 0) {
        // The time-out runs once a frame: the summary lasts as long at double speed.
        if (summary_timeout_ <= 0) CloseSummary(0);
        else if (last) summary_timeout_ -= dt;
        return;
    }
    if (wave_start_delay_ > 0) {
        wave_start_delay_ -= dt;
        if (wave_start_delay_ <= 0) {
            wave_start_delay_ = 0;
            BeginWave(wave_index_);
        }
        return;
    }
    if (wave_index_ >= 0 && static_cast<size_t>(wave_index_) < wave_runners_.size() &&
        !wave_runners_[static_cast<size_t>(wave_index_)].Update(dt))
        EndWave(wave_index_);
}

void CDunmarchGame::StartWaveRunner(int32_t index) {
    if (index >= 0 && static_cast<size_t>(index) < wave_runners_.size())
        wave_runners_[static_cast<size_t>(index)].DropEntriesAboveGold(gold_);
}

void CDunmarchGame::BeginWave(int32_t index) {
    if (!level_) return;
    StartWaveRunner(index);
    if (index > 0) level_->GetUnitList().SendDefendersHome();
    wave_step_counter_ = 0;
    level_->RebuildOccupancy();
    PlaySound("WaveBegin.wav", true);
}

void CDunmarchGame::EndWave(int32_t index) {
    if (!level_ || index < 0 || static_cast<size_t>(index) >= wave_runners_.size()) return;
    UnitList& units = level_->GetUnitList();
    const WaveRunner& ended = wave_runners_[static_cast<size_t>(index)];
    const WaveRunner& current = wave_runners_[static_cast<size_t>(
        std::min<int32_t>(std::max(0, wave_index_), static_cast<int32_t>(wave_runners_.size()) - 1))];
    wave_gold_ = ended.GetWaveGold();
    bonus_gold_ = PercentOf(gold_, current.GetBonusPercent());
    survival_gold_ = PercentOf(units.GetTotalSellValue(false, false), current.GetSurvivalPercent());
    newly_available_defender_ = GetNextDefenderUnlock(map_name_, index + 1);
    UpdateScore();
    AddGold(wave_gold_);
    AddGold(bonus_gold_);
    AddGold(survival_gold_);
    PlayNormal();
    wave_start_delay_ = kWaveStartDelay;
    warning_pending_ = 0;
    summary_shown_ = 1;
    units.RemoveHeroes();
    units.HealAllDefenders();
    ResetSpellCooldowns();
    ++wave_index_;
    summary_timeout_ = kSummaryTimeout;
    level_->ClearSelection();
    level_->SetSpotHighlightMode(0);
    PlaySound("WaveOver.wav", true);
    if (static_cast<size_t>(wave_index_) >= wave_runners_.size()) return;
    BattleMessageBoxes* boxes = Boxes();
    if (boxes == nullptr || !boxes->ShowSummary()) return;
    const std::wstring attack = GetLocalizedText("TextAttack");
    wchar_t number[16];
    std::swprintf(number, sizeof(number) / sizeof(number[0]), L"  %d", wave_index_);
    boxes->SetSummaryAttackText(attack + number);
    boxes->SetSummaryInfoText(attack);
}

int32_t CDunmarchGame::CheckResult() const {
    if (!level_) return kUndecided;
    if (defeat_flag_ != 0 || level_->IsKeeperAlive() == 0) return kDefeat;
    if (static_cast<size_t>(wave_index_) == wave_runners_.size()) return kVictory;
    return kUndecided;
}

void CDunmarchGame::EndBattle() {
    // The wave index then names the last wave played.
    if (result_ == kVictory) --wave_index_;
    state_ = kOver;
    end_delay_ = kEndDelay;
    if (level_) {
        level_->ClearSelection();
        level_->SetSpotHighlightMode(0);
    }
    if (recorder_) recorder_->SetResult(static_cast<int32_t>(step_counter_), score_);
    PlatformTrace("battle over: %s", result_ == kVictory ? "victory" : "defeat");
    PlaySound(result_ == kVictory ? "GameVictory.wav" : "GameOver.wav", true);
    if (speed_mode_ == 0) PlayNormal();
}

void CDunmarchGame::TickPauseTimeout() {
    if (speed_mode_ != 0) return;
    pause_timeout_ -= static_cast<int32_t>(GetFrameDelta() * 1000.0f);
    if (pause_timeout_ <= 0) PlayNormal();
}

void CDunmarchGame::UpdateScore() {
    if (level_) score_ = level_->GetUnitList().GetTotalSellValue(true, false) + gold_;
}

void CDunmarchGame::ResetSpellCooldowns() { std::fill(spell_cooldowns_, spell_cooldowns_ + 3, 0); }

std::string CDunmarchGame::GetNextDefenderUnlock(const std::string& mapName, int32_t n) const {
    const MapDefinition* map = FindMapDefinition(mapName);
    if (map == nullptr) return std::string();
    for (const MapAvailability& entry : map->availability)
        if (entry.value == n + 1) return entry.defender;
    return std::string();
}

void CDunmarchGame::CloseSummary(int32_t record) {
    if (record != 0) RecordInput(10, -1, -1);
    if (BattleMessageBoxes* boxes = Boxes()) boxes->Close();
    summary_shown_ = 0;
}

void CDunmarchGame::ReflagSpeedButtons() {
    for (HudButton& button : SpeedButtons) button.pressed = 0;
    if (speed_mode_ >= 0 && speed_mode_ < kSpeedButtonCount) SpeedButtons[speed_mode_].pressed = 1;
}

void CDunmarchGame::Pause() {
    if (speed_mode_ == 0) return;
    speed_mode_ = 0;
    ReflagSpeedButtons();
    if (scene_) scene_->Pause();
    pause_timeout_ = kPauseTimeout;
}

void CDunmarchGame::PlayNormal() {
    if (speed_mode_ == 1) return;
    speed_mode_ = 1;
    ReflagSpeedButtons();
    if (scene_) scene_->Resume();
}

void CDunmarchGame::PlayDouble() {
    if (speed_mode_ == 2) return;
    speed_mode_ = 2;
    ReflagSpeedButtons();
    if (scene_) scene_->Resume();
}

void CDunmarchGame::Draw() {
    if (!level_ || (state_ != kRunning && state_ != kOver) || !scene_) return;
    scene_->Cull();
    scene_->Sort();
    if (graphics_device_ != nullptr) graphics_device_->Draw(scene_.get());
    Graphics::Draw2D::Begin();
    DrawBattle();
    Graphics::Draw2D::End();
}
