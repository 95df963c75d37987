// The main menu, the controls, the battle state, the settings and the in-game
// quit window of the real game on the sample layouts, driven by input scripts
// through the shell's window, in a game folder of the test's own (the savegame
// is looked for in the current folder).
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "App/CGame.h"
#include "App/GameFixture.h"
#include "App/LayoutClicks.h"
#include "Audio/AudioDevice.h"
#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/GameWindow.h"
#include "Classes/UI/MenuStates.h"
#include "Core/Service.h"
#include "Game/GameSettings.h"
#include "shell/InputState.h"
#include "shell/ShellGlobals.h"
#include "UI/UISlider.h"
#include "platform/win32/ShellExecute.h"
#include "support/FrameDriver.h"
#include "support/ScratchDir.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/Layouts.h"

namespace {

namespace fs = std::filesystem;
namespace layouts = catalogue::layouts;
using layoutclicks::ClickOn;

class MenuWindowsTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        EnterScratchGameFolder(root_);
        // Web pages are written down instead of opened.
        root_.Write("open.sh", "#!/bin/sh\necho \"$1\" >> '" + root_.File("urls.txt") + "'\n");
        fs::permissions(root_.File("open.sh"), fs::perms::owner_all);
        SetUrlOpener(root_.File("open.sh").c_str());
    }
    void TearDown() override {
        gamefixture::Hook() = nullptr;
        driver_.reset();
        SetUrlOpener(nullptr);
        GameTest::TearDown();
    }

    void Start() {
        game_->RunInitialize();
        // What the loading screen reads before the menus; a battle whose data
        // stamp misses these files would open its modified-data warning box,
        // which holds every window's input until it is closed.
        RunLoading();
        driver_.reset(new testsupport::FrameDriver(game_.get()));
        ASSERT_TRUE(driver_->Opened());
        gamefixture::Hook() = [this](const char* line) { driver_->OnTraceLine(line); };
        // What the intro's language choice and the loading window's "Start" raise.
        Machine().post_event(EvSkipLangChoose());
        Machine().post_event(EvLoadingFinised());
        ASSERT_TRUE(driver_->Frame());
        ASSERT_TRUE(In<MainWindow>());
    }

    GameMachine& Machine() { return game_->GetMachine(); }
    template <class S>
    bool In() {
        return Machine().state_cast<const S*>() != nullptr;
    }
    template <class S>
    S& State() {
        return const_cast<S&>(Machine().state_cast<const S&>());
    }
    // Plays the script to its end and a few frames beyond.
    void Play(const std::string& script, int after = 20) {
        ASSERT_TRUE(driver_->Play(script));
        ASSERT_TRUE(driver_->RunScript(600));
        for (int i = 0; i < after; ++i) ASSERT_TRUE(driver_->Frame());
    }
    UI::UIElement* Element(UI::UIWindowView& window, const char* name) {
        for (UI::UIElement* e : window)
            if (e->name_ == name) return e;
        return nullptr;
    }
    bool BattleExists() { return Service<CDunmarchGame>::Exists(); }

    ScratchDir root_;
    std::unique_ptr<testsupport::FrameDriver> driver_;
};

TEST_F(MenuWindowsTest, WithoutASavegameContinueIsUnavailableAndTheOtherButtonsStay) {
    Start();
    MainWindow& main = State<MainWindow>();
    EXPECT_TRUE(Element(main, "ContinueInActive_in")->visible_);
    Play(ClickOn(10, layouts::kMainWindow, "Continue") + ClickOn(12, layouts::kMainWindow, "More") +
         ClickOn(14, layouts::kMainWindow, "Banner") + ClickOn(16, layouts::kMainWindow, "Quit"));
    // No fade-out, no state change; the pages through the opener; the quit flag.
    ASSERT_TRUE(In<MainWindow>());
    EXPECT_EQ(State<MainWindow>().PendingButtonId, 0);
    EXPECT_EQ(State<MainWindow>().FadeDirection, 0);
    EXPECT_EQ(State<MainWindow>().alpha_, 255.0f);
    // The openers run on their own: their lines come in any order, some time later.
    std::set<std::string> urls;
    for (int i = 0; i < 500 && urls.size() < 2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::istringstream lines(root_.Read("urls.txt"));
        urls.clear();
        for (std::string line; std::getline(lines, line);) urls.insert(line);
    }
    EXPECT_EQ(urls, (std::set<std::string>{catalogue::config::kWebsiteUrl, catalogue::config::kBannerSiteUrl}));
    EXPECT_TRUE(driver_->Host().quit_);
    EXPECT_EQ(g_exitCode, 0);
}

