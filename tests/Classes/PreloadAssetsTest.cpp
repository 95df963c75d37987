// The loading on a loader thread by turns with the main thread: what it loads in which
// order, the progress it publishes, that every way it ends hands the turn back, and
// that a slow banner server neither stops the turns nor holds up a stop.
#include "Classes/Loading/PreloadAssets.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>
#include <chrono>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "Audio/Sound.h"
#include "Audio/SoundStream.h"
#include "Classes/Battle/HudTables.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Classes/Loading/GlobalFonts.h"
#include "Classes/Loading/LoaderHandover.h"
#include "Core/ContentLoader.h"
#include "Core/Language.h"
#include "Core/Service.h"
#include "Graphics/AnimationClips/AnimationClips.h"
#include "Graphics/Model/Model.h"
#include "Graphics/SpriteFont.h"
#include "Graphics/UITextureLoader.h"
#include "LevelFixtures.h"
#include "platform/win32/WinInet.h"
#include "support/TestServer.h"

namespace Morvane {
class GameWindow;
}

namespace {

using levelfixtures::AssertionRecorder;
using levelfixtures::ScratchFolder;

typedef Content::ContentLoader<Graphics::Texture2D> WorldTextureLoader;
typedef Content::ContentLoader<Graphics::Model> ModelLoader;
typedef Content::ContentLoader<Graphics::AnimationClips> ClipLoader;
typedef Content::ContentLoader<Graphics::SpriteFont> FontLoader;
typedef Content::ContentLoader<Audio::Sound> SoundLoader;
typedef Content::ContentLoader<Audio::SoundStream> MusicLoader;

typedef std::vector<std::pair<PreloadCache, std::string>> Requests;
Requests g_requests;
void Record(PreloadCache cache, const std::string& name) { g_requests.emplace_back(cache, name); }

template <class T>
class Registered {
public:
    explicit Registered(T* object) { Service<T>::Register(object); }
    ~Registered() { Unregister(); }
    void Unregister() {
        if (Service<T>::Exists()) Service<T>::Unregister();
    }

private:
    Registered(const Registered&) = delete;
};

// Game data of the test's definitions, every service the loader asks for, and loaders
// that find no files: what matters is what they are asked for and in which order.
class PreloadTest : public ::testing::Test {
protected:
    PreloadTest()
        : world_("no-such-folder/"),
          interface_("no-such-folder/"),
          models_("no-such-folder/"),
          clips_("no-such-folder/"),
          fonts_("no-such-folder/"),
          sounds_("no-such-folder/"),
          music_("no-such-folder/"),
          world_slot_(&world_),
          interface_slot_(&interface_),
          model_slot_(&models_),
          clip_slot_(&clips_),
          font_slot_(&fonts_),
          sound_slot_(&sounds_),
          music_slot_(&music_),
          config_slot_(&config_),
          dictionary_slot_(&dictionary_),
          // The loader only asks whether the in-game window exists.
          window_slot_(reinterpret_cast<Morvane::GameWindow*>(&config_)) {
        const std::string root = folder_.Path() + "/";
        for (const char* sub : {"weapons", "attackers", "defenders", "waves", "maps", "mapviews"})
            std::filesystem::create_directories(root + sub);
        config_.Paths.WeaponsPath = root + "weapons/";
        config_.Paths.AttackersPath = root + "attackers/";
        config_.Paths.DefendersPath = root + "defenders/";
        config_.Paths.WavesPath = root + "waves/";
        config_.Paths.MapsPath = root + "maps/";
        config_.Paths.MapViewsPath = root + "mapviews/";
        config_.Maps.push_back("One");
        LoadingProgress = 0;
        LoadingFinished = 0;
        LoaderThreadHandle = nullptr;
        g_requests.clear();
        SetPreloadObserver(&Record);
    }
    ~PreloadTest() override { SetPreloadObserver(nullptr); }

