// The text widgets on the OpenGL device in the sample fonts, read back: a
// label, an edit field with typed text and its caret, a table with its
// highlighted row, a scrolled text area with its bar, and an open message box
// whose message, wider than its frame, shows nothing outside the frame. Kept
// as $DM_BUILD_DIR/screenshots/ui-text.png for a person to look at.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Core/KeyboardListeners.h"
#include "support/Screenshot.h"
#include "UI/UIGlobals.h"
#include "UI/UILabel.h"
#include "UI/UIMsgBox.h"
#include "UI/UIScrollableTextArea.h"
#include "UI/UITable.h"
#include "UIPixelFixture.h"

namespace {

namespace Draw2D = Graphics::Draw2D;
using namespace uipixel;

const Rgb kHighlight{160, 40, 160};
const Rgb kThumb{230, 230, 90};

const char kWindow[] = R"(<layout>
    <image name="background" file="background.png" sizex="1024" sizey="768"/>
    <text name="title" font="tarragon_40.fnt" text="Dunmarch Lite" posx="60" posy="30" sizex="500" sizey="60"/>
    <text name="name" font="arial_15.fnt" editable="1" focused="1" maxLen="20" posx="60" posy="120" sizex="300" sizey="24"/>
    <table name="scores" font="arial_15.fnt" posx="60" posy="180" sizex="400" sizey="120" columnsx="0 40 250 300"
           colAligns="0 0 1 0" rowHeight="24" rectClrHl="160 40 160" textClr="255 255 255" textClrHl="255 255 0"/>
    <area name="help" font="arial_15.fnt" lineH="18" posx="520" posy="120" sizex="300" sizey="90"
          text="Hold the pass against the waves.|Recruit defenders with the gold each wave brings.|Move, heal, hide and upgrade them.|Cast lightning, firestorm and slowdown.|Every kill adds gold.|The score counts waves, bonus and survivors.|Press Esc for the menu.|Good luck, commander.">
        <image name="track" file="track.png" posx="826" posy="120" sizex="8" sizey="90"/>
        <image name="thumb" type="1" file="thumb.png" posx="826" posy="120" sizex="8" sizey="10"/>
    </area>
</layout>)";

const char kBox[] = R"(<layout>
    <image name="frame" file="frame.png" posx="262" posy="560" sizex="400" sizey="140"/>
    <text name="Message" font="tarragon_40.fnt" posy="580"/>
    <button name="OK" file="face.png" posx="412" posy="650" sizex="100" sizey="36"/>
</layout>)";

class UITextPixelTest : public uipixel::UIPixelTest {
protected:
    UITextPixelTest() : UIPixelTest("ui-text") {}

    void TearDown() override {
        FocusedLabel = nullptr;
        MessageBoxOpen = false;
        UIPixelTest::TearDown();
    }

    // The pixels of the rectangle (left, top, width, height) that pass the test.
    int Count(int left, int top, int width, int height, const std::function<bool(DWORD)>& test) {
        int count = 0;
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x) count += test(At(x, y)) ? 1 : 0;
        return count;
    }
    static bool Bright(DWORD p) { return Channel(p, 16) > 150 && Channel(p, 8) > 150; }
    static bool Yellow(DWORD p) { return Channel(p, 16) > 150 && Channel(p, 8) > 150 && Channel(p, 0) < 100; }
    static bool Reddish(DWORD p) { return Channel(p, 16) > Channel(p, 8) + 40 && Channel(p, 16) > Channel(p, 0) + 10; }
    static bool Near(DWORD p, Rgb c) {
        return std::abs(Channel(p, 16) - c.r) <= 4 && std::abs(Channel(p, 8) - c.g) <= 4 &&
               std::abs(Channel(p, 0) - c.b) <= 4;
    }
};

