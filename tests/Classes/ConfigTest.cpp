#include "Classes/Dictionary/Config/Config.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Core/Assert.h"
#include "support/ScratchFolder.h"

namespace {

struct Failed {
    std::string condition, message;
};
std::vector<Failed> g_failed;

void Record(const char* condition, const char* message, const char*, int) { g_failed.push_back({condition, message}); }

// Reads a document written to a scratch file, recording failed assertions.
class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_failed.clear();
        previous_ = SetAssertionHandler(&Record);
    }
    void TearDown() override { SetAssertionHandler(previous_); }

    bool Read(const std::string& body) {
        return config.Read(tmp.Write("config.xml", "<config>\n" + body + "</config>\n").c_str());
    }

    ScratchFolder tmp;
    Config config;

private:
    AssertionHandler previous_ = nullptr;
};

const char kRoots[] = "<resource-pc p=\"Res/\"/><resource-common p=\"Common/\"/>\n";

}  // namespace

TEST_F(ConfigTest, FolderJoinedToItsRootByTheFlag) {
    struct Case {
        const char* element;
        const char* flag;
        std::string Config::PathSet::*member;
        const char* expected;
    } cases[] = {
        {"textures", "1", &Config::PathSet::TexturesPath, "Res/Textures/"},
        {"textures", "0", &Config::PathSet::TexturesPath, "Textures/"},
        {"ui", "1", &Config::PathSet::UiPath, "Res/Textures/"},
        {"uitexture", "2.5", &Config::PathSet::UiTexturePath, "Res/Textures/"},  // any non-zero number
        {"videos", "0.9", &Config::PathSet::VideosPath, "Textures/"},            // truncated to 0
        {"fonts", "1", &Config::PathSet::FontsPath, "Res/Textures/"},
        {"meshes", "1", &Config::PathSet::MeshesPath, "Res/Textures/"},
        {"mapviews", "1", &Config::PathSet::MapViewsPath, "Res/Textures/"},
        {"language", "1", &Config::PathSet::LanguagePath, "Common/Textures/"},  // common root
        {"logic", "1", &Config::PathSet::LogicPath, "Common/Textures/"},
        {"sounds", "1", &Config::PathSet::SoundsPath, "Common/Textures/"},
        {"maps", "1", &Config::PathSet::MapsPath, "Common/Textures/"},
        {"waves", "1", &Config::PathSet::WavesPath, "Common/Textures/"},
        {"defenders", "1", &Config::PathSet::DefendersPath, "Common/Textures/"},
        {"attackers", "1", &Config::PathSet::AttackersPath, "Common/Textures/"},
        {"weapons", "1", &Config::PathSet::WeaponsPath, "Common/Textures/"},
        {"anims", "1", &Config::PathSet::AnimsPath, "Common/Textures/"},
        {"particles", "1", &Config::PathSet::ParticlesPath, "Common/Textures/"},
        {"Textures", "1", &Config::PathSet::TexturesPath, ""},  // names are case-sensitive
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.element) + " " + c.flag);
        config = Config();
        // The first attribute is the flag and the second the text, whatever their names.
        ASSERT_TRUE(Read(std::string(kRoots) + "<" + c.element + " any=\"" + c.flag + "\" other=\"Textures/\"/>\n"));
        EXPECT_EQ(c.expected, config.Paths.*c.member);
    }
    EXPECT_TRUE(g_failed.empty());
}

TEST_F(ConfigTest, RootsByFirstAttributeAndLaterValuesWin) {
    ASSERT_TRUE(
        Read("<resource-iphone a=\"I/\"/><resource-iphone4 x=\"I4/\"/><resource-ipad y=\"P/\" z=\"no\"/>"
             "<resource-pc q=\"Old/\"/><resource-mac m=\"M/\"/><resource-common c=\"C/\"/>"
             "<textures f=\"1\" t=\"T/\"/><resource-pc q=\"New/\"/><fonts f=\"1\" t=\"F/\"/>"
             "<resource-common/>"));
    const Config::PathSet& p = config.Paths;
    EXPECT_EQ("I/", p.ResourcesIphonePath);
    EXPECT_EQ("I4/", p.ResourcesIphone4Path);
    EXPECT_EQ("P/", p.ResourcesIpadPath);
    EXPECT_EQ("New/", p.ResourcesPcPath);
    EXPECT_EQ("M/", p.ResourcesMacPath);
    EXPECT_EQ("", p.ResourcesCommonPath);  // a root element without attributes empties it
    EXPECT_EQ("Old/T/", p.TexturesPath);   // a folder takes the root as it stood then
    EXPECT_EQ("New/F/", p.FontsPath);
}

TEST_F(ConfigTest, FolderBeforeItsRootFailsTheAssertion) {
    // "language" needs the graphics root although it is joined to the common one.
    ASSERT_TRUE(
        Read("<resource-common c=\"Common/\"/><language f=\"1\" t=\"lang/\"/><logic f=\"1\" t=\"L/\"/>"
             "<resource-pc p=\"Res/\"/>"));
    ASSERT_EQ(1u, g_failed.size());
    EXPECT_NE(std::string::npos, g_failed[0].condition.find("graphics_resources_path"));
    EXPECT_EQ("IPHONE OR IPAD RESOURCES PATH EMPTY OR DOESNT EXISTS", g_failed[0].message);
    EXPECT_EQ("Common/lang/", config.Paths.LanguagePath);
    EXPECT_EQ("Common/L/", config.Paths.LogicPath);

    g_failed.clear();
    config = Config();
    // Without the common root: the assertion names it; stored joined to the empty root.
    ASSERT_TRUE(Read("<resource-pc p=\"Res/\"/><sounds f=\"1\" t=\"S/\"/><ui f=\"1\" t=\"U/\"/>"));
    ASSERT_EQ(1u, g_failed.size());
    EXPECT_NE(std::string::npos, g_failed[0].condition.find("Paths.ResourcesCommonPath"));
    EXPECT_EQ("S/", config.Paths.SoundsPath);
    EXPECT_EQ("Res/U/", config.Paths.UiPath);
}

