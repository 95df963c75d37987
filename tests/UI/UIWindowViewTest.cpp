// The window view's layout loader (the tag table, nested images and their
// scopes, the Russian background, appending, bad files), its drawing under
// the fade overlay, and its key-down entry.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Core/Language.h"
#include "shell/KeyHandlers.h"
#include "UI/UIButton.h"
#include "UI/UIImage.h"
#include "UI/UILabel.h"
#include "UI/UIScrollableTextArea.h"
#include "UI/UISlider.h"
#include "UI/UITable.h"
#include "UITestFixture.h"

namespace {

using uitest::RGBA;
using uitest::XY;

class UIWindowViewTest : public uitest::UITest {
protected:
    static std::vector<std::string> Names(const UI::UIWindowView& window) {
        std::vector<std::string> names;
        for (const UI::UIElement* element : window) names.push_back(element->name_);
        return names;
    }
    static std::string NameOf(const UI::UIElement* element) { return element != nullptr ? element->name_ : "(none)"; }
};

TEST_F(UIWindowViewTest, TagsMakeWidgetsAndNestedImagesGoToTheirScope) {
    Image("a.png", 32, 16);
    UI::UIWindowView window;
    window.LoadLayout(Layout("menu.xml", R"(
        <image name="bg" file="a.png"/>
        <button name="play" file="a.png" default="1">
            <image name="down" file="a.png"/><image name="over" state="1"/><image name="odd" state="2"/>
        </button>
        <button name="self" file="a.png"/>
        <image name="afterSelfClosed"/>
        <slider name="volume"><image name="bar" file="a.png"/><image name="thumb" type="1"/><image name="x" type="-1"/></slider>
        <progress name="load"><image name="loadBar" type="0"/></progress>
        <slider name="outer"><button name="inner"><image name="both" state="1" type="0"/></button><image name="outerBar"/></slider>
        <text name="label"/><table name="scores"/>
        <area name="help"><image name="track"/><image name="thumb" type="1"/><image name="odd" type="3"/>
            <button name="inArea"><image name="areaButtonDown"/></button><image name="track2" type="0"/></area>
        <area name="selfArea"/><image name="afterArea"/>
        <text name="field" editable="1" focused="1"/><text name="plain" focused="1"/>
        <mystery name="unknown" file="a.png"><image name="inMystery" foo="1"/></mystery>
    )"));
    EXPECT_EQ(Names(window), (std::vector<std::string>{"bg", "play", "self", "afterSelfClosed", "volume", "load",
                                                       "outer", "inner", "label", "scores", "help", "inArea",
                                                       "selfArea", "afterArea", "field", "plain", "inMystery"}));
    auto* play = Find<UI::UIButton>(window, "play");
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(window.default_button_, play);
    EXPECT_EQ(NameOf(play->pressed_image_), "down");
    EXPECT_EQ(NameOf(play->over_image_), "over");
    EXPECT_TRUE(play->texture_);

    auto* volume = Find<UI::UISlider>(window, "volume");
    auto* load = Find<UI::UISlider>(window, "load");
    auto* outer = Find<UI::UISlider>(window, "outer");
    ASSERT_TRUE(volume && load && outer);
    EXPECT_FALSE(volume->progress_);
    EXPECT_TRUE(load->progress_);
    EXPECT_EQ(NameOf(volume->bar_image_), "bar");
    EXPECT_EQ(NameOf(volume->thumb_image_), "thumb");
    EXPECT_EQ(NameOf(load->bar_image_), "loadBar");
    // The button scope wins over the slider scope it sits in; after it closes
    // the slider takes images again.
    EXPECT_EQ(NameOf(Find<UI::UIButton>(window, "inner")->over_image_), "both");
    EXPECT_EQ(NameOf(outer->bar_image_), "outerBar");
    // Areas take a track and a thumb; the button scope wins inside an area,
    // and a later track replaces the first.
    auto* help = Find<UI::UIScrollableTextArea>(window, "help");
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(NameOf(help->track_image_), "track2");
    EXPECT_EQ(NameOf(help->thumb_image_), "thumb");
    EXPECT_EQ(NameOf(Find<UI::UIButton>(window, "inArea")->pressed_image_), "areaButtonDown");
    EXPECT_NE(Find<UI::UILabel>(window, "label"), nullptr);
    EXPECT_NE(Find<UI::UITable>(window, "scores"), nullptr);
    // Only editable labels are edit fields and take the focus of "focused".
    auto* field = Find<UI::UILabel>(window, "field");
    EXPECT_EQ(window.edit_fields_, std::vector<UI::UILabel*>{field});
    EXPECT_EQ(FocusedLabel, field);
    // The closing tag finished the slider: its track comes from the bar.
    EXPECT_EQ(volume->track_x_, 0.0f);
    EXPECT_EQ(volume->track_width_, 32.0f);
}

TEST_F(UIWindowViewTest, ASecondSliderTagReplacesTheOpenOneAndStrayEndTagsAreRefused) {
    // End tags without their start make the layout malformed: refused as a missing one.
    UI::UIWindowView stray;
    testing::internal::CaptureStderr();
    stray.LoadLayout(Layout("stray.xml", R"(
        </button></area><slider name="outer" xsizein="0"><slider name="inner"><image name="b1"/></slider>
        <image name="loose"/></slider></progress>
    )"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("stray.xml: line 2: "), std::string::npos);
    EXPECT_TRUE(Names(stray).empty());

    UI::UIWindowView window;
    window.LoadLayout(Layout("nested.xml", R"(
        <slider name="outer" xsizein="0"><slider name="inner"><image name="b1"/></slider>
        <image name="loose"/></slider>
    )"));
    EXPECT_EQ(Names(window), (std::vector<std::string>{"outer", "inner", "loose"}));
    auto* outer = Find<UI::UISlider>(window, "outer");
    auto* inner = Find<UI::UISlider>(window, "inner");
    EXPECT_EQ(NameOf(inner->bar_image_), "b1");
    EXPECT_EQ(outer->bar_image_, nullptr);
    EXPECT_EQ(outer->track_width_, 0.0f) << "the outer slider never got its finishing step";
    EXPECT_EQ(inner->track_width_, 100.0f);
}

TEST_F(UIWindowViewTest, RussianBackgroundReplacesTheOneAfterIt) {
    const std::string body = R"(<image name="backgroundRUS"/><image name="background"/><image name="background"/>)";
    const std::string before = R"(<image name="background"/><image name="backgroundRUS"/>)";
    const std::string language = ScratchPath("any.lan");
    WriteFile("any.lan", "LAN");
    const struct {
        int language;
        std::string body;
        std::vector<std::string> names;
    } cases[] = {
        {0, body, {"background", "background"}},
        {5, body, {"backgroundRUS"}},
        {5, before, {"background", "backgroundRUS"}},
        {6, before, {"background"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        LoadLanguageFile(c.language, language);
        ASSERT_EQ(GetLanguageIndex(), c.language);
        UI::UIWindowView window;
        window.LoadLayout(Layout("bg.xml", c.body));
        EXPECT_EQ(Names(window), c.names);
    }
}

TEST_F(UIWindowViewTest, PathIsLowerCasedAndASecondLayoutAppends) {
    // Both names exist: only the lower-cased one may be read.
    WriteFile("Menu.xml", R"(<layout><image name="upper"/></layout>)");
    WriteFile("menu.xml", R"(<layout><image name="lower"/><button name="ok" default="1"/></layout>)");
    UI::UIWindowView window;
    window.LoadLayout(ScratchPath("Menu.xml"));
    EXPECT_EQ(Names(window), (std::vector<std::string>{"lower", "ok"}));
    EXPECT_EQ(window.default_button_, Find<UI::UIButton>(window, "ok"));
    window.LoadLayout(Layout("more.xml", R"(<image name="extra"/>)"));
    EXPECT_EQ(Names(window), (std::vector<std::string>{"lower", "ok", "extra"}));
    EXPECT_EQ(window.default_button_, nullptr) << "each load starts without a default button";
}

TEST_F(UIWindowViewTest, BadFilesGiveNoWidgets) {
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"no XML", "just some words, no tags\n"},
        {"binary", std::string("\x89PNG\r\n\x1a\n\0\0<\xff\xfe<<", 15)},
        {"cut after an element", R"(<layout><image name="a"/><button name="b"/>)"},
        {"cut inside a tag", R"(<layout><image name="a"/><button name="b" file="x)"},
        {"cut inside a nested image", R"(<layout><button name="b"><image name="a" sta)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile("bad.xml", c.bytes);
        UI::UIWindowView window;
        window.LoadLayout(ScratchPath("bad.xml"));
        EXPECT_TRUE(window.empty());
        EXPECT_EQ(window.default_button_, nullptr);
    }
    UI::UIWindowView window;
    window.LoadLayout(ScratchPath("missing.xml"));
    EXPECT_TRUE(window.empty());
}

TEST_F(UIWindowViewTest, DrawAdvancesTheClockAndDarkensByTheFade) {
    Image("a.png", 32, 16);
    UI::UIWindowView window;
    window.LoadLayout(Layout(
        "menu.xml", R"(<image name="bg" file="a.png" posx="3"/><image name="hidden" file="a.png" visible="0"/>)"));
    GetFrameClock().delta = 0.5f;
    window.SetVisible(false);
    window.Draw();
    EXPECT_FLOAT_EQ(UiFrameDelta, 0.1f) << "at most 0.1 s";
    EXPECT_FLOAT_EQ(UiClock, 0.1f) << "also while hidden";
    EXPECT_TRUE(null->Draws().empty());

    window.SetVisible(true);
    GetFrameClock().delta = 0.02f;
    const struct {
        float alpha;
        int overlay;
    } cases[] = {{0, 255}, {128, 127}, {254.5f, 0}, {255, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.alpha);
        null->ClearLog();
        window.alpha_ = c.alpha;
        window.Draw();
        EXPECT_EQ(null->Count("ID3DXEffect::Begin(Render2D"), 1u);
        EXPECT_EQ(null->Count("ID3DXEffect::End()"), 1u);
        const std::vector<uitest::Quad> quads = Quads();
        ASSERT_EQ(quads.size(), 2u);
        EXPECT_EQ(quads[0].texture, TextureOf(*window.front()));
        EXPECT_EQ(XY(quads[0].position), std::make_pair(3.0f, 0.0f));
        // The overlay covers the whole virtual screen, last.
        EXPECT_EQ(quads[1].texture, nullptr);
        EXPECT_EQ(XY(quads[1].position), std::make_pair(0.0f, 0.0f));
        EXPECT_EQ(XY(quads[1].size), std::make_pair(1024.0f, 768.0f));
        EXPECT_EQ(RGBA(quads[1].color), std::make_tuple(0, 0, 0, c.overlay));
    }
    EXPECT_FLOAT_EQ(UiClock, 0.18f);
}

TEST_F(UIWindowViewTest, ShutdownRemovesOnlyTheWindowsOwnKeyEntry) {
    const size_t before = KeyDownListeners.Count();
    auto first = std::make_unique<UI::UIWindowView>();
    UI::UIWindowView second;
    EXPECT_EQ(KeyDownListeners.Count(), before + 2);
    first.reset();
    ASSERT_EQ(KeyDownListeners.Count(), before + 1) << "the later entry stays";
    KeyDownListeners.Fire(56);  // reaches only the living window
    KeyDownListeners.RemoveTarget(&second);
    EXPECT_EQ(KeyDownListeners.Count(), before) << "the entry left was the second window's";
    second.Initialize();
    second.Shutdown();
    second.Shutdown();
    EXPECT_EQ(KeyDownListeners.Count(), before);
}

}  // namespace
