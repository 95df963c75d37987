// The real game on the sample layouts, driven by an input script through the
// shell's window: from the main menu through the help pages and back to
// "Play", each screen entered in the frame its predecessor's fade-out ended.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "App/CGame.h"
#include "Game/GameAudio.h"
#include "Classes/UI/MenuStates.h"
#include "App/GameFixture.h"
#include "support/FrameDriver.h"
#include "App/LayoutClicks.h"
#include "tools/catalogue/Layouts.h"
#include "UI/UILabel.h"

namespace {

namespace layouts = catalogue::layouts;

using layoutclicks::ClickOn;

// The game initialised and driven frame by frame, on its way to the main menu.
class MenuFlowTest : public GameTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(GameTest::SetUp());
        game_->RunInitialize();
        driver_ = std::make_unique<testsupport::FrameDriver>(game_.get());
        ASSERT_TRUE(driver_->Opened());
        gamefixture::Hook() = [this](const char* line) { driver_->OnTraceLine(line); };
        // The click is loaded as the loading screen would have (its first load
        // takes the frame clock's time).
        ASSERT_TRUE(PlaySound("BtnPress.wav", false));
        // What the intro's language choice and the loading window's "Start" raise.
        game_->GetMachine().post_event(EvSkipLangChoose());
        game_->GetMachine().post_event(EvLoadingFinised());
    }

    // The driver goes before the game is shut down.
    void TearDown() override {
        gamefixture::Hook() = nullptr;
        driver_.reset();
        GameTest::TearDown();
    }

    std::unique_ptr<testsupport::FrameDriver> driver_;
};

TEST_F(MenuFlowTest, ClicksLeadThroughTheHelpPagesToTheControls) {
    testsupport::FrameDriver& driver = *driver_;
    const struct {
        long frame;
        const char* window;
        const char* element;
        const char* next;
    } clicks[] = {
        {20, layouts::kMainWindow, "Info", "HelpWindow"},      {40, layouts::kHelpWindow, "Tutorial", "TutorialWindow"},
        {60, layouts::kTutorialWindow, "Back", "HelpWindow"},  {80, layouts::kHelpWindow, "Credits", "CreditsWindow"},
        {100, layouts::kCreditsWindow, "Back", "HelpWindow"},  {120, layouts::kHelpWindow, "Back", "MainWindow"},
        {140, layouts::kMainWindow, "Play", "ControlsWindow"},
    };
    std::string script;
    for (const auto& click : clicks) script += ClickOn(click.frame, click.window, click.element);
    ASSERT_TRUE(driver.Play(script));
    ASSERT_TRUE(driver.RunScript(200));
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(driver.Frame());

    EXPECT_EQ(driver.FrameOf("state entered: MainWindow"), 0);
    // The release in the next frame starts the fade-out; at 33 ms a frame it
    // goes below 0 in the eighth draw, whose action enters the next screen.
    for (const auto& click : clicks)
        EXPECT_EQ(driver.FrameOf(std::string("state entered: ") + click.next, click.frame), click.frame + 8)
            << click.element << " in " << click.window;
    EXPECT_NE(game_->GetMachine().state_cast<const ControlsWindow*>(), nullptr);
    EXPECT_TRUE(boxes_.Shown().empty()) << boxes_.Shown()[0].text;
}

// The tutorial opens at the page the layout shows; "Prev" from the first page
// wraps to the last with its overlay and counter, "Next" wraps back; Esc (no
// click) leaves the tutorial for the help window and that for the main menu.
TEST_F(MenuFlowTest, TheTutorialTurnsItsPagesBothWaysAndEscLeadsBack) {
    testsupport::FrameDriver& driver = *driver_;
    ASSERT_TRUE(driver.Play(ClickOn(20, layouts::kMainWindow, "Info") + ClickOn(40, layouts::kHelpWindow, "Tutorial")));
    ASSERT_TRUE(driver.RunScript(100));
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(driver.Frame());
    const TutorialWindow* tutorial = game_->GetMachine().state_cast<const TutorialWindow*>();
    ASSERT_NE(tutorial, nullptr);
    auto element = [&](const char* name) -> UI::UIElement* {
        for (UI::UIElement* e : *const_cast<TutorialWindow*>(tutorial))
            if (e->name_ == name) return e;
        return nullptr;
    };
    auto counter = [&] { return static_cast<UI::UILabel*>(element("PageNum"))->GetText(); };
    EXPECT_EQ(tutorial->PageCount(), 4);
    EXPECT_EQ(tutorial->CurrentPage(), 0);
    EXPECT_EQ(counter(), " 1/4");

    ASSERT_TRUE(driver.Play(ClickOn(0, layouts::kTutorialWindow, "Prev")));
    ASSERT_TRUE(driver.RunScript(10));
    EXPECT_EQ(tutorial->CurrentPage(), 3);
    EXPECT_EQ(counter(), " 4/4");
    EXPECT_FALSE(element("Viewer1")->visible_);
    EXPECT_TRUE(element("Viewer4")->visible_);
    EXPECT_FALSE(element("View1_")->visible_);
    EXPECT_TRUE(element("View4_")->visible_);

    ASSERT_TRUE(driver.Play(ClickOn(0, layouts::kTutorialWindow, "Next")));
    ASSERT_TRUE(driver.RunScript(10));
    EXPECT_EQ(counter(), " 1/4");
    EXPECT_TRUE(element("Viewer1")->visible_ && element("View1_")->visible_);
    EXPECT_FALSE(element("Viewer4")->visible_ || element("View4_")->visible_);

    const long escAt = driver.CurrentFrame();
    ASSERT_TRUE(driver.Play("0 key Esc\n20 key Esc\n"));
    ASSERT_TRUE(driver.RunScript(40));
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(driver.Frame());
    EXPECT_NE(driver.FrameOf("state entered: HelpWindow", escAt), -1);
    EXPECT_NE(game_->GetMachine().state_cast<const MainWindow*>(), nullptr);
}

// Overlay names: "View", a number, anything; pages ("Viewer...") and numbers
// past any page are none.
TEST(TutorialOverlayPageTest, NamesTheOverlaysPage) {
    const struct {
        const char* name;
        int page;
    } cases[] = {{"View1_", 1}, {"View2_arrow", 2}, {"View12", 12}, {"Viewer1", 0},
                 {"View_1", 0}, {"view1_", 0},      {"View", 0},    {"View99999999999_", 0}};
    for (const auto& c : cases) EXPECT_EQ(TutorialOverlayPage(c.name), c.page) << c.name;
}

}  // namespace
