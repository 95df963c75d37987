// The battle's HUD pass and the level's overlay on the recording device, over a battle
// on the sample map: what is drawn where and in which tint, the debug text included,
// read back from the device's draws (textured quads are four screen vertices) and its
// effect log (the tint).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CInputMonitor.h"
#include "Classes/Battle/CTooltip.h"
#include "Classes/Battle/GameWindow.h"
#include "Classes/Battle/HudTables.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Classes/LevelFixtures.h"
#include "Classes/Loading/GlobalFonts.h"
#include "Core/Language.h"
#include "Core/Service.h"
#include "GameFixture.h"
#include "Graphics/Draw2D.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/GraphicsDeviceVertices.h"
#include "Graphics/SpriteFont.h"
#include "Graphics/Model/Model.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/ModelNode.h"
#include "SceneGraph/Scene.h"
#include "SceneGraph/StatsTraverser.h"
#include "platform/win32/Time.h"
#include "shell/PointerState.h"
#include "tools/catalogue/Level.h"

namespace {

namespace cl = catalogue::level;

struct Quad {
    float left, top, right, bottom;
    float Width() const { return right - left; }
    float Height() const { return bottom - top; }
};

class BattleDrawTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        game_->RunInitialize();
        LoadLanguageFile(kEnglish, game_->GetConfig().Paths.LanguagePath + FindLanguage(kEnglish)->file);
        LoadGlobalFonts();
        ASSERT_TRUE(MediumFont && SmallFont && LargeFont);
        SelectedMapIndex = 0;
        ASSERT_EQ(1, game_->GetGameWindow()->StartGame(0));
        battle_ = game_->GetGameWindow()->GetBattle().get();
    }
    void TearDown() override {
        game_->GetGameWindow()->DestroyGame();
        LargeFont.reset();
        MediumFont.reset();
        SmallFont.reset();
        GameTest::TearDown();
    }
    // The battle's draw, scene and HUD, as the window calls it.
    void DrawFrame() {
        null->ClearLog();
        Service<Graphics::GraphicsDevice>::Get()->BeginScene();
        battle_->Draw();
        Service<Graphics::GraphicsDevice>::Get()->EndScene();
    }
    // The boxes round the frame's draws of four screen vertices (an image), or of more (a
    // text of several glyphs, a quad each).
    std::vector<Quad> Boxes(bool texts) const {
        std::vector<Quad> boxes;
        for (const d3d9::DrawRecord& draw : null->Draws()) {
            const size_t count = draw.vertices.size() / sizeof(Graphics::ScreenVertex);
            if (texts ? count <= 4 : draw.vertices.size() != 4 * sizeof(Graphics::ScreenVertex)) continue;
            std::vector<Graphics::ScreenVertex> v(count);
            std::memcpy(v.data(), draw.vertices.data(), count * sizeof(Graphics::ScreenVertex));
            Quad q{v[0].x, v[0].y, v[0].x, v[0].y};
            for (const Graphics::ScreenVertex& p : v) {
                q.left = std::min(q.left, p.x), q.right = std::max(q.right, p.x);
                q.top = std::min(q.top, p.y), q.bottom = std::max(q.bottom, p.y);
            }
            boxes.push_back(q);
        }
        return boxes;
    }
    std::vector<Quad> Quads() const { return Boxes(false); }
    std::vector<Quad> Texts() const { return Boxes(true); }
    bool HasQuad(float left, float top, float width, float height) const {
        for (const Quad& q : Quads())
            if (std::abs(q.left - left) < 0.6f && std::abs(q.top - top) < 0.6f && std::abs(q.Width() - width) < 0.6f &&
                std::abs(q.Height() - height) < 0.6f)
                return true;
        return false;
    }
    static bool Overlap(const Quad& a, const Quad& b) {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    }
    bool HasTint(const char* values) const {
        return null->Contains(std::string("ID3DXEffect::SetValue(g_TintColor, [") + values + "])");
    }
    void Step() { battle_->Update(33, false, true); }
    CLevel& Level() { return *battle_->GetLevel(); }
    boost::shared_ptr<CSpawnPoint> Spot(int index) {
        return Level().FindSpawnPoint(CSpawnPoint::kDefenderSlot, cl::kDefenderSpots[index].defenderId).lock();
    }

    CDunmarchGame* battle_ = nullptr;
};

