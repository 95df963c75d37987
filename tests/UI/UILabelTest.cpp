// Labels and text input: the attributes (fonts, capacity, pass character,
// texts, offsets, alignment), the edit keys and characters, focus by presses,
// the scroll that keeps the caret in view, drawing with the caret and the
// clip, and a destroyed label that no key reaches.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Core/KeyboardListeners.h"
#include "Core/Language.h"
#include "UI/UILabel.h"
#include "UITestFixture.h"

namespace {

using uitest::kAdvance;
using uitest::LTRB;
using uitest::RGBA;
using uitest::XY;

// The program's key codes of editing.
enum : int32_t { kLeft = 50, kRight = 51, kEnd = 52, kHome = 53, kBackspace = 59, kInsert = 61, kDelete = 62 };

// One keyboard event: a typed character, or a key press.
struct Key {
    uint16_t character;
    int32_t code;
};
Key Code(int32_t code) { return Key{0, code}; }
std::vector<Key> Chars(const std::string& text) {
    std::vector<Key> keys;
    for (char c : text) keys.push_back(Key{static_cast<uint8_t>(c), 0});
    return keys;
}
std::vector<Key> operator+(std::vector<Key> a, const std::vector<Key>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class UILabelTest : public uitest::UITest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(UITest::SetUp());
        TestFont();
    }

    static UI::UILabel* First(UI::UIWindowView& window) { return dynamic_cast<UI::UILabel*>(window.front()); }

    // The keys through the shell's keyboard listener list, as the window
    // procedure sends them.
    static void Type(const std::vector<Key>& keys) {
        for (const Key& key : keys) FireKeyboardListeners(key.character, key.code);
    }

public:
    void CountEdit(UI::UIElement*) { ++edits_; }

protected:
    int edits_ = 0;
};

TEST_F(UILabelTest, Attributes) {
    GetLocalizedText("UiGreeting") = L"Welcome";
    const struct {
        const char* what;
        std::string attributes;
        std::wstring text;
        std::pair<float, float> position;
        float width;  // of the box, which keeps its right edge when aligned
        int32_t capacity;
        bool editable;
    } cases[] = {
        {"plain", R"(text="abcd" posx="100" posy="50")", L"abcd", {100, 50}, 100, 50, false},
        {"centred on the text and half the nominal size",
         R"(text="abcd" posx="100" posy="50" centered="1")",
         L"abcd",
         {80, 40},
         100,
         50,
         false},
        {"centred in its width",
         R"(text="abcd" posx="100" sizex="200" halign="center")",
         L"abcd",
         {180, 0},
         120,
         50,
         false},
        {"right in its width",
         R"(text="abcd" posx="100" sizex="200" halign="right")",
         L"abcd",
         {260, 0},
         40,
         50,
         false},
        {"right, wider than its width",
         R"(text="abcd" posx="100" sizex="10" halign="right")",
         L"abcd",
         {70, 0},
         40,
         50,
         false},
        {"the key's text replaces the text",
         R"(text="abcd" texttr="UiGreeting" halign="right" sizex="100")",
         L"Welcome",
         {30, 0},
         70,
         50,
         false},
        {"a key no language file has", R"(texttr="UiNoSuchKey")", L"", {0, 0}, 100, 50, false},
        {"capacity cuts the text", R"(text="abcdef" maxLen="3" editable="1")", L"abc", {0, 0}, 100, 3, true},
        {"capacity 0 keeps 50", R"(text="x" maxLen="0" editable="0")", L"x", {0, 0}, 100, 50, false},
        {"a negative capacity keeps 50", R"(maxLen="-7")", L"", {0, 0}, 100, 50, false},
        {"a huge capacity is held at 1024", R"(maxLen="2147483647" editable="2")", L"", {0, 0}, 100, 1024, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto window = Window(R"(<text name="l" font="test.fnt" )" + c.attributes + "/>");
        UI::UILabel* label = First(*window);
        ASSERT_NE(label, nullptr);
        ASSERT_TRUE(label->font_);
        EXPECT_EQ(label->text_, c.text);
        EXPECT_EQ(XY(label->position_), c.position);
        EXPECT_EQ(label->size_.x, c.width);
        EXPECT_EQ(label->max_len_, c.capacity);
        EXPECT_EQ(label->buffer_.size(), static_cast<size_t>(c.capacity) + 1);
        EXPECT_EQ(label->editable_, c.editable);
        EXPECT_EQ(label->cursor_, static_cast<int32_t>(c.text.size()));
    }
}

TEST_F(UILabelTest, FontsPassCharacterAndOffset) {
    WriteFile("other.fnt",
              "common lineHeight=9 base=3\npage id=0 file=\"testfont.png\"\n"
              "char id=65 x=0 y=0 width=2 height=2 xadvance=3\n");
    const std::string any = ScratchPath("any.lan");
    WriteFile("any.lan", "LAN");
    const struct {
        int language;
        const char* attributes;
        const char* font;  // the file the label took, "" for none
    } cases[] = {
        {0, R"(font="test.fnt" fontRUS="other.fnt")", "test.fnt"},
        {5, R"(font="test.fnt" fontRUS="other.fnt")", "other.fnt"},
        {5, R"(font="test.fnt")", "test.fnt"},
        {0, R"(fontRUS="other.fnt")", ""},
        {0, R"(font="missing.fnt")", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attributes);
        LoadLanguageFile(c.language, any);
        auto window = Window(std::string("<text ") + c.attributes + R"( text="AA" halign="right" posx="50"/>)");
        UI::UILabel* label = First(*window);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->font_ ? label->font_->GetName() : "", *c.font ? ScratchPath(c.font) : "");
        // Without a font the text measures 0 and draws nothing.
        EXPECT_EQ(label->position_.x, label->font_ ? 150.0f - UI::TextWidth(label->font_, L"AA") : 150.0f);
        null->ClearLog();
        DrawAlone(*label);
        EXPECT_EQ(Texts().empty(), !label->font_);
    }

    auto window = Window(R"(<text font="test.fnt" text="abc" passChar="*" ofsx="4" ofsy="6" posx="10" posy="20"/>)");
    UI::UILabel* label = First(*window);
    EXPECT_EQ(label->pass_char_, '*');
    EXPECT_EQ(label->ShownText(), L"***");
    EXPECT_EQ(label->GetText(), "abc");
    EXPECT_EQ(XY(label->offset_), std::make_pair(4.0f, 6.0f));
    // A pass character's first byte, above 127, is sign-extended like every widened byte.
    auto high = Window(R"(<text font="test.fnt" passChar="é"/>)");
    EXPECT_EQ(First(*high)->pass_char_, 0xFFC3);
}

