#include "Classes/Dictionary/GameDictionary/GameDictionary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/DictionaryXml.h"
#include "Core/Assert.h"
#include "support/AssertionRecorder.h"
#include "support/ScratchFolder.h"

namespace {

// Game-data files written into a scratch folder with one sub-folder per kind, and a
// Config naming them.
class GameDictionaryTest : public ::testing::Test {
protected:
    void SetUp() override {
        Config::PathSet& p = config.Paths;
        p.WavesPath = tmp / "waves/";
        p.MapsPath = tmp / "maps/";
        p.WeaponsPath = tmp / "weapons/";
        p.AttackersPath = tmp / "attackers/";
        p.DefendersPath = tmp / "defenders/";
        p.MapViewsPath = tmp / "mapviews/";
    }

    std::string Write(const std::string& name, const std::string& body) { return tmp.Write(name, body); }

    bool SkippedMentions(const std::string& text) const {
        for (const std::string& line : dictionary.GetSkipped())
            if (line.find(text) != std::string::npos) return true;
        return false;
    }

    AssertionRecorder assertions_;
    ScratchFolder tmp;
    Config config;
    GameDictionary dictionary;
};

std::string Weapon(int id, const char* kind = "DAMAGE", const char* extra = "") {
    return "<weapon id=\"" + std::to_string(id) + "\" kind=\"" + kind + "\" class=\"CLOSE\">" + extra + "</weapon>\n";
}

const char kDefenderStart[] =
    "<defender id=\"D\" type=\"Fighter\" flags=\"\" mesh=\"d.pod\" attackanimation=\"strike_1\">\n";

}  // namespace

// ---- folder scan ----------------------------------------------------------------------

TEST_F(GameDictionaryTest, ScanReadsEveryNameContainingXmlInListOrder) {
    Write("weapons/a.xml", Weapon(1) + Weapon(3, "HEAL"));
    Write("weapons/b.xml.bak", Weapon(2) + Weapon(3, "SLOWDOWN"));  // 3 repeats: dropped
    Write("weapons/c.XML", Weapon(4));                              // upper-case ending: not read
    Write("weapons/notes.txt", Weapon(5));

    EXPECT_TRUE(dictionary.Load(config));
    EXPECT_NE(nullptr, dictionary.FindWeapon(1));
    EXPECT_NE(nullptr, dictionary.FindWeapon(2));
    EXPECT_EQ(nullptr, dictionary.FindWeapon(4));
    EXPECT_EQ(nullptr, dictionary.FindWeapon(5));
    ASSERT_NE(nullptr, dictionary.FindWeapon(3));
    EXPECT_EQ(kWeaponHeal, dictionary.FindWeapon(3)->kind);
    EXPECT_TRUE(SkippedMentions("notes.txt"));
    EXPECT_TRUE(SkippedMentions("\"attackers\""));  // the empty folders are reported
    EXPECT_TRUE(assertions_.Messages().empty());
}

TEST_F(GameDictionaryTest, ScanStopsAtTheFirstFileThatCannotBeOpened) {
    Write("weapons/a.xml", Weapon(1));
    Write("attackers/a.xml",
          "<attacker id=\"A\" type=\"Fighter\" flags=\"\" mesh=\"a.pod\" attackanimation=\"x\"></attacker>");
    // Without its separator every path is the folder glued to the name.
    config.Paths.WeaponsPath = tmp / "weapons";

    EXPECT_FALSE(dictionary.Load(config));
    ASSERT_EQ(1u, assertions_.Messages().size());
    EXPECT_STREQ("Could not open file for reading", assertions_.Messages()[0].c_str());
    EXPECT_TRUE(dictionary.GetWeapons().empty());
    EXPECT_TRUE(dictionary.GetAttackers().empty());  // never reached
}