TEST_F(BattleDrawTest, NothingBeforeTheFirstStepThenTheTopBar) {
    DrawFrame();
    EXPECT_TRUE(null->Draws().empty());
    Step();
    DrawFrame();
    // The tinted bar over the top 72 pixels, the frame tiled under it.
    EXPECT_TRUE(HasQuad(0.0f, 0.0f, 1024.0f, 72.0f));
    const HudCoords* frame = FindHudCoords("Frame");
    ASSERT_TRUE(frame != nullptr && frame->tw > 0);
    EXPECT_TRUE(HasQuad(0.0f, 72.0f, static_cast<float>(frame->tw), static_cast<float>(frame->th)));
    EXPECT_TRUE(
        HasQuad(static_cast<float>(frame->tw), 72.0f, static_cast<float>(frame->tw), static_cast<float>(frame->th)));
    // A "Frame" without width draws no strip, and the pass still ends.
    const HudCoords saved = *frame;
    FindHudCoords("Frame")->tw = 0;
    DrawFrame();
    EXPECT_FALSE(HasQuad(0.0f, 72.0f, 0.0f, static_cast<float>(saved.th)));
    *FindHudCoords("Frame") = saved;
    // Without the main font nothing of the HUD.
    const boost::shared_ptr<Graphics::SpriteFont> main = MediumFont;
    MediumFont.reset();
    DrawFrame();
    EXPECT_FALSE(HasQuad(0.0f, 0.0f, 1024.0f, 72.0f));
    MediumFont = main;
}

// The top bar's four counters, each a text of several glyphs, stand apart: none over
// another nor over an icon of the bar, each to the right of its own icon.
TEST_F(BattleDrawTest, TheTopBarsCountersStandApart) {
    Step();
    DrawFrame();
    std::vector<Quad> texts;
    for (const Quad& q : Texts())
        if (q.bottom < 72.0f) texts.push_back(q);
    ASSERT_EQ(4u, texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        for (size_t j = i + 1; j < texts.size(); ++j) EXPECT_FALSE(Overlap(texts[i], texts[j])) << i << " " << j;
        for (const HudInfoItem& item : InfoItems) {
            const Quad icon{float(item.x), float(item.y), float(item.x + item.tw), float(item.y + item.th)};
            EXPECT_FALSE(Overlap(texts[i], icon)) << i << " over the icon of item " << item.id;
        }
        const HudInfoItem& own = InfoItems[i];
        EXPECT_GE(texts[i].left, float(own.x + own.tw) - 1.0f) << i;
    }
}

// The buttons of a group with their prices, for a selected spot (the defenders to buy)
// and then the archer bought there (its six actions): each price under its own button,
// none over a button or nearer another price than 16 pixels (they would read as one
// number), none at the screen's edge, and the buttons and
// prices all clear of where the keeper's bar and numbers show at the top of the view.
TEST_F(BattleDrawTest, ThePricesStandApartAndClearOfTheKeeper) {
    Step();
    const boost::shared_ptr<CUnit> keeper = Level().GetUnitList().FindDungeonKeeper().lock();
    ASSERT_TRUE(keeper);
    const Vector3 feet = Level().ToWorld(keeper->GetPosition());
    Vector3 a(0.0f, 0.0f, 0.0f);
    ASSERT_TRUE(battle_->GetCamera()->WorldToScreen(Vector3(feet.x, feet.y, 23.0f), a));
    const float small = static_cast<float>(SmallFont->GetLineHeight());
    const Quad keeperOverlay{a.x - 31.0f, a.y - small - 3.0f, a.x + 31.0f, a.y + 17.0f};

    const auto expectApart = [&](const HudButton* group, int count, size_t available) {
        DrawFrame();
        const std::vector<Quad> texts = Texts();
        const float line = static_cast<float>(MediumFont->GetLineHeight());
        std::vector<Quad> buttons, prices;
        for (const HudButton* b = group; b != group + count; ++b) {
            if (b->available == 0) continue;
            const Quad button{float(b->x), float(b->y), float(b->x + b->tw), float(b->y + b->th)};
            buttons.push_back(button);
            for (const Quad& q : texts)
                if ((q.left + q.right) / 2 > button.left && (q.left + q.right) / 2 < button.right &&
                    q.top >= button.bottom && q.bottom <= button.bottom + line)
                    prices.push_back(q);
            ASSERT_EQ(buttons.size(), prices.size()) << b->tooltipKey << "'s price";
        }
        ASSERT_EQ(available, buttons.size());
        for (size_t i = 0; i < prices.size(); ++i) {
            EXPECT_GE(prices[i].left, 8.0f) << i;
            const Quad& p = prices[i];
            for (size_t j = i + 1; j < prices.size(); ++j)
                EXPECT_FALSE(Overlap({p.left - 16.0f, p.top, p.right + 16.0f, p.bottom}, prices[j])) << i << " " << j;
            for (const Quad& button : buttons) EXPECT_FALSE(Overlap(prices[i], button)) << i;
        }
        for (const std::vector<Quad>* drawn : {&buttons, &prices})
            for (const Quad& q : *drawn) EXPECT_FALSE(Overlap(q, keeperOverlay)) << q.left << ", " << q.top;
    };
    Level().SelectSpot(Spot(9));
    expectApart(DefenderButtons, kPurchaseButtonCount, 2);
    battle_->BuyDefender(Spot(9), 1);
    ASSERT_TRUE(battle_->HasSelectedDefenders());
    expectApart(ActionButtons, kActionButtonCount, 6);
}

