// The message box: its set-up from the layout (frame, buttons, the centred
// "Message" label), the open flag and the game's modal mode over its life,
// the window under it frozen, the button reported on release, and drawing
// within the frame without fade.
#include <gtest/gtest.h>

#include <boost/shared_ptr.hpp>

#include <memory>
#include <string>
#include <vector>

#include "Game/GameInterface.h"
#include "UI/UIButton.h"
#include "UI/UILabel.h"
#include "UI/UIMsgBox.h"
#include "UITestFixture.h"

namespace {

using uitest::LTRB;
using uitest::XY;

// A frame at (200, 300), 400 x 200, the message, and "Yes" and "No" side by side.
const char kBox[] = R"(
    <image name="frame" file="frame.png" posx="200" posy="300" sizex="400" sizey="200"/>
    <text name="Message" font="test.fnt" posx="0" posy="340"/>
    <button name="Yes" file="face.png" posx="250" posy="420" sizex="100" sizey="40"/>
    <button name="No" file="face.png" posx="450" posy="420" sizex="100" sizey="40"/>
)";

struct Reports {
    void Button(UI::UIButton* button) { names.push_back(button->name_); }
    void Press(UI::UIElement* element) { names.push_back("press " + element->name_); }
    std::vector<std::string> names;
};

class UIMsgBoxTest : public uitest::UITest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(UITest::SetUp());
        TestFont();
        Image("frame.png", 64, 64);
        Image("face.png", 16, 16);
    }

    std::unique_ptr<UI::UIMsgBox> Box(const std::string& message, const std::string& body = kBox) {
        std::unique_ptr<UI::UIMsgBox> box(new UI::UIMsgBox(Layout("box.xml", body), message));
        box->button_handler_ = UI::UIMsgBox::ButtonHandler::FromMethod<&Reports::Button>(&reports);
        return box;
    }
    static void Frame(UI::UIWindowView& window, int32_t phase, float x, float y) {
        Touch(phase, x, y);
        PointerAt(x, y);
        window.UpdateElements();
    }

    Reports reports;
};

TEST_F(UIMsgBoxTest, SetUpCentresTheMessageOnTheFrame) {
    const struct {
        std::string message;
        float x;
    } cases[] = {
        {"Quit?", 200 + (400 - 50) / 2.0f},
        {std::string(60, 'w'), 200},  // wider than the frame: from its left edge
        {"", 400},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        auto box = Box(c.message);
        EXPECT_EQ(box->frame_, box->front());
        auto* label = Find<UI::UILabel>(*box, "Message");
        EXPECT_EQ(label->text_, std::wstring(c.message.begin(), c.message.end()));
        EXPECT_EQ(XY(label->position_), std::make_pair(c.x, 340.0f));
        EXPECT_TRUE(box->modal_);
        // Every button reports to the box.
        for (const char* name : {"Yes", "No"}) EXPECT_TRUE(Find(*box, name)->release_handler_.IsBound()) << name;
        // A second set-up changes nothing.
        label->position_.x = 7;
        box->Setup();
        EXPECT_EQ(label->position_.x, 7.0f);
    }

    // An editable "Message" and a label of another name keep their own texts.
    auto box =
        Box("Quit?", R"(<image name="frame" sizex="400"/><text name="Message" font="test.fnt" text="own" editable="1"/>
                              <text name="message" font="test.fnt" text="own"/>)");
    for (UI::UIElement* element : *box) {
        if (auto* label = dynamic_cast<UI::UILabel*>(element)) {
            EXPECT_EQ(label->text_, L"own") << label->name_;
        }
    }
}

TEST_F(UIMsgBoxTest, OpenFromConstructionToDestructionAndTheWindowUnderItFrozen) {
    UI::UIWindowView menu;
    menu.LoadLayout(Layout("menu.xml", R"(<button name="Play" posx="250" posy="420" sizex="100" sizey="40"/>)"));
    menu.front()->press_handler_ = UI::UIElement::Handler::FromMethod<&Reports::Press>(&reports);

    // The game's modal mode ends with the box.
    Game::GameInterface game;
    Game::SetGameInterface(&game);
    boost::shared_ptr<Game::GameComponentInterface> component(new UI::UIWindowView);
    game.SetModal(component, true);

    auto box = Box("Sure?");
    EXPECT_TRUE(MessageBoxOpen);
    Frame(menu, kTouchPress, 300, 440);
    EXPECT_TRUE(reports.names.empty()) << "the menu under the box takes no input";
    EXPECT_EQ(static_cast<UI::UIButton*>(menu.front())->state_, 0);
    UiPressedLastFrame = false;
    Frame(*box, kTouchPress, 300, 440);
    EXPECT_EQ(Find<UI::UIButton>(*box, "Yes")->state_, 1) << "the box does";
    box.reset();
    EXPECT_FALSE(MessageBoxOpen);
    EXPECT_FALSE(game.IsModal());
    EXPECT_FALSE(game.GetModalComponent());
    Game::SetGameInterface(nullptr);
    UiPressedLastFrame = false;
    Frame(menu, kTouchPress, 300, 440);
    EXPECT_EQ(reports.names, std::vector<std::string>{"press Play"});

    // Without a game there is no modal mode to end.
    Box("x").reset();
    EXPECT_FALSE(MessageBoxOpen);
}

