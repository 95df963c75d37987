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
// The counters and the speed buttons sit in the 72-pixel top bar; the purchase, action
// and spell buttons hang below it at the left, 96 pixels apart so that their prices (in
// the 40-point font) stay apart under them, all inside the strip that the battle keeps
// from the map (down to the spell buttons' bottom + 32).
inline constexpr HudRegion kHudRegions[] = {
    // defender buttons (named by the defender definitions)
    {"Swordman", 0, 0, 64, 64, true, 8, 80, 4, 44},
    {"Archer", 64, 0, 64, 64, true, 104, 80, 4, 44},
    {"Priest", 128, 0, 64, 64, true, 200, 80, 4, 44},
    {"Necromancer", 192, 0, 64, 64, true, 296, 80, 4, 44},
    {"Heavy Warrior", 256, 0, 64, 64, true, 392, 80, 4, 44},
    {"Mage", 320, 0, 64, 64, true, 488, 80, 4, 44},
    {"Attack", 384, 0, 64, 64},
    {"Frame", 448, 0, 64, 64},
    // action buttons
    {"Heal", 0, 64, 64, 64, true, 8, 80, 0, kHudSecondRow},
    {"Teleport", 64, 64, 64, 64, true, 104, 80, 0, kHudSecondRow},
    {"HideShow", 128, 64, 64, 64, true, 200, 80, 0, kHudSecondRow},
    {"UpgradeHP", 192, 64, 64, 64, true, 296, 80, 0, kHudSecondRow},
    {"UpgradeWeapon", 256, 64, 64, 64, true, 392, 80, 0, kHudSecondRow},
    {"Sell", 320, 64, 64, 64, true, 488, 80, 0, kHudSecondRow},
    // spell and speed buttons
    {"Slow", 0, 128, 64, 64, true, 8, 80, 0, kHudSecondRow},
    {"Firestorm", 64, 128, 64, 64, true, 104, 80, 0, kHudSecondRow},
    {"Lightning", 128, 128, 64, 64, true, 200, 80, 0, kHudSecondRow},
    {"Pause", 192, 128, 48, 48, true, 808, 8, 0, kHudSecondRow},
    {"NormalSpeed", 240, 128, 48, 48, true, 860, 8, 0, kHudSecondRow},
    {"DoubleSpeed", 288, 128, 48, 48, true, 912, 8, 0, kHudSecondRow},
    {"MainMenu", 336, 128, 48, 48, true, 964, 8, 0, kHudSecondRow},
    // info items
    {"Enemies", 0, 192, 32, 32, true, 8, 8, 44, 14},
    {"Wave", 32, 192, 32, 32, true, 158, 8, 194, 14},
    {"Gold", 64, 192, 32, 32, true, 308, 8, 344, 14},
    {"Score", 96, 192, 32, 32, true, 458, 8, 494, 14},
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
    {"UpgradeBall1", 320, 192, 16, 16},
    {"UpgradeBall2", 336, 192, 16, 16},
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