TEST_F(BattleDrawTest, PurchaseButtonsFlashAfterASelection) {
    Step();
    Level().SelectSpot(Spot(0));
    const HudButton& first = DefenderButtons[0];
    EXPECT_EQ(1000, first.highlight);
    DrawFrame();
    EXPECT_EQ(1, first.available);
    EXPECT_EQ(0, DefenderButtons[3].available);  // the necromancer comes with the third wave
    EXPECT_TRUE(HasQuad(static_cast<float>(first.x), static_cast<float>(first.y), static_cast<float>(first.tw),
                        static_cast<float>(first.th)));
    EXPECT_TRUE(HasTint("0.996094, 0.996094, 0.996094, 0.597656"));  // 153
    for (HudButton& b : DefenderButtons) b.highlight = 2000;
    DrawFrame();
    EXPECT_TRUE(HasTint("0.996094, 0.996094, 0.996094, 0.996094"));
    EXPECT_FALSE(HasTint("0.996094, 0.996094, 0.996094, 0.597656"));
}

TEST_F(BattleDrawTest, ASpellCoolingDownIsDrawnInTwoParts) {
    Step();
    const boost::shared_ptr<CUnit> orc =
        Level().GetUnitList().SpawnUnitAt("Orc Warrior", 0, CUnit::kAttacker, false, true);
    ASSERT_TRUE(orc);
    Level().SelectAttacker(orc);
    const HudButton& slow = SpellButtons[0];
    // A quarter of the first slowdown's 20 s left.
    BattleTestAccess::SetSpellCooldown(*battle_, 0, 5000);
    for (HudButton& b : SpellButtons) b.highlight = 0;  // no flash over the icons
    ASSERT_FLOAT_EQ(25.0f, battle_->GetCooldownPercent(0));
    DrawFrame();
    const float x = static_cast<float>(slow.x), y = static_cast<float>(slow.y);
    const float tw = static_cast<float>(slow.tw), th = static_cast<float>(slow.th);
    EXPECT_TRUE(HasQuad(x, y + th * 0.75f, tw, th * 0.25f));
    EXPECT_TRUE(HasQuad(x, y, tw, th * 0.75f));
    EXPECT_FALSE(HasQuad(x, y, tw, th));
    // No bevel on it; the ready firestorm beside it has one.
    const HudCoords* bevel = FindHudCoords("Bevel1");
    ASSERT_NE(nullptr, bevel);
    EXPECT_FALSE(HasQuad(x, y, static_cast<float>(bevel->tw), static_cast<float>(bevel->th)));
    EXPECT_TRUE(HasQuad(static_cast<float>(SpellButtons[1].x), static_cast<float>(SpellButtons[1].y),
                        static_cast<float>(bevel->tw), static_cast<float>(bevel->th)));
}

TEST_F(BattleDrawTest, HealthBarsFollowTheHitPoints) {
    Step();
    const boost::shared_ptr<CUnit> keeper = Level().GetUnitList().FindDungeonKeeper().lock();
    ASSERT_TRUE(keeper);
    keeper->SetHitPoints(keeper->GetMaxHitPoints(false) / 2);
    DrawFrame();  // culls the scene: the keeper stands in view
    ASSERT_TRUE(keeper->GetModelNode());
    ASSERT_FALSE(keeper->GetModelNode()->IsCulled());
    ASSERT_NEAR(1.0f, battle_->GetZoomFactor(), 0.01f);
    const HudCoords* bar = FindHudCoords("HealthBar1");
    ASSERT_NE(nullptr, bar);
    bool found = false;
    for (const Quad& q : Quads())
        found = found || (std::abs(q.Width() - 30.0f) < 0.01f &&
                          std::abs(q.Height() - bar->th * battle_->GetZoomFactor()) < 0.01f);
    EXPECT_TRUE(found);
}

