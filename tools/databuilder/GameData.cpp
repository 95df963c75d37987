// The game data: weapons, attackers, defenders, the waves of Harrowmere, the map and its
// view. A small designed battle rather than random numbers:
//
// - The keeper (900 hit points, passive, never healed by gold, slowly regenerating when
//   no enemy is near) stands at the end of both attack routes. Three orc warriors (12
//   damage a second each) kill it in 25 s, so a player who buys nothing loses the first
//   wave.
// - 350 starting gold buy three defenders (two archers and a swordman, or a swordman, an
//   archer and a second swordman), which hold the first wave (seven orcs, 700 hit points);
//   kills (12 to 20 gold), the wave gold (150 to 300), 10 % interest and 5 % of the
//   living defenders' worth pay for one or two more defenders or upgrades per wave.
// - Each wave but the last is larger than the one before (7, 9, 11, 14 orcs), brings
//   shamans with splash damage from the second wave on, and the fifth 11 orcs and an orc
//   warlord (700 hit points, 24 damage a second). Priest, necromancer, heavy warrior and
//   mage become available from waves 2 to 4; entries with a gold threshold reinforce a
//   wave only against a player who hoards gold. A player who buys well, upgrades the
//   defenders before the keep and the keeper wins; the builder's victory script does.
// - Melee defenders see 5 cells and guard 4 around their spot: the orc archers and shamans
//   shoot from 4 cells, and a guard that neither saw nor reached them would stand under
//   their fire for good while the wave never ended.
// - The spells (slowdown, firestorm, lightning; config.xml names their weapons and
//   prices) come in three levels, chosen by the keeper's weapon upgrade level.
#include "tools/catalogue/GameData.h"

#include <cstdio>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tools/catalogue/Config.h"
#include "tools/catalogue/Level.h"
#include "tools/catalogue/Models.h"
#include "tools/catalogue/Sounds.h"
#include "tools/databuilder/Builder.h"
#include "tools/databuilder/XmlAttr.h"

