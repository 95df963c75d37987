#pragma once
// The sample models: file names (in the "meshes" folder of config.xml), the
// textures they name, their node and bone names and the animation frames of
// the skinned ones. The clip-table writer takes its clips from here so every
// table matches its model's frame count.
#include <cstdint>

namespace catalogue {
namespace models {

// ---- how the models are oriented ----
// Objects stand on the ground plane (x, y) with z up. Their scene nodes turn
// them about the model's y axis by (direction - 45) (missiles: - 54) and then
// about x by the map view's x rotation, so every map view must carry the
// transformation rotation below; the models are baked for it and for the
// model draw's fixed turn about y.
inline constexpr int kViewRotationX = 90;
inline constexpr int kViewRotationY = 0;
inline constexpr int kViewRotationZ = 0;
// The map node's translation, taken in the node's turned frame: (x, z, -y) puts
// the node at (x, y, z) in the world. The map model is baked about that place,
// so the field lies from the origin as below wherever the node is. Every model
// node casts a blob shadow at its own place, the map's node too; at (320, -2500,
// 0), far behind every camera the map view allows, the map's blob (a square the
// size of the field) never reaches the screen.
inline constexpr int kViewTranslation[3] = {320, 0, 2500};

// ---- the map ----
// The model lays its ground out in kMapColumns x kMapRows tiles of
// kCellWorldSize world units (kMapWidth x kMapDepth) from the origin along +x
// and +y, at height 0. The tiles are the model's own: the level's cells are
// 15 world units wide whatever the model (tools/catalogue/Level.h), so the
// level grid has more, smaller cells over the same ground, and every position
// the game data gives in cells (level markers, the map's particle entries)
// counts level cells, not these tiles.
inline constexpr int kMapColumns = 16;
inline constexpr int kMapRows = 12;
inline constexpr float kCellWorldSize = 40.0f;
inline constexpr float kMapWidth = kMapColumns * kCellWorldSize;
inline constexpr float kMapDepth = kMapRows * kCellWorldSize;

inline constexpr const char kMapMesh[] = "harrowmere.pod";             // light-mapped
inline constexpr const char kMapMeshPlain[] = "harrowmere_plain.pod";  // same ground, no light map
// Light-map factors the map definition can pass ("lmfactors").
inline constexpr float kMapLightMapFactors[2] = {1.0f, 1.0f};

// ---- textures ----
// A model names "<base>.png"; the game loads "<base>.dds" and "<base>_bump.dds"
// from the "textures" folder. Light maps are loaded without a bump texture.
struct Texture {
    const char* podName;  // as the model names it
    const char* dds;      // the file the game loads
    const char* bump;     // its bump texture, null for a light map
    uint8_t r, g, b;      // the colour the texture writer paints
};

inline constexpr Texture kTextures[] = {
    {"harrowmere_ground.png", "harrowmere_ground.dds", "harrowmere_ground_bump.dds", 96, 128, 64},
    {"harrowmere_stone.png", "harrowmere_stone.dds", "harrowmere_stone_bump.dds", 140, 136, 128},
    {"harrowmere_lightmap.png", "harrowmere_lightmap.dds", nullptr, 230, 230, 220},
    {"scenery.png", "scenery.dds", "scenery_bump.dds", 110, 90, 60},
    {"swordsman.png", "swordsman.dds", "swordsman_bump.dds", 60, 90, 200},
    {"archer.png", "archer.dds", "archer_bump.dds", 40, 140, 60},
    {"priest.png", "priest.dds", "priest_bump.dds", 230, 230, 210},
    {"necromancer.png", "necromancer.dds", "necromancer_bump.dds", 70, 40, 90},
    {"heavywarrior.png", "heavywarrior.dds", "heavywarrior_bump.dds", 120, 120, 130},
    {"mage.png", "mage.dds", "mage_bump.dds", 50, 60, 180},
    {"keeper.png", "keeper.dds", "keeper_bump.dds", 200, 170, 40},
    {"enemy_warrior.png", "enemy_warrior.dds", "enemy_warrior_bump.dds", 170, 40, 30},
    {"enemy_archer.png", "enemy_archer.dds", "enemy_archer_bump.dds", 150, 80, 30},
    {"enemy_caster.png", "enemy_caster.dds", "enemy_caster_bump.dds", 120, 20, 60},
    {"hero.png", "hero.dds", "hero_bump.dds", 220, 60, 20},
    {"weapons.png", "weapons.dds", "weapons_bump.dds", 170, 170, 180},
    {"missiles.png", "missiles.dds", "missiles_bump.dds", 255, 160, 40},
};
// UV layout of the humanoid textures: body part k of kPartCount uses the
// vertical band u in [k / kPartCount, (k + 1) / kPartCount].
inline constexpr int kPartCount = 8;

// ---- skinned humanoids ----
inline constexpr const char kRightForeArm[] = "RightForeArm";
inline constexpr const char kLeftForeArm[] = "LeftForeArm";
// Node order of every humanoid: the mesh node, the armature, then the bones.
inline constexpr const char* kHumanoidNodes[] = {"Body",       "Armature", "Hips",        "Spine",
                                                 "Head",       "RightArm", kRightForeArm, "LeftArm",
                                                 kLeftForeArm, "RightLeg", "LeftLeg"};

struct Clip {
    const char* name;
    int first;  // frames first to last - 1 are played
    int last;
};
// Every humanoid carries all clips the brains ask for.
inline constexpr Clip kHumanoidClips[] = {
    {"idle", 0, 12},      {"walk", 12, 24},      {"death", 24, 36},     {"strike_1", 36, 48},
    {"strike_2", 48, 60}, {"bow_shoot", 60, 72}, {"castsmall", 72, 84}, {"castbig", 84, 96},
};
inline constexpr int kHumanoidFrameCount = 96;
inline constexpr float kHumanoidFps = 15.0f;
inline constexpr const char* kAttackAnimations[] = {"strike_1", "strike_2", "bow_shoot", "castsmall", "castbig"};

struct Humanoid {
    const char* id;       // unit name the game data uses
    const char* mesh;     // model file
    const char* clips;    // its clip table in the "anims" folder (tools/catalogue/Clips.h)
    const char* texture;  // as the model names it
    float scale;          // 1 is about 24 world units tall
    int hat;              // 0 none, 1 pointed hood, 2 helmet, 3 crown
};
inline constexpr Humanoid kDefenders[] = {
    {"swordsman", "swordsman.pod", "warrior.xml", "swordsman.png", 1.0f, 2},
    {"archer", "archer.pod", "archer.xml", "archer.png", 0.95f, 1},
    {"priest", "priest.pod", "caster.xml", "priest.png", 1.0f, 1},
    {"necromancer", "necromancer.pod", "caster.xml", "necromancer.png", 1.0f, 1},
    {"heavywarrior", "heavywarrior.pod", "warrior.xml", "heavywarrior.png", 1.2f, 2},
    {"mage", "mage.pod", "caster.xml", "mage.png", 1.0f, 1},
};
inline constexpr Humanoid kKeeper = {"keeper", "keeper.pod", "keeper.xml", "keeper.png", 1.3f, 3};
inline constexpr Humanoid kAttackers[] = {
    {"enemy_warrior", "enemy_warrior.pod", "orcwarrior.xml", "enemy_warrior.png", 1.05f, 2},
    {"enemy_archer", "enemy_archer.pod", "orcarcher.xml", "enemy_archer.png", 0.95f, 0},
    {"enemy_caster", "enemy_caster.pod", "orccaster.xml", "enemy_caster.png", 1.0f, 1},
};
inline constexpr Humanoid kHero = {"hero", "hero.pod", "hero.xml", "hero.png", 1.15f, 3};

// ---- weapons: one mesh node per weapon, in the forearm's space ----
inline constexpr const char kWeaponsMesh[] = "weapons_all_001.pod";
inline constexpr const char* kWeaponNodes[] = {"sword", "shield", "bow", "staff", "axe", "dagger", "wand", "hammer"};

// ---- scenery and missiles ----
inline constexpr const char* kScenery[] = {"tree.pod", "rock.pod", "crate.pod", "tower.pod"};
inline constexpr const char* kMissiles[] = {"arrow.pod", "fireball.pod", "bolt.pod"};

}  // namespace models
}  // namespace catalogue