TEST_F(GameDictionaryTest, ReadersReturnFalseForAMissingOrDamagedFile) {
    const std::string empty = Write("weapons/empty.xml", "");
    GameDictionary::WeaponTable weapons;
    GameDictionary::WaveTable waves;
    GameDictionary::MapTable maps;
    EXPECT_TRUE(dictionary.ReadWaves(empty, waves));
    EXPECT_TRUE(dictionary.ReadMaps(empty, maps, config));

    // A damaged file is refused as a missing one, with a note naming it; the
    // reader's own line on the standard error names the line of the fault.
    const struct {
        const char* name;
        std::string text;
    } damaged[] = {
        {"junk.xml", std::string("\x89PNG\r\n\x1a\n\0\0\xff\xfe<", 12)},
        // Byte-order marks would make the parser convert the text: 8-bit files only.
        {"utf16.xml", std::string("\xff\xfe<\0w\0>\0\0", 9)},
        {"utf32.xml", std::string("\xff\xfe\0\0<\0\0", 7)},
        {"cut.xml", "<weapons><weapon id=\"1\" kind=\"DAM"},
        {"attribute.xml", "<weapons><weapon id></weapons>"},
        {"comment.xml", "<weapons>\n<!-- x"},
        {"bang.xml", "<!x>"},
        {"lone.xml", "< "},
    };
    for (const auto& d : damaged) {
        const std::string path = Write(std::string("weapons/") + d.name, d.text);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(dictionary.ReadWeapons(path, weapons)) << d.name;
        EXPECT_FALSE(dictionary.ReadWaves(path, waves)) << d.name;
        EXPECT_FALSE(dictionary.ReadMaps(path, maps, config)) << d.name;
        EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find(std::string(d.name) + ": line "));
        EXPECT_TRUE(SkippedMentions(std::string(d.name) + ": could not be read")) << d.name;
    }
    EXPECT_TRUE(weapons.empty() && waves.empty() && maps.empty());
    EXPECT_TRUE(assertions_.Messages().empty());

    EXPECT_FALSE(dictionary.ReadWeapons(tmp / "weapons/missing.xml", weapons));
    EXPECT_EQ(1u, assertions_.Messages().size());
}

// ---- shared reading rules -------------------------------------------------------------

TEST_F(GameDictionaryTest, WorkingRecordCarriesOverAndTheFirstKeyWins) {
    const std::string path = Write("w.xml",
                                   "<weapons>"
                                   "<weapon id=\"1\" kind=\"SLOWDOWN\" class=\"DISTANT\">"
                                   "  <stats hitrate=\"7\" range=\"3.8\" value=\"-3.5\" time=\"4\"/>"
                                   "  <meshes righthand=\"r\" lefthand=\"l\" missile=\"m\"/>"
                                   "  <sounds a=\"s1;s2;\" b=\"x;;y\" c=\"\"/>"
                                   "</weapon>"
                                   "<weapon id=\"2\" kind=\"heal\" class=\"CLOSE\"></weapon>"  // lower case: kind stays
                                   "<weapon id=\"1\" kind=\"HEAL\" class=\"MISSILE\">"
                                   "  <stats hitrate=\"99\"/></weapon>"
                                   "<weapon id=\"3\"><stats/></weapon>"
                                   "<weapon id=\"4\"/>"  // never ends
                                   "</weapons>");
    GameDictionary::WeaponTable table;
    ASSERT_TRUE(dictionary.ReadWeapons(path, table));

    ASSERT_EQ(3u, table.size());
    const WeaponDefinition& first = table.at(1);
    EXPECT_EQ(kWeaponSlowdown, first.kind);
    EXPECT_EQ(7, first.hitRate);  // the second id 1 is dropped
    EXPECT_EQ(3, first.range);
    EXPECT_EQ(-3, first.value);
    EXPECT_EQ((std::vector<std::string>{"s1", "s2"}), first.sounds.lists[0]);
    EXPECT_EQ((std::vector<std::string>{"x", "", "y"}), first.sounds.lists[1]);
    EXPECT_TRUE(first.sounds.lists[2].empty());

    const WeaponDefinition& second = table.at(2);
    EXPECT_EQ(kWeaponSlowdown, second.kind);  // carried over
    EXPECT_EQ(kWeaponClose, second.weaponClass);
    EXPECT_EQ(7, second.hitRate);
    EXPECT_EQ("m", second.meshes.third);

    EXPECT_EQ(0, table.at(3).hitRate);  // an empty "stats" reads every number as 0
    EXPECT_TRUE(SkippedMentions("unknown kind \"heal\""));
    EXPECT_TRUE(SkippedMentions("is defined before"));
    EXPECT_TRUE(SkippedMentions("never ends"));
}