namespace {

namespace cfg = catalogue::config;
namespace gd = catalogue::gamedata;
namespace cl = catalogue::level;
namespace cm = catalogue::models;
namespace snd = catalogue::sounds;

// Floats as short decimal text, the same on every run.
std::string Num(double value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%g", value);
    return text;
}

using databuilder::Attr;

std::string Join(std::initializer_list<const char*> items) {
    std::string text;
    for (const char* item : items) text += (text.empty() ? "" : ";") + std::string(item);
    return text;
}

const char kHeader[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

// ---------------------------------------------------------------------------------------
// Weapons

enum Kind { kDamage, kSlowdown, kHeal };
enum Class { kClose, kMissile, kDistant };
const char* const kKindText[] = {"DAMAGE", "SLOWDOWN", "HEAL"};
const char* const kClassText[] = {"CLOSE", "MISSILE", "DISTANT"};

// Numbers of a weapon, in the order of its "stats" element.
struct Stats {
    int hitrate, range, value, time, speed, explosionrange, explosionpercent;
};

// What a weapon shows: hand meshes, the flying missile's model, effects by position
// (shot, flight, hit, slowdown).
struct Looks {
    const char* righthand;
    const char* lefthand;
    const char* missile;
    const char* particles[4];
};

struct Weapon {
    int id;
    const char* comment;
    Kind kind;
    Class weaponClass;
    Stats stats;
    Looks looks;
    std::vector<std::string> sounds;  // attack, strike, missile hit
};

// A defender's weapon family: the base weapon (id) and its four upgrade levels (id + 1
// to id + 4), each stronger by the value step.
struct WeaponFamily {
    Weapon base;
    int valueStep;
};

const std::vector<std::string> kSwordSounds = {snd::kSwordSwing, Join({snd::kSwordHit, snd::kClubHit}), ""};
const std::vector<std::string> kAxeSounds = {snd::kSwordSwing, Join({snd::kAxeHit, snd::kClubHit}), ""};
const std::vector<std::string> kCleaverSounds = {snd::kSwordSwing, Join({snd::kAxeHit, snd::kSwordHit}), ""};
const std::vector<std::string> kBowSounds = {snd::kBowDraw, Join({snd::kBowShot, snd::kCrossbowShot}), snd::kArrowHit};
const std::vector<std::string> kCrossbowSounds = {snd::kBowDraw, snd::kCrossbowShot, snd::kArrowHit};
const std::vector<std::string> kHealSounds = {snd::kSpellCharge, snd::kHeal, snd::kHeal};
const std::vector<std::string> kFireSounds = {snd::kSpellCharge, snd::kSpellCast, snd::kFireballHit};
const std::vector<std::string> kMagicSounds = {snd::kSpellCharge, snd::kSpellCast, snd::kMagicHit};

// clang-format off
//                     hitrate range value time speed splash splash%
const WeaponFamily kDefenderWeapons[] = {
    {{100, "Swordman: sword and shield", kDamage, kClose, {10, 1, 15, 0, 0, 0, 0},
      {"sword", "shield", "", {"", "", gd::kHitBlood, ""}}, kSwordSounds}, 4},
    {{110, "Archer: longbow", kDamage, kMissile, {10, 5, 12, 0, 12, 0, 0},
      {"", "bow", "arrow.pod", {"", "", gd::kHitBlood, ""}}, kBowSounds}, 3},
    {{120, "Priest: healing hammer", kHeal, kDistant, {5, 4, 18, 0, 0, 0, 0},
      {"hammer", "", "", {gd::kCastHeal, "", gd::kHitHeal, ""}}, kHealSounds}, 5},
    {{140, "Heavy Warrior: great axe", kDamage, kClose, {8, 1, 24, 0, 0, 0, 0},
      {"axe", "", "", {"", "", gd::kHitBlood, ""}}, kAxeSounds}, 6},
    {{150, "Mage: fire staff, splash", kDamage, kDistant, {5, 5, 26, 0, 0, 1, 50},
      {"staff", "", "", {gd::kCastFire, "", gd::kHitFire, ""}}, kFireSounds}, 7},
};

const Weapon kOtherWeapons[] = {
    // Attackers.
    {1, "Orc Warrior: axe", kDamage, kClose, {10, 1, 12, 0, 0, 0, 0},
     {"axe", "", "", {"", "", gd::kHitBlood, ""}}, kAxeSounds},
    {2, "Orc Archer: crossbow", kDamage, kMissile, {8, 4, 10, 0, 10, 0, 0},
     {"", "bow", "bolt.pod", {"", "", gd::kHitBlood, ""}}, kCrossbowSounds},
    {3, "Orc Shaman: fireball, splash", kDamage, kMissile, {6, 4, 14, 0, 8, 1, 30},
     {"staff", "", "fireball.pod", {gd::kCastFire, "", gd::kHitFire, ""}}, kFireSounds},
    {4, "Orc Warlord: cleaver", kDamage, kClose, {8, 1, 30, 0, 0, 0, 0},
     {"hammer", "shield", "", {"", "", gd::kHitSpark, ""}}, kCleaverSounds},
    // Necromancer: a slowing curse; it cannot be upgraded.
    {130, "Necromancer: slowing curse", kSlowdown, kDistant, {4, 5, 35, 5, 0, 0, 0},
     {"wand", "", "", {gd::kCastDark, "", gd::kHitDark, gd::kSlowed}}, kMagicSounds},
    // Keeper: its weapon level picks the spell level; the keeper itself never attacks.
    {930, "Keeper: staff, spell level 1", kDamage, kDistant, {5, 4, 12, 0, 0, 0, 0},
     {"wand", "", "", {gd::kCastDark, "", gd::kHitDark, ""}}, kMagicSounds},
    {931, "Keeper: staff, spell level 2", kDamage, kDistant, {5, 4, 16, 0, 0, 0, 0},
     {"wand", "", "", {gd::kCastDark, "", gd::kHitDark, ""}}, kMagicSounds},
    {932, "Keeper: staff, spell level 3", kDamage, kDistant, {5, 4, 20, 0, 0, 0, 0},
     {"wand", "", "", {gd::kCastDark, "", gd::kHitDark, ""}}, kMagicSounds},
};

// Spells by level; config.xml names their weapon ids. A spell lands on its target at
// once (distant class).
struct SpellLevels {
    const cfg::Spell* spells;
    const char* comment;
    Kind kind;
    int values[3];
    int times[3];
    int explosionranges[3];
    int explosionpercents[3];
    const char* hit;
    const char* slowdown;
    const char* sound;
};
static_assert(std::size(cfg::kSlowdown) == 3 && std::size(cfg::kFirestorm) == 3 && std::size(cfg::kLightning) == 3,
              "three levels of each spell");
const SpellLevels kSpells[] = {
    //                                       values          times       splash     splash%
    {cfg::kSlowdown, "Spell slowdown", kSlowdown, {40, 50, 60}, {6, 8, 10}, {0, 0, 0}, {0, 0, 0},
     gd::kSpellSlowdown, gd::kSlowed, snd::kSlow},
    {cfg::kFirestorm, "Spell firestorm", kDamage, {60, 85, 115}, {0, 0, 0}, {1, 1, 2}, {60, 70, 80},
     gd::kSpellFirestorm, "", snd::kFireStorm},
    {cfg::kLightning, "Spell lightning", kDamage, {140, 200, 270}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0},
     gd::kSpellLightning, "", snd::kLightningBolt2},
};
// clang-format on

void WriteWeapon(std::ostringstream& xml, const Weapon& w) {
    // The weapon element's attributes are read by position: id, kind, class.
    xml << "  <!-- " << w.comment << " -->\n";
    xml << "  <weapon" << Attr("id", w.id) << Attr("kind", kKindText[w.kind])
        << Attr("class", kClassText[w.weaponClass]) << ">\n";
    const Stats& n = w.stats;
    xml << "    <stats" << Attr("hitrate", n.hitrate) << Attr("range", n.range) << Attr("value", n.value)
        << Attr("time", n.time) << Attr("speed", n.speed) << Attr("explosionrange", n.explosionrange)
        << Attr("explosionpercent", n.explosionpercent) << "/>\n";
    const Looks& l = w.looks;
    xml << "    <meshes" << Attr("righthand", l.righthand) << Attr("lefthand", l.lefthand) << Attr("missile", l.missile)
        << "/>\n";
    xml << "    <particles" << Attr("shot", l.particles[0]) << Attr("flight", l.particles[1])
        << Attr("hit", l.particles[2]) << Attr("slowdown", l.particles[3]) << "/>\n";
    xml << "    <sounds" << Attr("attack", w.sounds[0]) << Attr("strike", w.sounds[1]) << Attr("arrive", w.sounds[2])
        << "/>\n";
    xml << "  </weapon>\n";
}

std::string WeaponsXml() {
    std::ostringstream xml;
    xml << kHeader << "<weapons>\n";
    for (const WeaponFamily& family : kDefenderWeapons) {
        for (int level = 0; level <= 4; ++level) {
            Weapon w = family.base;
            w.id += level;
            w.stats.value += family.valueStep * level;
            const std::string comment = std::string(family.base.comment) + ", level " + std::to_string(level);
            w.comment = comment.c_str();
            WriteWeapon(xml, w);
        }
    }
    for (const Weapon& w : kOtherWeapons) WriteWeapon(xml, w);
    for (const SpellLevels& spell : kSpells) {
        for (int level = 0; level < 3; ++level) {
            const std::string comment = std::string(spell.comment) + ", level " + std::to_string(level + 1);
            const Stats stats = {10,
                                 0,
                                 spell.values[level],
                                 spell.times[level],
                                 0,
                                 spell.explosionranges[level],
                                 spell.explosionpercents[level]};
            const Weapon w = {spell.spells[level].weapon,
                              comment.c_str(),
                              spell.kind,
                              kDistant,
                              stats,
                              {"", "", "", {"", "", spell.hit, spell.slowdown}},
                              {"", "", spell.sound}};
            WriteWeapon(xml, w);
        }
    }
    xml << "</weapons>\n";
    return xml.str();
}

// ---------------------------------------------------------------------------------------
// Units

struct Attacker {
    const char* id;
    const char* type;
    const char* mesh;
    const char* attackanimation;
    int hp, speed, viewrange, gold, weapon;
    const char* animation;
    std::string sounds;
};

const Attacker kAttackers[] = {
    {gd::kOrcWarrior, "Fighter", cm::kAttackers[0].mesh, "strike_1;strike_2", 110, 10, 3, 12, 1,
     cm::kAttackers[0].clips, Join({snd::kOrcDeath, snd::kDeath1})},
    {gd::kOrcArcher, "Fighter", cm::kAttackers[1].mesh, "bow_shoot", 75, 11, 5, 15, 2, cm::kAttackers[1].clips,
     snd::kOrcDeath},
    {gd::kOrcShaman, "Fighter", cm::kAttackers[2].mesh, "castsmall;castbig", 85, 9, 5, 20, 3, cm::kAttackers[2].clips,
     Join({snd::kOrcDeath, snd::kDeath2})},
    {gd::kOrcWarlord, "Hero", cm::kHero.mesh, "strike_1;strike_2", 700, 8, 4, 150, 4, cm::kHero.clips,
     snd::kMonsterDeath},
};

std::string AttackersXml() {
    std::ostringstream xml;
    xml << kHeader << "<attackers>\n";
    for (const Attacker& a : kAttackers) {
        xml << "  <attacker" << Attr("id", a.id) << Attr("type", a.type) << Attr("flags", "") << Attr("mesh", a.mesh)
            << Attr("attackanimation", a.attackanimation) << ">\n";
        xml << "    <stats" << Attr("hp", a.hp) << Attr("speed", a.speed) << Attr("viewrange", a.viewrange) << "/>\n";
        xml << "    <exstats" << Attr("gold", a.gold) << "/>\n";
        xml << "    <weapon" << Attr("id", a.weapon) << "/>\n";
        xml << "    <animation" << Attr("name", a.animation) << "/>\n";
        xml << "    <sounds" << Attr("list", a.sounds) << "/>\n";
        xml << "  </attacker>\n";
    }
    xml << "</attackers>\n";
    return xml.str();
}

struct Defender {
    const char* id;
    const char* translate;
    const char* type;
    const char* flags;
    const char* mesh;
    const char* attackanimation;
    // purchase, sell % alive, sell % dead, teleport, heal %, resurrect %, hide
    int prices[7];
    int hp, speed, viewrange;
    int moverange, timeautoresurect, healspotval;
    int weapon;
    const char* animation;
    int hpLevels[4], hpPrices[4];
    int weaponLevels[4], weaponPrices[4];  // 0: level not offered
};

const std::string kDefenderDeaths = Join({snd::kDeath1, snd::kDeath2, snd::kDeath3});

// clang-format off
const Defender kDefenders[] = {
    //                                                          purchase, sell % alive, sell % dead, teleport,
    //                                                          heal %, resurrect %, hide
    {gd::kSwordman, "UnitSwordsman", "Fighter", "", cm::kDefenders[0].mesh, "strike_1;strike_2",
     {100, 60, 30, 30, 40, 50, 20},
     /* hp, speed, view */ 220, 10, 5, /* guard, rises, heal spot */ 4, 40, 5, 100, cm::kDefenders[0].clips,
     {280, 350, 430, 520}, {60, 90, 130, 180}, {101, 102, 103, 104}, {70, 110, 160, 220}},
    {gd::kArcher, "UnitArcher", "Fighter", "", cm::kDefenders[1].mesh, "bow_shoot",
     {120, 60, 30, 30, 40, 50, 20},
     130, 10, 6, 0, 40, 5, 110, cm::kDefenders[1].clips,
     {160, 200, 250, 310}, {50, 80, 120, 170}, {111, 112, 113, 114}, {80, 120, 170, 230}},
    {gd::kPriest, "UnitPriest", "Fighter", "", cm::kDefenders[2].mesh, "castsmall",
     {140, 60, 30, 30, 40, 50, 20},
     120, 9, 5, 0, 45, 8, 120, cm::kDefenders[2].clips,
     {150, 185, 225, 270}, {50, 80, 120, 170}, {121, 122, 123, 124}, {90, 130, 180, 240}},
    {gd::kNecromancer, "UnitNecromancer", "Fighter", "NoWeaponUpgrading", cm::kDefenders[3].mesh, "castsmall;castbig",
     {160, 60, 30, 30, 40, 50, 25},
     140, 9, 6, 0, 30, 5, 130, cm::kDefenders[3].clips,
     {175, 215, 260, 310}, {60, 90, 130, 180}, {0, 0, 0, 0}, {0, 0, 0, 0}},
    {gd::kHeavyWarrior, "UnitHeavyWarrior", "Fighter", "", cm::kDefenders[4].mesh, "strike_1;strike_2",
     {220, 60, 30, 40, 40, 50, 30},
     450, 8, 5, 4, 50, 5, 140, cm::kDefenders[4].clips,
     {560, 680, 820, 980}, {100, 150, 210, 280}, {141, 142, 143, 144}, {120, 170, 230, 300}},
    {gd::kMage, "UnitMage", "Fighter", "", cm::kDefenders[5].mesh, "castsmall;castbig",
     {260, 60, 30, 40, 40, 50, 30},
     110, 9, 6, 0, 50, 5, 150, cm::kDefenders[5].clips,
     {135, 165, 200, 240}, {60, 90, 130, 180}, {151, 152, 153, 154}, {140, 200, 270, 350}},
    // The keeper: passive, not healed for gold (hit-point upgrades restore it), never
    // rises again; its two weapon levels raise the spells to levels 2 and 3.
    {gd::kKeeper, "UnitKeeper", "DungeonKeeper", "DummyBrain NoHealing", cm::kKeeper.mesh, "castsmall",
     {0, 0, 0, 0, 0, 0, 0},
     900, 5, 4, 0, 0, 3, 930, cm::kKeeper.clips,
     {1100, 1300, 1500, 1700}, {150, 220, 300, 400}, {931, 932, 0, 0}, {200, 320, 0, 0}},
};
// clang-format on

void WriteLevels(std::ostringstream& xml, const char* element, const int (&levels)[4]) {
    xml << "        <" << element << Attr("level1", levels[0]) << Attr("level2", levels[1]) << Attr("level3", levels[2])
        << Attr("level4", levels[3]) << "/>\n";
}

std::string DefendersXml() {
    std::ostringstream xml;
    xml << kHeader << "<defenders>\n";
    for (const Defender& d : kDefenders) {
        xml << "  <defender" << Attr("id", d.id) << Attr("translate", d.translate) << Attr("type", d.type)
            << Attr("flags", d.flags) << Attr("mesh", d.mesh) << Attr("attackanimation", d.attackanimation) << ">\n";
        // By position: purchase, sell % alive, sell % dead, teleport, heal %, resurrect %, hide.
        xml << "    <prices" << Attr("buy", d.prices[0]) << Attr("sellalive", d.prices[1])
            << Attr("selldead", d.prices[2]) << Attr("teleport", d.prices[3]) << Attr("heal", d.prices[4])
            << Attr("resurrect", d.prices[5]) << Attr("hide", d.prices[6]) << "/>\n";
        xml << "    <stats" << Attr("hp", d.hp) << Attr("speed", d.speed) << Attr("viewrange", d.viewrange) << "/>\n";
        xml << "    <exstats" << Attr("moverange", d.moverange) << Attr("timeautoresurect", d.timeautoresurect)
            << Attr("healspotval", d.healspotval) << Attr("visible", "true") << "/>\n";
        // Before <upgrades>: inside it a <weapon> is read as upgrade values.
        xml << "    <weapon" << Attr("id", d.weapon) << "/>\n";
        xml << "    <animation" << Attr("name", d.animation) << "/>\n";
        xml << "    <sounds" << Attr("list", kDefenderDeaths) << "/>\n";
        xml << "    <upgrades>\n";
        xml << "      <upgrade" << Attr("number", 1) << ">\n";
        WriteLevels(xml, "hp", d.hpLevels);
        WriteLevels(xml, "price", d.hpPrices);
        xml << "      </upgrade>\n";
        xml << "      <upgrade" << Attr("number", 2) << ">\n";
        WriteLevels(xml, "weapon", d.weaponLevels);
        WriteLevels(xml, "price", d.weaponPrices);
        xml << "      </upgrade>\n";
        xml << "    </upgrades>\n";
        xml << "  </defender>\n";
    }
    xml << "</defenders>\n";
    return xml.str();
}

// ---------------------------------------------------------------------------------------
// Waves

struct Warrior {
    const char* name;
    int time, count, spawnpoint, gold;  // gold: sent only when the player holds that much
};

struct Wave {
    int id;
    std::vector<Warrior> warriors;
};

const int kWest = gd::kEntryWest;
const int kEast = gd::kEntryEast;

// clang-format off
const Wave kWaves[] = {
    {1, {{gd::kOrcWarrior, 0, 3, kWest, 0}, {gd::kOrcWarrior, 8, 2, kEast, 0}, {gd::kOrcArcher, 15, 2, kWest, 0}}},
    {2, {{gd::kOrcWarrior, 0, 3, kWest, 0}, {gd::kOrcArcher, 6, 2, kEast, 0}, {gd::kOrcWarrior, 12, 3, kEast, 0},
         {gd::kOrcShaman, 18, 1, kWest, 0}}},
    {3, {{gd::kOrcWarrior, 0, 4, kWest, 0}, {gd::kOrcShaman, 5, 1, kEast, 0}, {gd::kOrcArcher, 10, 3, kWest, 0},
         {gd::kOrcWarrior, 16, 3, kEast, 0}, {gd::kOrcWarrior, 22, 3, kWest, 500}}},
    {4, {{gd::kOrcWarrior, 0, 5, kEast, 0}, {gd::kOrcArcher, 6, 3, kWest, 0}, {gd::kOrcShaman, 12, 2, kEast, 0},
         {gd::kOrcWarrior, 18, 4, kWest, 0}, {gd::kOrcShaman, 24, 3, kWest, 600}}},
    {5, {{gd::kOrcWarrior, 0, 4, kWest, 0}, {gd::kOrcArcher, 5, 2, kEast, 0}, {gd::kOrcShaman, 10, 2, kWest, 0},
         {gd::kOrcWarlord, 18, 1, kEast, 0}, {gd::kOrcWarrior, 24, 3, kEast, 0}, {gd::kOrcArcher, 26, 4, kWest, 800}}},
};
// clang-format on
static_assert(std::size(kWaves) == std::size(gd::kWaveIds), "one wave per id of the map");

std::string WavesXml() {
    std::ostringstream xml;
    xml << kHeader << "<waves>\n";
    for (const Wave& wave : kWaves) {
        xml << "  <wave" << Attr("id", wave.id) << ">\n";
        // By position: attacker, time, count, spawn point, gold threshold.
        for (const Warrior& w : wave.warriors)
            xml << "    <warrior" << Attr("name", w.name) << Attr("time", w.time) << Attr("count", w.count)
                << Attr("spawnpoint", w.spawnpoint) << Attr("gold", w.gold) << "/>\n";
        xml << "  </wave>\n";
    }
    xml << "</waves>\n";
    return xml.str();
}

// ---------------------------------------------------------------------------------------
// The map and its view

struct Availability {
    const char* defender;
    int wave;  // the wave number (from 1) from which it can be bought
};
// The keeper comes first: the first keeper-type entry is the map's keeper.
const Availability kAvailability[] = {
    {gd::kKeeper, 0},      {gd::kSwordman, 1},     {gd::kArcher, 1}, {gd::kPriest, 2},
    {gd::kNecromancer, 3}, {gd::kHeavyWarrior, 3}, {gd::kMage, 4},
};

struct MapWave {
    int id, gold, bonus, survival;
};
const MapWave kMapWaves[] = {
    {1, 150, 10, 5}, {2, 200, 10, 5}, {3, 250, 10, 5}, {4, 300, 10, 5}, {5, 300, 0, 0},
};
static_assert(std::size(kMapWaves) == std::size(gd::kWaveIds), "one map wave per wave");

const int kStartingGold = 350;

void WriteColor(std::ostringstream& xml, const char* element, int r, int g, int b) {
    xml << "      <" << element << Attr("r", r) << Attr("g", g) << Attr("b", b) << Attr("a", 255) << "/>\n";
}

std::string MapXml() {
    std::ostringstream xml;
    xml << kHeader << "<maps>\n";
    xml << "  <map" << Attr("name", gd::kMapName) << ">\n";
    xml << "    <files" << Attr("mesh", cm::kMapMesh) << Attr("meshA", "") << Attr("data", gd::kLevelFileAsNamed)
        << Attr("view", gd::kViewFileAsNamed) << Attr("music", snd::kMapMusic) << "/>\n";
    xml << "    <stats" << Attr("gold", kStartingGold) << Attr("text", "MapHarrowmere") << "/>\n";
    for (const Availability& a : kAvailability)
        xml << "    <availability" << Attr("defender", a.defender) << Attr("wave", a.wave) << "/>\n";
    // In level cells (the level places them at 500 grid units a cell): each at its cell's centre.
    for (const cl::Effect& e : cl::kMapEffects)
        xml << "    <particle" << Attr("name", e.name) << Attr("x", Num(e.cell.column + 0.5))
            << Attr("y", Num(e.cell.row + 0.5)) << Attr("z", Num(e.height)) << "/>\n";
    for (const MapWave& w : kMapWaves)
        xml << "    <wave" << Attr("id", w.id) << Attr("gold", w.gold) << Attr("bonus", w.bonus)
            << Attr("survival", w.survival) << "/>\n";
    // A late-afternoon sun from the south-west.
    xml << "    <sun>\n";
    WriteColor(xml, "ambient", 92, 90, 104);
    WriteColor(xml, "diffuse", 255, 236, 206);
    WriteColor(xml, "specular", 90, 86, 80);
    xml << "      <direction" << Attr("x", Num(-0.4)) << Attr("y", Num(0.5)) << Attr("z", Num(-0.77)) << "/>\n";
    xml << "      <lmfactors" << Attr("lightmap", Num(cm::kMapLightMapFactors[0]))
        << Attr("dynamic", Num(cm::kMapLightMapFactors[1])) << "/>\n";
    xml << "    </sun>\n";
    xml << "  </map>\n";
    xml << "</maps>\n";
    return xml.str();
}

// The camera stands beyond the south gate and looks north over the field at the keep.
// Framed for a field 240 world units deep and scaled to the map's depth D: eye at
// y -D/6, height 0.75 D, aimed at the ground point y 0.46 D, 45 degrees of vertical
// field. The six corners bound the eye: x within a twelfth of the width from either
// side (pan), height between 1.25 and 3.5 times (y + D/2) (the zoom floor and ceiling
// along the view line), y at least -D/2, and y + height at most 1.375 D.
std::string ViewXml() {
    const double width = cm::kMapWidth;
    const double s = cm::kMapDepth / 240.0;
    const int x0 = static_cast<int>(width / 12);
    const int x1 = static_cast<int>(width - width / 12);
    struct Point {
        double x, y, z;
    };
    const Point points[6] = {
        {0, -120, 0}, {1, -120, 0}, {0, -20, 350}, {0, 80, 250}, {1, -20, 350}, {1, 80, 250},
    };
    std::ostringstream xml;
    xml << kHeader << "<view>\n";
    // Rotation x, y, z, translation x, y, z, then three numbers the game does not use.
    xml << "  <transformation" << Attr("rx", cm::kViewRotationX) << Attr("ry", cm::kViewRotationY)
        << Attr("rz", cm::kViewRotationZ) << Attr("tx", cm::kViewTranslation[0]) << Attr("ty", cm::kViewTranslation[1])
        << Attr("tz", cm::kViewTranslation[2]) << Attr("sx", 0) << Attr("sy", 0) << Attr("sz", 0) << "/>\n";
    xml << "  <camera" << Attr("fov", Num(45.0)) << Attr("eyey", Num(-40.0 * s)) << Attr("eyez", Num(180.0 * s))
        << Attr("targety", Num(110.0 * s)) << "/>\n";
    // The corners are read as integers.
    for (const Point& p : points)
        xml << "  <point" << Attr("x", p.x == 0 ? x0 : x1) << Attr("y", static_cast<int>(p.y * s))
            << Attr("z", static_cast<int>(p.z * s)) << "/>\n";
    // Pick rectangles on the screen, in pixels at the starting zoom.
    xml << "  <pickarea" << Attr("name", "spawnpoints") << Attr("width", 70) << Attr("height", 70) << "/>\n";
    xml << "  <pickarea" << Attr("name", "units") << Attr("width", 60) << Attr("height", 90) << "/>\n";
    xml << "  <pickarea" << Attr("name", "deadunits") << Attr("width", 70) << Attr("height", 40) << "/>\n";
    xml << "</view>\n";
    return xml.str();
}

}  // namespace

DATABUILDER_WRITER(gamedata, 10) {
    out.WriteText(cfg::kWeapons.Path() + gd::kWeaponsFile, WeaponsXml());
    out.WriteText(cfg::kAttackers.Path() + gd::kAttackersFile, AttackersXml());
    out.WriteText(cfg::kDefenders.Path() + gd::kDefendersFile, DefendersXml());
    out.WriteText(cfg::kWaves.Path() + gd::kWavesFile, WavesXml());
    out.WriteText(cfg::kMaps.Path() + gd::kMapFile, MapXml());
    out.WriteText(cfg::kMapViews.Path() + gd::kViewFile, ViewXml());
}
