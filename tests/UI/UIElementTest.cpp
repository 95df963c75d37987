// The element base and the image: the common layout attributes, the colour
// syntax, the alpha pulse, hover, the rectangle test, and how an image draws
// with its tint, source rectangle, pulse and fade.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Core/Assert.h"
#include "Graphics/Draw2D.h"
#include "IO/XmlReader.h"
#include "UI/UIImage.h"
#include "UITestFixture.h"

namespace {

using uitest::RGBA;
using uitest::XY;

class UIElementTest : public uitest::UITest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(UITest::SetUp());
        Image("wide.png", 256, 64);
    }

    // An image that read the attributes of `<image ...>`.
    static std::unique_ptr<UI::UIImage> Read(const std::string& attributes) {
        std::unique_ptr<irr::io::IrrXMLReader> reader(CreateXmlReaderFromString("<image " + attributes + "/>"));
        std::unique_ptr<UI::UIImage> image(new UI::UIImage);
        while (reader->read())
            if (reader->getNodeType() == irr::io::EXN_ELEMENT) image->ReadAttributes(reader.get());
        return image;
    }
};

struct Expected {
    std::string name = "a";
    std::pair<float, float> position{0, 0};
    std::pair<float, float> size{100, 100};
    bool hasSource = false;
    std::pair<float, float> sourceSize{100, 100};
    std::pair<float, float> cutSize{-1, -1};
    bool visible = true;
    float alpha = 1.0f;
    std::tuple<int, int, int, int> tint{255, 255, 255, 255};
    int hAlign = 0;
    float fadeSpeed = 0.0f;
    float alphaRange = 0.5f;
    float alphaSpeed = 0.0f;
};