TEST_F(ConfigTest, MapsSpellsColoursSpawnPointsAndEndpoints) {
    ASSERT_TRUE(
        Read("<list><map name=\"Harrowmere\"/><map n=\"Second\"/></list>"
             "<attack type=\"firestorm\" weapon=\"10\" price=\"100\" cooldown=\"30\"/>"
             "<attack cooldown=\"5.9\" price=\"-3.9\" weapon=\"11\" type=\"firestorm\"/>"
             "<attack type=\"firestorm\" weapon=\"12\" price=\"300\"/>"
             "<attack type=\"slowdown\" weapon=\"1\" price=\"2\" cooldown=\"3\"/>"
             "<attack type=\"lightning\" weapon=\"7\" price=\"8\" cooldown=\"9\"/>"
             "<attack type=\"Firestorm\" weapon=\"99\"/><attack weapon=\"98\"/>"
             "<color name=\"Red\" r=\"300\" g=\"-1\" b=\"12.8\"/><color a=\"5\" name=\"x\"/><color/>"
             "<spawnpointtype t=\"1\" v=\"20\"/><spawnpointtype t=\"1\" v=\"30\"/><spawnpointtype/>"
             "<submission a=\"http://127.0.0.1/s\" b=\"key\" c=\"ignored\"/>"
             "<website x=\"X\" y=\"Y\" z=\"Z\"/><bannersite u=\"1\" v=\"2\" w=\"http://127.0.0.1/b\"/>"
             "<interface a=\"\" b=\"\" c=\"hud.dds\"/>"));
    EXPECT_EQ((std::vector<std::string>{"Harrowmere", "Second"}), config.Maps);

    ASSERT_EQ(3u, config.Spells[Config::kFirestorm].size());  // file order; other types dropped
    const SpellDefinition& level1 = config.Spells[Config::kFirestorm][1];
    EXPECT_EQ(11, level1.weapon);
    EXPECT_EQ(-3, level1.price);  // truncated toward zero
    EXPECT_EQ(5, level1.cooldown);
    EXPECT_EQ(0, config.Spells[Config::kFirestorm][2].cooldown);
    ASSERT_EQ(1u, config.Spells[Config::kSlowdown].size());
    EXPECT_EQ(3, config.Spells[Config::kSlowdown][0].cooldown);
    ASSERT_EQ(1u, config.Spells[Config::kLightning].size());
    EXPECT_EQ(7, config.Spells[Config::kLightning][0].weapon);

    ASSERT_EQ(3u, config.Colors.size());
    EXPECT_EQ("Red", config.Colors[0].name);
    EXPECT_EQ(Color(44, 255, 12, 0), config.Colors[0].color);  // low bytes; no "a" is transparent
    EXPECT_EQ(Color(0, 0, 0, 5), config.Colors[1].color);
    EXPECT_EQ("", config.Colors[2].name);

    ASSERT_EQ(3u, config.SpawnPointTypes.size());
    EXPECT_EQ(30, config.SpawnPointTypes[1].value);
    EXPECT_EQ(0, config.SpawnPointTypes[2].type);

    EXPECT_EQ("http://127.0.0.1/s", config.Submission[0]);
    EXPECT_EQ("key", config.Submission[1]);
    // The third attribute comes first, then the first and the second.
    EXPECT_EQ("Z", config.Website.first);
    EXPECT_EQ("X", config.Website.second);
    EXPECT_EQ("Y", config.Website.third);
    EXPECT_EQ("http://127.0.0.1/b", config.BannerSite.first);
    EXPECT_EQ("hud.dds", config.Interface.first);
    EXPECT_TRUE(g_failed.empty());
}

TEST_F(ConfigTest, MissingEmptyOrMalformedFilesAreReported) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(config.Read((tmp / "absent.xml").c_str()));
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("file not found"));
    EXPECT_TRUE(config.Paths.TexturesPath.empty());

    testing::internal::CaptureStderr();
    EXPECT_FALSE(config.Read(tmp.Write("empty.xml", "").c_str()));
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("no elements"));

    // A damaged document is refused as a missing one: nothing of it is kept, and
    // the reader's line names the file and the line of the fault.
    struct Damaged {
        const char* text;
        const char* where;
    } damaged[] = {
        {"<config><resource-pc p=\"Res/\"/><textures f=\"1\" t=\"T/\"/>\n<maplist><map name=\"A\"/>", "line 2"},
        {"<a b>", "line 1"},
        {"<config>\n<resource-pc p=\"Res/\"/><!-- x", "line 2"},
        {"<!x>", "line 1"},
        {"< ", "line 1"},
    };
    for (const Damaged& d : damaged) {
        Config fresh;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(fresh.Read(tmp.Write("cut.xml", d.text).c_str())) << d.text;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(std::string::npos, said.find(std::string("cut.xml: ") + d.where)) << said;
        EXPECT_TRUE(fresh.Paths.ResourcesPcPath.empty()) << d.text;
        EXPECT_TRUE(fresh.Maps.empty()) << d.text;
    }
    EXPECT_EQ(std::size(damaged), g_failed.size()) << "each refusal fails the open check";
    g_failed.clear();
    EXPECT_TRUE(g_failed.empty());
}
