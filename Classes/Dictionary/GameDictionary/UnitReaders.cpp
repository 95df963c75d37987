// Weapons, attackers and defenders files.
#include <string>

#include "Classes/Dictionary/GameDictionary/DictionaryTables.h"
#include "Classes/Dictionary/GameDictionary/DictionaryXml.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"

using dictionary::EnumText;
using dictionary::Insert;
using dictionary::LookUp;

namespace {

const EnumText kWeaponKinds[] = {{"DAMAGE", kWeaponDamage}, {"SLOWDOWN", kWeaponSlowdown}, {"HEAL", kWeaponHeal}};
const EnumText kWeaponClasses[] = {{"CLOSE", kWeaponClose}, {"MISSILE", kWeaponMissile}, {"DISTANT", kWeaponDistant}};
const EnumText kUnitTypes[] = {{"Hero", kUnitHero}, {"DungeonKeeper", kUnitDungeonKeeper}, {"Fighter", kUnitFighter}};
const EnumText kDefenderFlagWords[] = {
    {"DummyBrain", kDummyBrain}, {"NoHealing", kNoHealing}, {"NoWeaponUpgrading", kNoWeaponUpgrading}};

// An unknown text keeps the working record's value.
void ReadEnum(DictionaryXml& xml, const std::string& text, const EnumText* begin, const EnumText* end, const char* what,
              int32_t& value) {
    for (const EnumText* entry = begin; entry != end; ++entry) {
        if (text == entry->text) {
            value = entry->value;
            return;
        }
    }
    xml.Note(std::string("<") + xml.Element() + "> unknown " + what + " \"" + text + "\"; the previous value stays");
}

template <size_t N>
void ReadEnum(DictionaryXml& xml, const std::string& text, const EnumText (&table)[N], const char* what,
              int32_t& value) {
    ReadEnum(xml, text, table, table + N, what, value);
}

// Words separated by single spaces; empty words (two spaces in a row) are skipped.
int32_t ReadDefenderFlags(DictionaryXml& xml, const std::string& text) {
    int32_t flags = 0;
    std::string::size_type begin = 0;
    while (begin <= text.size()) {
        std::string::size_type end = text.find(' ', begin);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(begin, end - begin);
        int32_t bit = 0;
        if (!word.empty()) {
            if (LookUp(kDefenderFlagWords, word, bit)) flags |= bit;
            else xml.Note("<defender> unknown flag \"" + word + "\" ignored");
        }
        begin = end + 1;
    }
    return flags;
}

// The attributes both unit kinds read on their start element. False when the id is missing.
bool ReadUnitStart(DictionaryXml& xml, UnitDefinition& unit) {
    const bool keyed = xml.Text("id", unit.id);
    std::string type;
    if (xml.Text("type", type)) ReadEnum(xml, type, kUnitTypes, "type", unit.type);
    xml.Text("mesh", unit.mesh);
    std::string animations;
    xml.Text("attackanimation", animations);
    unit.attackAnimations = SplitList(animations);
    return keyed;
}

// Elements both unit kinds read the same way.
bool ReadUnitCommon(DictionaryXml& xml, UnitDefinition& unit) {
    if (xml.IsStart("stats")) {
        unit.hp = xml.Int("hp");
        unit.speed = xml.Int("speed");
        unit.viewRange = xml.Int("viewrange");
    } else if (xml.IsStart("animation")) {
        xml.Text(0, unit.animation);
    } else if (xml.IsStart("sounds")) {
        std::string sounds;
        xml.Text(0, sounds);
        unit.sounds = SplitList(sounds);
    } else {
        return false;
    }
    return true;
}

void NoteUnkeyed(DictionaryXml& xml, const char* element) {
    xml.Note(std::string("a <") + element + "> record without \"id\" is not inserted");
}

}  // namespace

bool GameDictionary::ReadWeapons(const std::string& path, WeaponTable& table) {
    DictionaryXml xml(path, skipped_);
    if (!xml.IsOpen()) return false;
    RecordTracker record("weapon");
    WeaponDefinition weapon;
    while (xml.Next()) {
        if (xml.IsEnd("weapon")) {
            record.Closed();
            Insert(table, weapon.id, weapon, xml, "weapon");
        } else if (xml.IsStart("weapon")) {
            record.Opened();
            weapon.id = xml.Int(0);
            std::string text;
            if (xml.Text(1, text)) ReadEnum(xml, text, kWeaponKinds, "kind", weapon.kind);
            if (xml.Text(2, text)) ReadEnum(xml, text, kWeaponClasses, "class", weapon.weaponClass);
        } else if (xml.IsStart("stats")) {
            weapon.hitRate = xml.Int("hitrate");
            weapon.range = xml.Int("range");
            weapon.value = xml.Int("value");
            weapon.time = xml.Int("time");
            weapon.speed = xml.Int("speed");
            weapon.explosionRange = xml.Int("explosionrange");
            weapon.explosionPercent = xml.Int("explosionpercent");
        } else if (xml.IsStart("meshes")) {
            xml.Text("righthand", weapon.meshes.first);
            xml.Text("lefthand", weapon.meshes.second);
            xml.Text("missile", weapon.meshes.third);
        } else if (xml.IsStart("particles")) {
            for (int i = 0; i < WeaponParticles::kCount; ++i) xml.Text(i, weapon.particles.names[i]);
        } else if (xml.IsStart("sounds")) {
            for (int i = 0; i < WeaponSounds::kCount; ++i) {
                std::string list;
                xml.Text(i, list);
                weapon.sounds.lists[i] = SplitList(list);
            }
        }
    }
    record.Finish(xml);
    return true;
}