TEST_F(UIElementTest, CommonAttributes) {
    const struct {
        const char* attributes;
        std::function<void(Expected&)> expect;
    } cases[] = {
        {R"(name="a")", [](Expected&) {}},
        {R"(posx="5")",
         [](Expected& e) {
             e.name = "none", e.position = {5, 0};
         }},
        {R"(name="a" file="wide.png" posx="12" posy="-7")",
         [](Expected& e) {
             e.position = {12, -7}, e.size = {256, 64};
         }},
        // Numbers are truncated; what is no number reads 0.
        {R"(name="a" posx="abc" posy="12.9" sizex="-3.7")",
         [](Expected& e) {
             e.position = {0, 12}, e.size = {-3, 100};
         }},
        {R"(name="a" file="wide.png" x0="16" y0="8" x1="48" y1="40")",
         [](Expected& e) {
             e.size = {32, 32}, e.hasSource = true, e.sourceSize = {32, 32};
         }},
        {R"(name="a" file="wide.png" x0="16" y0="8" x1="48" y1="40" sizex="50")",
         [](Expected& e) {
             e.size = {50, 32}, e.hasSource = true, e.sourceSize = {32, 32};
         }},
        {R"(name="a" cutsizex="300")",
         [](Expected& e) {
             e.cutSize = {300, -1};
         }},
        {R"(name="a" visible="0")", [](Expected& e) { e.visible = false, e.alpha = 0; }},
        {R"(name="a" visible="2")", [](Expected&) {}},
        // Centring: posx, posy name the centre when the size is the source size ...
        {R"(name="a" centered="1" sizex="100" sizey="100" posx="200" posy="100")",
         [](Expected& e) {
             e.position = {150, 50};
         }},
        {R"(name="a" file="wide.png" x0="0" y0="0" x1="40" y1="20" centered="1" posx="200" posy="100")",
         [](Expected& e) {
             e.position = {180, 90}, e.size = {40, 20}, e.hasSource = true, e.sourceSize = {40, 20};
         }},
        // ... else the element takes the source size, centred in its box: 100 x 100 without a source.
        {R"(name="a" file="wide.png" centered="1" posx="200" posy="100")",
         [](Expected& e) {
             e.position = {278, 82};
         }},
        {R"(name="a" file="wide.png" x0="0" y0="0" x1="40" y1="20" sizex="60" sizey="30" centered="1" posx="200" posy="100")",
         [](Expected& e) {
             e.position = {210, 105}, e.size = {40, 20}, e.hasSource = true, e.sourceSize = {40, 20};
         }},
        {R"(name="a" centered="1" font="main" sizex="60" posx="200" posy="100")",
         [](Expected& e) {
             e.position = {200, 100}, e.size = {60, 100};
         }},
        {R"(name="a" centered="0" sizex="100" posx="200")",
         [](Expected& e) {
             e.position = {200, 0};
         }},
        {R"(name="a" tint="10 20 30")",
         [](Expected& e) {
             e.tint = {10, 20, 30, 255};
         }},
        {R"(name="a" tint="300 -1 7 1000")",
         [](Expected& e) {
             e.tint = {44, 255, 7, 232};
         }},
        {R"(name="a" tint="10 20")", [](Expected&) {}},
        {R"(name="a" tint="red")", [](Expected&) {}},
        {R"(name="a" halign="center")", [](Expected& e) { e.hAlign = 1; }},
        {R"(name="a" halign="right")", [](Expected& e) { e.hAlign = 2; }},
        {R"(name="a" halign="Center")", [](Expected&) {}},
        {R"(name="a" fadeSpeed="2.5" alphaRange="0.4" alphaSpeed="3")",
         [](Expected& e) { e.fadeSpeed = 2.5f, e.alphaRange = 0.2f, e.alphaSpeed = 3; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attributes);
        Expected e;
        c.expect(e);
        const std::unique_ptr<UI::UIImage> image = Read(c.attributes);
        EXPECT_EQ(image->name_, e.name);
        EXPECT_EQ(XY(image->position_), e.position);
        EXPECT_EQ(XY(image->size_), e.size);
        EXPECT_EQ(image->has_source_rect_, e.hasSource);
        EXPECT_EQ(XY(image->source_size_), e.sourceSize);
        EXPECT_EQ(XY(image->cut_size_), e.cutSize);
        EXPECT_EQ(image->visible_, e.visible);
        EXPECT_EQ(image->alpha_, e.alpha);
        EXPECT_EQ(RGBA(image->tint_), e.tint);
        EXPECT_EQ(image->h_align_, e.hAlign);
        EXPECT_FLOAT_EQ(image->fade_speed_, e.fadeSpeed);
        EXPECT_FLOAT_EQ(image->alpha_range_, e.alphaRange);
        EXPECT_FLOAT_EQ(image->alpha_speed_, e.alphaSpeed);
    }
}

TEST_F(UIElementTest, AlphaPulseFollowsTheInterfaceClock) {
    const std::unique_ptr<UI::UIImage> full = Read(R"(name="a" tint="1 2 3 40" alphaSpeed="2")");
    const std::unique_ptr<UI::UIImage> shallow = Read(R"(name="a" alphaSpeed="2" alphaRange="0.5")");
    const std::unique_ptr<UI::UIImage> still = Read(R"(name="a" tint="1 2 3 40")");
    const float pi = 3.14159265f;
    const struct {
        float clock;
        int full;
        int shallow;
    } cases[] = {{0, 127, 191}, {pi / 4, 255, 255}, {pi / 2, 127, 191}, {3 * pi / 4, 0, 127}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clock);
        UiClock = c.clock;
        EXPECT_EQ(RGBA(full->GetDrawColor()), std::make_tuple(1, 2, 3, c.full)) << "the tint's alpha is ignored";
        EXPECT_EQ(shallow->GetDrawColor().a, c.shallow);
        EXPECT_EQ(RGBA(still->GetDrawColor()), std::make_tuple(1, 2, 3, 40)) << "no pulse: the tint";
    }
    // A period of pi seconds.
    for (float t : {0.3f, 1.1f, 2.0f}) {
        UiClock = t;
        const int now = full->GetDrawColor().a;
        UiClock = t + pi;
        EXPECT_NEAR(full->GetDrawColor().a, now, 1) << t;
    }
}

TEST_F(UIElementTest, EdgesBelongToTheRectangle) {
    const Vector2 position(10, 20), size(30, 40);
    const struct {
        float x, y;
        bool inside;
    } cases[] = {{10, 20, true},     {40, 60, true},      {40, 20, true},      {10, 60, true},     {25, 40, true},
                 {9.99f, 30, false}, {40.01f, 30, false}, {20, 19.99f, false}, {20, 60.01f, false}};
    for (const auto& c : cases)
        EXPECT_EQ(UI::UIElement::IsPointInRect(position, size, Vector2(c.x, c.y)), c.inside) << c.x << ", " << c.y;
}

TEST_F(UIElementTest, HoverCallsEnterAndLeaveOnChangesOnly) {
    struct Counting : UI::UIImage {
        void OnPointerEnter() override { ++enters, UIImage::OnPointerEnter(); }
        void OnPointerLeave() override { ++leaves, UIImage::OnPointerLeave(); }
        int enters = 0, leaves = 0;
    } image;
    const struct {
        bool inside;
        int enters, leaves;
        bool hovered;
    } steps[] = {{false, 0, 0, false}, {true, 1, 0, true},   {true, 1, 0, true},
                 {false, 1, 1, false}, {false, 1, 1, false}, {true, 2, 1, true}};
    for (const auto& s : steps) {
        image.SetHover(s.inside);
        EXPECT_EQ(image.enters, s.enters);
        EXPECT_EQ(image.leaves, s.leaves);
        EXPECT_EQ(image.hovered_, s.hovered);
    }
}

