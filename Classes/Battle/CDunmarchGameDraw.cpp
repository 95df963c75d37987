// The battle's HUD pass: after the scene, in one pass of the 2D layer, the level's
// overlay, the floating texts, the top bar and its counters, the button group of the
// selection, the speed buttons, the wave title, the summary text, the captions, the end
// panel, the debug lines and the tooltip. The tooltip's hover logic lives here too.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "Classes/Battle/BattleMessageBoxes.h"
#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CInputMonitor.h"
#include "Classes/Battle/CTooltip.h"
#include "Classes/Battle/HudTables.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/UnitDefinition.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Core/Language.h"
#include "Core/Service.h"
#include "Core/TextHelpers.h"
#include "Graphics/Draw2D.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/Model/Model.h"
#include "Graphics/SpriteFont.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/ModelNode.h"
#include "SceneGraph/StatsTraverser.h"
#include "platform/win32/Time.h"
#include "shell/PointerState.h"

BattleDebugSwitches DebugSwitches;

namespace {

namespace d2 = Graphics::Draw2D;

const int32_t kTopBarHeight = 72;
const int32_t kTopBarAlpha = 155;
const float kFloatingTextHeight = 23.0f;
const int32_t kScoreLineY = 525;
const int32_t kClickLineY = 565;
// A tooltip shows after the pointer rested this long, and goes with a move this recent.
const uint32_t kTooltipRest = 1000;
const int32_t kTooltipMove = 30;

// The HUD's numbers are written into one text kept from frame to frame: its storage
// stays, so counters and prices of four digits and more cost no allocation a frame.
// Each result is used before the next call.
const std::wstring& Format(const wchar_t* format, int32_t a) {
    static std::wstring text;
    wchar_t buffer[64];
    FormatWideText(buffer, 64, format, a);
    text.assign(buffer);
    return text;
}

const std::wstring& Format(const wchar_t* format, int32_t a, int32_t b) {
    static std::wstring text;
    wchar_t buffer[64];
    FormatWideText(buffer, 64, format, a, b);
    text.assign(buffer);
    return text;
}

int32_t Width(const boost::shared_ptr<Graphics::SpriteFont>& font, const std::wstring& text) {
    return font ? font->MeasureString(text) : 0;
}

int32_t LineHeight(const boost::shared_ptr<Graphics::SpriteFont>& font) {
    return font ? static_cast<int32_t>(font->GetLineHeight()) : 0;
}

// Configuration "red", else plain red.
Color WarningColour() {
    const NamedColor* red = CDunmarchGame::FindColor("red");
    return red != nullptr ? red->color : Color::Red;
}

Color WithAlpha(const Color& colour, uint8_t alpha) {
    Color c = colour;
    c.a = alpha;
    return c;
}

const HudCoords* Coords(const char* name) { return FindHudCoords(name); }

// The per-button part shared by the groups: bevel, price and press flash.
struct ButtonLook {
    bool available = false;
    bool affordable = false;
    bool second = false;  // the button's second image
    bool tooExpensive = false;
    int32_t price = 0;
};

}  // namespace

void CDunmarchGame::DrawIcon(const HudButton& b, bool second, const Color& colour) const {
    d2::DrawTextureRegion(hud_texture_, static_cast<float>(b.x), static_cast<float>(b.y), static_cast<float>(b.tw),
                          static_cast<float>(b.th), static_cast<float>(second ? b.tx + b.ox : b.tx),
                          static_cast<float>(second ? b.ty + b.oy : b.ty), static_cast<float>(b.tw),
                          static_cast<float>(b.th), colour);
}

void CDunmarchGame::DrawBevel(const HudButton& b, bool bright) const {
    const HudCoords* bevel = Coords(bright ? "Bevel2" : "Bevel1");
    if (bevel == nullptr) return;
    d2::DrawTextureRegion(hud_texture_, static_cast<float>(b.x), static_cast<float>(b.y), static_cast<float>(bevel->tw),
                          static_cast<float>(bevel->th), static_cast<float>(bevel->tx), static_cast<float>(bevel->ty),
                          static_cast<float>(bevel->tw), static_cast<float>(bevel->th), Color::White);
}

