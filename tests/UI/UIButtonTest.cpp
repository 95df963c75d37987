// The button: its role and colours from the layout, which of its three looks
// it draws, and how each role answers touches.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Graphics/Draw2D.h"
#include "UI/UIButton.h"
#include "UI/UIImage.h"
#include "UITestFixture.h"

namespace {

using uitest::RGBA;

class UIButtonTest : public uitest::UITest {};

TEST_F(UIButtonTest, RoleAndColoursFromTheLayout) {
    UI::UIWindowView window;
    window.LoadLayout(Layout("buttons.xml", R"(
        <button name="plain" tint="1 2 3" tintPress="4 5 6 7" tintOver="8 9"/>
        <button name="box" chkBox="1"/>
        <button name="notBox" chkBox="0"/>
        <button name="radio" radioGrp="3" chkBox="1"/>
        <button name="radio0" radioGrp="0"/>
    )"));
    auto* plain = Find<UI::UIButton>(window, "plain");
    EXPECT_EQ(RGBA(plain->tints_[0]), std::make_tuple(1, 2, 3, 255));
    EXPECT_EQ(RGBA(plain->tints_[1]), std::make_tuple(4, 5, 6, 7));
    EXPECT_EQ(RGBA(plain->tints_[2]), std::make_tuple(255, 255, 255, 255)) << "two numbers are no colour";
    const struct {
        const char* name;
        bool checkBox;
        int group;
    } roles[] = {
        {"plain", false, -1}, {"box", true, -1}, {"notBox", false, -1}, {"radio", false, 3}, {"radio0", false, 0}};
    for (const auto& r : roles) {
        auto* button = Find<UI::UIButton>(window, r.name);
        EXPECT_EQ(button->check_box_, r.checkBox) << r.name;
        EXPECT_EQ(button->radio_group_, r.group) << r.name;
    }
}

TEST_F(UIButtonTest, DrawsOneOfThreeLooks) {
    Image("face.png", 64, 32);
    Image("down.png", 16, 16);
    Image("over.png", 32, 16);
    UI::UIWindowView window;
    window.LoadLayout(Layout("looks.xml", R"(
        <button name="tinted" file="face.png" tint="10 10 10" tintPress="20 20 20" tintOver="30 30 30"/>
        <button name="pictured" file="face.png" tint="10 10 10" tintPress="20 20 20" tintOver="30 30 30">
            <image name="down" file="down.png" posx="5" tint="1 1 1"/><image name="over" state="1" file="over.png" posx="6"/>
        </button>
        <button name="bare"><image name="down2" file="down.png"/></button>
    )"));
    auto* tinted = Find<UI::UIButton>(window, "tinted");
    auto* pictured = Find<UI::UIButton>(window, "pictured");
    auto* bare = Find<UI::UIButton>(window, "bare");
    IDirect3DBaseTexture9* face = TextureOf(*tinted);
    IDirect3DBaseTexture9* down = TextureOf(*pictured->pressed_image_);
    IDirect3DBaseTexture9* over = TextureOf(*pictured->over_image_);
    const struct {
        int state;
        bool hovered;
        IDirect3DBaseTexture9* tintedTexture;
        int tintedGrey;
        IDirect3DBaseTexture9* picturedTexture;
        int picturedGrey;
    } cases[] = {
        {0, false, face, 10, face, 10},
        {0, true, face, 30, over, 255},
        {1, false, face, 20, down, 1},
        {1, true, face, 20, down, 1},  // over never hides pressed
    };
    Graphics::Draw2D::Begin();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << c.state << (c.hovered ? ", hovered" : ""));
        for (UI::UIButton* button : {tinted, pictured, bare}) button->state_ = c.state, button->hovered_ = c.hovered;
        null->ClearLog();
        for (UI::UIButton* button : {tinted, pictured, bare}) button->Draw();
        const std::vector<uitest::Quad> quads = Quads();
        ASSERT_EQ(quads.size(), 2u) << "a button without a file draws nothing";
        EXPECT_EQ(quads[0].texture, c.tintedTexture);
        EXPECT_EQ(quads[0].color.r, c.tintedGrey);
        EXPECT_EQ(quads[1].texture, c.picturedTexture);
        EXPECT_EQ(quads[1].color.r, c.picturedGrey);
    }
    null->ClearLog();
    tinted->visible_ = false;
    tinted->Draw();
    EXPECT_TRUE(Quads().empty());
}

TEST_F(UIButtonTest, EachRoleAnswersTouches) {
    const struct {
        const char* role;
        bool checkBox;
        int group;
        int32_t phase;
        bool hit;
        int stateBefore, radioBefore;
        int stateAfter, radioAfter;
        bool checkedAfter;
        int currentGroup;
    } cases[] = {
        // A check box flips on presses that land on it only.
        {"box, press on", true, -1, kTouchPress, true, 0, 0, 1, 0, true, -1},
        {"box, press off", true, -1, kTouchPress, false, 0, 0, 0, 0, false, -1},
        {"box, release on", true, -1, kTouchRelease, true, 0, 0, 0, 0, false, -1},
        // A plain button is pressed from a press on it to the next press or release.
        {"plain, press on", false, -1, kTouchPress, true, 0, 0, 1, 0, false, -1},
        {"plain, press off", false, -1, kTouchPress, false, 1, 0, 0, 0, false, -1},
        {"plain, release on", false, -1, kTouchRelease, true, 1, 0, 0, 0, false, -1},
        // A radio button is just pressed until its group settles.
        {"radio, press on", false, 7, kTouchPress, true, 0, 0, 1, 2, false, 7},
        {"radio, press off", false, 7, kTouchPress, false, 1, 1, 1, 1, false, -1},
        {"radio, release on", false, 7, kTouchRelease, true, 1, 0, 1, 0, false, -1},
        {"radio, release off, selected", false, 7, kTouchRelease, false, 0, 1, 1, 1, false, -1},
        {"radio, release off, not selected", false, 7, kTouchRelease, false, 1, 0, 0, 0, false, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.role);
        CurrentRadioGroup = -1;
        UI::UIButton button;
        button.check_box_ = c.checkBox;
        button.radio_group_ = c.group;
        button.state_ = c.stateBefore;
        button.radio_state_ = c.radioBefore;
        TouchEvent event = {};
        event.phase = c.phase;
        EXPECT_EQ(button.OnTouch(c.hit, Vector2(), event), c.hit) << "consumes exactly what lands on it";
        EXPECT_EQ(button.state_, c.stateAfter);
        EXPECT_EQ(button.radio_state_, c.radioAfter);
        EXPECT_EQ(button.IsChecked(), c.checkedAfter);
        EXPECT_EQ(CurrentRadioGroup, c.currentGroup);
    }
    UI::UIButton box;
    box.check_box_ = true;
    TouchEvent press = {};
    for (bool expected : {true, false, true}) {
        box.OnTouch(true, Vector2(), press);
        EXPECT_EQ(box.IsChecked(), expected);
        EXPECT_EQ(box.state_, expected ? 1 : 0);
    }
}

}  // namespace
