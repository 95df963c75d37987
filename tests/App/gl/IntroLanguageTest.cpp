// The game's first screens on the sample data: the intro's language choice over
// the registry's cases, the language window's buttons, and, driven through the
// shell's window, the loading screen in the language chosen (its tip, its Russian
// fonts and background) up to "Start" and the main menu.
#include <gtest/gtest.h>

#include <boost/shared_ptr.hpp>

#include <memory>
#include <string>

#include "App/CGame.h"
#include "App/GameFixture.h"
#include "Classes/Battle/HudTables.h"
#include "Classes/Loading/LoaderHandover.h"
#include "Classes/UI/LoadingTips.h"
#include "Classes/UI/MenuStates.h"
#include "Core/Language.h"
#include "Core/ProcessGlobals.h"
#include "Game/Cursors.h"
#include "Graphics/Texture2D.h"
#include "UI/UIButton.h"
#include "UI/UIGlobals.h"
#include "UI/UILabel.h"
#include "shell/InputState.h"
#include "shell/TouchEvent.h"
#include "support/FrameDriver.h"
#include "support/ScratchFolder.h"
#include "App/LayoutClicks.h"
#include "tools/catalogue/Layouts.h"

namespace {

namespace layouts = catalogue::layouts;

using layoutclicks::ClickOn;

UI::UIElement* Find(UI::UIWindowView& view, const std::string& name) {
    for (UI::UIElement* element : view)
        if (element->name_ == name) return element;
    return nullptr;
}

std::wstring Shown(const UI::UIScrollableTextArea& area) {
    std::wstring text;
    for (const std::wstring& line : area.lines_) text += (text.empty() ? L"" : L" ") + line;
    return text;
}

class IntroLanguageTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        registry_.reset(new ScopedEnv("DUNMARCH_REGISTRY", (folder_.Path() + "/registry.ini").c_str()));
    }
    void TearDown() override {
        gamefixture::Hook() = nullptr;
        GameTest::TearDown();
        registry_.reset();
    }

    // Null: no registry file at all.
    void StoreRegistry(const char* text) {
        if (text != nullptr) folder_.Write("registry.ini", text);
        else std::remove((folder_.Path() + "/registry.ini").c_str());
    }

    GameMachine& Machine() { return game_->GetMachine(); }
    template <class S>
    S* State() {
        return const_cast<S*>(Machine().state_cast<const S*>());
    }
    std::string Current() {
        if (State<IntroWindow>()) return "IntroWindow";
        if (State<LanguageWindow>()) return "LanguageWindow";
        if (State<LoadingWindow>()) return "LoadingWindow";
        if (State<MainWindow>()) return "MainWindow";
        return "other";
    }
    // The machine from its first state again.
    void Restart() {
        Machine().terminate();
        Machine().initiate();
    }

    ScratchFolder folder_;
    std::unique_ptr<ScopedEnv> registry_;
};