TEST_F(GameDictionaryTest, NumbersAreDecimalTextTruncatedToInt32) {
    struct Case {
        const char* text;
        int32_t expected;
        bool noted;
    } cases[] = {
        {"12", 12, false},
        {"12.9", 12, false},
        {"-3.5", -3, false},
        {" 90.0 ", 90, false},
        {"+7", 7, false},
        {"1e3", 1000, false},
        {".5", 0, false},
        {"2147483647", 2147483647, false},
        {"abc", 0, true},
        {"", 0, true},
        {"12abc", 12, true},
        {"0x10", 0, true},
        {"inf", 0, true},
        {"3000000000", std::numeric_limits<int32_t>::max(), true},
        {"-1e300", std::numeric_limits<int32_t>::min(), true},
        {"1e999", std::numeric_limits<int32_t>::max(), true},
        {"1e-999", 0, false},
    };
    for (const Case& c : cases) {
        const std::string path = Write("n.xml", std::string("<w id=\"") + c.text + "\"/>");
        std::vector<std::string> notes;
        DictionaryXml xml(path, notes);
        ASSERT_TRUE(xml.Next());
        EXPECT_EQ(c.expected, xml.Int("id")) << c.text;
        EXPECT_EQ(c.noted, !notes.empty()) << c.text;
        EXPECT_EQ(0, xml.Int("absent"));
    }
}

TEST(SplitListTest, SemicolonLists) {
    const struct {
        const char* text;
        std::vector<std::string> items;
    } cases[] = {
        {"", {}},          {"a", {"a"}},       {"a;b", {"a", "b"}}, {"a;b;", {"a", "b"}}, {"a;;b", {"a", "", "b"}},
        {";a", {"", "a"}}, {"a;;", {"a", ""}},
    };
    for (const auto& c : cases) EXPECT_EQ(c.items, SplitList(c.text)) << '"' << c.text << '"';
}

// ---- units -----------------------------------------------------------------------------

TEST_F(GameDictionaryTest, AttackersReadTheirFieldsAndIgnoreFlags) {
    const std::string path = Write("a.xml",
                                   "<attackers>"
                                   "<attacker id=\"Orc\" type=\"Hero\" flags=\"DummyBrain\" mesh=\"orc.pod\""
                                   " attackanimation=\"strike_1;strike_2\">"
                                   "  <stats hp=\"110\" speed=\"10.7\" viewrange=\"3\"/><exstats gold=\"12\"/>"
                                   "  <weapon id=\"4\"/><animation name=\"orc.xml\"/><sounds list=\"a.wav;b.wav\"/>"
                                   "</attacker>"
                                   "<attacker type=\"Fighter\" flags=\"\" mesh=\"x\" attackanimation=\"\"></attacker>"
                                   "<attacker id=\"Imp\" type=\"Goblin\" flags=\"\" mesh=\"imp.pod\""
                                   " attackanimation=\"\"></attacker>"
                                   "</attackers>");
    GameDictionary::AttackerTable table;
    ASSERT_TRUE(dictionary.ReadAttackers(path, table));

    ASSERT_EQ(2u, table.size());  // the record without id is not inserted
    const AttackerDefinition& orc = table.at("Orc");
    EXPECT_EQ(kUnitHero, orc.type);
    EXPECT_EQ(0, orc.flags);
    EXPECT_EQ("orc.pod", orc.mesh);
    EXPECT_EQ((std::vector<std::string>{"strike_1", "strike_2"}), orc.attackAnimations);
    EXPECT_EQ(110, orc.hp);
    EXPECT_EQ(10, orc.speed);
    EXPECT_EQ(12, orc.gold);
    EXPECT_EQ(4, orc.weapon);
    EXPECT_EQ("orc.xml", orc.animation);
    EXPECT_EQ(2u, orc.sounds.size());

    const AttackerDefinition& imp = table.at("Imp");
    EXPECT_EQ(kUnitFighter, imp.type);  // the unknown type keeps the record's last one
    EXPECT_EQ(110, imp.hp);             // carried over
    EXPECT_TRUE(imp.attackAnimations.empty());
    EXPECT_TRUE(SkippedMentions("unknown type \"Goblin\""));
    EXPECT_TRUE(SkippedMentions("without \"id\""));
}