TEST_F(BattleDrawTest, TheEndPanelAndItsClickLineAfterTheDelay) {
    Step();
    BattleTestAccess::SetState(*battle_, CDunmarchGame::kOver);
    const HudCoords* result = FindHudCoords("Result");
    ASSERT_NE(nullptr, result);
    const float left = static_cast<float>((1024 - result->tw) / 2);
    const float top = static_cast<float>((768 - result->th) / 2 - 15);
    DrawFrame();  // result still undecided: no panel
    EXPECT_FALSE(HasQuad(left, top, static_cast<float>(result->tw), static_cast<float>(result->th)));
    // A defeat: the panel; the click line only once the delay has run out.
    Level().GetUnitList().FindDungeonKeeper().lock()->SetHitPoints(0);
    EXPECT_EQ(CDunmarchGame::kDefeat, battle_->CheckResult());
    BattleTestAccess::SetResult(*battle_, CDunmarchGame::kDefeat);
    BattleTestAccess::SetEndDelay(*battle_, 100);
    DrawFrame();
    EXPECT_TRUE(HasQuad(left, top, static_cast<float>(result->tw), static_cast<float>(result->th)));
    const size_t withoutClick = null->Draws().size();
    BattleTestAccess::SetEndDelay(*battle_, 0);
    DrawFrame();
    EXPECT_EQ(withoutClick + 1, null->Draws().size());
}

// The debug text: six lines in the main font at x 0, from y 200 in steps of 40, the
// last three for the recording, the unit under the pointer and the world's nodes. Each
// line is compared with the same text drawn alone.
TEST_F(BattleDrawTest, TheDebugTextDrawsItsSixLines) {
    Step();
    const boost::shared_ptr<CUnit> keeper = Level().GetUnitList().FindDungeonKeeper().lock();
    ASSERT_TRUE(keeper && keeper->GetModelNode());
    battle_->GetScene()->Update(0.0f);
    battle_->GetScene()->Cull();
    Vector3 screen;
    ASSERT_TRUE(battle_->GetCamera()->WorldToScreen(keeper->GetModelNode()->GetBoundingSphere().center, screen));
    GetPointerState().position = Vector2(screen.x, screen.y);
    Level().UpdateHover();
    ASSERT_EQ(keeper, Level().GetHoveredUnit().lock());

    DebugSwitches.text = 1;
    DrawFrame();
    DebugSwitches.text = 0;
    std::vector<std::vector<uint8_t>> drawn;
    for (const d3d9::DrawRecord& draw : null->Draws()) drawn.push_back(draw.vertices);

    const WaveRunner& runner = battle_->GetWaveRunners().at(static_cast<size_t>(battle_->GetWaveIndex()));
    const Vector2 pointer = PointerOnScreen(GetPointerState(), 1.0f, 1.0f);
    const std::string model = keeper->GetModelNode()->GetModel()->GetName();
    sg::StatsTraverser stats;
    stats.Collect(*battle_->GetWorldGroup());
    char lines[6][160];
    std::snprintf(lines[0], 160, "%.2f", runner.GetElapsed() / 1000.0);
    std::snprintf(lines[1], 160, "frame: %d (%d) %.2f%%", static_cast<int>(battle_->GetStepCounter()),
                  battle_->GetWaveStepCounter(), battle_->GetWaveStepCounter() * 100.0 / 180000.0);
    std::snprintf(lines[2], 160, "mouse: %.2f %.2f", static_cast<double>(1024.0f * pointer.x),
                  static_cast<double>(768.0f * pointer.y));
    std::snprintf(lines[3], 160, "Demo: %.2f kb", battle_->GetInputMonitor()->ByteSize() / 1024.0);
    std::snprintf(lines[4], 160, "model: %s (%d)", model.substr(model.rfind('/') + 1).c_str(),
                  static_cast<int>(keeper->GetModelNode().use_count()));
    std::snprintf(lines[5], 160, "nodes: %d (%d, %d, %d)", stats.nodes, stats.model_nodes, stats.lights,
                  stats.emitter_nodes);
    EXPECT_GT(stats.model_nodes, 0);
    for (int i = 0; i < 6; ++i) {
        null->ClearLog();
        Service<Graphics::GraphicsDevice>::Get()->BeginScene();
        Graphics::Draw2D::Begin();
        Graphics::Draw2D::DrawText(MediumFont, 0.0f, 200.0f + 40.0f * i, std::string(lines[i]),
                                   Color(255, 255, 255, 255));
        Graphics::Draw2D::End();
        Service<Graphics::GraphicsDevice>::Get()->EndScene();
        ASSERT_EQ(1u, null->Draws().size());
        EXPECT_NE(drawn.end(), std::find(drawn.begin(), drawn.end(), null->Draws()[0].vertices)) << lines[i];
    }
}

