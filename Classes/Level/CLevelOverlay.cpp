// The level's 2D layer over the battle scene.
#include <cstdio>
#include <string>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CTooltip.h"
#include "Classes/Battle/HudTables.h"
#include "Classes/Dictionary/GameDictionary/WeaponDefinition.h"
#include "Classes/Level/CGenericBrain.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Classes/Level/LevelServices.h"
#include "Core/Service.h"
#include "Graphics/Draw2D.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/SpriteFont.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/ModelNode.h"
#include "SceneGraph/Node.h"

namespace {

namespace d2 = Graphics::Draw2D;

const Color kOverlayBlue(0, 128, 255, 255);
// Heights of the anchors above a unit's feet, world units.
const float kBarHeight = 23.0f;
const float kArrowHeight = 12.0f;

Vector3 Project(sg::Camera& camera, const Vector3& world) {
    Vector3 screen(0.0f, 0.0f, 0.0f);
    camera.WorldToScreen(world, screen);
    return screen;
}

// A region of the HUD texture at a place and size.
void Region(const boost::shared_ptr<Graphics::Texture2D>& texture, float x, float y, float w, float h, float tx,
            float ty, float tw, float th) {
    d2::DrawTextureRegion(texture, x, y, w, h, tx, ty, tw, th, Color::White);
}

std::wstring Number(const wchar_t* format, int32_t value) {
    wchar_t text[32];
    FormatWideText(text, 32, format, value);
    return text;
}

}  // namespace

void CLevel::DrawPickFrame(const Vector3& world, const Vector2& area) const {
    CDunmarchGame* battle = Battle();
    if (battle == nullptr || !battle->GetCamera()) return;
    const Vector3 s = Project(*battle->GetCamera(), world);
    const int32_t w = static_cast<int32_t>(area.x), h = static_cast<int32_t>(area.y);
    const float left = s.x - static_cast<float>(w / 2), top = s.y - static_cast<float>(h / 2);
    const float right = s.x + static_cast<float>(w / 2), bottom = s.y + static_cast<float>(h / 2);
    d2::DrawLine(Color::White, left, top, right, top);
    d2::DrawLine(Color::White, right, top, right, bottom);
    d2::DrawLine(Color::White, right, bottom, left, bottom);
    d2::DrawLine(Color::White, left, bottom, left, top);
    static const Color tint(255, 255, 255, 10);
    if (const HudCoords* fill = FindHudCoords("ColorRect2"))
        d2::DrawTextureRegion(battle->GetInterfaceTexture(), left, top, static_cast<float>(w), static_cast<float>(h),
                              static_cast<float>(fill->tx), static_cast<float>(fill->ty), static_cast<float>(fill->tw),
                              static_cast<float>(fill->th), tint);
}