TEST_F(IntroLanguageTest, TheIntroTakesTheLanguageTheRegistryNames) {
    game_->RunInitialize();
    Config& config = game_->GetConfig();
    const std::string sample = config.Paths.LanguagePath;
    ScratchFolder broken;
    broken.Write("ru.lan", "not a language file");
    const std::string brokenFolder = broken.Path() + "/";
    const struct {
        const char* registry;  // null: no registry file
        const char* folder;    // null: the sample languages
        const char* next;
        const char* printed;
        int index;  // -1: unchanged
    } cases[] = {
        {nullptr, nullptr, "LanguageWindow", "", -1},
        {"DEFAULT=1\nLANGUAGE=3\n", nullptr, "LanguageWindow", "", -1},
        {"LANGUAGE=127\n", nullptr, "LanguageWindow", "", -1},
        {"LANGUAGE=128\n", nullptr, "LanguageWindow", "", -1},
        {"LANGUAGE=200\n", nullptr, "LanguageWindow", "", -1},
        {"LANGUAGE=0\n", nullptr, "LoadingWindow", "UI: ENGLISH READ IN", 0},
        {"LANGUAGE=1\n", nullptr, "LoadingWindow", "UI: FRANCH READ IN", 1},
        {"LANGUAGE=2\n", nullptr, "LoadingWindow", "UI: ITALIAN READ IN", 2},
        {"LANGUAGE=3\n", nullptr, "LoadingWindow", "UI: GERMAN READ IN", 3},
        {"LANGUAGE=4\n", nullptr, "LoadingWindow", "UI: ESPANOL READ IN", 4},
        {"DEFAULT=0\nLANGUAGE=5\n", nullptr, "LoadingWindow", "UI: RUSSICHE READ IN", 5},
        {"LANGUAGE=6\n", nullptr, "LoadingWindow", "UI: JAPANESE READ IN", 6},
        {"LANGUAGE=7\n", nullptr, "LoadingWindow", "", -1},
        {"LANGUAGE=126\n", nullptr, "LoadingWindow", "", -1},
        // A file that is missing, or not a language file: announced all the same.
        {"LANGUAGE=3\n", "/nonexistent/", "LoadingWindow", "UI: GERMAN READ IN", -1},
        {"LANGUAGE=5\n", brokenFolder.c_str(), "LoadingWindow", "UI: RUSSICHE READ IN", 5},
    };
    for (const auto& c : cases) {
        const std::string label = c.registry ? c.registry : "(no registry)";
        Restart();
        ASSERT_EQ(Current(), "IntroWindow");
        StoreRegistry(c.registry);
        config.Paths.LanguagePath = c.folder ? c.folder : sample;
        SelectCursor(-1);
        const int before = GetLanguageIndex();
        testing::internal::CaptureStdout();
        State<IntroWindow>()->ChooseLanguage();
        const std::string printed = testing::internal::GetCapturedStdout();
        const bool arrow = GetSelectedCursor() != nullptr;
        // An event the intro ignores delivers the one the choice posted.
        Machine().process_event(EvExitingApp());
        EXPECT_EQ(Current(), c.next) << label;
        EXPECT_EQ(printed, c.printed) << label;
        EXPECT_EQ(GetLanguageIndex(), c.index < 0 ? before : c.index) << label;
        // The arrow goes with the move to the loading screen (which hides it again).
        EXPECT_EQ(arrow, std::string(c.next) == "LoadingWindow") << label;
        // The fonts follow a language that loaded.
        if (c.index >= 0 && c.index != kJapanese) {
            EXPECT_EQ(LargeFont, UI::LoadFont(c.index == kRussian ? "ostrelle_70.fnt" : "tarragon_70.fnt")) << label;
            EXPECT_TRUE(LargeFont) << label;
        }
    }
    config.Paths.LanguagePath = sample;
}

// The clip opens at the first update; then the intro ends when the clip's time
// goes back (it has wrapped), on Space or else Esc (consumed), or on a press on
// the clip. No language is stored, so the language window follows.
TEST_F(IntroLanguageTest, TheIntroEndsWhenItsClipWrapsOnSpaceOrEscOrATouch) {
    game_->RunInitialize();
    StoreRegistry(nullptr);
    const struct {
        const char* what;
        bool wrap, space, esc, touch;
        bool ends;
    } cases[] = {
        {"nothing", false, false, false, false, false},
        {"the clip wraps", true, false, false, false, true},
        {"Space", false, true, false, false, true},
        {"Esc", false, false, true, false, true},
        {"Space and Esc", false, true, true, false, true},
        {"a press on the clip", false, false, false, true, true},
    };
    int32_t* keys = GetInputState().keys;
    for (const auto& c : cases) {
        Restart();
        IntroWindow* intro = State<IntroWindow>();
        // Entered: its layout and its player, nothing else.
        ASSERT_NE(intro->video_player_, nullptr);
        ASSERT_NE(intro->video_element_, nullptr);
        EXPECT_EQ(intro->IntroPhase, 0u);
        EXPECT_EQ(intro->LastVideoTime, -1.0f);
        Machine().process_event(EvUpdate());
        ASSERT_EQ(Current(), "IntroWindow") << c.what;
        ASSERT_EQ(intro->IntroPhase, 1u) << "the sample clip opens";

        if (c.wrap) intro->LastVideoTime = 1.0e6f;
        keys[57] = c.space ? 1 : 0;
        keys[56] = c.esc ? 1 : 0;
        TouchEvents.clear();
        if (c.touch) {
            const UI::UIElement& video = *intro->video_element_;
            TouchEvent touch = {};
            touch.position = Vector2((video.position_.x + video.size_.x / 2) / 1024.0f,
                                     (video.position_.y + video.size_.y / 2) / 768.0f);
            touch.phase = kTouchPress;
            TouchEvents.push_back(touch);
        }
        Machine().process_event(EvUpdate());
        TouchEvents.clear();
        EXPECT_EQ(Current(), c.ends ? "LanguageWindow" : "IntroWindow") << c.what;
        EXPECT_EQ(keys[57], 0) << c.what;
        // Esc is taken only when Space was not.
        EXPECT_EQ(keys[56], c.esc && c.space ? 1 : 0) << c.what;
    }
    keys[56] = 0;
}

