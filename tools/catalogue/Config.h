#pragma once
// Where the sample data lives: the resource roots and content folders that config.xml
// names, and the other values it carries. Every writer of the data builder puts its
// files under these folders (relative to the game's working folder), so the game finds
// them through config.xml.
#include <string>

namespace catalogue {
namespace config {

inline constexpr const char kFileName[] = "config.xml";

// Resource roots. The graphics root of this platform is kResourcePc; the others exist
// for the record only.
inline constexpr const char kResourceIphone[] = "res-iphone/";
inline constexpr const char kResourceIphone4[] = "res-iphone4/";
inline constexpr const char kResourceIpad[] = "res-ipad/";
inline constexpr const char kResourcePc[] = "res-pc/";
inline constexpr const char kResourceMac[] = "res-mac/";
inline constexpr const char kResourceCommon[] = "res-common/";

// A content folder: its config.xml element, the root it is joined to and its own name.
struct Folder {
    const char* element;
    const char* root;
    const char* name;
    std::string Path() const { return std::string(root) + name; }
};

// Under the graphics root.
inline constexpr Folder kUi{"ui", kResourcePc, "ui/"};
inline constexpr Folder kUiTexture{"uitexture", kResourcePc, "uitexture/"};
inline constexpr Folder kVideos{"videos", kResourcePc, "videos/"};
inline constexpr Folder kTextures{"textures", kResourcePc, "textures/"};
inline constexpr Folder kFonts{"fonts", kResourcePc, "fonts/"};
inline constexpr Folder kMeshes{"meshes", kResourcePc, "meshes/"};
inline constexpr Folder kMapViews{"mapviews", kResourcePc, "mapviews/"};
// Under the common root ("language" needs the graphics root set but joins the common one).
inline constexpr Folder kLanguage{"language", kResourceCommon, "language/"};
inline constexpr Folder kLogic{"logic", kResourceCommon, "logic/"};
inline constexpr Folder kSounds{"sounds", kResourceCommon, "sounds/"};
inline constexpr Folder kMaps{"maps", kResourceCommon, "maps/"};
inline constexpr Folder kWaves{"waves", kResourceCommon, "waves/"};
inline constexpr Folder kDefenders{"defenders", kResourceCommon, "defenders/"};
inline constexpr Folder kAttackers{"attackers", kResourceCommon, "attackers/"};
inline constexpr Folder kWeapons{"weapons", kResourceCommon, "weapons/"};
inline constexpr Folder kAnims{"anims", kResourceCommon, "anims/"};
inline constexpr Folder kParticles{"particles", kResourceCommon, "particles/"};

// In the order config.xml lists them.
inline constexpr Folder kFolders[] = {kUi,        kUiTexture, kVideos,  kTextures, kFonts,    kMeshes,
                                      kMapViews,  kLanguage,  kLogic,   kSounds,   kMaps,     kWaves,
                                      kDefenders, kAttackers, kWeapons, kAnims,    kParticles};

// The playable maps, in order (the loading screen preloads the first).
inline constexpr const char* kMapNames[] = {"Harrowmere"};

// Spells: one weapon per level; the game data defines these weapon ids.
struct Spell {
    int weapon;
    int price;     // gold
    int cooldown;  // seconds
};
inline constexpr Spell kSlowdown[] = {{900, 60, 20}, {901, 80, 18}, {902, 100, 16}};
inline constexpr Spell kFirestorm[] = {{910, 120, 30}, {911, 150, 27}, {912, 180, 24}};
inline constexpr Spell kLightning[] = {{920, 90, 25}, {921, 120, 22}, {922, 150, 19}};

struct NamedColor {
    const char* name;
    int r, g, b, a;
};
// "red" is the HUD's warning colour.
inline constexpr NamedColor kColors[] = {
    {"red", 255, 48, 32, 192},
    {"white", 255, 255, 255, 255},
    {"gold", 255, 215, 0, 255},
    {"green", 64, 200, 64, 255},
};

struct SpawnPointType {
    int type;
    int value;  // percent
};
// Type 1 is the boosted defender slot.
inline constexpr SpawnPointType kSpawnPointTypes[] = {{0, 0}, {1, 20}};

// Endpoints: local only.
inline constexpr const char kSubmissionUrl[] = "http://127.0.0.1:8080/dunmarch/submit";
inline constexpr const char kSubmissionKey[] = "dunmarch-lite";
inline constexpr const char kWebsiteUrl[] = "http://127.0.0.1:8080/dunmarch/";
inline constexpr const char kBannerSiteUrl[] = "http://127.0.0.1:8080/dunmarch/banner/";
// The HUD texture the battle loads through the interface texture loader.
inline constexpr const char kInterfaceTexture[] = "hud.dds";

}  // namespace config
}  // namespace catalogue