void CDunmarchGame::DrawPrice(const HudButton& b, int32_t price, const Color& colour) const {
    const std::wstring& text = Format(L"%d", price);
    d2::DrawText(MediumFont, static_cast<float>((b.tw - Width(MediumFont, text)) / 2 + b.x),
                 static_cast<float>(b.y + b.th), text, colour);
}

void CDunmarchGame::DrawFlash(const HudButton& b) const {
    const HudCoords* rect = Coords("ColorRect2");
    if (rect == nullptr || b.highlight <= 0) return;
    const float alpha = std::min(255.0f, static_cast<float>(b.highlight) / 1000.0f * 0.6f * 255.0f);
    d2::DrawTextureRegion(hud_texture_, static_cast<float>(b.x), static_cast<float>(b.y), static_cast<float>(b.tw),
                          static_cast<float>(b.th), static_cast<float>(rect->tx), static_cast<float>(rect->ty),
                          static_cast<float>(rect->tw), static_cast<float>(rect->th),
                          WithAlpha(Color::White, static_cast<uint8_t>(alpha)));
}

// An action or purchase button with its state: icon, bevel, price and flash.
void CDunmarchGame::DrawButton(HudButton& b, int32_t possible, int32_t tooExpensive, int32_t second, int32_t price,
                               bool alwaysAffordable) const {
    b.available = possible != 0 || tooExpensive != 0 ? 1 : 0;
    if (b.available == 0) return;
    const bool affordable = gold_ >= price || alwaysAffordable;
    const Color warning = WarningColour();
    DrawIcon(b, second != 0, affordable ? Color::White : warning);
    DrawBevel(b, affordable && b.pressed != 0);
    DrawPrice(b, price, affordable ? Color::White : warning);
    if (tooExpensive == 0) DrawFlash(b);
}

void CDunmarchGame::DrawButtonGroup() {
    const int32_t selected = level_ ? static_cast<int32_t>(level_->GetSelectedDefenders().size()) : 0;
    if (HasSelectedDefenders() && selected == 1) {
        const boost::shared_ptr<CUnit> unit = level_->GetSelectedDefenders().front().lock();
        if (!unit) return;
        for (HudButton& b : ActionButtons) {
            int32_t possible = 0, dear = 0, second = 0, price = 0;
            switch (b.id) {
                case 6: possible = CanSell(unit), price = GetSellValue(unit); break;
                case 1: possible = CanHeal(unit, &dear, &second), price = GetHealPrice(unit); break;
                case 2: possible = CanTeleport(unit, &dear), price = GetTeleportPrice(unit); break;
                case 3: possible = CanHide(unit, &dear, &second), price = GetHidePrice(unit); break;
                case 4:
                case 5:
                    possible = CanUpgrade(unit, b.id - 4, &dear, &second), price = GetUpgradePrice(unit, b.id - 4);
                    break;
                default: break;
            }
            DrawButton(b, possible, dear, second, price, b.id == 6);
        }
        return;
    }
    if (HasSelectedDefenders()) {
        const std::vector<boost::weak_ptr<CUnit>>& units = level_->GetSelectedDefenders();
        for (HudButton& b : ActionButtons) {
            int32_t possible = 0, dear = 0, second = 0, price = 0;
            if (b.id == 6) possible = CanSellAll(units), price = GetSellValueAll(units);
            else if (b.id == 1) possible = CanHealAll(units, &dear, &second), price = GetHealPriceAll(units);
            else if (b.id == 3) possible = CanHideAll(units, &dear, &second), price = GetHidePriceAll(units);
            else continue;
            DrawButton(b, possible, dear, second, price, b.id == 6);
        }
        return;
    }
    if (HasSelectedAttacker()) {
        const boost::shared_ptr<CUnit> attacker = level_->GetSelectedAttacker().lock();
        if (!attacker || !attacker->IsAlive()) return;
        const Color warning = WarningColour();
        for (const HudButton& b : SpellButtons) {
            const int32_t kind = b.id - 7;
            const bool spell = kind >= 0 && kind < 3;
            int32_t dear = 0;
            const int32_t castable = spell ? CanCast(kind, attacker, &dear) : 0;
            const int32_t price = spell ? GetSpellPrice(kind) : 0;
            const int32_t value = spell ? GetSpellValue(kind) : 0;
            const float percent = spell ? GetCooldownPercent(kind) : 0.0f;
            const int32_t remaining = spell ? GetCooldown(kind) : 0;
            const bool affordable = gold_ >= price;
            if (percent != 0.0f) {
                // The cooled part at the bottom in the warning colour, the rest above faded.
                const float cut = static_cast<float>(b.th) * (100.0f - percent) / 100.0f;
                const float x = static_cast<float>(b.x), y = static_cast<float>(b.y), tw = static_cast<float>(b.tw);
                const float tx = static_cast<float>(b.tx), ty = static_cast<float>(b.ty);
                d2::DrawTextureRegion(hud_texture_, x, y + cut, tw, static_cast<float>(b.th) - cut, tx, ty + cut, tw,
                                      static_cast<float>(b.th) - cut, warning);
                d2::DrawTextureRegion(hud_texture_, x, y, tw, cut, tx, ty, tw, cut, WithAlpha(Color::White, warning.a));
            } else {
                DrawIcon(b, false, castable != 0 ? Color::White : warning);
            }
            const std::wstring& valueText = Format(kind == 0 ? L"%d%%" : L"%d", value);
            d2::DrawText(SmallFont, static_cast<float>(b.x + b.tw - Width(SmallFont, valueText) - 1),
                         static_cast<float>(b.y + b.th - LineHeight(SmallFont) + 2), valueText, Color::Gold);
            if (!(percent > 0.0f)) DrawBevel(b, affordable && b.pressed != 0);
            if (price < 1) {
                if (remaining > 0) {
                    wchar_t seconds[32];
                    FormatWideText(seconds, 32, L"%.1f", static_cast<double>(remaining) / 1000.0);
                    d2::DrawText(MediumFont, static_cast<float>(b.x), static_cast<float>(b.y + b.th), seconds,
                                 Color::White);
                }
            } else {
                DrawPrice(b, price, affordable ? Color::White : warning);
            }
            if (dear == 0) DrawFlash(b);
        }
        return;
    }
    if (HasSelectedSpot()) {
        const boost::shared_ptr<CSpawnPoint> spot = level_->GetSelectedSpot().lock();
        for (HudButton& b : DefenderButtons) {
            int32_t dear = 0;
            const int32_t possible = CanBuy(b.unitId, spot, &dear);
            DrawButton(b, possible, dear, 0, possible != 0 || dear != 0 ? GetBuyPrice(b.unitId) : 0, false);
        }
    }
}