void CLevel::DrawOverlay() const {
    CDunmarchGame* battle = Battle();
    if (battle == nullptr || !battle->GetCamera()) return;
    sg::Camera& camera = *battle->GetCamera();
    const boost::shared_ptr<Graphics::Texture2D>& texture = battle->GetInterfaceTexture();
    const float z = battle->GetZoomFactor();
    const int32_t W = static_cast<int32_t>(60.0f * z);
    const float screenWidth = Service<Graphics::GraphicsDevice>::Exists()
                                  ? Service<Graphics::GraphicsDevice>::Get()->GetScreenSize().x
                                  : 1024.0f;
    const int32_t lineHeight = SmallFont ? static_cast<int32_t>(SmallFont->GetLineHeight()) : 0;
    const HudCoords* bars[3] = {FindHudCoords("HealthBar1"), FindHudCoords("HealthBar2"), FindHudCoords("HealthBar3")};
    const HudCoords* balls[2] = {FindHudCoords("UpgradeBall1"), FindHudCoords("UpgradeBall2")};
    const HudCoords* arrows[2] = {FindHudCoords("Indicator1"), FindHudCoords("Indicator2")};

    if (DebugSwitches.occupancy != 0) {
        const HudButton& pause = SpeedButtons[0];
        for (uint32_t row = 0; row < height_; ++row)
            for (uint32_t column = 0; column < width_; ++column) {
                const CLevelNode* cell = GetCell(static_cast<int32_t>(column), static_cast<int32_t>(row));
                if (cell == nullptr || !cell->HasOccupant()) continue;
                const Vector3 s = Project(camera, ToWorld(IntVector3(500 * static_cast<int32_t>(column) + 250,
                                                                     500 * static_cast<int32_t>(row) + 250, 0)));
                Region(texture, s.x - static_cast<float>(pause.tw / 4), s.y - static_cast<float>(pause.th / 4),
                       static_cast<float>(pause.tw / 2), static_cast<float>(pause.th / 2), static_cast<float>(pause.tx),
                       static_cast<float>(pause.ty), static_cast<float>(pause.tw), static_cast<float>(pause.th));
            }
    }

    for (const boost::shared_ptr<CUnit>& unit : unit_list_.GetUnits()) {
        const Vector3 world = ToWorld(unit->GetPosition());
        const Vector3 A = Project(camera, Vector3(world.x, world.y, kBarHeight));
        const Vector3 A12 = Project(camera, Vector3(world.x, world.y, kArrowHeight));
        const boost::shared_ptr<sg::Node>& node = unit->GetNode();
        const bool onScreen = unit->GetModelNode() && !unit->GetModelNode()->IsCulled();
        const bool defender = unit->IsDefender();
        const float left = A.x - static_cast<float>(W / 2);

        if (onScreen) {
            const HudCoords* bar = nullptr;
            int32_t percent = 0;
            if (unit->IsAlive()) {
                bar = bars[defender ? 0 : 1];
                percent = unit->GetHitPointPercent();
            } else if (defender) {
                bar = bars[2];
                percent = unit->GetResurrectProgress();
            }
            if (bar != nullptr)
                Region(texture, left - 1.0f, A.y - static_cast<float>(bar->th), static_cast<float>(W * percent / 100),
                       static_cast<float>(bar->th) * z, static_cast<float>(bar->tx), static_cast<float>(bar->ty),
                       static_cast<float>(bar->tw), static_cast<float>(bar->th));

            if ((unit->IsSelected() || unit->IsHighlighted()) && SmallFont) {
                std::wstring leftText, rightText;
                Color leftColour = Color::White, rightColour = Color::White;
                if (unit->IsAlive()) {
                    leftText = Number(L"%d", unit->GetHitPoints());
                    leftColour = defender ? Color::Red : Color::Lime;
                } else if (defender && !unit->IsDungeonKeeper()) {
                    leftText = Number(L"%d%%", unit->GetResurrectProgress());
                    leftColour = kOverlayBlue;
                }
                if (const WeaponDefinition* weapon = unit->GetWeapon()) {
                    if (weapon->kind == kWeaponDamage || weapon->kind == kWeaponHeal) {
                        rightText = Number(L"%d", unit->GetEffectValue());
                        rightColour = Color::Yellow;
                    } else if (weapon->kind == kWeaponSlowdown) {
                        rightText = Number(L"%d%%", unit->GetEffectValue());
                        rightColour = kOverlayBlue;
                    }
                }
                const int32_t wl = SmallFont->MeasureString(leftText), wr = SmallFont->MeasureString(rightText);
                const int32_t total = wl + wr + 8;
                const int32_t leftMove = W < total ? (W - total) / 2 : 0;
                const int32_t rightMove = W < total ? (total - W) / 2 : 0;
                const float y = A.y - static_cast<float>(lineHeight) - 3.0f;
                if (!leftText.empty())
                    d2::DrawText(SmallFont, left + static_cast<float>(leftMove), y, leftText, leftColour);
                if (!rightText.empty())
                    d2::DrawText(SmallFont, A.x + static_cast<float>(W / 2 + rightMove - wr), y, rightText,
                                 rightColour);
            }

            if (DebugSwitches.brains != 0 && unit->GetBrain() != nullptr && SmallFont) {
                char text[64];
                std::snprintf(text, sizeof text, "[%s] %.2f", CGenericBrain::GetStateName(unit->GetBrain()->GetState()),
                              static_cast<double>(unit->GetBrain()->GetCooldown()) / 1000.0);
                d2::DrawText(SmallFont, left - 1.0f, A.y - 2.0f * static_cast<float>(lineHeight) - 3.0f,
                             std::string(text), Color::White);
            }

            if (defender)
                for (int32_t stat = 0; stat < 2; ++stat) {
                    const int32_t n = unit->GetUpgradeLevel(stat);
                    const HudCoords* ball = balls[stat];
                    if (n <= 0 || ball == nullptr) continue;
                    const float x = stat == 0 ? left - 1.0f : A.x + static_cast<float>(W / 2 - ball->tw * n);
                    Region(texture, x, A.y + 1.0f, static_cast<float>(ball->tw * n), static_cast<float>(ball->th),
                           static_cast<float>(ball->tx), static_cast<float>(ball->ty), static_cast<float>(ball->tw * n),
                           static_cast<float>(ball->th));
                }
        }

        const boost::shared_ptr<sg::ModelNode>& model = unit->GetModelNode();
        if (unit->IsAlive() && model && model->IsCulled() && !(unit->IsAttacking() && BlinkTimer <= 0)) {
            const HudCoords* arrow = arrows[defender ? 0 : 1];
            if (arrow != nullptr) {
                const float y = A12.y - static_cast<float>(arrow->th / 2);
                if (model->GetCulledSide() == 1)
                    Region(texture, 0.0f, y, static_cast<float>(arrow->tw), static_cast<float>(arrow->th),
                           static_cast<float>(arrow->tx + arrow->tw), static_cast<float>(arrow->ty),
                           static_cast<float>(-arrow->tw), static_cast<float>(arrow->th));
                else if (model->GetCulledSide() == 2)
                    Region(texture, screenWidth - static_cast<float>(arrow->tw) - 1.0f, y,
                           static_cast<float>(arrow->tw), static_cast<float>(arrow->th), static_cast<float>(arrow->tx),
                           static_cast<float>(arrow->ty), static_cast<float>(arrow->tw), static_cast<float>(arrow->th));
            }
        }

        if (DebugSwitches.pickFrames != 0 && node)
            DrawPickFrame(node->GetPickPoint(), GetPickArea(unit->IsAlive() ? 1 : 2));
    }

    if (DebugSwitches.pickFrames != 0)
        for (const boost::shared_ptr<CSpawnPoint>& marker : markers_)
            if (marker->IsDefenderSpot()) DrawPickFrame(ToWorld(marker->GetPosition()), GetPickArea(4));
}