TEST_F(GameDictionaryTest, DefenderFlagWords) {
    const struct {
        const char* flags;
        int32_t expected;
    } cases[] = {
        {"NoHealing  DummyBrain", kNoHealing | kDummyBrain},
        {"", 0},
        {"Invisible", 0},
        {"nohealing", 0},  // case-sensitive
        {"NoWeaponUpgrading NoWeaponUpgrading", kNoWeaponUpgrading},
        {" DummyBrain ", kDummyBrain},
        {"DummyBrain NoHealing NoWeaponUpgrading", kDummyBrain | kNoHealing | kNoWeaponUpgrading},
    };
    std::string body = "<defenders>";
    for (size_t i = 0; i < std::size(cases); ++i)
        body += "<defender id=\"D" + std::to_string(i) + "\" type=\"Fighter\" flags=\"" + cases[i].flags +
                "\" mesh=\"m\" attackanimation=\"a\"></defender>";
    const std::string path = Write("d.xml", body + "</defenders>");
    GameDictionary::DefenderTable table;
    ASSERT_TRUE(dictionary.ReadDefenders(path, table));
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].expected, table.at("D" + std::to_string(i)).flags) << '"' << cases[i].flags << '"';
}

TEST_F(GameDictionaryTest, DefenderFieldsAndUpgradeMode) {
    const std::string path =
        Write("d.xml",
              std::string("<defenders>") + kDefenderStart +
                  "  <prices a=\"100\" b=\"60\" c=\"30\" d=\"40\" e=\"40\" f=\"50\" g=\"20\"/>"
                  "  <exstats moverange=\"2\" timeautoresurect=\"30\" healspotval=\"5\" visible=\"true\"/>"
                  "  <hp a=\"1\" b=\"2\" c=\"3\" d=\"4\"/>"  // outside upgrade mode: ignored
                  "  <weapon id=\"100\"/>"
                  "  <upgrades>"
                  "    <hp a=\"9\" b=\"9\" c=\"9\" d=\"9\"/>"  // before any upgrade: ignored
                  "    <upgrade n=\"1\"><hp a=\"280\" b=\"350\" c=\"430\" d=\"520\"/>"
                  "      <price a=\"60\" b=\"90\" c=\"130\" d=\"180\"/></upgrade>"
                  "    <upgrade n=\"2\"><weapon a=\"101\" b=\"102\" c=\"103\" d=\"104\"/></upgrade>"
                  "  </upgrades>"
                  "  <price a=\"70\" b=\"110\" c=\"160\" d=\"220\"/>"          // still upgrade mode: entry 2's prices
                  "  <upgrade n=\"3\"/><hp a=\"7\" b=\"7\" c=\"7\" d=\"7\"/>"  // no entry 3: ignored
                  "  <upgrade n=\"0\"/><price a=\"7\" b=\"7\" c=\"7\" d=\"7\"/>"
                  "</defender>"
                  // Upgrades before the defender's own weapon: that weapon is an upgrade row.
                  "<defender id=\"E\" translate=\"UnitE\" type=\"DungeonKeeper\" flags=\"\" mesh=\"e\""
                  " attackanimation=\"a\"><exstats visible=\"True\"/>"
                  "  <upgrades/><upgrade n=\"2\"/><weapon a=\"7\"/></defender>"
                  "</defenders>");
    GameDictionary::DefenderTable table;
    ASSERT_TRUE(dictionary.ReadDefenders(path, table));

    const DefenderDefinition& d = table.at("D");
    EXPECT_EQ("", d.translate);
    EXPECT_EQ(100, d.weapon);
    EXPECT_EQ(30, d.prices[DefenderDefinition::kPriceSellDeadPercent]);
    EXPECT_EQ(20, d.prices[DefenderDefinition::kPriceHide]);
    EXPECT_EQ(2, d.moveRange);
    EXPECT_EQ(30, d.timeAutoResurect);
    EXPECT_EQ(5, d.healSpotVal);
    EXPECT_TRUE(d.visible);
    const UpgradeEntry& hp = d.upgrades[DefenderDefinition::kUpgradeHitPoints];
    const UpgradeEntry& weapon = d.upgrades[DefenderDefinition::kUpgradeWeapon];
    EXPECT_EQ(280, hp.values[0]);
    EXPECT_EQ(520, hp.values[3]);
    EXPECT_EQ(180, hp.prices[3]);
    EXPECT_EQ(101, weapon.values[0]);
    EXPECT_EQ(104, weapon.values[3]);
    EXPECT_EQ(70, weapon.prices[0]);
    EXPECT_EQ(220, weapon.prices[3]);
    EXPECT_TRUE(SkippedMentions("<upgrade> 3 names no upgrade entry"));
    EXPECT_TRUE(SkippedMentions("<upgrade> 0 names no upgrade entry"));
    EXPECT_TRUE(SkippedMentions("<hp> outside <upgrades> ignored"));
    EXPECT_TRUE(SkippedMentions("<hp> before a valid <upgrade> ignored"));

    const DefenderDefinition& e = table.at("E");
    EXPECT_EQ("UnitE", e.translate);
    EXPECT_EQ(kUnitDungeonKeeper, e.type);
    EXPECT_FALSE(e.visible);   // only the exact text "true"
    EXPECT_EQ(100, e.weapon);  // carried over: its own <weapon> was an upgrade row
    EXPECT_EQ(7, e.upgrades[DefenderDefinition::kUpgradeWeapon].values[0]);
    EXPECT_EQ(0, e.upgrades[DefenderDefinition::kUpgradeWeapon].values[1]);
}