TEST_F(MenuWindowsTest, ASavegameTheBattleRefusesIsKeptAndTheMenuStays) {
    root_.Write("game/savegame.dat", "SAV cut short");
    Start();
    EXPECT_FALSE(Element(State<MainWindow>(), "ContinueInActive_in")->visible_);
    Play(ClickOn(10, layouts::kMainWindow, "Continue"));
    ASSERT_TRUE(In<MainWindow>());
    EXPECT_EQ(State<MainWindow>().PendingButtonId, 0);
    EXPECT_EQ(State<MainWindow>().FadeDirection, 0);
    EXPECT_FALSE(BattleExists());
    EXPECT_EQ(root_.Read("game/savegame.dat"), "SAV cut short");
}

TEST_F(MenuWindowsTest, TheControlsStartABattleThatPausesResumesAndIsLeft) {
    Start();
    // A map list without maps: the start fails, the controls stay.
    std::vector<std::string> maps;
    maps.swap(game_->GetConfig().Maps);
    Play(ClickOn(10, layouts::kMainWindow, "Play") + "30 click 512 300\n");
    ASSERT_TRUE(In<ControlsWindow>());
    EXPECT_EQ(State<ControlsWindow>().PendingButtonId, 0);
    EXPECT_FALSE(BattleExists());
    maps.swap(game_->GetConfig().Maps);

    Play("0 click 512 300\n");
    ASSERT_TRUE(In<GameState>());
    ASSERT_TRUE(BattleExists());
    EXPECT_EQ(BattleActive, 1);

    // The battle opens its menu (as its Esc does): a fresh battle warns.
    BattleActive = 0;
    DeliverBattleEvent(EvInGameMenuPressed(), "EvInGameMenuPressed");
    ASSERT_TRUE(In<InGameQuitWindow>());
    InGameQuitWindow& quit = State<InGameQuitWindow>();
    EXPECT_TRUE(Element(quit, "NoSubmitionAfterExiting_txt")->visible_);
    EXPECT_TRUE(Element(quit, "background_text")->visible_);
    const uint32_t steps = Service<CDunmarchGame>::Get()->GetStepCounter();
    Play(ClickOn(20, layouts::kInGameQuitWindow, "No"));
    ASSERT_TRUE(In<GameState>());
    EXPECT_EQ(BattleActive, 1);
    EXPECT_GT(Service<CDunmarchGame>::Get()->GetStepCounter(), steps);

    // A held Esc goes back to the battle too.
    DeliverBattleEvent(EvInGameMenuPressed(), "EvInGameMenuPressed");
    ASSERT_TRUE(In<InGameQuitWindow>());
    for (int i = 0; i < 5; ++i) {
        GetInputState().keys[56] = 1;  // held: the key repeats over the frames
        ASSERT_TRUE(driver_->Frame());
    }
    GetInputState().keys[56] = 0;
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(driver_->Frame());
    ASSERT_TRUE(In<GameState>());

    // "Yes" leaves the battle; a later "No" in the fade-out cannot bring
    // back the battle that is gone.
    DeliverBattleEvent(EvInGameMenuPressed(), "EvInGameMenuPressed");
    const long pausedAt = driver_->CurrentFrame();
    Play(ClickOn(20, layouts::kInGameQuitWindow, "Yes") + ClickOn(22, layouts::kInGameQuitWindow, "No") +
         "24 key Esc\n");
    EXPECT_TRUE(In<MainWindow>());
    EXPECT_FALSE(BattleExists());
    EXPECT_EQ(driver_->FrameOf("state entered: GameState", pausedAt), -1);
}