TEST_F(UILabelTest, TextsAndCapacity) {
    UI::UILabel label;
    label.SetText(std::wstring(L"hello"), 3);
    EXPECT_EQ(label.text_, L"hel");
    EXPECT_EQ(label.cursor_, 3);
    // 0 keeps the capacity; a longer text is cut to it.
    label.SetText(std::string("abcdef"), 0);
    EXPECT_EQ(label.text_, L"abc");
    label.SetText(std::string("\xE9t\xE9"), 10);
    EXPECT_EQ(label.text_, std::wstring({wchar_t(0xFFE9), L't', wchar_t(0xFFE9)}));
    // Characters above 255 come back as their low bytes.
    label.SetText(std::wstring({wchar_t(0x0441), L'a', wchar_t(0x20AC)}), 0);
    EXPECT_EQ(label.GetText(), std::string("\x41"
                                           "a"
                                           "\xAC"));
    EXPECT_EQ(label.max_len_, 10);
}

TEST_F(UILabelTest, EditKeys) {
    struct Case {
        const char* what;
        std::string start;
        int32_t capacity;
        std::vector<Key> keys;
        std::wstring text;
        int32_t cursor;
        int edits;
    };
    const Case cases[] = {
        {"typing appends", "", 10, Chars("ab.c@d_e"), L"ab.c@d_e", 8, 8},
        {"a full field takes no more", "abcde", 5, Chars("f"), L"abcde", 5, 0},
        {"a full field still deletes and moves", "abcde", 5, {Code(kHome), Code(kDelete), Code(kEnd)}, L"bcde", 4, 1},
        {"inserting at the caret", "ace", 10, {Code(kLeft), Key{'d', 0}, Code(kHome), Key{'-', 0}}, L"-acde", 1, 2},
        {"overwriting", "abc", 10, {Code(kInsert), Code(kHome), Key{'x', 0}, Key{'y', 0}}, L"xyc", 2, 2},
        {"overwriting at the end appends", "abc", 10, {Code(kInsert), Key{'x', 0}}, L"abcx", 4, 1},
        {"overwriting in a full field", "abc", 3, {Code(kInsert), Code(kLeft), Key{'x', 0}}, L"abx", 3, 1},
        {"backspace", "abc", 10, {Code(kLeft), Code(kBackspace)}, L"ac", 1, 1},
        {"backspace at 0", "abc", 10, {Code(kHome), Code(kBackspace)}, L"abc", 0, 0},
        {"backspace in an empty field", "", 10, {Code(kBackspace)}, L"", 0, 0},
        {"delete at the end", "abc", 10, {Code(kDelete)}, L"abc", 3, 0},
        {"the caret stays inside", "ab", 10, {Code(kRight), Code(kHome), Code(kLeft)}, L"ab", 0, 0},
        {"characters outside the set", "", 10, Chars(" !#+/:<é") + std::vector<Key>{Key{0x0416, 0}, Key{8, 0}}, L"", 0,
         0},
        {"an e-mail address", "", 30, Chars("first-last@mail-host.org"), L"first-last@mail-host.org", 24, 24},
        {"keys outside the table", "ab", 10, {Code(56), Code(57), Code(63)}, L"ab", 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UI::UILabel label;
        label.editable_ = true;
        label.SetText(c.start, c.capacity);
        label.edit_handler_ = UI::UIElement::Handler::FromMethod<&UILabelTest::CountEdit>(this);
        edits_ = 0;
        Type(c.keys);
        EXPECT_EQ(label.GetText(), c.start) << "unfocused: no key reaches it";
        EXPECT_TRUE(label.insert_mode_);
        FocusedLabel = &label;
        Type(c.keys);
        EXPECT_EQ(label.text_, c.text);
        EXPECT_EQ(label.cursor_, c.cursor);
        EXPECT_EQ(edits_, c.edits);
        EXPECT_EQ(label.buffer_.back(), L'\0');
        FocusedLabel = nullptr;
    }
}

TEST_F(UILabelTest, BackspaceAtTheStartLeavesBeforeRefreshing) {
    UI::UILabel label;
    label.SetText(std::string("ab"), 10);
    FocusedLabel = &label;
    Type({Code(kHome)});
    // A text set behind the label's back shows only at the next refresh.
    label.buffer_[2] = L'c';
    Type({Code(kBackspace)});
    EXPECT_EQ(label.text_, L"ab");
    Type({Code(kInsert)});
    EXPECT_EQ(label.text_, L"abc");
    EXPECT_FALSE(label.insert_mode_);
}

TEST_F(UILabelTest, APressFocusesAnEditableLabelAndAPressElsewhereDropsIt) {
    auto window = Window(R"(
        <text name="name" font="test.fnt" editable="1" posx="0" posy="0" sizex="200" sizey="30"/>
        <text name="title" font="test.fnt" text="Title" posx="0" posy="100" sizex="200" sizey="30"/>
    )");
    auto* name = Find<UI::UILabel>(*window, "name");
    auto touch = [&](float x, float y) {
        Touch(kTouchPress, x, y);
        window->UpdateElements();
        UiPressedLastFrame = false;
    };
    touch(50, 10);
    EXPECT_EQ(FocusedLabel, name);
    Type(Chars("Ann"));
    EXPECT_EQ(name->text_, L"Ann");
    null->ClearLog();
    window->Draw();
    ASSERT_EQ(Texts().size(), 3u) << "the field, its caret and the title";
    EXPECT_EQ(Texts()[1].text, L"|");

    touch(50, 110);  // on the static label
    EXPECT_EQ(FocusedLabel, nullptr);
    touch(50, 10);
    touch(500, 500);  // on nothing
    EXPECT_EQ(FocusedLabel, nullptr);
    Type(Chars("x"));
    EXPECT_EQ(name->text_, L"Ann");
    null->ClearLog();
    window->Draw();
    EXPECT_EQ(Texts().size(), 2u) << "both texts, no caret";
    for (const uitest::Text& text : Texts()) EXPECT_NE(text.text, L"|");
}

TEST_F(UILabelTest, NoKeyReachesADestroyedLabel) {
    const size_t before = GetKeyboardListeners().Count();
    {
        UI::UILabel plain;
        EXPECT_EQ(GetKeyboardListeners().Count(), before + 1) << "every label listens";
    }
    auto window = Window(R"(<text font="test.fnt" editable="1" focused="1"/><text font="test.fnt"/>)");
    UI::UILabel* label = First(*window);
    label->edit_handler_ = UI::UIElement::Handler::FromMethod<&UILabelTest::CountEdit>(this);
    EXPECT_EQ(GetKeyboardListeners().Count(), before + 2);
    ASSERT_EQ(FocusedLabel, label);
    Type(Chars("a"));
    EXPECT_EQ(edits_, 1);
    window.reset();
    EXPECT_EQ(FocusedLabel, nullptr);
    EXPECT_EQ(GetKeyboardListeners().Count(), before);
    Type(Chars("b") + std::vector<Key>{Code(kBackspace)});
    EXPECT_EQ(edits_, 1);

    // Another label's focus is left alone.
    UI::UILabel kept;
    {
        UI::UILabel gone;
        FocusedLabel = &kept;
    }
    EXPECT_EQ(FocusedLabel, &kept);
}

TEST_F(UILabelTest, TypingPastTheWidthScrollsAndClips) {
    // Room: 200 - 10 - 5 - 2 x 10 = 165 pixels, 16 characters and a half.
    auto window = Window(R"(
        <text name="field" font="test.fnt" editable="1" focused="1" posx="100" posy="50" sizex="200" sizey="30" ofsx="10" ofsy="4"/>
        <text name="fixed" font="test.fnt" text="a static text much longer than its field" posx="100" posy="150" sizex="200" sizey="30"/>
    )");
    auto* field = Find<UI::UILabel>(*window, "field");
    auto* fixed = Find<UI::UILabel>(*window, "fixed");
    EXPECT_FALSE(fixed->clip_);
    EXPECT_EQ(fixed->scroll_x_, 0);
    Type(Chars("abcdefghijklmnop"));
    EXPECT_FALSE(field->clip_) << "16 characters fit";
    Type(Chars("qrst"));
    EXPECT_TRUE(field->clip_);
    EXPECT_EQ(field->scroll_x_, 200 - 165) << "the end in view";
    EXPECT_EQ(XY(field->caret_), std::make_pair(100.0f + 200.0f, 50.0f));

    null->ClearLog();
    window->Draw();
    const std::vector<uitest::Text> texts = Texts();
    ASSERT_EQ(texts.size(), 3u);
    // The field's text, moved left by the scroll, clipped to the field less its offset.
    EXPECT_EQ(texts[0].text, L"abcdefghijklmnopqrst");
    EXPECT_EQ(XY(texts[0].pens[0]), std::make_pair(100.0f + 10 - 35, 54.0f));
    EXPECT_TRUE(texts[0].clipped);
    EXPECT_EQ(LTRB(texts[0].scissor), std::make_tuple(110, 50, 290, 80));
    // The caret outside the clip, in its blinking red.
    EXPECT_EQ(texts[1].text, L"|");
    EXPECT_FALSE(texts[1].clipped);
    EXPECT_EQ(XY(texts[1].pens[0]), std::make_pair(300.0f + 10 - 35, 54.0f));
    EXPECT_EQ(RGBA(texts[1].color), std::make_tuple(255, 80, 80, 123));
    // The static label is neither scrolled nor clipped.
    EXPECT_FALSE(texts[2].clipped);
    EXPECT_EQ(texts[2].pens[0].x, 100.0f);

    // A caret left of the view steps it back by half the room at a time.
    Type({Code(kHome), Code(kRight), Code(kRight)});
    EXPECT_EQ(field->scroll_x_, 0) << "35 - 82.5 is below 0";
    Type({Code(kEnd)});
    EXPECT_EQ(field->scroll_x_, 35);
    Type(std::vector<Key>(8, Code(kLeft)));  // caret at 12: 120 - 35 is in view
    EXPECT_EQ(field->scroll_x_, 35);
    Type({Code(kDelete)});
    EXPECT_EQ(field->scroll_x_, 25);
}

TEST_F(UILabelTest, PassCharacterCaretAndBlink) {
    Image("back.png", 16, 16);
    auto window = Window(
        R"(<text font="test.fnt" file="back.png" editable="1" focused="1" passChar="*" text="secret" posx="10" posy="20" sizex="300" sizey="30" tint="10 20 30"/>)");
    UI::UILabel* label = First(*window);
    Type({Code(kLeft), Code(kLeft), Code(kInsert)});
    null->ClearLog();
    DrawAlone(*label);
    // The background picture first, in the label's colour.
    const std::vector<uitest::Quad> quads = Quads();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(RGBA(quads[0].color), std::make_tuple(10, 20, 30, 255));
    const std::vector<uitest::Text> texts = Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, L"******");
    EXPECT_EQ(RGBA(texts[0].color), std::make_tuple(10, 20, 30, 255));
    // The overwrite caret after four stars.
    EXPECT_EQ(texts[1].text, L"_");
    EXPECT_EQ(XY(texts[1].pens[0]), std::make_pair(10.0f + 4 * kAdvance, 20.0f));

    // The caret's alpha climbs by 3 per frame and starts again at 120 above 255.
    std::vector<int> alphas;
    for (int frame = 0; frame < 46; ++frame) {
        null->ClearLog();
        DrawAlone(*label);
        alphas.push_back(Texts().back().color.a);
    }
    EXPECT_EQ(alphas[0], 126);
    EXPECT_EQ(alphas[42], 252);
    EXPECT_EQ(alphas[43], 255);
    EXPECT_EQ(alphas[44], 120);
    EXPECT_EQ(alphas[45], 123);

    label->visible_ = false;
    null->ClearLog();
    DrawAlone(*label);
    EXPECT_TRUE(null->Draws().empty());
}

}  // namespace
