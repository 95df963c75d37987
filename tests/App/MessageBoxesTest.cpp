// The one open message box: each new box replaces and deletes the open one,
// a plain box closes from its own button (the box goes once its update has
// returned), and the summary and warning boxes find their text areas.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "App/BattleBoxes.h"
#include "App/MessageBoxes.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Core/KeyboardListeners.h"
#include "Core/Service.h"
#include "shell/PointerState.h"
#include "shell/TouchEvent.h"
#include "support/ScratchFolder.h"
#include "UI/UIGlobals.h"
#include "UI/UILabel.h"
#include "UI/UIScrollableTextArea.h"

namespace {

// The layouts in lower case, as the loader asks for them. Each box has a
// label, so each open box holds one keyboard listener.
const char kMsgBox[] = R"(<layout><image name="frame" sizex="400" sizey="200"/><text name="Message"/>
    <button name="OK" posx="100" posy="100" sizex="100" sizey="40"/></layout>)";
const char kSummary[] = R"(<layout><image name="frame" sizex="400" sizey="300"/><text name="Title"/>
    <image name="Attack"/><area name="Attack" sizex="300" sizey="40"/><area name="Info" sizex="300" sizey="60"/>
    <button name="Continue" posx="100" posy="250" sizex="100" sizey="40"/></layout>)";
const char kWarning[] = R"(<layout><image name="frame"/><text name="Title"/><area name="Info" sizex="300"/></layout>)";

class MessageBoxesTest : public ::testing::Test {
protected:
    void SetUp() override {
        layouts_.Write("msgbox.xml", kMsgBox);
        layouts_.Write("summarywindow.xml", kSummary);
        layouts_.Write("warningwindow.xml", kWarning);
        config_.Paths.UiPath = layouts_.Path() + "/";
        Service<Config>::Register(&config_);
        listeners_ = GetKeyboardListeners().Count();
        TouchEvents.clear();
        UiPressedLastFrame = false;
    }
    void TearDown() override {
        CloseMessageBox();
        EXPECT_EQ(GetKeyboardListeners().Count(), listeners_) << "every box was deleted";
        TouchEvents.clear();
        Service<Config>::Unregister();
    }

    // One frame's touch at a virtual-screen point, then the box's update.
    static void Frame(int32_t phase, float x, float y) {
        TouchEvent event = {};
        event.position = Vector2(x / 1024.0f, y / 768.0f);
        event.phase = phase;
        TouchEvents.assign(1, event);
        UpdateMessageBox();
    }
    size_t OpenBoxes() const { return GetKeyboardListeners().Count() - listeners_; }

    ScratchFolder layouts_;
    Config config_;
    size_t listeners_ = 0;
};

TEST_F(MessageBoxesTest, ANewBoxReplacesAndDeletesTheOpenOne) {
    EXPECT_EQ(GetMessageBox(), nullptr);
    CloseMessageBox();  // none open: nothing
    UpdateMessageBox();

    UI::UIMsgBox* plain = ShowMessageBox("MsgBox.xml", "Quit?");
    EXPECT_EQ(GetMessageBox(), plain);
    EXPECT_TRUE(MessageBoxOpen);
    EXPECT_TRUE(plain->button_handler_.IsBound());
    ASSERT_EQ(plain->size(), 3u) << "the layout of the configured folder";
    EXPECT_EQ(static_cast<UI::UILabel*>(*std::next(plain->begin()))->text_, L"Quit?");

    ShowMessageBox("MsgBox.xml", "Again");
    EXPECT_EQ(OpenBoxes(), 1u);
    CSummaryMsgBox* summary = ShowSummaryBox();
    EXPECT_EQ(GetMessageBox(), summary);
    EXPECT_EQ(summary->message_, L"");
    CWarningMsgBox* warning = ShowWarningBox();
    EXPECT_EQ(GetMessageBox(), warning);
    EXPECT_EQ(OpenBoxes(), 1u);
    EXPECT_TRUE(MessageBoxOpen);
    CloseMessageBox();
    EXPECT_EQ(GetMessageBox(), nullptr);
    EXPECT_FALSE(MessageBoxOpen);
    EXPECT_EQ(OpenBoxes(), 0u);
}