    // One weapon, and as many attackers and defenders as asked, each with its model,
    // clip table and sound; the map "One" with the given model.
    void WriteData(int attackers, int defenders, const std::string& mapModel = "one.pod") {
        folder_.Write("weapons/weapons.xml",
                      "<weapons><weapon id=\"1\" kind=\"DAMAGE\" class=\"MISSILE\">"
                      "<meshes righthand=\"\" lefthand=\"\" missile=\"arrow.pod\"/>"
                      "<sounds attack=\"w1.wav\" strike=\"w2.wav\" arrive=\"w3.wav\"/></weapon></weapons>");
        folder_.Write("attackers/attackers.xml", Units("attacker", attackers));
        folder_.Write("defenders/defenders.xml", Units("defender", defenders));
        folder_.Write("maps/maps.xml", "<maps><map name=\"One\"><files mesh=\"" + mapModel +
                                           "\" meshA=\"\" data=\"\" music=\"one.ogg\"/></map></maps>");
        dictionary_.Load(config_);
    }

    static std::string Units(const std::string& element, int count) {
        std::string xml = "<" + element + "s>";
        for (int i = 0; i < count; ++i) {
            const std::string id = element.substr(0, 1) + std::to_string(i);
            xml += "<" + element + " id=\"" + id + "\" type=\"Fighter\" mesh=\"" + id + ".pod\"><animation name=\"" +
                   id + ".xml\"/><sounds list=\"" + id + ".wav\"/></" + element + ">";
        }
        return xml + "</" + element + "s>";
    }

    // The main thread's half, with the progress values it is shown.
    std::vector<LONG> RunByTurns(bool* finished = nullptr) {
        std::vector<LONG> shown;
        const bool done = PreloadByTurns([&](LONG progress) { shown.push_back(progress); });
        if (finished != nullptr) *finished = done;
        return shown;
    }

