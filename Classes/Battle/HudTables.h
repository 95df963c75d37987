#pragma once
// The battle HUD's tables, which live for the whole program: the purchase, selected-
// defender, spell and game-control buttons and the information boxes, with their action
// codes, tooltip keys and unit ids; the named rectangles and the shift of the HUD
// texture; and the global handles beside them (fonts, tooltip, default message text).
// "ingame.xml" fills the layout numbers at every battle start; codes and texts never
// change.
#include <cstdint>
#include <string>

#include <boost/shared_ptr.hpp>

namespace Graphics {
class SpriteFont;
}

class CTooltip;

// One button of the four button tables.
struct HudButton {
    int32_t id = 0;                          // the action code; 0 for purchase buttons
    int32_t x = 0, y = 0;                    // top left on the 1024 x 768 virtual screen
    int32_t tx = 0, ty = 0, tw = 0, th = 0;  // source rectangle in the HUD texture; tw x th on screen
    int32_t pressed = 0;                     // pressed, or for game-control buttons the current mode
    int32_t available = 0;
    int32_t highlight = 0;   // milliseconds of highlight left
    int32_t ox = 0, oy = 0;  // offset of the second image (price or state sign)
    std::string tooltipKey;
    std::string unitId;  // the defender of a purchase button; empty otherwise
    std::string spare;
};

// One information box: kind 0 the wave ("%d/%d"), 1 the enemies left, 2 the gold,
// 3 the score.
struct HudInfoItem {
    int32_t id = 0;
    int32_t x = 0, y = 0;
    int32_t tx = 0, ty = 0, tw = 0, th = 0;
    int32_t ox = 0, oy = 0;
    std::string tooltipKey;
};

// A rectangle of the HUD texture.
struct HudCoords {
    int32_t tx = 0, ty = 0, tw = 0, th = 0;
};

struct HudShiftRecord {
    int32_t ox = 0, oy = 0;
};

enum {
    kPurchaseButtonCount = 6,
    kActionButtonCount = 6,
    kSpellButtonCount = 3,
    kSpeedButtonCount = 4,
    kInfoItemCount = 4,
    kHudCoordsCount = 24,
};

// Purchase buttons: "Swordman", "Archer", "Priest", "Necromancer", "Heavy Warrior", "Mage";
// the layout item of each is its unit id.
extern HudButton DefenderButtons[kPurchaseButtonCount];
// Selected-defender buttons, codes 1 to 6: heal, teleport, hide/show, upgrade hit points,
// upgrade weapon, sell.
extern HudButton ActionButtons[kActionButtonCount];
// Spell buttons, codes 7 to 9: slowdown, firestorm, lightning.
extern HudButton SpellButtons[kSpellButtonCount];
// Game-control buttons, codes 6 to 9: pause, normal speed, double speed, main menu.
extern HudButton SpeedButtons[kSpeedButtonCount];
// Enemies, wave, gold, score.
extern HudInfoItem InfoItems[kInfoItemCount];

// The layout items of "ingame.xml" that fill the rows of each table, row by row.
extern const char* const ActionButtonItems[kActionButtonCount];
extern const char* const SpellButtonItems[kSpellButtonCount];
extern const char* const SpeedButtonItems[kSpeedButtonCount];
extern const char* const InfoItemItems[kInfoItemCount];

// "Digit0" to "Digit9", "Bevel1", "Bevel2", "Result", "Indicator1", "Indicator2",
// "HealthBar1" to "HealthBar3", "UpgradeBall1", "UpgradeBall2", "ColorRect1",
// "ColorRect2", "Frame", "Attack", in this order.
extern const char* const HudCoordsNames[kHudCoordsCount];
extern HudCoords HudCoordsTable[kHudCoordsCount];
// Null for a name not in the table.
HudCoords* FindHudCoords(const std::string& name);
extern HudShiftRecord HudShift;

// The three global fonts, loaded for the current language.
extern boost::shared_ptr<Graphics::SpriteFont> LargeFont;
extern boost::shared_ptr<Graphics::SpriteFont> MediumFont;
extern boost::shared_ptr<Graphics::SpriteFont> SmallFont;
// The battle's tooltip, made when a battle starts.
extern boost::shared_ptr<CTooltip> GlobalTooltip;
// The message text the in-game message boxes are made with.
extern const std::wstring DefaultMessageText;
