#include "Classes/Battle/HudTables.h"

#include "Graphics/SpriteFont.h"

namespace {

HudButton Button(int32_t id, const char* tooltipKey, const char* unitId, int32_t available) {
    HudButton button;
    button.id = id;
    button.available = available;
    button.tooltipKey = tooltipKey;
    button.unitId = unitId;
    return button;
}

HudInfoItem Info(int32_t id, const char* tooltipKey) {
    HudInfoItem item;
    item.id = id;
    item.tooltipKey = tooltipKey;
    return item;
}

}  // namespace

HudButton DefenderButtons[kPurchaseButtonCount] = {
    Button(0, "TooltipSwordsman", "Swordman", 0),
    Button(0, "TooltipArcher", "Archer", 0),
    Button(0, "TooltipPriest", "Priest", 0),
    Button(0, "TooltipNecromancer", "Necromancer", 0),
    Button(0, "TooltipRoyalGuardian", "Heavy Warrior", 0),
    Button(0, "TooltipFireMage", "Mage", 0),
};

HudButton ActionButtons[kActionButtonCount] = {
    Button(1, "TooltipHeal", "", 0),
    Button(2, "TooltipTeleport", "", 0),
    Button(3, "TooltipConceal", "", 0),
    Button(4, "TooltipUpgradeHP", "", 0),
    Button(5, "TooltipUpgradeStrength", "", 0),
    Button(6, "TooltipDischarge", "", 0),
};

HudButton SpellButtons[kSpellButtonCount] = {
    Button(7, "TooltipSlowdown", "", 1),
    Button(8, "TooltipFirestorm", "", 1),
    Button(9, "TooltipLightningbolt", "", 1),
};

HudButton SpeedButtons[kSpeedButtonCount] = {
    Button(6, "TooltipPause", "", 1),
    Button(7, "TooltipPlay", "", 1),
    Button(8, "TooltipDoubleSpeed", "", 1),
    Button(9, "TooltipMenu", "", 1),
};

HudInfoItem InfoItems[kInfoItemCount] = {
    Info(1, "TooltipEnemiesLeft"),
    Info(0, "TooltipAttackNumber"),
    Info(2, "TooltipGold"),
    Info(3, "TooltipScore"),
};

const char* const ActionButtonItems[kActionButtonCount] = {"Heal",      "Teleport",      "HideShow",
                                                           "UpgradeHP", "UpgradeWeapon", "Sell"};
const char* const SpellButtonItems[kSpellButtonCount] = {"Slow", "Firestorm", "Lightning"};
const char* const SpeedButtonItems[kSpeedButtonCount] = {"Pause", "NormalSpeed", "DoubleSpeed", "MainMenu"};
const char* const InfoItemItems[kInfoItemCount] = {"Enemies", "Wave", "Gold", "Score"};

const char* const HudCoordsNames[kHudCoordsCount] = {
    "Digit0",     "Digit1",     "Digit2",       "Digit3",       "Digit4",     "Digit5",     "Digit6",     "Digit7",
    "Digit8",     "Digit9",     "Bevel1",       "Bevel2",       "Result",     "Indicator1", "Indicator2", "HealthBar1",
    "HealthBar2", "HealthBar3", "UpgradeBall1", "UpgradeBall2", "ColorRect1", "ColorRect2", "Frame",      "Attack",
};

HudCoords HudCoordsTable[kHudCoordsCount];

HudCoords* FindHudCoords(const std::string& name) {
    for (int i = 0; i < kHudCoordsCount; ++i)
        if (name == HudCoordsNames[i]) return &HudCoordsTable[i];
    return nullptr;
}

HudShiftRecord HudShift;

boost::shared_ptr<Graphics::SpriteFont> LargeFont;
boost::shared_ptr<Graphics::SpriteFont> MediumFont;
boost::shared_ptr<Graphics::SpriteFont> SmallFont;
boost::shared_ptr<CTooltip> GlobalTooltip;
const std::wstring DefaultMessageText;