// No clip and layouts that lack what the windows look for: the intro chooses at
// once, the loading screen loads without a bar, a tip or a way on, and nothing
// waits or breaks.
TEST_F(IntroLanguageTest, LayoutsWithoutTheirElementsNeitherHangNorBreak) {
    ScratchFolder ui;
    ui.Write("introwindow.xml", R"(<layout><image name="background" file="black.png" posx="0" posy="0"
        sizex="1024" sizey="768"/></layout>)");
    ui.Write("loadingwindow.xml", R"(<layout><image name="background" file="loading_background.png" posx="0"
        posy="0" sizex="1024" sizey="768"/></layout>)");
    game_->RunInitialize();
    game_->GetConfig().Paths.UiPath = ui.Path() + "/";
    game_->GetConfig().Paths.VideosPath = "/nonexistent/";
    StoreRegistry("LANGUAGE=0\n");
    Restart();
    testsupport::FrameDriver driver(game_.get());
    ASSERT_TRUE(driver.Opened());
    ASSERT_TRUE(driver.Frame());
    ASSERT_EQ(Current(), "LoadingWindow");
    for (int i = 0; i < 3000 && LoadingFinished.load() == 0; ++i) ASSERT_TRUE(driver.Frame());
    EXPECT_NE(LoadingFinished.load(), 0);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(driver.Frame());
    EXPECT_EQ(Current(), "LoadingWindow");
    EXPECT_NE(GetSelectedCursor(), nullptr);
}

TEST_F(IntroLanguageTest, EveryLanguageButtonLoadsItsLanguageThenTheWindowFadesToLoading) {
    game_->RunInitialize();
    const struct {
        const char* button;
        int index;  // -1: none loaded
    } cases[] = {
        {"ENGUnPressed", 0}, {"FRAUnPressed", 1}, {"ITAUnPressed", 2}, {"GERUnPressed", 3}, {"SPAUnPressed", 4},
        {"RUSUnPressed", 5}, {"JAPPressed", 6},   {"JAPUnPressed", -1},  // a button of another name
    };
    for (const auto& c : cases) {
        Restart();
        Machine().process_event(EvBackPressed());
        LanguageWindow* window = State<LanguageWindow>();
        ASSERT_NE(window, nullptr) << c.button;
        // Every button of the layout has the one handler, nothing else has it.
        UI::UIElement::Handler handler;
        for (UI::UIElement* element : *window) {
            const bool button = dynamic_cast<UI::UIButton*>(element) != nullptr;
            EXPECT_EQ(element->release_handler_.IsBound(), button) << element->name_;
            if (button && handler.IsBound()) {
                EXPECT_EQ(element->release_handler_, handler) << element->name_;
            }
            if (button) handler = element->release_handler_;
        }
        UI::UIButton other;
        other.name_ = c.button;
        UI::UIElement* pressed = Find(*window, c.button);
        if (pressed == nullptr) pressed = &other;
        const int before = GetLanguageIndex();
        ClearActiveRendererBinding();
        handler(pressed);
        EXPECT_EQ(GetLanguageIndex(), c.index < 0 ? before : c.index) << c.button;
        EXPECT_TRUE(LargeFont) << c.button;
        EXPECT_EQ(GetActiveRendererFont(), LargeFont) << c.button;
        EXPECT_NE(GetActiveRenderer(), nullptr) << c.button;
        EXPECT_EQ(window->FadeDirection, -1) << c.button;
        EXPECT_EQ(window->PendingButtonId, 0) << c.button;
        UiFrameDelta = 0.1f;
        for (int i = 0; i < 10 && Current() == "LanguageWindow"; ++i) Machine().process_event(EvDraw());
        EXPECT_EQ(Current(), "LoadingWindow") << c.button;
    }
}

class LoadingScreenTest : public IntroLanguageTest {
protected:
    void SetUp() override {
        IntroLanguageTest::SetUp();
        game_->RunInitialize();
        driver_.reset(new testsupport::FrameDriver(game_.get()));
        ASSERT_TRUE(driver_->Opened());
        gamefixture::Hook() = [this](const char* line) { driver_->OnTraceLine(line); };
    }
    void TearDown() override {
        gamefixture::Hook() = nullptr;
        driver_.reset();  // before the game is shut down
        IntroLanguageTest::TearDown();
    }

    // Frames until the loader has finished, and one more.
    void LoadAll() {
        for (int i = 0; i < 3000 && LoadingFinished.load() == 0; ++i) ASSERT_TRUE(driver_->Frame());
        ASSERT_NE(LoadingFinished.load(), 0);
        ASSERT_TRUE(driver_->Frame());
    }

