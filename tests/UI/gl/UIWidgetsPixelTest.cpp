// A window of every widget of this folder drawn on the OpenGL device at half
// fade and read back: the overlay darkens what lies under it, and a progress
// bar fed a value above 1 stays within its bar. Kept as
// $DM_BUILD_DIR/screenshots/ui-widgets.png for a person to look at.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "support/Screenshot.h"
#include "UI/UIButton.h"
#include "UI/UIGlobals.h"
#include "UI/UISlider.h"
#include "UI/UIWindowView.h"
#include "UIPixelFixture.h"

namespace {

namespace Draw2D = Graphics::Draw2D;
using namespace uipixel;

const Rgb kBar{250, 160, 30};

// The layout: a background, a row of three plain buttons (normal, pressed,
// pointer over), a check box, a radio group of three, a volume slider and a
// progress bar, each with images of its own.
const char kLayout[] = R"(<layout>
    <image name="background" file="background.png" sizex="1024" sizey="768"/>
    <button name="normal" file="face.png" posx="100" posy="100" sizex="160" sizey="60" tint="200 200 200" tintPress="120 120 255" tintOver="255 220 120"/>
    <button name="pressed" file="face.png" posx="300" posy="100" sizex="160" sizey="60" tint="200 200 200" tintPress="120 120 255" tintOver="255 220 120"/>
    <button name="over" file="face.png" posx="500" posy="100" sizex="160" sizey="60" tint="200 200 200">
        <image name="overImage" state="1" file="glow.png" posx="495" posy="95" sizex="170" sizey="70"/>
    </button>
    <button name="check" file="face.png" posx="100" posy="220" sizex="40" sizey="40" chkBox="1" tint="200 200 200" tintPress="60 200 60"/>
    <button name="radioA" file="face.png" posx="300" posy="220" sizex="40" sizey="40" radioGrp="1" tint="200 200 200" tintPress="200 60 60"/>
    <button name="radioB" file="face.png" posx="360" posy="220" sizex="40" sizey="40" radioGrp="1" tint="200 200 200" tintPress="200 60 60"/>
    <button name="radioC" file="face.png" posx="420" posy="220" sizex="40" sizey="40" radioGrp="1" tint="200 200 200" tintPress="200 60 60"/>
    <slider name="volume" posx="100" posy="330" sizex="400" sizey="40">
        <image name="volumeBar" file="bar.png" posx="100" posy="340" sizex="400" sizey="20"/>
        <image name="volumeThumb" type="1" file="thumb.png" sizex="24" sizey="40"/>
    </slider>
    <progress name="loading" posx="100" posy="450" sizex="400" sizey="30">
        <image name="loadingBar" file="bar.png" posx="100" posy="450" sizex="400" sizey="30"/>
    </progress>
</layout>)";

class UIWidgetsPixelTest : public uipixel::UIPixelTest {
protected:
    UIWidgetsPixelTest() : UIPixelTest("ui-widgets") {}

    // A texel of the colour, tinted white (x 255/256), blended opaque (x 255/256)
    // and then darkened by the overlay of alpha 127 (x (1 - 127/256)).
    static bool Darkened(DWORD pixel, Rgb colour) {
        const double factor = (255.0 / 256) * (255.0 / 256) * (1 - 127.0 / 256);
        return std::abs(Channel(pixel, 16) - colour.r * factor) <= 3 &&
               std::abs(Channel(pixel, 8) - colour.g * factor) <= 3 &&
               std::abs(Channel(pixel, 0) - colour.b * factor) <= 3;
    }
};

TEST_F(UIWidgetsPixelTest, WidgetsUnderTheFade) {
    Png("background.png", 64, 64, kBackground);
    Png("face.png", 32, 32, {255, 255, 255});
    Png("glow.png", 32, 32, {255, 240, 160}, 200);
    Png("bar.png", 64, 16, kBar);
    Png("thumb.png", 16, 32, {240, 240, 240});
    scratch.Write("widgets.xml", kLayout);

    UI::UIWindowView window;
    window.LoadLayout(scratch / "widgets.xml");
    ASSERT_EQ(window.size(), 10u);
    auto find = [&](const std::string& name) {
        for (UI::UIElement* element : window)
            if (element->name_ == name) return element;
        return static_cast<UI::UIElement*>(nullptr);
    };
    // One frame: the pointer over "over", a press on the second radio button.
    GetPointerState().position = Vector2(580, 130);
    GetPointerState().client_size = Vector2(kWidth, kHeight);
    TouchEvent press = {};
    press.position = Vector2(380.0f / kWidth, 240.0f / kHeight);
    press.phase = kTouchPress;
    TouchEvents.assign(1, press);
    window.UpdateElements();
    UiPressedLastFrame = false;
    static_cast<UI::UIButton*>(find("pressed"))->state_ = 1;
    static_cast<UI::UIButton*>(find("check"))->SetChecked(true);
    static_cast<UI::UISlider*>(find("volume"))->value_ = 0.6f;
    auto* loading = static_cast<UI::UISlider*>(find("loading"));
    loading->value_ = 1.5f;
    ASSERT_EQ(static_cast<UI::UIButton*>(find("radioB"))->radio_state_, 1);
    ASSERT_TRUE(find("over")->hovered_);

    window.alpha_ = 128;
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    Draw2D::Clear(Color(0, 0, 0, 255));
    window.Draw();
    device->EndScene();
    ReadBack();
    testsupport::SaveScreenshot(pixels, kWidth, kHeight, "ui-widgets.png");

    // The background shows darkened by the overlay of alpha 255 - 128.
    EXPECT_TRUE(Darkened(At(50, 50), kBackground)) << std::hex << At(50, 50);
    EXPECT_TRUE(Darkened(At(1000, 700), kBackground)) << std::hex << At(1000, 700);
    // The progress bar ends at its own right edge, x = 500: the half more that
    // 1.5 would give is background.
    EXPECT_TRUE(Darkened(At(300, 465), kBar)) << std::hex << At(300, 465);
    EXPECT_TRUE(Darkened(At(497, 465), kBar)) << std::hex << At(497, 465);
    int barPixelsBeyond = 0;
    for (int y = 452; y < 478; ++y)
        for (int x = 503; x < 720; ++x) barPixelsBeyond += Darkened(At(x, y), kBackground) ? 0 : 1;
    EXPECT_EQ(barPixelsBeyond, 0);
    EXPECT_EQ(loading->value_, 1.5f);
    // The three looks differ: normal grey, pressed blue-ish, the over image.
    const DWORD normal = At(180, 130), pressed = At(380, 130), over = At(580, 130);
    EXPECT_NE(normal, pressed);
    EXPECT_NE(normal, over);
    EXPECT_GT(Channel(pressed, 0), Channel(pressed, 16)) << std::hex << pressed;
    EXPECT_GT(Channel(over, 16), Channel(over, 0)) << std::hex << over;
}

}  // namespace