// ---- waves and maps ------------------------------------------------------------------

TEST_F(GameDictionaryTest, WavesKeepTheirEntriesInOrder) {
    const std::string path = Write("w.xml",
                                   "<waves><warrior name=\"Lost\" time=\"0\" count=\"1\"/>"
                                   "<wave id=\"1\"><warrior name=\"A\" time=\"0\" count=\"3\" spawn=\"1\" gold=\"0\"/>"
                                   "<warrior name=\"B\" time=\"2.5\" count=\"2\" spawn=\"2\" gold=\"500\"/>"
                                   "<warrior/></wave>"
                                   "<wave id=\"1\"><warrior name=\"C\"/></wave>"
                                   "<wave id=\"2\"></wave></waves>");
    GameDictionary::WaveTable table;
    ASSERT_TRUE(dictionary.ReadWaves(path, table));
    ASSERT_EQ(2u, table.size());
    const std::vector<WaveEntry>& entries = table.at(1).entries;
    ASSERT_EQ(2u, entries.size());  // "Lost" before the wave, the nameless one skipped
    EXPECT_EQ("A", entries[0].name);
    EXPECT_EQ(3, entries[0].count);
    EXPECT_EQ("B", entries[1].name);
    EXPECT_EQ(2, entries[1].time);
    EXPECT_EQ(2, entries[1].spawnPoint);
    EXPECT_EQ(500, entries[1].goldThreshold);
    EXPECT_TRUE(table.at(2).entries.empty());
}

