// The score submission form of the real game, reached from a battle that ends
// (its game-over event) through the score question, driven by input scripts;
// the score requests go to the test server.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "App/CGame.h"
#include "App/GameFixture.h"
#include "App/LayoutClicks.h"
#include "Classes/UI/MenuStates.h"
#include "Core/Service.h"
#include "Game/GameSettings.h"
#include "Net/CNetThread.h"
#include "UI/UIGlobals.h"
#include "UI/UILabel.h"
#include "platform/win32/WinInet.h"
#include "support/FrameDriver.h"
#include "support/RunDunmarch.h"
#include "support/ScratchDir.h"
#include "support/TestServer.h"
#include "tools/catalogue/Layouts.h"

namespace {

namespace layouts = catalogue::layouts;
using layoutclicks::ClickOn;
using testsupport::TestServer;

const char* const kMessages[] = {"Sending_score", "Score_sent_successfully", "Sending_score_failure", "Incorrect mail",
                                 "Incorrect user data"};

class SubmitFormTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        EnterScratchGameFolder(root_);
        ASSERT_TRUE(server_.Listening());
        platform::SetNetRedirect(server_.Address());
    }
    void TearDown() override {
        gamefixture::Hook() = nullptr;
        driver_.reset();
        platform::SetNetRedirect("");
        GameTest::TearDown();
    }

    // The main menu, the controls, a battle on the first map, its end, the
    // score question's "Yes": the form. The identity is remembered first.
    void ReachForm(const std::string& name, const std::string& email, uint32_t frameMs = 33) {
        game_->RunInitialize();
        RunLoading();
        GameSettings* settings = Service<GameSettings>::Get();
        settings->SetPlayerName(name);
        settings->SetEmail(email);
        driver_.reset(new testsupport::FrameDriver(game_.get(), frameMs));
        ASSERT_TRUE(driver_->Opened());
        gamefixture::Hook() = [this](const char* line) { driver_->OnTraceLine(line); };
        Machine().post_event(EvSkipLangChoose());
        Machine().post_event(EvLoadingFinised());
        ASSERT_TRUE(driver_->Frame());
        Play(ClickOn(10, layouts::kMainWindow, "Play") + ClickOn(30, layouts::kControlsWindow, "background"));
        ASSERT_TRUE(In<GameState>());
        DeliverBattleEvent(EvGameOver(), "EvGameOver");
        ASSERT_TRUE(In<ScoreWindow>());
        if (!ui_folder_.empty()) game_->GetConfig().Paths.UiPath.swap(ui_folder_);
        Play(ClickOn(10, layouts::kScoreWindow, "Yes"));
        if (!ui_folder_.empty()) game_->GetConfig().Paths.UiPath.swap(ui_folder_);
        ASSERT_TRUE(In<SubmitWindow>());
    }

    GameMachine& Machine() { return game_->GetMachine(); }
    template <class S>
    bool In() {
        return Machine().state_cast<const S*>() != nullptr;
    }
    SubmitWindow& Form() { return const_cast<SubmitWindow&>(Machine().state_cast<const SubmitWindow&>()); }
    void Play(const std::string& script, int after = 20) {
        ASSERT_TRUE(driver_->Play(script));
        ASSERT_TRUE(driver_->RunScript(600));
        for (int i = 0; i < after; ++i) ASSERT_TRUE(driver_->Frame());
    }
    UI::UIElement* Element(const char* name) {
        for (UI::UIElement* e : Form())
            if (e->name_ == name) return e;
        return nullptr;
    }
    bool Shown(const char* name) {
        UI::UIElement* e = Element(name);
        return e != nullptr && e->visible_;
    }
    UI::UILabel* Field(const char* name) { return dynamic_cast<UI::UILabel*>(Element(name)); }
    // The messages shown, one after the other ("" for none).
    std::string Message() {
        std::string shown;
        for (const char* name : kMessages)
            if (Shown(name)) shown += name;
        return shown;
    }
    int BusyFramesShown() {
        int shown = 0;
        for (const char* frame : {"Dunmarch_1", "Dunmarch_2", "Dunmarch_3", "Dunmarch_4"}) shown += Shown(frame);
        return shown;
    }
    // Frames until the form leaves state 3 (the request runs on its own thread).
    void AwaitResult() {
        for (int i = 0; i < 2000 && In<SubmitWindow>() && Form().SubmitFormState == 3; ++i) {
            ASSERT_TRUE(driver_->Frame());
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    static std::string Click(const char* element, long frame = 0) {
        return ClickOn(frame, layouts::kSubmitWindow, element);
    }
    // "F click X Y" at x of the element's middle line.
    static std::string ClickAt(const char* element, int x, long frame) {
        const layouts::Rect r = layouts::FindWindow(layouts::kSubmitWindow)->At(element);
        return std::to_string(frame) + " click " + std::to_string(x) + " " + std::to_string(r.CentreY()) + "\n";
    }
    static GameSettings Stored() {
        GameSettings stored;
        stored.Load();
        return stored;
    }

    ScratchDir root_;
    TestServer server_;
    std::string ui_folder_;  // the form's own layout folder, when a test gives one
    std::unique_ptr<testsupport::FrameDriver> driver_;
};

TEST_F(SubmitFormTest, TheFormOpensFilledAndChecksTheEmailBeforeTheName) {
    ReachForm("Keeper", "keeper@dunmarch.org");
    EXPECT_EQ(Form().SubmitFormState, 0);
    EXPECT_EQ(Field("Name")->GetText(), "Keeper");
    EXPECT_EQ(Field("E-mail")->GetText(), "keeper@dunmarch.org");
    EXPECT_EQ(Message(), "");
    for (const char* hidden : {"Dunmarch_1", "Dunmarch_2", "Dunmarch_3", "Dunmarch_4", "OK", "OK_txt", "SubmitInActive",
                               "CancelInActive", "NoConnection"})
        EXPECT_FALSE(Shown(hidden)) << hidden;
    for (const char* shown : {"Submit", "Submit_txt", "Cancel", "Cancel_txt", "Name", "E-mail", "Text use only"})
        EXPECT_TRUE(Shown(shown)) << shown;

    struct Case {
        const char* name;
        const char* email;
        int state;
        const char* message;
    };
    const Case cases[] = {
        {"", "no-at-sign.org", 1, "Incorrect mail"},  // both wrong: the e-mail is named
        {"", "a@b.c", 2, "Incorrect user data"},
        {"Keeper", "a@.bc", 1, "Incorrect mail"},
    };
    for (const Case& c : cases) {
        Field("Name")->SetText(std::string(c.name), 0);
        Field("E-mail")->SetText(std::string(c.email), 0);
        Play(Click("Submit"), 2);
        EXPECT_EQ(Form().SubmitFormState, c.state) << c.email;
        EXPECT_EQ(Message(), c.message) << c.email;
        EXPECT_FALSE(Shown("Text use only"));
    }
    EXPECT_EQ(server_.Count(TestServer::Route::Score), 0);
    EXPECT_EQ(Stored().GetPlayerName(), "") << "nothing remembered from rejected input";

    // A key in a field clears the message; the state stays.
    Play(Click("Name") + "2 type x\n", 2);
    EXPECT_EQ(Field("Name")->GetText(), "Keeperx");
    EXPECT_EQ(Message(), "");
    EXPECT_EQ(Form().SubmitFormState, 1);
    Play(Click("Cancel"));
    EXPECT_TRUE(In<MainWindow>());
}

// A press anywhere on a field focuses it, its left part beside the
// right-aligned caption included, and the keys go there.
TEST_F(SubmitFormTest, APressOnAnyPartOfAFieldFocusesItForTyping) {
    ReachForm("", "");
    const layouts::Window* form = layouts::FindWindow(layouts::kSubmitWindow);
    struct Case {
        const char* field;
        int x;
        const char* typed;
    };
    const Case cases[] = {{"E-mail", form->At("E-mail").x + 12, "a"},
                          {"Name", form->At("Name").x + 12, "b"},
                          {"E-mail", form->At("E-mail").CentreX(), "c"},
                          {"Name", form->At("Name").CentreX(), "d"}};
    std::string name, email;
    for (const Case& c : cases) {
        Play(ClickAt(c.field, c.x, 0) + "2 type " + c.typed + "\n", 2);
        (std::string(c.field) == "Name" ? name : email) += c.typed;
        EXPECT_EQ(FocusedLabel, Field(c.field)) << c.field << " pressed at x " << c.x;
        EXPECT_EQ(Field("Name")->GetText(), name);
        EXPECT_EQ(Field("E-mail")->GetText(), email);
    }
}

// Typed as a player types them, an address with "-" among them; the identity
// is kept in "settings.dat" and reaches the server; only "OK" remains and leaves.
TEST_F(SubmitFormTest, AGoodEntryIsRememberedAndSentAndOnlyOKLeaves) {
    ReachForm("", "");
    Play(Click("Name") + "2 type Harrowmere\n" + Click("E-mail", 3) + "5 type keeper-one@dun-march.org\n" +
             Click("Submit", 6),
         0);
    EXPECT_NE(driver_->FrameOf("submit form state: 3"), -1);
    AwaitResult();
    ASSERT_EQ(Form().SubmitFormState, 4);
    EXPECT_EQ(Stored().GetPlayerName(), "Harrowmere");
    EXPECT_EQ(Stored().GetEmail(), "keeper-one@dun-march.org");
    const std::vector<TestServer::Score> scores = server_.Scores();
    ASSERT_EQ(scores.size(), 1u);
    EXPECT_TRUE(scores[0].accepted) << scores[0].failed;
    EXPECT_EQ(scores[0].name, "Harrowmere");
    EXPECT_EQ(scores[0].email, "keeper-one@dun-march.org");
    EXPECT_EQ(Message(), "Score_sent_successfully");
    for (const char* hidden : {"Submit", "Submit_txt", "Cancel", "Cancel_txt", "SubmitInActive", "CancelInActive"})
        EXPECT_FALSE(Shown(hidden)) << hidden;
    EXPECT_EQ(BusyFramesShown(), 0);
    EXPECT_TRUE(Shown("OK"));
    EXPECT_TRUE(Shown("OK_txt"));
    EXPECT_FALSE(Form().SubmitRequest);

    // The hidden "Submit" sends nothing more.
    Play(Click("Submit"), 5);
    EXPECT_EQ(server_.Count(TestServer::Route::Score), 1);
    Play(Click("OK"));
    EXPECT_TRUE(In<MainWindow>());
}

// A failure reply and a refused connection: state 5 with its message and the
// reason printed; the identity was written before; "Submit" sends again.
TEST_F(SubmitFormTest, AFailedSubmissionShowsItsMessageKeepsTheIdentityAndMaySendAgain) {
    ReachForm("Harrowmere", "keeper@dunmarch.org");
    struct Case {
        TestServer::Fault fault;
        bool refused;
        const char* name;
        const char* printed;
    };
    const Case cases[] = {{TestServer::Fault::ServerError, false, "First", "Error getting info from server ("},
                          {TestServer::Fault::None, true, "Second", "Error connecting to server (3)"}};
    for (const Case& c : cases) {
        server_.SetFault(TestServer::Route::Score, c.fault);
        if (c.refused) platform::SetNetRedirect("127.0.0.1:" + std::to_string(testsupport::ClosedLoopbackPort()));
        Field("Name")->SetText(std::string(c.name), 0);
        ::testing::internal::CaptureStdout();
        Play(Click("Submit"), 0);
        AwaitResult();
        const std::string printed = ::testing::internal::GetCapturedStdout();
        ASSERT_EQ(Form().SubmitFormState, 5);
        EXPECT_NE(printed.find(c.printed), std::string::npos) << printed;
        EXPECT_EQ(Message(), "Sending_score_failure");
        EXPECT_EQ(BusyFramesShown(), 0);
        EXPECT_FALSE(Shown("SubmitInActive"));
        EXPECT_TRUE(Shown("Submit"));
        EXPECT_EQ(Stored().GetPlayerName(), c.name);
    }
    platform::SetNetRedirect(server_.Address());
    server_.SetFault(TestServer::Route::Score, TestServer::Fault::None);
    Play(Click("Submit"), 0);
    AwaitResult();
    EXPECT_EQ(Form().SubmitFormState, 4);
    EXPECT_EQ(server_.Count(TestServer::Route::Score), 2);
}

// A request that never finishes: the form stays in state 3 and keeps drawing,
// its busy indicator one step a frame with 250 ms frames (the excess kept),
// neither button acts; letting the form go does not wait for the request.
TEST_F(SubmitFormTest, ARequestThatNeverFinishesKeepsTheFormBusyAndIsLetGoWithoutWaiting) {
    ReachForm("Harrowmere", "keeper@dunmarch.org", 250);
    server_.SetFault(TestServer::Route::Score, TestServer::Fault::Stall);
    Play(Click("Submit"), 0);
    ASSERT_EQ(Form().SubmitFormState, 3);
    ASSERT_TRUE(server_.WaitForStall(20000));
    // Started at frame 0 with nothing gathered, a step for each frame since.
    const int started = Form().BusyFrameIndex;
    ASSERT_GE(started, 0);
    EXPECT_EQ(BusyTimer, 150 * started);
    EXPECT_EQ(Message(), "Sending_score");
    EXPECT_TRUE(Shown("SubmitInActive"));
    EXPECT_TRUE(Shown("CancelInActive"));
    for (int step = started + 1; step <= started + 6; ++step) {
        const size_t drawn = null->Log().size();
        ASSERT_TRUE(driver_->Frame());
        EXPECT_GT(null->Log().size(), drawn) << "the form draws";
        EXPECT_EQ(Form().BusyFrameIndex, step % 4);
        EXPECT_EQ(BusyTimer, 150 * step);
        EXPECT_EQ(BusyFramesShown(), 1);
        EXPECT_TRUE(Shown(("Dunmarch_" + std::to_string(step % 4 + 1)).c_str()));
    }
    Play(Click("Cancel") + Click("Submit", 2), 5);
    ASSERT_TRUE(In<SubmitWindow>());
    EXPECT_EQ(Form().SubmitFormState, 3);
    EXPECT_EQ(Form().PendingButtonId, 0);
    EXPECT_EQ(server_.Count(TestServer::Route::Score), 0) << "the held-up request is the only one";

    // The program ends with the request still held up.
    const std::weak_ptr<Threading::Thread> request = Form().SubmitRequest->weak_from_this();
    Machine().terminate();
    EXPECT_FALSE(request.expired()) << "the request lives on by itself";
    server_.LiftStall();
    for (int i = 0; i < 2000 && !request.expired(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(request.expired());
}

// A layout that lacks most of the form: what it has is bound and hidden as
// usual, the rest is skipped.
TEST_F(SubmitFormTest, MissingFormElementsAreSkipped) {
    std::filesystem::create_directories("formui");
    root_.Write("game/formui/submitwindow.xml",
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<layout>\n"
                "  <text name=\"Incorrect mail\" posx=\"112\" posy=\"380\" sizex=\"800\" sizey=\"48\" "
                "font=\"tarragon_40.fnt\" texttr=\"UiIncorrectMail\"/>\n"
                "  <button name=\"Submit\" file=\"button.png\" posx=\"192\" posy=\"600\" sizex=\"280\" sizey=\"64\"/>\n"
                "  <button name=\"OK\" file=\"button.png\" posx=\"552\" posy=\"600\" sizex=\"280\" sizey=\"64\"/>\n"
                "</layout>\n");
    ui_folder_ = "formui/";
    ReachForm("Harrowmere", "keeper@dunmarch.org");
    ASSERT_NE(Element("Submit"), nullptr);
    EXPECT_FALSE(Shown("Incorrect mail"));
    EXPECT_FALSE(Shown("OK"));
    // No e-mail field: an empty address.
    Play(Click("Submit"), 2);
    EXPECT_EQ(Form().SubmitFormState, 1);
    EXPECT_TRUE(Shown("Incorrect mail"));
}

}  // namespace
