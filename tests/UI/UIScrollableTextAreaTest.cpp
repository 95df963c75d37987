// Scrollable text areas: line breaks and the greedy wrap, drag, flick and
// coasting at a fixed frame time, the wheel, vertical and per-line
// alignment, the clip and the line advance, the scroll bar, and a picture
// taller than its area.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Core/FrameClock.h"
#include "Core/Language.h"
#include "Graphics/Draw2D.h"
#include "platform/win32/Time.h"
#include "UI/UIImage.h"
#include "UI/UIScrollableTextArea.h"
#include "UITestFixture.h"

namespace {

using uitest::kLineHeight;
using uitest::LTRB;
using uitest::XY;

typedef std::vector<std::wstring> Lines;

class UIScrollableTextAreaTest : public uitest::UITest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(UITest::SetUp());
        TestFont();
    }

    static UI::UIScrollableTextArea& AreaOf(UI::UIWindowView& window) {
        return *dynamic_cast<UI::UIScrollableTextArea*>(window.front());
    }
    // Ten lines of one word each.
    static std::string TenLines() { return "l0|l1|l2|l3|l4|l5|l6|l7|l8|l9"; }

    // The frame clock's next delta, in whole milliseconds, from a stopped clock.
    void FrameTime(uint64_t ms) {
        ResetFrameClock();
        clock_.Advance(ms);
        TickFrameClock();
    }
    // One update with the touch and the pointer at (x, y).
    static void Frame(UI::UIWindowView& window, int32_t phase, float x, float y) {
        Touch(phase, x, y);
        PointerAt(x, y);
        window.UpdateElements();
    }

    platform::ScopedFakeClock clock_{1000};
};