TEST_F(BattleDrawTest, TheDemoCaptionTurnsOrangePastTheLastFrame) {
    Step();
    boost::shared_ptr<CInputMonitor> demo(new CInputMonitor);
    demo->SetResult(static_cast<int32_t>(battle_->GetStepCounter()), 0);
    BattleTestAccess::SetPlayer(*battle_, demo);
    BattleTestAccess::SetDemoPlayback(*battle_, 1);
    const char* orange = "0.996094, 0.644531, 0, 0.996094";
    DrawFrame();
    EXPECT_FALSE(HasTint(orange));
    BattleTestAccess::SetStepCounter(*battle_, battle_->GetStepCounter() + 1);
    DrawFrame();
    EXPECT_TRUE(HasTint(orange));
}

TEST_F(BattleDrawTest, TheTooltipShowsAfterASecondsRest) {
    platform::ScopedFakeClock clock(5000);
    Step();
    ASSERT_TRUE(GlobalTooltip);
    CTooltip& tooltip = *GlobalTooltip;
    PointerState& pointer = GetPointerState();
    const HudButton& pause = SpeedButtons[0];
    pointer.client_size = Vector2(1024.0f, 768.0f);
    pointer.position = Vector2(static_cast<float>(pause.x + 2), static_cast<float>(pause.y + 2));
    pointer.time = GetTickCount();

    clock.Advance(999);
    battle_->UpdateTooltip();
    EXPECT_FALSE(tooltip.IsVisible());
    clock.Advance(1);
    battle_->UpdateTooltip();
    ASSERT_TRUE(tooltip.IsVisible());
    EXPECT_EQ(GetLocalizedText(pause.tooltipKey), tooltip.GetText());
    EXPECT_FLOAT_EQ(static_cast<float>(SmallFont->GetLineHeight() + 4), tooltip.GetSize().y);
    EXPECT_FLOAT_EQ(static_cast<float>(SmallFont->MeasureString(tooltip.GetText()) + 4), tooltip.GetSize().x);
    EXPECT_FLOAT_EQ(pointer.position.y - tooltip.GetSize().y, tooltip.GetPosition().y);
    // It stays while the pointer rests; a move hides it.
    clock.Advance(5000);
    battle_->UpdateTooltip();
    EXPECT_TRUE(tooltip.IsVisible());
    pointer.time = GetTickCount() - 10;
    battle_->UpdateTooltip();
    EXPECT_FALSE(tooltip.IsVisible());

    // Over an unavailable purchase button nothing shows, however long.
    Level().SelectSpot(Spot(0));
    DrawFrame();  // the buttons' availability
    const HudButton& necromancer = DefenderButtons[3];
    ASSERT_EQ(0, necromancer.available);
    pointer.position = Vector2(static_cast<float>(necromancer.x + 2), static_cast<float>(necromancer.y + 2));
    pointer.time = GetTickCount();
    clock.Advance(3000);
    battle_->UpdateTooltip();
    EXPECT_FALSE(tooltip.IsVisible());
    // An available one shows its text with the button's number.
    pointer.position =
        Vector2(static_cast<float>(DefenderButtons[0].x + 2), static_cast<float>(DefenderButtons[0].y + 2));
    battle_->UpdateTooltip();
    ASSERT_TRUE(tooltip.IsVisible());
    EXPECT_EQ(FormatTooltipText(GetLocalizedText(DefenderButtons[0].tooltipKey), 1), tooltip.GetText());
    tooltip.Hide();

    // Never during demo playback.
    BattleTestAccess::SetDemoPlayback(*battle_, 1);
    battle_->UpdateTooltip();
    EXPECT_FALSE(tooltip.IsVisible());
}

TEST(TooltipTextTest, TheNumberReplacesTheFirstPlaceholderOnly) {
    struct Case {
        const wchar_t* text;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {L"Buy a swordsman (%s)", L"Buy a swordsman (3)"},
        {L"Key %d: heal", L"Key 3: heal"},
        {L"No number", L"No number"},
        {L"%n%x then %s", L"%n%x then 3"},
        {L"100% sure %s %s", L"100% sure 3 %s"},
    };
    for (const Case& c : cases) EXPECT_EQ(std::wstring(c.shown), FormatTooltipText(c.text, 3)) << c.text;
    EXPECT_EQ(99u, FormatTooltipText(std::wstring(300, L'x'), 1).size());

    // Without a font the tooltip does not show.
    CTooltip tooltip((boost::shared_ptr<Graphics::SpriteFont>()));
    tooltip.Show(L"text", Vector2(10.0f, 10.0f));
    EXPECT_FALSE(tooltip.IsVisible());
    tooltip.Draw();
}

}  // namespace