// The bytes "settings.dat" holds for the volumes and two empty texts.
std::string SettingsBytes(float sound, float music) {
    std::string bytes("SET\0", 4);
    const uint32_t version = 1000;
    bytes.append(reinterpret_cast<const char*>(&version), 4);
    bytes.append(reinterpret_cast<const char*>(&sound), 4);
    bytes.append(reinterpret_cast<const char*>(&music), 4);
    bytes.append(8, '\0');
    return bytes;
}

TEST_F(MenuWindowsTest, SettingsShowTheStoredVolumesSetThemAtOnceAndSaveThemOnTheWayOut) {
    {
        GameSettings stored;
        stored.SetSoundVolume(0.25f);
        ASSERT_TRUE(stored.Save());
    }
    const std::string file = user_data_.File("Dunmarch_DATA/settings.dat");
    Start();
    Play(ClickOn(10, layouts::kMainWindow, "Settings"));
    ASSERT_TRUE(In<SettingsWindow>());
    SettingsWindow& settings = State<SettingsWindow>();
    EXPECT_EQ(static_cast<UI::UISlider*>(Element(settings, "SFX_vol"))->value_, 0.25f);
    EXPECT_EQ(static_cast<UI::UISlider*>(Element(settings, "Music_vol"))->value_, 1.0f);

    // An exit notice while the settings are shown writes them.
    ASSERT_TRUE(std::filesystem::remove(file));
    game_->OnEvent(3);
    EXPECT_TRUE(std::filesystem::exists(file));

    // Drags set the volumes at once; nothing is written yet.
    ASSERT_TRUE(std::filesystem::remove(file));
    const layouts::Rect sfx = layouts::FindWindow(layouts::kSettingsWindow)->At("SFX_vol");
    const layouts::Rect music = layouts::FindWindow(layouts::kSettingsWindow)->At("Music_vol");
    const std::string y = std::to_string(sfx.CentreY()), my = std::to_string(music.CentreY());
    Play("0 press " + std::to_string(sfx.x + sfx.w / 2) + " " + y + "\n1 move " + std::to_string(sfx.x + sfx.w / 4) +
             " " + y + "\n2 release " + std::to_string(sfx.x + sfx.w / 4) + " " + y + "\n4 click " +
             std::to_string(music.x + music.w * 3 / 4) + " " + my + "\n",
         2);
    EXPECT_NEAR(game_->GetSettings().GetSoundVolume(), 0.25f, 0.01f);
    EXPECT_NEAR(game_->GetSettings().GetMusicVolume(), 0.75f, 0.01f);
    EXPECT_NEAR(game_->GetAudioDevice()->GetVolume(0), 0.25f, 0.01f);
    EXPECT_FALSE(std::filesystem::exists(file));

    // "Back" saves, then the menu; there the exit notice writes nothing.
    Play(ClickOn(0, layouts::kSettingsWindow, "Back"));
    ASSERT_TRUE(In<MainWindow>());
    EXPECT_EQ(user_data_.Read("Dunmarch_DATA/settings.dat"),
              SettingsBytes(game_->GetSettings().GetSoundVolume(), game_->GetSettings().GetMusicVolume()));
    ASSERT_TRUE(std::filesystem::remove(file));
    game_->OnEvent(3);
    EXPECT_FALSE(std::filesystem::exists(file));

    // Esc is "Back".
    Play(ClickOn(10, layouts::kMainWindow, "Settings") + "30 key Esc\n");
    EXPECT_TRUE(In<MainWindow>());
    EXPECT_TRUE(std::filesystem::exists(file));
}

}  // namespace