void CDunmarchGame::DrawWaveTitle(int32_t yOffset, int32_t waveIndex) const {
    const std::wstring text = GetLocalizedText("TextAttack") + Format(L"  %d", waveIndex + 1);
    const Vector2 screen = ScreenSize();
    const int32_t w = static_cast<int32_t>(screen.x), h = static_cast<int32_t>(screen.y);
    d2::DrawText(LargeFont, static_cast<float>((w - Width(LargeFont, text)) / 2),
                 static_cast<float>(yOffset + (h - LineHeight(MediumFont)) / 2), text, Color::White);
}

Vector2 CDunmarchGame::ScreenSize() const {
    return graphics_device_ != nullptr ? graphics_device_->GetScreenSize() : Vector2(1024.0f, 768.0f);
}

std::wstring CDunmarchGame::BuildSummaryText() const {
    std::wstring text = GetLocalizedText("TextTotalScore") + Format(L" %d", score_) + L"\n\n";
    text += Format(L"+%d ", wave_gold_) + GetLocalizedText("TextWaveGold") + L"\n";
    text += Format(L"+%d ", bonus_gold_) + GetLocalizedText("TextBonusGold") + L"\n";
    text += Format(L"+%d ", survival_gold_) + GetLocalizedText("TextSurvivalGold") + L"\n";
    const DefenderDefinition* next =
        newly_available_defender_.empty() ? nullptr : FindDefenderDefinition(newly_available_defender_);
    if (next != nullptr && !next->translate.empty())
        text += GetLocalizedText(next->translate) + L" " + GetLocalizedText("TextAvailability");
    text += L"\n\n" + GetLocalizedText("TextClickContinue") +
            Format(L" (%d)", static_cast<int32_t>(std::ceil(static_cast<double>(summary_timeout_) / 1000.0)));
    return text;
}