bool GameDictionary::ReadAttackers(const std::string& path, AttackerTable& table) {
    DictionaryXml xml(path, skipped_);
    if (!xml.IsOpen()) return false;
    RecordTracker record("attacker");
    AttackerDefinition attacker;
    bool keyed = false;
    while (xml.Next()) {
        if (xml.IsEnd("attacker")) {
            record.Closed();
            if (keyed) Insert(table, attacker.id, attacker, xml, "attacker");
            else NoteUnkeyed(xml, "attacker");
        } else if (xml.IsStart("attacker")) {
            record.Opened();
            keyed = ReadUnitStart(xml, attacker);
            // Read for its presence only: nothing interprets an attacker's flags.
            std::string flags;
            xml.Text("flags", flags);
        } else if (ReadUnitCommon(xml, attacker)) {
        } else if (xml.IsStart("exstats")) {
            attacker.gold = xml.Int("gold");
        } else if (xml.IsStart("weapon")) {
            attacker.weapon = xml.Int(0);
        }
    }
    record.Finish(xml);
    return true;
}

bool GameDictionary::ReadDefenders(const std::string& path, DefenderTable& table) {
    DictionaryXml xml(path, skipped_);
    if (!xml.IsOpen()) return false;
    RecordTracker record("defender");
    DefenderDefinition defender;
    bool keyed = false;
    // From "upgrades" to the next "defender" start; the selected entry is -1 until an
    // "upgrade" element names entry 1 or 2.
    bool upgradeMode = false;
    int upgrade = -1;
    while (xml.Next()) {
        if (xml.IsEnd("defender")) {
            record.Closed();
            if (keyed) Insert(table, defender.id, defender, xml, "defender");
            else NoteUnkeyed(xml, "defender");
            continue;
        }
        if (xml.IsStart("defender")) {
            record.Opened();
            upgradeMode = false;
            upgrade = -1;
            keyed = ReadUnitStart(xml, defender);
            defender.translate = xml.OptionalText("translate");
            std::string flags;
            xml.Text("flags", flags);
            defender.flags = ReadDefenderFlags(xml, flags);
        } else if (ReadUnitCommon(xml, defender)) {
        } else if (xml.IsStart("prices")) {
            for (int i = 0; i < DefenderDefinition::kPriceCount; ++i) defender.prices[i] = xml.Int(i);
        } else if (xml.IsStart("exstats")) {
            defender.moveRange = xml.Int("moverange");
            defender.timeAutoResurect = xml.Int("timeautoresurect");
            defender.healSpotVal = xml.Int("healspotval");
            std::string visible;
            xml.Text("visible", visible);
            defender.visible = visible == "true";
        } else if (xml.IsStart("upgrades")) {
            upgradeMode = true;
            upgrade = -1;
        } else if (xml.IsStart("upgrade")) {
            // Only entries 1 and 2 exist; another number selects none rather than
            // writing past the two entries.
            const int32_t number = xml.Int(0);
            upgrade = number == 1 || number == 2 ? number - 1 : -1;
            if (upgrade < 0)
                xml.Note("<upgrade> " + std::to_string(number) + " names no upgrade entry (1 or 2); ignored");
        } else if (xml.IsStart("weapon") && !upgradeMode) {
            defender.weapon = xml.Int(0);
        } else if (xml.IsStart("hp") || xml.IsStart("weapon") || xml.IsStart("price")) {
            if (!upgradeMode) {
                xml.Note(std::string("<") + xml.Element() + "> outside <upgrades> ignored");
                continue;
            }
            if (upgrade < 0) {
                xml.Note(std::string("<") + xml.Element() + "> before a valid <upgrade> ignored");
                continue;
            }
            UpgradeEntry& entry = defender.upgrades[upgrade];
            int32_t* target = xml.IsStart("price") ? entry.prices : entry.values;
            for (int i = 0; i < 4; ++i) target[i] = xml.Int(i);
        }
    }
    record.Finish(xml);
    return true;
}
