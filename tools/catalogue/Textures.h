#pragma once
// The sample textures: the default textures, the world textures (in the
// "textures" folder of config.xml), the interface images (in "uitexture"), the
// HUD sheet's regions and the texture atlas. The model textures are listed in
// tools/catalogue/Models.h.
#include "tools/catalogue/Config.h"

namespace catalogue {
namespace textures {

// Opened as written, relative to the game's working folder.
inline constexpr const char kDefaultTexture[] = "../Data/Defaults/default.dds";
inline constexpr const char kDefaultBumpTexture[] = "../Data/Defaults/default_bump.dds";

// ---- world textures ("textures") ----
inline constexpr const char* kCursors[] = {"c_arrow.dds", "c_leftright.dds", "c_sandglass.dds"};
inline constexpr int kCursorSize = 32;
// A soft round glow the particles use.
inline constexpr const char kParticleSprite[] = "particles/iphone01.dds";
// The blob shadow: the battle draws its square (0, 0) to (128, 128).
inline constexpr const char kBlobShadowSprite[] = "particles/iphone02.dds";
inline constexpr int kBlobShadowSize = 128;

// ---- particle sprites (tools/catalogue/ParticleEffects.h names the effects) ----
// White shapes with alpha; the effects colour them.
inline constexpr const char kSmokeSprite[] = "particles/smoke.dds";    // a soft puff
inline constexpr const char kRingSprite[] = "particles/ring.dds";      // a thin ring
inline constexpr const char kCrossSprite[] = "particles/cross.dds";    // a cross
inline constexpr const char kStreakSprite[] = "particles/streak.dds";  // a glow drawn out along v
// A sheet of equal cells, row by row: a flame licking up in eight frames.
inline constexpr const char kFlameSheet[] = "particles/flame.dds";
inline constexpr int kFlameColumns = 4;
inline constexpr int kFlameRows = 2;
inline constexpr int kFlameCell = 64;
// A texture list: a rune turning, one texture per frame.
inline constexpr const char* kRuneSprites[] = {"particles/rune_0.dds", "particles/rune_1.dds", "particles/rune_2.dds",
                                               "particles/rune_3.dds"};
// What a sprite block without texture names draws with ("XXXDefault.bmp" as the
// library asks for it): a white glow on black, for additive blending.
inline constexpr const char kDefaultParticleTexture[] = "xxxdefault.bmp";
inline constexpr int kDefaultParticleTextureSize = 32;

struct WorldTexture {
    const char* name;
    const char* bump;
};
// The textures the loading screen preloads, as the game asks for them, lower-cased.
inline constexpr WorldTexture kPreloaded[] = {
    {"mm_palac_lowpoly2.dds", "mm_palac_lowpoly2_bump.dds"},
    {"mm_palace_03_brick.dds", "mm_palace_03_brick_bump.dds"},
    {"mm_palace_03_stone_02.dds", "mm_palace_03_stone_02_bump.dds"},
    {"mm_palace_03_trim.dds", "mm_palace_03_trim_bump.dds"},
    {"kelmoor_lm.dds", "kelmoor_lm_bump.dds"},
};

// ---- interface images ("uitexture") ----
// 640 x 480: not powers of two, so their textures are 1024 x 512.
inline constexpr const char kCreditsImage[] = "credits.png";
inline constexpr const char kTutorialImage[] = "tutorial.png";
inline constexpr int kInterfaceImageWidth = 640;
inline constexpr int kInterfaceImageHeight = 480;

// The HUD sheet, named by config.xml's "interface" entry.
inline constexpr const char* kHudTexture = config::kInterfaceTexture;
inline constexpr int kHudSize = 512;

// A region of the HUD sheet, by the item or coords name "ingame.xml" gives it. An item
// (a HUD button or information box) also has its place on the 1024 x 768 screen and
// (ox, oy): for a button the offset on the sheet of its second image, for an information
// box the screen place of its counter (beside its icon, not relative to it); coords are
// sheet rectangles only.
struct HudRegion {
    const char* name;
    int tx, ty, tw, th;
    bool item = false;
    int x = 0, y = 0, ox = 0, oy = 0;
};
// The HUD's layout file in the ui folder.
inline constexpr const char kHudLayout[] = "ingame.xml";
// The HUD's shift, written to "ingame.xml" beside the items.
inline constexpr int kHudShiftX = 2;
inline constexpr int kHudShiftY = 2;
// The second images of the action and spell buttons (resurrect, show, a weapon that does
// no harm; the spell cooling down) and the pressed faces of the speed buttons lie this
// far below the first ones on the sheet.
inline constexpr int kHudSecondRow = 192;
// A stat is upgraded at most four times.
inline constexpr int kUpgradePips = 4;
// The counters and the speed buttons sit in the 72-pixel top bar. The purchase, action
// and spell buttons hang below it at the left in rows of three, 96 pixels apart and 16
// from the screen's edge, so that their prices (in the main font, about as wide as a
// button) stay apart under them and the middle of the view, where the keeper stands, stays
// clear. The spells take the first row only: the strip the battle keeps from the map
// reaches down to their price line.
inline constexpr int kHudColumn0 = 16, kHudColumn1 = 112, kHudColumn2 = 208;
inline constexpr int kHudRow0 = 80, kHudRow1 = 192;
inline constexpr HudRegion kHudRegions[] = {
    // defender buttons (named by the defender definitions)
    {"Swordman", 0, 0, 64, 64, true, kHudColumn0, kHudRow0, 4, 44},
    {"Archer", 64, 0, 64, 64, true, kHudColumn1, kHudRow0, 4, 44},
    {"Priest", 128, 0, 64, 64, true, kHudColumn2, kHudRow0, 4, 44},
    {"Necromancer", 192, 0, 64, 64, true, kHudColumn0, kHudRow1, 4, 44},
    {"Heavy Warrior", 256, 0, 64, 64, true, kHudColumn1, kHudRow1, 4, 44},
    {"Mage", 320, 0, 64, 64, true, kHudColumn2, kHudRow1, 4, 44},
    {"Attack", 384, 0, 64, 64},
    // the gold line and its shadow only: the battle tiles it across the screen, and
    // every clear row below would be blended for nothing
    {"Frame", 448, 0, 64, 11},
    // action buttons
    {"Heal", 0, 64, 64, 64, true, kHudColumn0, kHudRow0, 0, kHudSecondRow},
    {"Teleport", 64, 64, 64, 64, true, kHudColumn1, kHudRow0, 0, kHudSecondRow},
    {"HideShow", 128, 64, 64, 64, true, kHudColumn2, kHudRow0, 0, kHudSecondRow},
    {"UpgradeHP", 192, 64, 64, 64, true, kHudColumn0, kHudRow1, 0, kHudSecondRow},
    {"UpgradeWeapon", 256, 64, 64, 64, true, kHudColumn1, kHudRow1, 0, kHudSecondRow},
    {"Sell", 320, 64, 64, 64, true, kHudColumn2, kHudRow1, 0, kHudSecondRow},
    // spell and speed buttons
    {"Slow", 0, 128, 64, 64, true, kHudColumn0, kHudRow0, 0, kHudSecondRow},
    {"Firestorm", 64, 128, 64, 64, true, kHudColumn1, kHudRow0, 0, kHudSecondRow},
    {"Lightning", 128, 128, 64, 64, true, kHudColumn2, kHudRow0, 0, kHudSecondRow},
    {"Pause", 192, 128, 48, 48, true, 808, 8, 0, kHudSecondRow},
    {"NormalSpeed", 240, 128, 48, 48, true, 860, 8, 0, kHudSecondRow},
    {"DoubleSpeed", 288, 128, 48, 48, true, 912, 8, 0, kHudSecondRow},
    {"MainMenu", 336, 128, 48, 48, true, 964, 8, 0, kHudSecondRow},
    // info items
    {"Enemies", 0, 192, 32, 32, true, 8, 8, 44, 4},
    {"Wave", 32, 192, 32, 32, true, 158, 8, 194, 4},
    {"Gold", 64, 192, 32, 32, true, 308, 8, 344, 4},
    {"Score", 96, 192, 32, 32, true, 458, 8, 494, 4},
    // coords
    {"Digit0", 128, 192, 16, 24},
    {"Digit1", 144, 192, 16, 24},
    {"Digit2", 160, 192, 16, 24},
    {"Digit3", 176, 192, 16, 24},
    {"Digit4", 192, 192, 16, 24},
    {"Digit5", 208, 192, 16, 24},
    {"Digit6", 224, 192, 16, 24},
    {"Digit7", 240, 192, 16, 24},
    {"Digit8", 256, 192, 16, 24},
    {"Digit9", 272, 192, 16, 24},
    {"Indicator1", 288, 192, 16, 16},
    {"Indicator2", 304, 192, 16, 16},
    // one upgrade pip: a unit's overlay takes n of them side by side from the strip of
    // kUpgradePips that starts there
    {"UpgradeBall1", 0, 224, 16, 16},
    {"UpgradeBall2", 64, 224, 16, 16},
    {"ColorRect1", 352, 192, 16, 16},
    {"ColorRect2", 368, 192, 16, 16},
    // a rim the size of a button, drawn over its icon
    {"Bevel1", 384, 64, 64, 64},
    {"Bevel2", 448, 64, 64, 64},
    {"HealthBar1", 384, 128, 64, 8},
    {"HealthBar2", 384, 136, 64, 8},
    {"HealthBar3", 384, 144, 64, 8},
    {"Result", 0, 384, 384, 128},
};

namespace detail {
constexpr bool SameName(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) ++a, ++b;
    return *a == *b;
}
// What a region takes of the sheet: a pip its whole strip; the second image of a button
// (kind 1) where it lies below the first.
struct SheetRect {
    int x0, y0, x1, y1;
};
constexpr SheetRect SheetArea(const HudRegion& r, int kind) {
    const int strip = SameName(r.name, "UpgradeBall1") || SameName(r.name, "UpgradeBall2") ? kUpgradePips : 1;
    const int dx = kind == 1 ? r.ox : 0, dy = kind == 1 ? r.oy : 0;
    return {r.tx + dx, r.ty + dy, r.tx + dx + r.tw * strip, r.ty + dy + r.th};
}
constexpr bool HasSecondImage(const HudRegion& r) { return r.item && r.oy == kHudSecondRow; }
constexpr bool HudSheetRegionsApart() {
    for (const HudRegion& a : kHudRegions)
        for (int ka = 0; ka < (HasSecondImage(a) ? 2 : 1); ++ka)
            for (const HudRegion& b : kHudRegions)
                for (int kb = 0; kb < (HasSecondImage(b) ? 2 : 1); ++kb) {
                    if (&a == &b && ka == kb) continue;
                    const SheetRect p = SheetArea(a, ka), q = SheetArea(b, kb);
                    if (p.x0 < q.x1 && q.x0 < p.x1 && p.y0 < q.y1 && q.y0 < p.y1) return false;
                }
    return true;
}
}  // namespace detail
static_assert(detail::HudSheetRegionsApart(), "two images of the HUD sheet overlap");

// ---- the texture atlas (its index in "textures", pages beside it) ----
inline constexpr const char kAtlasIndex[] = "sprites.tai";
inline constexpr const char kAtlasPage[] = "sprites_atlas0.dds";
inline constexpr int kAtlasPageSize = 256;

// A sprite on the page; offsets and sizes in texels of the page.
struct AtlasSprite {
    const char* name;
    int x, y, width, height;
};
inline constexpr AtlasSprite kAtlasSprites[] = {
    {"spark.dds", 0, 0, 128, 128}, {"smoke.dds", 128, 0, 128, 128},   {"ring.dds", 0, 128, 128, 64},
    {"star.dds", 0, 192, 64, 64},  {"flare.dds", 128, 128, 128, 128},
};

}  // namespace textures
}  // namespace catalogue