void CDunmarchGame::DrawBattle() {
    if (!MediumFont) return;
    const Vector2 screen = ScreenSize();
    const int32_t w = static_cast<int32_t>(screen.x), h = static_cast<int32_t>(screen.y);
    if (level_) level_->DrawOverlay();

    // Floating texts.
    if (level_ && camera_)
        for (const FloatingText& text : floating_texts_) {
            const Vector3 world = level_->ToWorld(text.GetPosition());
            Vector3 at;
            if (!camera_->WorldToScreen(Vector3(world.x, world.y, kFloatingTextHeight), at)) continue;
            const std::wstring wide = ToWideString(text.GetText());
            d2::DrawText(SmallFont, at.x + text.GetOffset().x - static_cast<float>(Width(SmallFont, wide) / 2),
                         at.y + text.GetOffset().y, wide, text.GetColor());
        }

    // The top bar and the frame under it.
    if (const HudCoords* bar = Coords("ColorRect1"))
        d2::DrawTextureRegion(hud_texture_, 0.0f, 0.0f, static_cast<float>(w), static_cast<float>(kTopBarHeight),
                              static_cast<float>(bar->tx), static_cast<float>(bar->ty), static_cast<float>(bar->tw),
                              static_cast<float>(bar->th), Color(0, 0, 0, kTopBarAlpha));
    if (const HudCoords* frame = Coords("Frame"))
        if (frame->tw > 0)
            for (int32_t x = 0; x < w; x += frame->tw)
                d2::DrawTextureRegion(hud_texture_, static_cast<float>(x), static_cast<float>(kTopBarHeight),
                                      static_cast<float>(frame->tw), static_cast<float>(frame->th),
                                      static_cast<float>(frame->tx), static_cast<float>(frame->ty),
                                      static_cast<float>(frame->tw), static_cast<float>(frame->th), Color::White);

    const bool waveOn = wave_index_ >= 0 && static_cast<size_t>(wave_index_) < wave_runners_.size();
    if (waveOn) {
        const WaveRunner& runner = wave_runners_[static_cast<size_t>(wave_index_)];
        for (const HudInfoItem& item : InfoItems) {
            d2::DrawTextureRegion(hud_texture_, static_cast<float>(item.x), static_cast<float>(item.y),
                                  static_cast<float>(item.tw), static_cast<float>(item.th), static_cast<float>(item.tx),
                                  static_cast<float>(item.ty), static_cast<float>(item.tw), static_cast<float>(item.th),
                                  Color::White);
            static const std::wstring kNone;
            const std::wstring* text = &kNone;
            switch (item.id) {
                case 0: text = &Format(L"%d/%d", wave_index_ + 1, static_cast<int32_t>(wave_runners_.size())); break;
                case 1: {
                    const int32_t left = static_cast<int32_t>(runner.GetTotalCount()) - runner.GetSpawnedCount();
                    text = &Format(L"%d", left + (level_ ? level_->GetUnitList().CountLivingAttackers() : 0));
                    break;
                }
                case 2: text = &Format(L"%d", gold_); break;
                case 3: text = &Format(L"%d", score_); break;
                default: break;
            }
            d2::DrawText(MediumFont, static_cast<float>(item.ox), static_cast<float>(item.oy), *text, Color::White);
        }
        if (DebugSwitches.text != 0) DrawDebugText(runner, w, h);
    }

    DrawButtonGroup();

    for (const HudButton& b : SpeedButtons)
        if (b.id >= 6 && b.id <= 9) DrawIcon(b, b.pressed != 0, Color::White);

    if (wave_start_delay_ == 0 && waveOn && wave_runners_[static_cast<size_t>(wave_index_)].GetBannerCountdown() > 0)
        DrawWaveTitle(0, wave_index_);

    if (state_ != kOver && summary_shown_ != 0 && Service<BattleMessageBoxes>::Exists())
        Service<BattleMessageBoxes>::Get()->SetSummaryInfoText(BuildSummaryText());

    if (speed_mode_ == 0) {
        const int32_t seconds = pause_timeout_ / 1000;
        const std::wstring text =
            GetLocalizedText("TextGamePaused") + Format(L" (%02d:%02d)", seconds / 60, seconds % 60);
        d2::DrawText(MediumFont, static_cast<float>((w - Width(MediumFont, text)) / 2),
                     static_cast<float>(h - LineHeight(MediumFont) - 10), text, Color::White);
    }

    if (demo_playback_ != 0) {
        const bool ended = player_ && player_->IsPastEnd(static_cast<int32_t>(step_counter_));
        const std::wstring text = ended ? L"PLAYING DEMO ENDED" : L"PLAYING DEMO";
        d2::DrawText(MediumFont, static_cast<float>((w - Width(MediumFont, text)) / 2), static_cast<float>(h / 2 - 175),
                     text, ended ? Color::Orange : Color::White);
    }

    if (state_ == kOver) DrawEndPanel(w, h);
    DrawDebugLines();
    if (GlobalTooltip) GlobalTooltip->Draw();
}