TEST_F(UIScrollableTextAreaTest, LineBreaksAndWrapping) {
    const struct {
        const char* what;
        float width;
        std::wstring text;
        Lines lines;
    } cases[] = {
        {"CR LF and a bar", 500, L"one\r\ntwo|three", {L"one", L"two", L"three"}},
        {"LF and CR alone", 500, L"one\ntwo\rthree", {L"one", L"two", L"three"}},
        {"two breaks give no blank line", 500, L"a\r\n\r\nb||c", {L"a", L"b", L"c"}},
        {"greedy", 100, L"aaa bbb ccc dd", {L"aaa bbb", L"ccc dd"}},
        {"a line that just fits", 70, L"aaa bbb", {L"aaa bbb"}},
        {"a long word stands alone", 100, L"tiny enormouslylongword end", {L"tiny", L"enormouslylongword", L"end"}},
        {"a break starts the count again", 100, L"aaaa bbbb|cc dd", {L"aaaa bbbb", L"cc dd"}},
        {"double blanks stay", 500, L"a  b", {L"a  b"}},
        {"nothing", 500, L"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto window = Window(R"(<area font="test.fnt" sizey="100" sizex=")" + std::to_string(int(c.width)) + R"("/>)");
        UI::UIScrollableTextArea& area = AreaOf(*window);
        area.scroll_.y = 5;
        area.SetText(c.text);
        EXPECT_EQ(area.lines_, c.lines);
        ASSERT_EQ(area.line_widths_.size(), c.lines.size());
        for (size_t i = 0; i < c.lines.size(); ++i)
            EXPECT_EQ(area.line_widths_[i], static_cast<int32_t>(c.lines[i].size() * uitest::kAdvance));
        EXPECT_EQ(area.max_scroll_, static_cast<int32_t>(c.lines.size()) * kLineHeight - 100);
        EXPECT_EQ(area.scroll_.y, 0.0f);
    }
}

TEST_F(UIScrollableTextAreaTest, AttributesGiveTextLineHeightAndAlignment) {
    GetLocalizedText("UiHelpText") = L"from the|language file";
    const struct {
        const char* attributes;
        Lines lines;
        int32_t lineHeight;
        int32_t vAlign;
    } cases[] = {
        {R"(text="a|b")", {L"a", L"b"}, kLineHeight, 0},
        {R"(text="a|b" texttr="UiHelpText" lineH="12" valign="center")", {L"from the", L"language file"}, 12, 1},
        {R"(lineH="0" valign="bottom")", {}, 0, 2},
        {R"(valign="Bottom")", {}, kLineHeight, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attributes);
        auto window = Window(std::string(R"(<area font="test.fnt" sizex="300" )") + c.attributes + "/>");
        UI::UIScrollableTextArea& area = AreaOf(*window);
        EXPECT_EQ(area.lines_, c.lines);
        EXPECT_EQ(area.line_height_, c.lineHeight);
        EXPECT_EQ(area.v_align_, c.vAlign);
    }
}

TEST_F(UIScrollableTextAreaTest, DragFlickAndCoast) {
    // 10 lines of 30 in 150: the text scrolls 0..150.
    auto window = Window(R"(<area font="test.fnt" lineH="30" posx="100" posy="100" sizex="200" sizey="150" text=")" +
                         TenLines() + R"("/>)");
    UI::UIScrollableTextArea& area = AreaOf(*window);
    ASSERT_EQ(area.max_scroll_, 150);
    FrameTime(16);

    // A drag of 100 upward moves the text up by 100; the text follows the pointer.
    Frame(*window, kTouchPress, 150, 240);
    EXPECT_TRUE(area.dragging_);
    Frame(*window, kTouchPress, 150, 140);
    EXPECT_EQ(area.scroll_.y, 100.0f);
    Frame(*window, kTouchDrag, 150, 200);
    EXPECT_EQ(area.scroll_.y, 40.0f);
    Frame(*window, kTouchDrag, 150, 245);  // before the start: held at the range
    EXPECT_EQ(area.scroll_.y, 0.0f);
    Frame(*window, kTouchDrag, 150, 180);
    EXPECT_EQ(area.scroll_.y, 60.0f);
    EXPECT_FLOAT_EQ(area.velocity_, 0.0f) << "no speed while dragging";

    // Leaving the area ends the drag: 160 up in one frame flicks (held at 3000
    // per second), and the scroll stays while the touch is outside.
    Frame(*window, kTouchDrag, 150, 20);
    EXPECT_FALSE(area.dragging_);
    EXPECT_EQ(area.scroll_.y, 60.0f);
    EXPECT_FLOAT_EQ(area.velocity_, 3000.0f);
    Frame(*window, kTouchDrag, 150, 10);
    EXPECT_FLOAT_EQ(area.velocity_, 3000.0f) << "the flick goes on outside";
    // Back on the area the touch takes the text again where it stands.
    Frame(*window, kTouchDrag, 150, 240);
    EXPECT_TRUE(area.dragging_);
    EXPECT_FLOAT_EQ(area.velocity_, 0.0f);
    EXPECT_EQ(area.scroll_.y, 60.0f);
    Frame(*window, kTouchDrag, 150, 150);
    EXPECT_EQ(area.scroll_.y, 150.0f);
    Frame(*window, kTouchDrag, 150, 101);  // past the end: held at the range
    EXPECT_EQ(area.scroll_.y, 150.0f);
    Frame(*window, kTouchDrag, 150, 200);
    EXPECT_EQ(area.scroll_.y, 100.0f);

    // Released 10 above the last move: 10 x 0.8 / 0.016 s = 500 per second.
    Frame(*window, kTouchRelease, 150, 190);
    EXPECT_FALSE(area.dragging_);
    EXPECT_FLOAT_EQ(area.velocity_, 500.0f);
    const float start = area.scroll_.y;
    DrawAlone(area);
    EXPECT_FLOAT_EQ(area.scroll_.y, start + 500.0f * 0.016f);
    EXPECT_FLOAT_EQ(area.velocity_, 500.0f * (1 - 3 * 0.016f));
    // It slows down and stops at the end of the range.
    float speed = area.velocity_;
    for (int frame = 0; frame < 400 && area.velocity_ != 0.0f; ++frame) {
        DrawAlone(area);
        EXPECT_LT(area.velocity_, speed);
        speed = area.velocity_;
    }
    EXPECT_EQ(area.velocity_, 0.0f);
    EXPECT_EQ(area.scroll_.y, 150.0f);

    // A fast flick is held at 3000 per second.
    FrameTime(1);  // 0.001 s
    Frame(*window, kTouchPress, 150, 200);
    Frame(*window, kTouchRelease, 150, 100);
    EXPECT_FLOAT_EQ(area.velocity_, 3000.0f);
    Frame(*window, kTouchPress, 150, 100);
    Frame(*window, kTouchRelease, 150, 200);
    EXPECT_FLOAT_EQ(area.velocity_, -3000.0f);
    // A new text stops the scroll where it is and starts at the top.
    area.SetText(std::string(TenLines()));
    EXPECT_EQ(area.scroll_.y, 0.0f);
}

