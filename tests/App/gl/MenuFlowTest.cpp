// The real game on the sample layouts, driven by an input script through the
// shell's window: from the main menu through the help pages and back to
// "Play", each screen entered in the frame its predecessor's fade-out ended.
#include <gtest/gtest.h>

#include <string>

#include "App/CGame.h"
#include "Game/GameAudio.h"
#include "Classes/UI/MenuStates.h"
#include "App/GameFixture.h"
#include "support/FrameDriver.h"
#include "App/LayoutClicks.h"
#include "tools/catalogue/Layouts.h"

namespace {

namespace layouts = catalogue::layouts;

using layoutclicks::ClickOn;

class MenuFlowTest : public GameTest {};

TEST_F(MenuFlowTest, ClicksLeadThroughTheHelpPagesToTheControls) {
    game_->RunInitialize();
    testsupport::FrameDriver driver(game_.get());
    ASSERT_TRUE(driver.Opened());
    gamefixture::Hook() = [&driver](const char* line) { driver.OnTraceLine(line); };
    // The driver goes before the game is shut down.
    struct Unhook {
        ~Unhook() { gamefixture::Hook() = nullptr; }
    } unhook;

    // The click is loaded as the loading screen would have (its first load
    // takes the frame clock's time).
    ASSERT_TRUE(PlaySound("BtnPress.wav", false));
    // What the intro's language choice and the loading window's "Start" raise.
    game_->GetMachine().post_event(EvSkipLangChoose());
    game_->GetMachine().post_event(EvLoadingFinised());
    const struct {
        long frame;
        const char* window;
        const char* element;
        const char* next;
    } clicks[] = {
        {20, layouts::kMainWindow, "Info", "HelpWindow"},
        {40, layouts::kHelpWindow, "Tutorial", "TutorialWindow"},
        {60, layouts::kTutorialWindow, "Back", "HelpWindow"},
        {80, layouts::kHelpWindow, "Credits", "CreditsWindow"},
        {100, layouts::kCreditsWindow, "Back", "HelpWindow"},
        {120, layouts::kHelpWindow, "Back", "MainWindow"},
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

}  // namespace