TEST_F(UIElementTest, ImageDrawsItsTextureInItsColour) {
    const std::unique_ptr<UI::UIImage> whole = Read(R"(name="a" file="wide.png" posx="10" posy="20" sizex="128")");
    const std::unique_ptr<UI::UIImage> region =
        Read(R"(name="b" file="wide.png" posx="5" posy="6" x0="16" y0="8" x1="48" y1="40" tint="10 20 30 40")");
    const std::unique_ptr<UI::UIImage> pulsing = Read(R"(name="c" file="wide.png" alphaSpeed="2")");
    const std::unique_ptr<UI::UIImage> hidden = Read(R"(name="d" file="wide.png" visible="0")");
    const std::unique_ptr<UI::UIImage> bare = Read(R"(name="e")");
    UiClock = 3.14159265f / 4;
    Graphics::Draw2D::Begin();
    for (UI::UIImage* image : {whole.get(), region.get(), pulsing.get(), hidden.get(), bare.get()}) image->Draw();
    const std::vector<uitest::Quad> quads = Quads();
    ASSERT_EQ(quads.size(), 3u);
    EXPECT_EQ(quads[0].texture, TextureOf(*whole));
    EXPECT_EQ(XY(quads[0].position), std::make_pair(10.0f, 20.0f));
    EXPECT_EQ(XY(quads[0].size), std::make_pair(128.0f, 64.0f));
    EXPECT_EQ(XY(quads[0].sourceSize), std::make_pair(256.0f, 64.0f)) << "stretched whole";
    EXPECT_EQ(RGBA(quads[0].color), std::make_tuple(255, 255, 255, 255));
    EXPECT_EQ(XY(quads[1].position), std::make_pair(5.0f, 6.0f));
    EXPECT_EQ(XY(quads[1].size), std::make_pair(32.0f, 32.0f));
    EXPECT_EQ(XY(quads[1].sourceOrigin), std::make_pair(16.0f, 8.0f));
    EXPECT_EQ(XY(quads[1].sourceSize), std::make_pair(32.0f, 32.0f));
    EXPECT_EQ(RGBA(quads[1].color), std::make_tuple(10, 20, 30, 40));
    EXPECT_EQ(quads[2].color.a, 255) << "the pulse at its top";
}

TEST_F(UIElementTest, FadeStepsAfterEachDrawAndStopsAtItsEnds) {
    const std::unique_ptr<UI::UIImage> image =
        Read(R"(name="a" file="wide.png" visible="0" fadeSpeed="2" alphaSpeed="5")");
    GetFrameClock().delta = 0.25f;
    Graphics::Draw2D::Begin();
    auto drawnAlpha = [&]() {
        null->ClearLog();
        image->Draw();
        const std::vector<uitest::Quad> quads = Quads();
        return quads.empty() ? -1 : int(quads[0].color.a);
    };
    EXPECT_EQ(drawnAlpha(), -1) << "hidden and faded out";
    image->visible_ = true;
    // The alpha drawn, then stepped by 0.25 s x 2; the pulse does not apply.
    for (int expected : {0, 127, 255, 255}) EXPECT_EQ(drawnAlpha(), expected);
    image->visible_ = false;
    for (int expected : {255, 127, -1}) EXPECT_EQ(drawnAlpha(), expected);
    EXPECT_EQ(image->alpha_, 0.0f);
}

TEST_F(UIElementTest, AFileThatDoesNotLoadKeepsTheSizeAndDrawsNothing) {
    static int reported;
    reported = 0;
    const AssertionHandler previous =
        SetAssertionHandler([](const char*, const char*, const char*, int) { ++reported; });
    const std::unique_ptr<UI::UIImage> image = Read(R"(name="a" file="missing.png" sizey="30")");
    SetAssertionHandler(previous);
    EXPECT_EQ(reported, 1) << "the loader reports the file";
    EXPECT_FALSE(image->texture_);
    EXPECT_EQ(XY(image->size_), std::make_pair(100.0f, 30.0f));
    Graphics::Draw2D::Begin();
    image->Draw();
    EXPECT_TRUE(Quads().empty());
}

}  // namespace