TEST_F(UIScrollableTextAreaTest, FourLinesPerWheelNotch) {
    auto window = Window(R"(<area font="test.fnt" lineH="30" posx="100" posy="100" sizex="200" sizey="150" text=")" +
                         TenLines() + R"("/>
        <area name="fits" font="test.fnt" posx="400" posy="100" sizex="200" sizey="150" text="short"/>)");
    UI::UIScrollableTextArea& area = AreaOf(*window);
    auto* fits = Find<UI::UIScrollableTextArea>(*window, "fits");
    PointerAt(150, 150);
    window->UpdateElements();  // takes the wheel's position
    GetPointerState().wheel = -1.0f;
    window->UpdateElements();
    EXPECT_EQ(area.scroll_.y, 120.0f) << "one notch towards the user: four lines";
    GetPointerState().wheel = -2.0f;
    window->UpdateElements();
    EXPECT_EQ(area.scroll_.y, 150.0f);
    GetPointerState().wheel = 0.0f;
    window->UpdateElements();
    EXPECT_EQ(area.scroll_.y, 0.0f);

    // A text that fits does not move, by wheel or by drag.
    fits->Scroll(3.0f);
    EXPECT_EQ(fits->scroll_.y, 0.0f);
    Frame(*window, kTouchPress, 450, 200);
    Frame(*window, kTouchPress, 450, 120);
    EXPECT_EQ(fits->scroll_.y, 0.0f);
}

TEST_F(UIScrollableTextAreaTest, DrawingClipsAlignsAndKeepsTheLineAdvance) {
    auto window = Window(R"(
        <area name="top" font="test.fnt" lineH="17" posx="100" posy="100" sizex="200" sizey="60" tint="1 2 3" text="aa|bbbb|cc|dddddd|ee"/>
        <area name="bottom" font="test.fnt" posx="400" posy="100" sizex="200" sizey="100" valign="bottom" halign="center" text="aa|bbbb"/>
        <area name="middle" font="test.fnt" posx="400" posy="300" sizex="200" sizey="100" valign="center" halign="right" text="aa|bbbb"/>
    )");
    auto* top = Find<UI::UIScrollableTextArea>(*window, "top");
    top->scroll_.y = 20;
    Graphics::Draw2D::SetLineAdvance(30);
    null->ClearLog();
    window->Draw();
    EXPECT_EQ(Graphics::Draw2D::GetLineAdvance(), 30) << "the layer's advance is given back";

    const std::vector<uitest::Text> texts = Texts();
    ASSERT_EQ(texts.size(), 3u);
    // Lines at 100 - 20 + 17 i: "aa" (80..97) is off, the rest (97..165) is
    // one text from the first line shown, 17 apart, clipped at 160.
    EXPECT_EQ(texts[0].text, L"bbbbccddddddee");
    EXPECT_EQ(XY(texts[0].pens[0]), std::make_pair(100.0f, 97.0f));
    EXPECT_EQ(XY(texts[0].pens[4]), std::make_pair(100.0f, 114.0f));
    EXPECT_EQ(XY(texts[0].pens[6]), std::make_pair(100.0f, 131.0f));
    EXPECT_TRUE(texts[0].clipped);
    EXPECT_EQ(LTRB(texts[0].scissor), std::make_tuple(100, 100, 300, 160));
    EXPECT_EQ(uitest::RGBA(texts[0].color), std::make_tuple(1, 2, 3, 255));
    // Fitting texts end at the bottom edge, or sit in the middle; each line
    // is centred, or right-aligned, on its own width.
    EXPECT_EQ(texts[1].text, L"aabbbb");
    EXPECT_EQ(XY(texts[1].pens[0]), std::make_pair(400.0f + 90, 160.0f));
    EXPECT_EQ(XY(texts[1].pens[2]), std::make_pair(400.0f + 80, 180.0f));
    EXPECT_EQ(XY(texts[2].pens[0]), std::make_pair(400.0f + 180, 330.0f));
    EXPECT_EQ(XY(texts[2].pens[2]), std::make_pair(400.0f + 160, 350.0f));
    EXPECT_EQ(null->CurrentRenderState(D3DRS_SCISSORTESTENABLE), DWORD(FALSE));

    // Scrolled past every line: nothing to draw.
    top->scroll_.y = 500;
    null->ClearLog();
    DrawAlone(*top);
    EXPECT_TRUE(Texts().empty());
}