void CDunmarchGame::DrawEndPanel(int32_t w, int32_t h) const {
    if (result_ == kVictory || result_ == kDefeat)
        if (const HudCoords* panel = Coords("Result"))
            d2::DrawTextureRegion(hud_texture_, static_cast<float>((w - panel->tw) / 2),
                                  static_cast<float>((h - panel->th) / 2 - 15), static_cast<float>(panel->tw),
                                  static_cast<float>(panel->th), static_cast<float>(panel->tx),
                                  static_cast<float>(panel->ty), static_cast<float>(panel->tw),
                                  static_cast<float>(panel->th), Color::White);
    const std::wstring title = result_ == kVictory  ? GetLocalizedText("TextVictory")
                               : result_ == kDefeat ? GetLocalizedText("TextDefeat")
                                                    : std::wstring();
    d2::DrawText(LargeFont, static_cast<float>((w - Width(LargeFont, title)) / 2),
                 static_cast<float>((h - LineHeight(MediumFont)) / 2), title, Color::White);
    const std::wstring score = GetLocalizedText("TextSCORE") + Format(L": %d", score_);
    d2::DrawText(MediumFont, static_cast<float>((w - Width(MediumFont, score)) / 2), static_cast<float>(kScoreLineY),
                 score, Color::White);
    if (end_delay_ < 1) {
        const std::wstring click = GetLocalizedText(restored_ != 0 ? "TextClickToQuit" : "TextClickToSubmit");
        d2::DrawText(MediumFont, static_cast<float>((w - Width(MediumFont, click)) / 2),
                     static_cast<float>(kClickLineY), click, Color::White);
    }
}

void CDunmarchGame::DrawDebugText(const WaveRunner& runner, int32_t w, int32_t h) const {
    wchar_t line[128];
    FormatWideText(line, 128, L"%.2f", static_cast<double>(runner.GetElapsed()) / 1000.0);
    d2::DrawText(MediumFont, 0.0f, 200.0f, line, Color::White);
    FormatWideText(line, 128, L"frame: %d (%d) %.2f%%", static_cast<int32_t>(step_counter_), wave_step_counter_,
                   static_cast<double>(wave_step_counter_) * 100.0 / 180000.0);
    d2::DrawText(MediumFont, 0.0f, 240.0f, line, Color::White);
    const Vector2 pointer = PointerOnScreen(GetPointerState(), 1.0f, 1.0f);
    FormatWideText(line, 128, L"mouse: %.2f %.2f", static_cast<double>(static_cast<float>(w) * pointer.x),
                   static_cast<double>(static_cast<float>(h) * pointer.y));
    d2::DrawText(MediumFont, 0.0f, 280.0f, line, Color::White);
    if (recorder_) {
        FormatWideText(line, 128, L"Demo: %.2f kb", static_cast<double>(recorder_->ByteSize()) / 1024.0);
        d2::DrawText(MediumFont, 0.0f, 320.0f, line, Color::White);
    }
    const boost::shared_ptr<CUnit> hovered = level_ ? level_->GetHoveredUnit().lock() : boost::shared_ptr<CUnit>();
    if (hovered) {
        // The model's file name without its folders, and how many hold the unit's node.
        const boost::shared_ptr<sg::ModelNode>& node = hovered->GetModelNode();
        std::string name = node && node->GetModel() ? node->GetModel()->GetName() : std::string();
        name = name.substr(name.find_last_of('/') + 1);
        char text[160];
        std::snprintf(text, sizeof text, "model: %s (%d)", name.c_str(), static_cast<int32_t>(node.use_count()));
        d2::DrawText(MediumFont, 0.0f, 360.0f, std::string(text), Color::White);
    }
    if (world_) {
        sg::StatsTraverser stats;
        stats.Collect(*world_);
        FormatWideText(line, 128, L"nodes: %d (%d, %d, %d)", stats.nodes, stats.model_nodes, stats.lights,
                       stats.emitter_nodes);
        d2::DrawText(MediumFont, 0.0f, 400.0f, line, Color::White);
    }
}