TEST_F(UITextPixelTest, TextWidgetsAndAMessageBoxOverThem) {
    Png("background.png", 64, 64, kBackground);
    Png("frame.png", 32, 32, {90, 30, 30});
    Png("face.png", 32, 32, {200, 200, 200});
    Png("track.png", 8, 32, {20, 20, 20});
    Png("thumb.png", 8, 8, kThumb);
    SampleFont("arial_15.fnt", "arial_15.png");
    SampleFont("tarragon_40.fnt", "tarragon_40.png");
    scratch.Write("window.xml", kWindow);
    scratch.Write("box.xml", kBox);

    UI::UIWindowView window;
    window.LoadLayout(scratch / "window.xml");
    ASSERT_EQ(window.size(), 5u);
    window.alpha_ = 255;
    ASSERT_NE(FocusedLabel, nullptr);
    for (char c : std::string("Ann-Lee@mail.org")) FireKeyboardListeners(static_cast<uint8_t>(c), 0);
    ASSERT_EQ(FocusedLabel->GetText(), "Ann-Lee@mail.org");
    UI::UITable* table = nullptr;
    UI::UIScrollableTextArea* area = nullptr;
    for (UI::UIElement* element : window) {
        if (!table) table = dynamic_cast<UI::UITable*>(element);
        if (!area) area = dynamic_cast<UI::UIScrollableTextArea*>(element);
    }
    ASSERT_TRUE(table && area);
    table->rows_ = {{"1", "Ann", "950"}, {"2", "Bob", "720"}, {"3", "Cyd", "55"}};
    table->highlight_row_ = 1;
    ASSERT_GE(area->max_scroll_, 72);
    area->Scroll(1.0f);  // one notch: four lines down
    UI::UIMsgBox box(scratch / "box.xml", "A message far wider than the frame of its box");

    // Two frames: the thumb takes its place in the first.
    for (int frame = 0; frame < 2; ++frame) {
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        Draw2D::Clear(Color(0, 0, 0, 255));
        window.Draw();
        box.Draw();
        device->EndScene();
    }
    ReadBack();
    testsupport::SaveScreenshot(pixels, kWidth, kHeight, "ui-text.png");

    EXPECT_GT(Count(60, 30, 500, 60, Bright), 100) << "the title";
    EXPECT_GT(Count(60, 120, 300, 24, Bright), 50) << "the typed text";
    EXPECT_GT(Count(60, 120, 300, 24, Reddish), 5) << "the caret";
    // Row 1 on the bar in yellow; rows 0 and 2 in white.
    EXPECT_GT(Count(60, 204, 300, 24, [](DWORD p) { return Near(p, kHighlight); }), 1000) << "the bar";
    EXPECT_GT(Count(60, 204, 300, 24, Yellow), 20) << "the highlighted row";
    EXPECT_EQ(Count(60, 180, 300, 24, Yellow), 0);
    EXPECT_GT(Count(60, 180, 300, 24, Bright), 20) << "the first row";
    EXPECT_GT(Count(60, 228, 300, 24, Bright), 20) << "the third row";
    // The area shows text, none below it; the thumb sits down the track.
    EXPECT_GT(Count(520, 120, 300, 90, Bright), 100) << "the area's text";
    EXPECT_EQ(Count(520, 211, 300, 30, Bright), 0) << "clipped at the area's bottom";
    EXPECT_EQ(Count(826, 120, 8, 20, [](DWORD p) { return Near(p, kThumb); }), 0) << "scrolled away from the top";
    EXPECT_GT(Count(826, 140, 8, 70, [](DWORD p) { return Near(p, kThumb); }), 20) << "the thumb";
    // The message inside the frame and nothing of it beside the frame.
    EXPECT_GT(Count(262, 560, 400, 140, Bright), 200) << "the message";
    const DWORD background = At(1000, 750);
    EXPECT_EQ(Count(0, 560, 262, 140, [&](DWORD p) { return p != background; }), 0) << "left of the frame";
    EXPECT_EQ(Count(662, 560, 362, 140, [&](DWORD p) { return p != background; }), 0) << "right of the frame";
}

}  // namespace