    std::unique_ptr<testsupport::FrameDriver> driver_;
};

TEST_F(LoadingScreenTest, GermanChosenShowsAGermanTipAndStartLeadsToTheMainMenu) {
    StoreRegistry(nullptr);
    std::string script = "1 key Space\n1 await state entered: LanguageWindow\n";
    script += ClickOn(12, layouts::kLanguageWindow, "GERUnPressed");
    script += "13 await state entered: LoadingWindow\n";
    ASSERT_TRUE(driver_->Play(script));
    ASSERT_TRUE(driver_->RunScript(200));
    ASSERT_EQ(Current(), "LoadingWindow");
    EXPECT_EQ(GetLanguageIndex(), kGerman);
    LoadingWindow& window = *State<LoadingWindow>();

    ASSERT_NE(window.tip_area_, nullptr);
    const int tips = CountLoadingTips(&HasLocalizedText);
    ASSERT_GT(tips, 0);
    bool german = false;
    for (int k = 1; k <= tips; ++k) german = german || Shown(*window.tip_area_) == GetLocalizedText(LoadingTipKey(k));
    EXPECT_TRUE(german);
    EXPECT_NE(Shown(*window.tip_area_), L"");

    // While loading: no cursor, the bar at the progress the frame's update read
    // (its draw hands the loader the next step), the start controls hidden.
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(driver_->Frame());
    const LONG progress = LoadingProgress.load();
    ASSERT_TRUE(driver_->Frame());
    ASSERT_EQ(LoadingFinished.load(), 0) << "the loading takes more than a few frames";
    EXPECT_GT(LoadingProgress.load(), progress);
    EXPECT_EQ(GetSelectedCursor(), nullptr);
    ASSERT_NE(window.load_bar_, nullptr);
    EXPECT_FLOAT_EQ(window.load_bar_->value_, static_cast<float>(progress) / 100.0f);
    ASSERT_NE(window.start_button_, nullptr);
    ASSERT_NE(window.start_text_, nullptr);
    EXPECT_FALSE(window.start_button_->visible_);
    EXPECT_FALSE(window.start_text_->visible_);

    ASSERT_NO_FATAL_FAILURE(LoadAll());
    EXPECT_EQ(LoadingProgress.load(), 100);
    EXPECT_FALSE(window.load_bar_->visible_);
    EXPECT_TRUE(window.start_button_->visible_);
    EXPECT_TRUE(window.start_text_->visible_);
    EXPECT_NE(GetSelectedCursor(), nullptr);
    // Shown again every frame.
    window.start_button_->visible_ = false;
    ASSERT_TRUE(driver_->Frame());
    EXPECT_TRUE(window.start_button_->visible_);

    ASSERT_TRUE(driver_->Play(ClickOn(0, layouts::kLoadingWindow, "Start")));
    ASSERT_TRUE(driver_->RunScript(10));
    EXPECT_EQ(Current(), "MainWindow");
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(LoadingScreenTest, RussianFromTheRegistryHasItsFontsAndBackground) {
    StoreRegistry("LANGUAGE=5\n");
    ASSERT_TRUE(driver_->Play("1 key Esc\n1 await state entered: LoadingWindow\n"));
    ASSERT_TRUE(driver_->RunScript(200));
    EXPECT_EQ(driver_->FrameOf("state entered: LanguageWindow"), -1);
    ASSERT_EQ(Current(), "LoadingWindow");
    LoadingWindow& window = *State<LoadingWindow>();

    UI::UILabel* caption = dynamic_cast<UI::UILabel*>(Find(window, "Loading_txt"));
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->font_, UI::LoadFont("ostrelle_40.fnt"));
    ASSERT_NE(window.tip_area_, nullptr);
    EXPECT_EQ(window.tip_area_->font_, UI::LoadFont("arial_rus_15.fnt"));
    EXPECT_TRUE(window.tip_area_->font_);
    EXPECT_EQ(Find(window, "background"), nullptr);
    UI::UIElement* background = Find(window, "backgroundRUS");
    ASSERT_NE(background, nullptr);
    ASSERT_TRUE(background->texture_);

    null->ClearLog();
    ASSERT_TRUE(driver_->Frame());
    const IDirect3DBaseTexture9* russian = background->texture_->GetTexture();
    bool drawn = false;
    for (const d3d9::DrawRecord& draw : null->Draws()) drawn = drawn || draw.textures[0] == russian;
    EXPECT_TRUE(drawn);
}

}  // namespace