void CDunmarchGame::DrawDebugLines() const {
    if (!level_ || !camera_) return;
    sg::Camera& camera = *camera_;
    const auto line = [&](const Vector3& a, const Vector3& b, const Color& colour) {
        Vector3 sa, sb;
        if (camera.WorldToScreen(a, sa) && camera.WorldToScreen(b, sb)) d2::DrawLine(colour, sa.x, sa.y, sb.x, sb.y);
    };
    const auto grid = [&](int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        line(level_->ToWorld(IntVector3(x1, y1, 0)), level_->ToWorld(IntVector3(x2, y2, 0)), Color::White);
    };
    const int32_t columns = static_cast<int32_t>(level_->GetWidth()) * 500;
    const int32_t rows = static_cast<int32_t>(level_->GetHeight()) * 500;
    if (DebugSwitches.gridMode == 1) {
        grid(0, 0, 0, rows);
        grid(0, rows, columns, rows);
        grid(columns, rows, columns, 0);
        grid(columns, 0, 0, 0);
    } else if (DebugSwitches.gridMode == 2) {
        for (int32_t c = 0; c <= columns; c += 500) grid(c, rows, c, 0);
        for (int32_t r = 0; r <= rows; r += 500) grid(columns, r, 0, r);
    }
    if (DebugSwitches.viewPoints != 0) {
        static const int kPairs[][2] = {{0, 1}, {0, 2}, {0, 3}, {1, 4}, {1, 5}, {2, 3}, {4, 5}, {2, 4}, {3, 5}};
        for (const auto& pair : kPairs) line(view_points_[pair[0]], view_points_[pair[1]], Color::White);
    }
    if (DebugSwitches.axes != 0) {
        const Vector3 origin(0.0f, 0.0f, 0.0f);
        line(origin, Vector3(1000.0f, 0.0f, 0.0f), Color::Red);
        line(origin, Vector3(0.0f, 1000.0f, 0.0f), Color::Green);
        line(origin, Vector3(0.0f, 0.0f, 1000.0f), Color::Blue);
    }
}

void CDunmarchGame::UpdateTooltip() {
    if (!GlobalTooltip || demo_playback_ != 0) return;
    CTooltip& tooltip = *GlobalTooltip;
    const PointerState& pointer = GetPointerState();
    const uint32_t moved = pointer.time;
    const uint32_t now = GetTickCount();
    if (tooltip.IsVisible()) {
        if (std::abs(static_cast<int32_t>(moved - now)) < kTooltipMove) tooltip.Hide();
        return;
    }
    if (moved == 0 || now - moved < kTooltipRest) return;
    const Vector2 screen = ScreenSize();
    const Vector2 p = PointerOnScreen(pointer, screen.x, screen.y);
    std::wstring text;
    int32_t i = HitTestButtons(SpeedButtons, kSpeedButtonCount, p);
    if (i >= 0) {
        text = GetLocalizedText(SpeedButtons[i].tooltipKey);
    } else if ((i = HitTestInfoItems(InfoItems, kInfoItemCount, p)) >= 0) {
        text = GetLocalizedText(InfoItems[i].tooltipKey);
    } else {
        const HudButton* table = nullptr;
        int32_t count = 0;
        bool needsAvailable = true;
        if (HasSelectedSpot()) table = DefenderButtons, count = kPurchaseButtonCount;
        else if (HasSelectedDefenders()) table = ActionButtons, count = kActionButtonCount;
        else if (HasSelectedAttacker()) table = SpellButtons, count = kSpellButtonCount, needsAvailable = false;
        i = table != nullptr ? HitTestButtons(table, count, p) : -1;
        if (i >= 0 && (!needsAvailable || table[i].available == 1))
            text = FormatTooltipText(GetLocalizedText(table[i].tooltipKey), i + 1);
    }
    if (!text.empty()) tooltip.Show(text, p);
}
