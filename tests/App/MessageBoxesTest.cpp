// The one open message box: each new box replaces and deletes the open one,
// a button closes a plain box, and closing with none open does nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "App/MessageBoxes.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Core/Service.h"
#include "Core/StandInTrace.h"

namespace {

std::vector<std::string> g_events;
void Record(const char* event) { g_events.push_back(event); }

class MessageBoxesTest : public ::testing::Test {
protected:
    void SetUp() override {
        config_.Paths.UiPath = "res-pc/ui/";
        Service<Config>::Register(&config_);
        standin::SetListener(&Record);
        g_events.clear();
    }
    void TearDown() override {
        CloseMessageBox();
        standin::SetListener(nullptr);
        Service<Config>::Unregister();
    }

    Config config_;
};

TEST_F(MessageBoxesTest, ANewBoxReplacesAndDeletesTheOpenOne) {
    EXPECT_EQ(GetMessageBox(), nullptr);
    CloseMessageBox();  // none open: nothing
    EXPECT_TRUE(g_events.empty());

    UI::UIMsgBox* plain = ShowMessageBox("MsgBox.xml", "Quit?");
    EXPECT_EQ(GetMessageBox(), plain);
    EXPECT_EQ(plain->GetLayoutPath(), "res-pc/ui/MsgBox.xml");
    EXPECT_EQ(plain->GetMessage(), L"Quit?");
    EXPECT_TRUE(plain->button_handler_.IsBound());

    UI::UIMsgBox* second = ShowMessageBox("MsgBox.xml", "Again");
    EXPECT_EQ(g_events, std::vector<std::string>{"message box deleted"});
    CSummaryMsgBox* summary = ShowSummaryBox();
    EXPECT_EQ(summary->GetLayoutPath(), "res-pc/ui/SummaryWindow.xml");
    EXPECT_EQ(summary->GetMessage(), L"");
    CWarningMsgBox* warning = ShowWarningBox();
    EXPECT_EQ(warning->GetLayoutPath(), "res-pc/ui/WarningWindow.xml");
    EXPECT_EQ(GetMessageBox(), warning);
    EXPECT_EQ(g_events.size(), 3u);
    (void)second;
}

TEST_F(MessageBoxesTest, AButtonClosesThePlainBox) {
    UI::UIMsgBox* box = ShowMessageBox("MsgBox.xml", "Done");
    box->button_handler_(nullptr);
    EXPECT_EQ(GetMessageBox(), nullptr);
    EXPECT_EQ(g_events, std::vector<std::string>{"message box deleted"});
}

}  // namespace