TEST_F(GameDictionaryTest, MapsReadTheirViewAndStartTheirOwnLists) {
    Write("mapviews/view_one.xml",
          "<view><transformation a=\"90.0\" b=\"0\" c=\"0\" d=\"10\" e=\"20\" f=\"30\"/>"
          "<camera a=\"45\" b=\"-40.5\" c=\"180\" d=\"110\"/>"
          "<point x=\"1\" y=\"2\" z=\"3\"/><point x=\"4\" y=\"5\" z=\"6\"/><point x=\"7\" y=\"8\" z=\"9\"/>"
          "<point x=\"10\" y=\"11\" z=\"12\"/><point x=\"13\" y=\"14\" z=\"15\"/><point x=\"16\" y=\"17\" z=\"18.9\"/>"
          "<point x=\"99\" y=\"99\" z=\"99\"/><point x=\"99\" y=\"99\" z=\"99\"/>"
          "<pickarea name=\"units\" w=\"60\" h=\"90\"/><pickarea name=\"units\" w=\"61\" h=\"91\"/>"
          "<pickarea name=\"spawnpoints\" w=\"70\" h=\"70\"/><pickarea name=\"corpses\" w=\"1\" h=\"1\"/>"
          "</view>");
    Write("mapviews/view_two.xml",
          "<view><point x=\"-1\" y=\"-2\" z=\"-3\"/><point x=\"-4\" y=\"-5\" z=\"-6\"/>"
          "<point x=\"-7\" y=\"-8\" z=\"-9\"/></view>");
    Write("mapviews/view_three.xml",
          "<view><point x=\"1\" y=\"1\" z=\"1\"/><point x=\"2\" y=\"2\" z=\"2\"/>"
          "<point x=\"3\" y=\"3\" z=\"3\"/></view>");
    const char kFiles[] = "<files mesh=\"m.pod\" meshA=\"\" data=\"Data_X.xml\" view=\"%s\" music=\"\"/>";
    auto files = [&](const char* view) {
        char text[200];
        std::snprintf(text, sizeof(text), kFiles, view);
        return std::string(text);
    };
    const std::string maps =
        Write("maps/maps.xml", "<maps><map name=\"One\">" + files("View_One.XML") +
                                   "<stats gold=\"350\" text=\"T\"/>"
                                   "<availability defender=\"Keeper\" wave=\"0\"/>"
                                   "<availability defender=\"Mage\" wave=\"4\"/><availability/>"
                                   "<particle name=\"torch.prt\" x=\"1.5\" y=\"2\" z=\"0.25\"/>"
                                   "<wave id=\"1\" gold=\"100\" bonus=\"10\" survival=\"5\"/>"
                                   "<sun><ambient r=\"1\" g=\"2\" b=\"3\" a=\"4\"/><direction x=\"-0.5\" y=\"1\"/>"
                                   "<lmfactors a=\"1\" b=\"0.5\"/></sun></map>"
                                   "<map name=\"Two\">" +
                                   files("view_two.xml") +
                                   "<wave id=\"2\" gold=\"1\" bonus=\"2\" survival=\"3\"/></map>"
                                   "<map name=\"Three\">" +
                                   files("view_three.xml") +
                                   "</map>"
                                   "<map name=\"Four\">" +
                                   files("view_missing.xml") + "</map></maps>");
    GameDictionary::MapTable table;
    ASSERT_TRUE(dictionary.ReadMaps(maps, table, config));
    ASSERT_EQ(4u, table.size());

    const MapDefinition& one = table.at("One");
    EXPECT_EQ("view_one.xml", one.files.view);
    EXPECT_EQ("Data_X.xml", one.files.data);  // the level lower-cases it when it reads it
    EXPECT_EQ(90, one.view.transformation[0]);
    EXPECT_EQ(30, one.view.transformation[5]);
    EXPECT_FLOAT_EQ(-40.5f, one.view.camera[1]);
    ASSERT_EQ(6u, one.view.points.size());
    EXPECT_FLOAT_EQ(1.0f, one.view.points[0].x);
    EXPECT_FLOAT_EQ(18.0f, one.view.points[5].z);  // truncated, then a float
    EXPECT_EQ(61, one.view.pickAreas.at(kPickUnits).width);
    EXPECT_EQ(70, one.view.pickAreas.at(kPickSpawnPoints).height);
    EXPECT_EQ(2u, one.view.pickAreas.size());
    EXPECT_EQ(350, one.stats.gold);
    EXPECT_EQ("T", one.stats.text);
    ASSERT_EQ(2u, one.availability.size());
    EXPECT_EQ("Mage", one.availability[1].defender);
    EXPECT_EQ(4, one.availability[1].value);
    ASSERT_EQ(1u, one.particles.size());
    EXPECT_FLOAT_EQ(0.25f, one.particles[0].position.z);
    ASSERT_EQ(1u, one.waves.size());
    EXPECT_EQ(10, one.waves[0].bonusPercent);
    EXPECT_EQ(4, one.light.ambient[3]);
    EXPECT_FLOAT_EQ(-0.5f, one.light.direction.x);
    EXPECT_FLOAT_EQ(0.0f, one.light.direction.z);
    EXPECT_FLOAT_EQ(0.5f, one.light.lmFactors[1]);

    // Each map starts its own lists; the view's fields carry over like every field.
    const MapDefinition& two = table.at("Two");
    EXPECT_TRUE(two.availability.empty());
    EXPECT_TRUE(two.particles.empty());
    ASSERT_EQ(1u, two.waves.size());
    EXPECT_EQ(2, two.waves[0].id);
    EXPECT_EQ(350, two.stats.gold);
    EXPECT_FLOAT_EQ(-7.0f, two.view.points[2].x);
    EXPECT_FLOAT_EQ(10.0f, two.view.points[3].x);  // the first map's corners 3 to 5 stay
    EXPECT_EQ(90, two.view.transformation[0]);

    // A view file that cannot be opened: the map is inserted with the view it had.
    const MapDefinition& four = table.at("Four");
    EXPECT_FLOAT_EQ(3.0f, four.view.points[2].x);
    ASSERT_EQ(1u, assertions_.Messages().size());
    EXPECT_TRUE(SkippedMentions("view_missing.xml: could not be opened"));
    EXPECT_TRUE(SkippedMentions("beyond the six corners"));
    EXPECT_TRUE(SkippedMentions("unknown name \"corpses\""));
    EXPECT_TRUE(SkippedMentions("<availability> without a defender id"));
}

TEST_F(GameDictionaryTest, TheFirstMapOfAFileFillsMissingCornersWithZero) {
    Write("mapviews/v.xml", "<view><point x=\"1\" y=\"2\" z=\"3\"/><point x=\"1\"/><point x=\"1\"/></view>");
    const std::string maps =
        Write("maps/m.xml", "<map name=\"M\"><files mesh=\"\" meshA=\"\" data=\"\" view=\"v.xml\" music=\"\"/></map>");
    GameDictionary::MapTable table;
    ASSERT_TRUE(dictionary.ReadMaps(maps, table, config));
    const std::vector<Vector3>& points = table.at("M").view.points;
    ASSERT_EQ(6u, points.size());
    for (int i = 3; i < 6; ++i) {
        EXPECT_FLOAT_EQ(0.0f, points[i].x);
        EXPECT_FLOAT_EQ(0.0f, points[i].z);
    }
    EXPECT_FLOAT_EQ(0.0f, points[1].y);  // absent coordinates read 0
}