TEST_F(UIMsgBoxTest, TheButtonReleasedOnIsReported) {
    auto box = Box("Sure?");
    Frame(*box, kTouchPress, 300, 440);    // on Yes
    Frame(*box, kTouchRelease, 500, 440);  // on No
    EXPECT_EQ(reports.names, std::vector<std::string>{"No"});
    Frame(*box, kTouchPress, 500, 440);
    Frame(*box, kTouchRelease, 300, 440);
    Frame(*box, kTouchRelease, 700, 440);  // on no button
    EXPECT_EQ(reports.names, (std::vector<std::string>{"No", "Yes"}));

    // An owner that closes the box from its button: nothing of the box is
    // touched afterwards.
    struct Owner {
        void Close(UI::UIButton*) { box.reset(); }
        std::unique_ptr<UI::UIMsgBox> box;
    } owner;
    owner.box = std::move(box);
    owner.box->button_handler_ = UI::UIMsgBox::ButtonHandler::FromMethod<&Owner::Close>(&owner);
    Frame(*owner.box, kTouchPress, 300, 440);
    Frame(*owner.box, kTouchRelease, 300, 440);
    EXPECT_FALSE(owner.box);
    EXPECT_FALSE(MessageBoxOpen);
}

TEST_F(UIMsgBoxTest, DrawsInsideTheFrameWithoutFade) {
    auto box = Box(std::string(60, 'w'));
    GetFrameClock().delta = 0.05f;
    null->ClearLog();
    box->Draw();
    EXPECT_EQ(UiClock, 0.0f) << "the box does not move the interface clock";
    EXPECT_EQ(null->Count("ID3DXEffect::Begin(Render2D"), 1u);
    // Frame and two buttons, and no overlay.
    const std::vector<uitest::Quad> quads = Quads();
    ASSERT_EQ(quads.size(), 3u);
    EXPECT_EQ(XY(quads[0].size), std::make_pair(400.0f, 200.0f));
    // The long message runs from the frame's left edge and is cut at its right.
    const std::vector<uitest::Text> texts = Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].pens[0].x, 200.0f);
    EXPECT_GT(texts[0].pens.back().x, 600.0f);
    EXPECT_TRUE(texts[0].clipped);
    EXPECT_EQ(LTRB(texts[0].scissor), std::make_tuple(200, 300, 600, 500));
    for (const d3d9::DrawRecord& draw : null->Draws()) {
        EXPECT_EQ(draw.RenderState(D3DRS_SCISSORTESTENABLE), DWORD(TRUE));
        EXPECT_EQ(LTRB(draw.scissor), std::make_tuple(200, 300, 600, 500));
    }
    EXPECT_EQ(null->CurrentRenderState(D3DRS_SCISSORTESTENABLE), DWORD(FALSE));

    // A clipped label in the box is cut to the frame as well.
    auto* label = Find<UI::UILabel>(*box, "Message");
    label->editable_ = true;
    label->size_ = Vector2(300, 40);
    label->SetText(std::wstring(label->text_), 0);
    ASSERT_TRUE(label->clip_);
    null->ClearLog();
    box->Draw();
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_EQ(LTRB(Texts()[0].scissor), std::make_tuple(200, 340, 500, 380));
    EXPECT_EQ(null->Draws().back().RenderState(D3DRS_SCISSORTESTENABLE), DWORD(TRUE)) << "the buttons after it";
    EXPECT_EQ(LTRB(null->Draws().back().scissor), std::make_tuple(200, 300, 600, 500));

    box->SetVisible(false);
    null->ClearLog();
    box->Draw();
    EXPECT_TRUE(null->Draws().empty());
}

TEST_F(UIMsgBoxTest, ALayoutWithoutElements) {
    auto box = Box("Lost", "");
    UI::UIMsgBox missing(ScratchPath("gone.xml"), "Lost");
    for (UI::UIMsgBox* b : {box.get(), &missing}) {
        EXPECT_EQ(b->frame_, nullptr);
        EXPECT_TRUE(MessageBoxOpen);
        null->ClearLog();
        b->Draw();
        EXPECT_TRUE(null->Log().empty()) << "no frame: nothing drawn";
        Frame(*b, kTouchRelease, 300, 440);
    }
    EXPECT_TRUE(reports.names.empty());
}

}  // namespace