TEST_F(MessageBoxesTest, APlainBoxClosesFromItsOwnButton) {
    ShowMessageBox("MsgBox.xml", "Done");
    Frame(kTouchPress, 150, 120);
    EXPECT_NE(GetMessageBox(), nullptr) << "a press does not close";
    Frame(kTouchRelease, 150, 120);
    EXPECT_EQ(GetMessageBox(), nullptr);
    EXPECT_FALSE(MessageBoxOpen);
    EXPECT_EQ(OpenBoxes(), 0u);
    Frame(kTouchRelease, 150, 120);  // nothing open any more
}

// A box that, from its button, closes itself and opens the next one.
void OpenNext(void*, UI::UIButton*) { ShowMessageBox("MsgBox.xml", "Next"); }

TEST_F(MessageBoxesTest, ABoxOpenedFromTheClosingButtonStaysOpen) {
    CSummaryMsgBox* summary = ShowSummaryBox();
    summary->button_handler_ = Delegate<UI::UIButton*>(nullptr, &OpenNext);
    Frame(kTouchPress, 150, 270);
    Frame(kTouchRelease, 150, 270);
    UI::UIMsgBox* next = GetMessageBox();
    ASSERT_NE(next, nullptr);
    EXPECT_NE(next, summary);
    EXPECT_EQ(next->message_, L"Next");
    EXPECT_TRUE(MessageBoxOpen) << "the summary's going does not close the new box";
    EXPECT_EQ(OpenBoxes(), 1u);
}

TEST_F(MessageBoxesTest, SummaryAndWarningBoxesSetTheTextsOfTheirAreas) {
    CSummaryMsgBox* summary = ShowSummaryBox();
    ASSERT_NE(summary->attack_, nullptr) << "the area named Attack, not the image";
    ASSERT_NE(summary->info_, nullptr);
    summary->SetAttackText(L"Wave 3 is over");
    summary->SetInfoText(L"Gold 120|Kills 7");
    EXPECT_EQ(summary->attack_->lines_, std::vector<std::wstring>{L"Wave 3 is over"});
    EXPECT_EQ(summary->info_->lines_, (std::vector<std::wstring>{L"Gold 120", L"Kills 7"}));

    CWarningMsgBox* warning = ShowWarningBox();
    ASSERT_NE(warning->info_, nullptr);
    warning->SetInfoText(L"The game data was changed.");
    EXPECT_EQ(warning->info_->lines_, std::vector<std::wstring>{L"The game data was changed."});

    // A layout without the areas takes the texts without complaint.
    layouts_.Write("warningwindow.xml", R"(<layout><image name="Info"/></layout>)");
    warning = ShowWarningBox();
    EXPECT_EQ(warning->info_, nullptr);
    warning->SetInfoText(L"nowhere");
}

TEST_F(MessageBoxesTest, TheBattlesBoxesAreTheGamesMessageBoxes) {
    BattleBoxes boxes;
    ASSERT_TRUE(boxes.ShowSummary());
    CSummaryMsgBox* summary = dynamic_cast<CSummaryMsgBox*>(GetMessageBox());
    ASSERT_NE(summary, nullptr);
    boxes.SetSummaryAttackText(L"Attack  2");
    boxes.SetSummaryInfoText(L"Attack");
    EXPECT_EQ(summary->attack_->lines_, std::vector<std::wstring>{L"Attack  2"});
    EXPECT_EQ(summary->info_->lines_, std::vector<std::wstring>{L"Attack"});
    ASSERT_TRUE(boxes.ShowWarning(L"Modified"));
    CWarningMsgBox* warning = dynamic_cast<CWarningMsgBox*>(GetMessageBox());
    ASSERT_NE(warning, nullptr);
    EXPECT_EQ(warning->info_->lines_, std::vector<std::wstring>{L"Modified"});
    boxes.SetSummaryAttackText(L"not the summary");  // the warning is open: nothing
    boxes.Close();
    EXPECT_EQ(GetMessageBox(), nullptr);
}

}  // namespace