TEST_F(UIScrollableTextAreaTest, ScrollBarThumbFollowsTheScroll) {
    Image("track.png", 8, 64);
    Image("thumb.png", 8, 8);
    auto window = Window(R"(<area font="test.fnt" lineH="30" posx="100" posy="100" sizex="200" sizey="150" text=")" +
                         TenLines() + R"(">
            <image name="track" file="track.png" posx="300" posy="100" sizex="8" sizey="150"/>
            <image name="thumb" type="1" file="thumb.png" posx="300" posy="100" sizex="8" sizey="8"/>
        </area>)");
    UI::UIScrollableTextArea& area = AreaOf(*window);
    ASSERT_EQ(window->size(), 1u);
    ASSERT_TRUE(area.track_image_ && area.thumb_image_);
    area.scroll_.y = 75;
    null->ClearLog();
    DrawAlone(area);
    // Track, then thumb, after the text; the thumb takes its place for the next frame.
    const std::vector<uitest::Quad> quads = Quads();
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_EQ(quads[0].texture, TextureOf(*area.track_image_));
    EXPECT_EQ(XY(quads[1].position), std::make_pair(300.0f, 100.0f));
    // Content 300 shown 150 at a time: half the track, a quarter down.
    EXPECT_EQ(XY(area.thumb_image_->position_), std::make_pair(300.0f, 100.0f + 37.5f));
    EXPECT_EQ(area.thumb_image_->size_.y, 75.0f);

    // No bar while the text fits.
    area.SetText(std::string("short"));
    null->ClearLog();
    DrawAlone(area);
    EXPECT_TRUE(Quads().empty());
}

TEST_F(UIScrollableTextAreaTest, APictureTallerThanItsAreaScrollsByDragging) {
    Image("tall.png", 64, 256);
    auto window = Window(R"(<area file="tall.png" posx="10" posy="10" sizex="64" sizey="100" tint="9 9 9"/>)");
    UI::UIScrollableTextArea& area = AreaOf(*window);
    EXPECT_EQ(XY(area.content_size_), std::make_pair(64.0f, 256.0f));
    EXPECT_EQ(area.max_scroll_, 156);
    FrameTime(16);
    Frame(*window, kTouchPress, 40, 100);
    Frame(*window, kTouchPress, 40, 40);
    EXPECT_EQ(area.scroll_.y, 60.0f);
    null->ClearLog();
    DrawAlone(area);
    const std::vector<uitest::Quad> quads = Quads();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(XY(quads[0].position), std::make_pair(10.0f, 10.0f));
    EXPECT_EQ(XY(quads[0].size), std::make_pair(64.0f, 100.0f));
    EXPECT_EQ(XY(quads[0].sourceOrigin), std::make_pair(0.0f, 60.0f));
    EXPECT_EQ(XY(quads[0].sourceSize), std::make_pair(64.0f, 100.0f));
    EXPECT_EQ(uitest::RGBA(quads[0].color), std::make_tuple(9, 9, 9, 255));
}

TEST_F(UIScrollableTextAreaTest, WithoutFontOrLineHeight) {
    auto window = Window(R"(<area font="missing.fnt" sizex="0" sizey="0" text="some words|and more"/>)");
    UI::UIScrollableTextArea& area = AreaOf(*window);
    EXPECT_EQ(area.line_height_, 0);
    EXPECT_EQ(area.max_scroll_, 0);
    area.Scroll(2.0f);
    FrameTime(16);
    Frame(*window, kTouchPress, 0, 0);
    Frame(*window, kTouchPress, 0, 0);
    Frame(*window, kTouchRelease, 0, 0);
    null->ClearLog();
    DrawAlone(area);
    EXPECT_TRUE(null->Draws().empty());
    EXPECT_EQ(area.scroll_.y, 0.0f);
}

}  // namespace