    ScratchFolder folder_;
    Config config_;
    GameDictionary dictionary_;
    WorldTextureLoader world_;
    UITextureLoader interface_;
    ModelLoader models_;
    ClipLoader clips_;
    FontLoader fonts_;
    SoundLoader sounds_;
    MusicLoader music_;
    Registered<WorldTextureLoader> world_slot_;
    Registered<UITextureLoader> interface_slot_;
    Registered<ModelLoader> model_slot_;
    Registered<ClipLoader> clip_slot_;
    Registered<FontLoader> font_slot_;
    Registered<SoundLoader> sound_slot_;
    Registered<MusicLoader> music_slot_;
    Registered<Config> config_slot_;
    Registered<GameDictionary> dictionary_slot_;
    Registered<Morvane::GameWindow> window_slot_;
    AssertionRecorder failed_loads_;
};

TEST_F(PreloadTest, LoadsInItsOrderAndPublishesTheWeights) {
    WriteData(1, 1);
    bool finished = false;
    EXPECT_EQ((std::vector<LONG>{20, 40, 60, 70, 80, 82, 85, 87, 100}), RunByTurns(&finished));
    EXPECT_TRUE(finished);
    EXPECT_EQ(1, LoadingFinished.load());
    EXPECT_EQ(100, LoadingProgress.load());
    EXPECT_EQ(nullptr, LoaderThreadHandle.load());

    Requests expected;
    for (const char* t : {"particles/IPHONE01.dds", "mm_Palac_LowPoly2.dds", "mm_Palace_03_brick.dds",
                          "mm_Palace_03_stone_02.dds", "mm_Palace_03_trim.dds", "Kelmoor_LM.dds"})
        expected.emplace_back(kPreloadWorldTexture, t);
    expected.emplace_back(kPreloadModel, "one.pod");
    expected.emplace_back(kPreloadModel, "d0.pod");
    expected.emplace_back(kPreloadClips, "d0.xml");
    expected.emplace_back(kPreloadModel, "d0.pod");
    expected.emplace_back(kPreloadModel, "a0.pod");
    expected.emplace_back(kPreloadClips, "a0.xml");
    expected.emplace_back(kPreloadModel, "WEAPONS_ALL_001.pod");
    expected.emplace_back(kPreloadModel, "arrow.pod");
    expected.emplace_back(kPreloadFont, "tarragon_40.fnt");
    expected.emplace_back(kPreloadFont, "arial_15.fnt");
    expected.emplace_back(kPreloadInterfaceTexture, "credits.png");
    expected.emplace_back(kPreloadInterfaceTexture, "tutorial.png");
    for (const char* s : {"w1.wav",         "w2.wav",       "w3.wav",        "BtnPress.wav", "btnunactive.wav",
                          "Transition.wav", "a0.wav",       "d0.wav",        "GameOver.wav", "GameVictory.wav",
                          "WaveBegin.wav",  "WaveOver.wav", "FireStorm.wav", "Slow.wav",     "LightningBolt2.wav",
                          "Spawn.wav",      "Heal.wav",     "Resurrect.wav", "Teleport.wav", "Hide.wav",
                          "Unhide.wav",     "Upgrade.wav",  "Sell.wav"})
        expected.emplace_back(kPreloadSound, s);
    expected.emplace_back(kPreloadMusic, "MainMenuOGG.ogg");
    expected.emplace_back(kPreloadMusic, "one.ogg");
    EXPECT_EQ(expected, g_requests);
    // The loaders were asked (each failed load is one report, the second d0.pod too).
    EXPECT_EQ(expected.size(), failed_loads_.Messages().size());
}

void StopAtTheFirstDefender(PreloadCache cache, const std::string& name) {
    Record(cache, name);
    if (name == "d0.xml") LoaderStopRequested = true;
}

// The main thread gives up on the loading during a step (the program ends): the loader
// ends at its next turn, loads nothing more and does not count as finished.
TEST_F(PreloadTest, AStopRequestEndsTheLoaderAtItsNextTurn) {
    WriteData(2, 2);
    SetPreloadObserver(&StopAtTheFirstDefender);
    bool finished = true;
    RunByTurns(&finished);
    EXPECT_FALSE(finished);
    EXPECT_EQ(0, LoadingFinished.load());
    EXPECT_EQ(nullptr, LoaderThreadHandle.load());
    ASSERT_FALSE(g_requests.empty());
    // The step under way is completed; the next one never starts.
    EXPECT_EQ(std::make_pair(kPreloadModel, std::string("d0.pod")), g_requests.back());
    EXPECT_FALSE(LoaderStopRequested.load());
}

// The banner server sends its head and then a byte every 10 s: while the loader waits
// for it the main thread keeps taking turns, each as quick as any other, and giving up
// on the loading ends the loader at once.
TEST_F(PreloadTest, WhileTheBannerServerTricklesTheTurnsGoOnAndAStopEndsTheLoader) {
    using testsupport::TestServer;
    using Clock = std::chrono::steady_clock;
    WriteData(1, 1);
    TestServer server;
    server.SetDripMs(10000);
    server.SetFault(TestServer::Route::Link, TestServer::Fault::Drip);
    platform::SetNetRedirect(server.Address());
    {
        LoaderTurns turns;
        ASSERT_EQ(LoaderTurns::kTurnTaken, turns.Start());
        const Clock::time_point until = Clock::now() + std::chrono::seconds(20);
        while (server.Count(TestServer::Route::Link) == 0 && Clock::now() < until)
            ASSERT_EQ(LoaderTurns::kTurnTaken, turns.Turn());
        ASSERT_EQ(1, server.Count(TestServer::Route::Link));

        int taken = 0;
        const Clock::time_point start = Clock::now();
        while (Clock::now() - start < std::chrono::milliseconds(600)) {
            ASSERT_EQ(LoaderTurns::kTurnTaken, turns.Turn());
            ++taken;
        }
        EXPECT_GE(taken, 6);
        const Clock::time_point stop = Clock::now();
        turns.Stop();
        EXPECT_LT(Clock::now() - stop, std::chrono::milliseconds(500));
    }
    platform::SetNetRedirect("");
    EXPECT_EQ(0, LoadingFinished.load());
    EXPECT_EQ(nullptr, LoaderThreadHandle.load());
}

// No attackers: no step of theirs, and the progress ends at 80.
TEST_F(PreloadTest, ProgressWithOtherCounts) {
    WriteData(0, 1);
    EXPECT_EQ((std::vector<LONG>{20, 40, 50, 60, 62, 65, 67, 80}), RunByTurns());
    EXPECT_EQ(1, LoadingFinished.load());
}

// Weights that add up to whole numbers only roughly still reach them.
TEST_F(PreloadTest, UnevenWeightsStillReachTheirSums) {
    WriteData(3, 9);  // 20 / 9 nine times adds up to 39.99999 in floats
    const std::vector<LONG> shown = RunByTurns();
    ASSERT_EQ(1u + 9 + 3 + 2 + 2 + 1 + 1, shown.size());
    EXPECT_EQ(40, shown[9]);
    EXPECT_EQ(60, shown[12]);
    EXPECT_EQ(100, shown.back());
}

// A first map that cannot be read (no model, unknown, none at all) has nothing to
// preload, but the rest loads and the loading ends: a loading screen that never
// finishes would leave the player nowhere.
TEST_F(PreloadTest, AFirstMapThatCannotBeReadStillLetsTheLoadingFinish) {
    WriteData(1, 1, "");  // the first map without a model
    for (const std::vector<std::string>& maps :
         {std::vector<std::string>{"One"}, std::vector<std::string>{"Unknown"}, std::vector<std::string>{}}) {
        config_.Maps = maps;
        bool finished = false;
        const std::vector<LONG> shown = RunByTurns(&finished);
        EXPECT_TRUE(finished) << maps.size();
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(100, shown.back());
        EXPECT_EQ(nullptr, LoaderThreadHandle.load());
    }
}

// However the loader ends early, the main thread is not left waiting, the loader counts
// as ended, and loading is not done.
TEST_F(PreloadTest, EveryEarlyEndHandsTheTurnBack) {
    WriteData(1, 1);
    model_slot_.Unregister();
    g_requests.clear();
    bool finished = true;
    EXPECT_TRUE(RunByTurns(&finished).empty());
    EXPECT_FALSE(finished);
    window_slot_.Unregister();
    EXPECT_TRUE(RunByTurns().empty());
    EXPECT_TRUE(g_requests.empty());  // nothing loaded before the services are checked

    EXPECT_EQ(0, LoadingFinished.load());
    EXPECT_EQ(0, LoadingProgress.load());
    EXPECT_EQ(nullptr, LoaderThreadHandle.load());
}

// The fonts by language, seen in what the font loader is asked for and in the slots.
TEST_F(PreloadTest, GlobalFontsFollowTheLanguage) {
    const std::string language = folder_.Write("any.lan", "not a language file");
    auto choose = [&](int code) {
        failed_loads_.Messages().clear();
        LoadLanguageFile(code, language);  // the index is set even for a bad file
        LoadGlobalFonts();
        return failed_loads_.Messages();
    };
    auto asked = [](std::vector<std::string> names) {
        for (std::string& name : names) name = "no-such-folder/" + name;
        return names;
    };
    LargeFont.reset();
    MediumFont.reset();
    SmallFont.reset();
    // Japanese first: the empty slots take the English files.
    EXPECT_EQ(asked({"tarragon_70.fnt", "tarragon_40.fnt", "arial_15.fnt"}), choose(kJapanese));
    EXPECT_EQ(asked({"ostrelle_70.fnt", "ostrelle_40.fnt", "arial_rus_15.fnt"}), choose(kRussian));
    EXPECT_EQ(asked({"tarragon_70.fnt", "tarragon_40.fnt", "arial_15.fnt"}), choose(kEnglish));

    // Japanese after a language keeps the fonts it loaded and fills only an empty slot.
    const boost::shared_ptr<Graphics::SpriteFont> large = boost::make_shared<Graphics::SpriteFont>("large");
    const boost::shared_ptr<Graphics::SpriteFont> small = boost::make_shared<Graphics::SpriteFont>("small");
    LargeFont = large;
    MediumFont.reset();
    SmallFont = small;
    EXPECT_EQ(asked({"tarragon_40.fnt"}), choose(kJapanese));
    EXPECT_EQ(large, LargeFont);
    EXPECT_EQ(small, SmallFont);
    // Another language replaces all three.
    choose(kGerman);
    EXPECT_NE(large, LargeFont);
    EXPECT_NE(small, SmallFont);

    font_slot_.Unregister();  // without the font loader nothing changes
    LargeFont = large;
    EXPECT_TRUE(choose(kRussian).empty());
    EXPECT_EQ(large, LargeFont);
    LargeFont.reset();
}

}  // namespace
