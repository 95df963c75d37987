// The slider and the progress bar: the track from the nested images, values
// from presses reported once, the bar cut at the value and the thumb on it,
// values outside 0..1 drawn at the ends, and a progress bar that never
// consumes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Graphics/Draw2D.h"
#include "UI/UIButton.h"
#include "UI/UIImage.h"
#include "UI/UISlider.h"
#include "UITestFixture.h"

namespace {

using uitest::XY;

class UISliderTest : public uitest::UITest {
public:
    void Value(float value) { reported.push_back(value); }
    void Element(UI::UIElement* element) { handled.push_back(element->name_); }

protected:
    // Presses (each after a quiet frame) at x on the slider's row.
    void PressAt(UI::UIWindowView& window, float x) {
        NoTouch();
        window.UpdateElements();
        Touch(kTouchPress, x, 10);
        PointerAt(x, 10);
        window.UpdateElements();
    }

    std::vector<float> reported;
    std::vector<std::string> handled;
};

TEST_F(UISliderTest, FinishTakesTheTrackAndAnchorFromTheImages) {
    Image("bar.png", 256, 16);
    Image("thumb.png", 32, 16);
    UI::UIWindowView window;
    window.LoadLayout(Layout("sliders.xml", R"(
        <slider name="fromImages"><image name="bar" file="bar.png" posx="100"/><image name="thumb" type="1" file="thumb.png"/></slider>
        <slider name="given" bcx="3" bcy="4" xposin="50" xsizein="70"><image file="bar.png" posx="100"/><image type="1" file="thumb.png"/></slider>
        <progress name="zero" xsizein="0"></progress>
        <slider name="none"></slider>
        <slider name="selfClosed" xposin="10" xsizein="0"/>
    )"));
    const struct {
        const char* name;
        std::pair<float, float> anchor;
        float trackX, trackWidth;
    } cases[] = {
        {"fromImages", {16, 8}, 100, 256}, {"given", {3, 4}, 50, 70},       {"zero", {-1, -1}, -1, 100},
        {"none", {-1, -1}, -1, -1},        {"selfClosed", {-1, -1}, 10, 0},  // no finishing step
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto* slider = Find<UI::UISlider>(window, c.name);
        ASSERT_NE(slider, nullptr);
        EXPECT_EQ(XY(slider->thumb_anchor_), c.anchor);
        EXPECT_EQ(slider->track_x_, c.trackX);
        EXPECT_EQ(slider->track_width_, c.trackWidth);
        EXPECT_EQ(slider->value_, 1.0f);
    }
}

TEST_F(UISliderTest, PressesLeftAndRightOfTheTrackReportOnce) {
    UI::UIWindowView window;
    window.LoadLayout(Layout("volume.xml", R"(
        <slider name="volume" posx="0" posy="0" sizex="400" sizey="20" xposin="100" xsizein="200"/>
        <slider name="backwards" posx="500" posy="0" sizex="400" sizey="20" xposin="700" xsizein="-1"/>
    )"));
    for (UI::UIElement* element : window)
        static_cast<UI::UISlider*>(element)->value_handler_ =
            UI::UISlider::ValueHandler::FromMethod<&UISliderTest::Value>(this);
    auto* volume = Find<UI::UISlider>(window, "volume");
    for (float x : {50.0f, 60.0f, 350.0f, 390.0f, 200.0f, 200.0f}) PressAt(window, x);
    EXPECT_EQ(reported, (std::vector<float>{0.0f, 1.0f, 0.5f}));
    EXPECT_EQ(volume->last_value_, 0.5f);
    // A width of -1 is used as written: right of the start is below 0.
    reported.clear();
    for (float x : {800.0f, 600.0f, 700.0f}) PressAt(window, x);
    EXPECT_EQ(reported, (std::vector<float>{0.0f, 1.0f, 0.0f}));
}

TEST_F(UISliderTest, BarIsCutAtTheValueAndTheThumbSitsOnIt) {
    Image("bar.png", 256, 32);
    Image("frame.png", 64, 64);
    Image("thumb.png", 16, 16);
    UI::UIWindowView window;
    window.LoadLayout(Layout("volume.xml", R"(
        <slider name="s" file="frame.png" posx="90" posy="190" sizex="220" sizey="40" tint="9 9 9">
            <image name="bar" file="bar.png" posx="100" posy="200" x0="0" y0="8" x1="200" y1="28" tint="1 2 3"/>
            <image name="thumb" type="1" file="thumb.png" tint="4 5 6"/>
        </slider>
    )"));
    auto* slider = Find<UI::UISlider>(window, "s");
    IDirect3DBaseTexture9* bar = TextureOf(*slider->bar_image_);
    IDirect3DBaseTexture9* frame = TextureOf(*slider);
    IDirect3DBaseTexture9* thumb = TextureOf(*slider->thumb_image_);
    const struct {
        float value;
        float barWidth;  // drawn, and from the source: both 200 wide
        float thumbX;    // bar x + 200 x value - half the thumb
    } cases[] = {{0.5f, 100, 192}, {0.333f, 66, 158.6f}, {1.0f, 200, 292},
                 {1.5f, 200, 292}, {0.0f, 0, 92},        {-0.5f, 0, 92}};
    Graphics::Draw2D::Begin();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        slider->value_ = c.value;
        null->ClearLog();
        slider->Draw();
        EXPECT_EQ(slider->value_, c.value) << "drawing keeps the value as set";
        std::vector<uitest::Quad> quads = Quads();
        if (c.barWidth > 0) {
            ASSERT_EQ(quads.size(), 3u);
            EXPECT_EQ(quads[0].texture, bar);
            EXPECT_EQ(XY(quads[0].position), std::make_pair(100.0f, 200.0f));
            EXPECT_EQ(XY(quads[0].size), std::make_pair(c.barWidth, 20.0f));
            EXPECT_EQ(XY(quads[0].sourceOrigin), std::make_pair(0.0f, 8.0f));
            EXPECT_EQ(XY(quads[0].sourceSize), std::make_pair(c.barWidth, 20.0f));
            EXPECT_EQ(quads[0].color.g, 2);
            quads.erase(quads.begin());
        }
        ASSERT_EQ(quads.size(), 2u) << "no bar at zero width";
        EXPECT_EQ(quads[0].texture, frame);
        EXPECT_EQ(XY(quads[0].position), std::make_pair(90.0f, 190.0f));
        EXPECT_EQ(XY(quads[0].size), std::make_pair(220.0f, 40.0f));
        EXPECT_EQ(quads[0].color.g, 9);
        EXPECT_EQ(quads[1].texture, thumb);
        EXPECT_NEAR(quads[1].position.x, c.thumbX, 1e-3);
        EXPECT_EQ(quads[1].position.y, 202.0f) << "the bar's middle less half the thumb";
        EXPECT_EQ(quads[1].color.g, 5);
    }
    // Without its images a slider draws nothing, frame included.
    auto* bare = Find<UI::UISlider>(window, "s");
    bare->bar_image_ = nullptr;
    null->ClearLog();
    bare->Draw();
    EXPECT_TRUE(Quads().empty());
}

TEST_F(UISliderTest, AProgressBarNeverConsumes) {
    UI::UIWindowView window;
    window.LoadLayout(Layout("loading.xml", R"(
        <progress name="load" posx="0" posy="0" sizex="400" sizey="20" xposin="0" xsizein="400"/>
        <button name="start" posx="100" posy="0" sizex="100" sizey="20"/>
    )"));
    for (UI::UIElement* element : window)
        element->press_handler_ = UI::UIElement::Handler::FromMethod<&UISliderTest::Element>(this);
    auto* load = Find<UI::UISlider>(window, "load");
    load->value_handler_ = UI::UISlider::ValueHandler::FromMethod<&UISliderTest::Value>(this);
    load->value_ = 0.3f;
    PressAt(window, 150);
    EXPECT_EQ(handled, (std::vector<std::string>{"load", "start"}));
    EXPECT_EQ(Find<UI::UIButton>(window, "start")->state_, 1);
    EXPECT_EQ(load->value_, 0.3f);
    EXPECT_TRUE(reported.empty());
    // Not even a drag moves it.
    Touch(kTouchPress, 300, 10);
    window.UpdateElements();
    EXPECT_EQ(load->value_, 0.3f);
}

}  // namespace
