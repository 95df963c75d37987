// The HUD's tables and handles as the program starts, before any battle fills them.
#include <gtest/gtest.h>

#include <string>

#include "Classes/Battle/HudTables.h"
#include "Graphics/SpriteFont.h"

namespace {

struct Row {
    int32_t id;
    const char* item;  // the layout item; the unit id for purchase buttons
    const char* tooltipKey;
};

void ExpectButtons(const HudButton* buttons, const Row* rows, const char* const* items, int count, int32_t available) {
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(rows[i].item);
        const HudButton& b = buttons[i];
        EXPECT_EQ(rows[i].id, b.id);
        EXPECT_EQ(rows[i].tooltipKey, b.tooltipKey);
        if (items != nullptr) {
            EXPECT_STREQ(rows[i].item, items[i]);
            EXPECT_EQ("", b.unitId);
        } else {
            EXPECT_EQ(rows[i].item, b.unitId);
        }
        EXPECT_EQ(available, b.available);
        const int32_t layout[] = {b.x, b.y, b.tx, b.ty, b.tw, b.th, b.pressed, b.highlight, b.ox, b.oy};
        for (int32_t value : layout) EXPECT_EQ(0, value);
        EXPECT_EQ("", b.spare);
    }
}

}  // namespace

TEST(HudTablesTest, CodesKeysAndUnitIdsWithZeroLayout) {
    const Row purchase[] = {{0, "Swordman", "TooltipSwordsman"},
                            {0, "Archer", "TooltipArcher"},
                            {0, "Priest", "TooltipPriest"},
                            {0, "Necromancer", "TooltipNecromancer"},
                            {0, "Heavy Warrior", "TooltipRoyalGuardian"},
                            {0, "Mage", "TooltipFireMage"}};
    const Row actions[] = {{1, "Heal", "TooltipHeal"},
                           {2, "Teleport", "TooltipTeleport"},
                           {3, "HideShow", "TooltipConceal"},
                           {4, "UpgradeHP", "TooltipUpgradeHP"},
                           {5, "UpgradeWeapon", "TooltipUpgradeStrength"},
                           {6, "Sell", "TooltipDischarge"}};
    const Row spells[] = {
        {7, "Slow", "TooltipSlowdown"}, {8, "Firestorm", "TooltipFirestorm"}, {9, "Lightning", "TooltipLightningbolt"}};
    const Row speeds[] = {{6, "Pause", "TooltipPause"},
                          {7, "NormalSpeed", "TooltipPlay"},
                          {8, "DoubleSpeed", "TooltipDoubleSpeed"},
                          {9, "MainMenu", "TooltipMenu"}};
    ExpectButtons(DefenderButtons, purchase, nullptr, kPurchaseButtonCount, 0);
    ExpectButtons(ActionButtons, actions, ActionButtonItems, kActionButtonCount, 0);
    ExpectButtons(SpellButtons, spells, SpellButtonItems, kSpellButtonCount, 1);
    ExpectButtons(SpeedButtons, speeds, SpeedButtonItems, kSpeedButtonCount, 1);

    const Row info[] = {{1, "Enemies", "TooltipEnemiesLeft"},
                        {0, "Wave", "TooltipAttackNumber"},
                        {2, "Gold", "TooltipGold"},
                        {3, "Score", "TooltipScore"}};
    for (int i = 0; i < kInfoItemCount; ++i) {
        SCOPED_TRACE(info[i].item);
        EXPECT_EQ(info[i].id, InfoItems[i].id);
        EXPECT_STREQ(info[i].item, InfoItemItems[i]);
        EXPECT_EQ(info[i].tooltipKey, InfoItems[i].tooltipKey);
        const HudInfoItem& b = InfoItems[i];
        const int32_t layout[] = {b.x, b.y, b.tx, b.ty, b.tw, b.th, b.ox, b.oy};
        for (int32_t value : layout) EXPECT_EQ(0, value);
    }
}

TEST(HudTablesTest, NamedRectanglesAndHandles) {
    EXPECT_EQ(&HudCoordsTable[0], FindHudCoords("Digit0"));
    EXPECT_EQ(&HudCoordsTable[9], FindHudCoords("Digit9"));
    EXPECT_EQ(&HudCoordsTable[kHudCoordsCount - 1], FindHudCoords("Attack"));
    EXPECT_EQ(nullptr, FindHudCoords("digit0"));
    for (const char* name : {"Bevel2", "Result", "Indicator1", "HealthBar3", "UpgradeBall2", "ColorRect1", "Frame"}) {
        const HudCoords* coords = FindHudCoords(name);
        ASSERT_NE(nullptr, coords) << name;
        EXPECT_EQ(0, coords->tx + coords->ty + coords->tw + coords->th) << name;
    }
    EXPECT_EQ(0, HudShift.ox);
    EXPECT_EQ(0, HudShift.oy);
    EXPECT_FALSE(LargeFont);
    EXPECT_FALSE(MediumFont);
    EXPECT_FALSE(SmallFont);
    EXPECT_FALSE(GlobalTooltip);
    EXPECT_TRUE(DefaultMessageText.empty());
}
