// A window's input dispatch frame by frame: presses and releases to handlers
// and widgets in list order until one consumes, drags to sliders only, the
// phase settling across frames, hover and the wheel in the virtual screen,
// the freeze under a message box, radio groups, the default button, and
// handlers that destroy their window.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "UI/UIButton.h"
#include "UI/UIImage.h"
#include "UI/UISlider.h"
#include "UITestFixture.h"

namespace {

// Records the handler calls as "press a", "release b", "value 0.5", "radio 4 r1".
struct Recorder {
    void Press(UI::UIElement* element) { calls.push_back("press " + element->name_); }
    void Release(UI::UIElement* element) { calls.push_back("release " + element->name_); }
    void Value(float value) { calls.push_back("value " + std::to_string(value).substr(0, 4)); }
    void Radio(int32_t group, UI::UIButton* button) {
        calls.push_back("radio " + std::to_string(group) + " " + button->name_);
    }
    std::vector<std::string> Take() { return std::move(calls); }
    std::vector<std::string> calls;
};

// An element that keeps what the wheel sent it.
struct Wheelie : UI::UIImage {
    void Scroll(float delta) override { deltas.push_back(delta); }
    std::vector<float> deltas;
};

class InputDispatchTest : public uitest::UITest {
protected:
    // Binds the press and release handlers of every element, the sliders'
    // value handlers and the radio handler to the recorder.
    void Bind(UI::UIWindowView& window) {
        for (UI::UIElement* element : window) {
            element->press_handler_ = UI::UIElement::Handler::FromMethod<&Recorder::Press>(&recorder);
            element->release_handler_ = UI::UIElement::Handler::FromMethod<&Recorder::Release>(&recorder);
            if (auto* slider = dynamic_cast<UI::UISlider*>(element))
                slider->value_handler_ = UI::UISlider::ValueHandler::FromMethod<&Recorder::Value>(&recorder);
        }
        window.radio_handler_ = UI::UIWindowView::RadioHandler::FromMethod<&Recorder::Radio>(&recorder);
    }
    // One update with the touch of that phase at (x, y), the pointer there too.
    static void Frame(UI::UIWindowView& window, int32_t phase, float x, float y) {
        Touch(phase, x, y);
        PointerAt(x, y);
        window.UpdateElements();
    }
    static void Quiet(UI::UIWindowView& window) {
        NoTouch();
        window.UpdateElements();
    }

    // Two buttons side by side (no "file": invisible but live), a slider.
    void Menu(UI::UIWindowView& window) {
        window.LoadLayout(Layout("menu.xml", R"(
            <button name="a" posx="0" posy="0" sizex="100" sizey="50"/>
            <button name="b" posx="200" posy="0" sizex="100" sizey="50"/>
            <slider name="s" posx="0" posy="100" sizex="200" sizey="20" xposin="0" xsizein="200"/>
        )"));
        Bind(window);
    }

    Recorder recorder;
};

using Calls = std::vector<std::string>;

TEST_F(InputDispatchTest, AClickIsAReleaseThatLandsOnAButton) {
    UI::UIWindowView window;
    Menu(window);
    auto* a = Find<UI::UIButton>(window, "a");
    Frame(window, kTouchPress, 50, 25);
    EXPECT_EQ(recorder.Take(), Calls{"press a"});
    EXPECT_EQ(a->state_, 1);
    Frame(window, kTouchRepeatedPress, 250, 25);  // held and moved: nothing
    EXPECT_EQ(a->state_, 1);
    EXPECT_FALSE(UiPressedLastFrame);
    Frame(window, kTouchRelease, 250, 25);
    EXPECT_EQ(recorder.Take(), Calls{"release b"}) << "a's release handler does not run";
    EXPECT_EQ(a->state_, 0) << "a, missed by the release, shows normal";
    // Right-button events count as left ones.
    Touch(kTouchPress, 250, 25, kTouchRight);
    window.UpdateElements();
    EXPECT_EQ(recorder.Take(), Calls{"press b"});
}

TEST_F(InputDispatchTest, HandlersRunInListOrderUntilAWidgetConsumes) {
    UI::UIWindowView window;
    window.LoadLayout(Layout("overlap.xml", R"(
        <image name="under" posx="0" posy="0" sizex="300" sizey="300"/>
        <button name="ok" posx="50" posy="50" sizex="100" sizey="50"/>
        <image name="over" posx="0" posy="0" sizex="300" sizey="300"/>
    )"));
    Bind(window);
    Frame(window, kTouchPress, 60, 60);
    EXPECT_EQ(recorder.Take(), (Calls{"press under", "press ok"}));
    EXPECT_EQ(Find<UI::UIButton>(window, "ok")->state_, 1);
    // Missed by the button, the touch goes through to the end of the list.
    Frame(window, kTouchRelease, 250, 250);
    EXPECT_EQ(recorder.Take(), (Calls{"release under", "release over"}));
}

TEST_F(InputDispatchTest, APressAfterAPressIsADragForSlidersOnly) {
    UI::UIWindowView window;
    Menu(window);
    auto* slider = Find<UI::UISlider>(window, "s");
    Frame(window, kTouchPress, 50, 110);
    EXPECT_EQ(recorder.Take(), (Calls{"press s", "value 0.25"}));
    Frame(window, kTouchPress, 150, 110);
    EXPECT_EQ(recorder.Take(), Calls{"value 0.75"}) << "a drag runs no press handler";
    Frame(window, kTouchDrag, 250, 25);
    EXPECT_EQ(recorder.Take(), Calls{}) << "buttons get no drags";
    EXPECT_EQ(Find<UI::UIButton>(window, "b")->state_, 0);
    EXPECT_FLOAT_EQ(slider->value_, 0.75f);
    // A held press clears the memory: the next press is a fresh one.
    Frame(window, kTouchRepeatedPress, 150, 110);
    Frame(window, kTouchPress, 250, 25);
    EXPECT_EQ(recorder.Take(), Calls{"press b"});
}

TEST_F(InputDispatchTest, DragsFollowThePointerInsideTheCutSize) {
    UI::UIWindowView window;
    window.LoadLayout(Layout("drag.xml", R"(
        <slider name="plain" posx="0" posy="100" sizex="200" sizey="20" xposin="0" xsizein="200"/>
        <slider name="wide" posx="0" posy="300" sizex="200" sizey="20" xposin="0" xsizein="200" cutsizex="400" cutsizey="100"/>
    )"));
    Bind(window);
    auto* plain = Find<UI::UISlider>(window, "plain");
    auto* wide = Find<UI::UISlider>(window, "wide");
    plain->value_ = wide->value_ = 0.5f;
    UiPressedLastFrame = true;
    // The event says one place, the pointer another: drags take the pointer.
    Touch(kTouchDrag, 10, 110);
    PointerAt(250, 110);
    window.UpdateElements();
    EXPECT_FLOAT_EQ(plain->value_, 0.5f) << "off its rectangle";
    Touch(kTouchDrag, 10, 110);
    PointerAt(150, 390);
    window.UpdateElements();
    EXPECT_FLOAT_EQ(wide->value_, 0.75f) << "within its cut size";
    EXPECT_EQ(recorder.Take(), Calls{"value 0.75"});
}

TEST_F(InputDispatchTest, HoverAndWheelWorkWithoutTouches) {
    UI::UIWindowView window;
    Menu(window);
    Wheelie left, hidden, right;
    left.name_ = "left", hidden.name_ = "hidden", right.name_ = "right";
    left.position_ = hidden.position_ = Vector2(0, 0);
    right.position_ = Vector2(500, 500);
    hidden.visible_ = false;
    for (UI::UIElement* e : {static_cast<UI::UIElement*>(&left), static_cast<UI::UIElement*>(&hidden),
                             static_cast<UI::UIElement*>(&right)})
        window.push_back(e);

    GetPointerState().wheel = 3.0f;
    PointerAt(50, 25);
    Quiet(window);
    EXPECT_TRUE(Find(window, "a")->hovered_);
    EXPECT_TRUE(left.deltas.empty()) << "the first update only takes the wheel's position";
    GetPointerState().wheel = 1.0f;  // two notches towards the user
    Quiet(window);
    EXPECT_EQ(left.deltas, std::vector<float>{2.0f});
    EXPECT_TRUE(hidden.deltas.empty());
    EXPECT_TRUE(right.deltas.empty());
    Quiet(window);
    EXPECT_EQ(left.deltas.size(), 1u) << "no movement, no scroll";
    PointerAt(250, 25);
    Quiet(window);
    EXPECT_FALSE(Find(window, "a")->hovered_);
    EXPECT_TRUE(Find(window, "b")->hovered_);
    EXPECT_EQ(recorder.Take(), Calls{});
    window.remove(&left), window.remove(&hidden), window.remove(&right);
}

TEST_F(InputDispatchTest, TheVirtualScreenHoldsInAnyClientSize) {
    UI::UIWindowView window;
    Menu(window);
    auto* b = Find(window, "b");
    PointerAt(100, 50, 2048, 1536);  // (50, 25) virtual: on a
    Quiet(window);
    EXPECT_TRUE(Find(window, "a")->hovered_);
    PointerAt(300, 50, 2048, 1536);  // (150, 25): between a and b, though b in client pixels
    Quiet(window);
    EXPECT_FALSE(Find(window, "a")->hovered_);
    EXPECT_FALSE(b->hovered_);
    PointerAt(500, 50, 2048, 1536);  // (250, 25)
    Quiet(window);
    EXPECT_TRUE(b->hovered_);
    // A drag in that client moves the slider where the pointer shows.
    UiPressedLastFrame = true;
    Touch(kTouchDrag, 100, 110);
    PointerAt(200, 220, 2048, 1536);
    window.UpdateElements();
    EXPECT_EQ(recorder.Take(), Calls{"value 0.50"});
}

TEST_F(InputDispatchTest, AnOpenMessageBoxFreezesAllButModalWindows) {
    UI::UIWindowView window;
    Menu(window);
    PointerAt(50, 25);
    Quiet(window);
    MessageBoxOpen = true;
    Frame(window, kTouchPress, 250, 25);
    EXPECT_EQ(recorder.Take(), Calls{});
    EXPECT_TRUE(Find(window, "a")->hovered_) << "hover stays as it was";
    EXPECT_FALSE(Find(window, "b")->hovered_);
    EXPECT_EQ(Find<UI::UIButton>(window, "b")->state_, 0);
    window.modal_ = true;
    Frame(window, kTouchRelease, 250, 25);
    EXPECT_EQ(recorder.Take(), Calls{"release b"});
}

TEST_F(InputDispatchTest, RadioGroupsSettleAmongTheirVisibleMembers) {
    UI::UIWindowView window;
    window.LoadLayout(Layout("radio.xml", R"(
        <button name="r1" posx="0" sizex="50" sizey="50" radioGrp="4" chkBox="1"/>
        <button name="r2" posx="100" sizex="50" sizey="50" radioGrp="4"/>
        <button name="r3" posx="200" sizex="50" sizey="50" radioGrp="4"/>
        <button name="other" posx="300" sizex="50" sizey="50" radioGrp="5"/>
    )"));
    Bind(window);
    auto* r1 = Find<UI::UIButton>(window, "r1");
    auto* r2 = Find<UI::UIButton>(window, "r2");
    auto* r3 = Find<UI::UIButton>(window, "r3");
    auto* other = Find<UI::UIButton>(window, "other");
    auto states = [&] {
        std::vector<std::pair<int, int>> s;
        for (UI::UIButton* b : {r1, r2, r3, other}) s.push_back({b->state_, b->radio_state_});
        return s;
    };
    using States = std::vector<std::pair<int, int>>;
    EXPECT_FALSE(r1->check_box_);
    Frame(window, kTouchPress, 325, 25);
    Frame(window, kTouchRelease, 325, 25);
    Frame(window, kTouchPress, 225, 25);
    EXPECT_EQ(states(), (States{{0, 0}, {0, 0}, {1, 1}, {1, 1}}));
    EXPECT_EQ(CurrentRadioGroup, -1);
    r3->visible_ = false;
    Frame(window, kTouchRelease, 25, 25);  // released on r1: no selection
    Frame(window, kTouchPress, 25, 25);
    EXPECT_EQ(states(), (States{{1, 1}, {0, 0}, {1, 1}, {1, 1}})) << "the hidden member keeps its selection";
    Frame(window, kTouchRelease, 600, 25);
    EXPECT_EQ(states(), (States{{1, 1}, {0, 0}, {1, 1}, {1, 1}})) << "a release elsewhere keeps the selection shown";
    EXPECT_EQ(recorder.Take(), (Calls{"press other", "radio 5 other", "release other", "press r3", "radio 4 r3",
                                      "release r1", "press r1", "radio 4 r1"}));
}

TEST_F(InputDispatchTest, TheDefaultButtonRunsBothHandlersOnRequest) {
    UI::UIWindowView window;
    window.LoadLayout(Layout("default.xml", R"(<button name="ok" default="1"/><button name="no"/>)"));
    Bind(window);
    window.activate_default_ = true;
    Quiet(window);
    EXPECT_EQ(recorder.Take(), (Calls{"press ok", "release ok"}));
    EXPECT_FALSE(window.activate_default_);
    Quiet(window);
    EXPECT_EQ(recorder.Take(), Calls{});
}

TEST_F(InputDispatchTest, AHandlerMayDestroyItsWindow) {
    // The window goes with the handler's call; nothing of it is touched after.
    struct Closer {
        void Close(UI::UIElement*) { window.reset(); }
        void CloseRadio(int32_t, UI::UIButton*) { window.reset(); }
        std::unique_ptr<UI::UIWindowView> window;
    } closer;
    const std::string layout = Layout("box.xml", R"(
        <button name="ok" posx="0" sizex="100" sizey="50"/><button name="radio" posx="200" sizex="100" sizey="50" radioGrp="1"/>
    )");
    const struct {
        const char* what;
        int32_t phase;
        float x;
        bool byRadio;
        bool byDefault;
    } cases[] = {{"release", kTouchRelease, 50, false, false},
                 {"press", kTouchPress, 50, false, false},
                 {"radio settling", kTouchPress, 250, true, false},
                 {"default button", kTouchRepeatedPress, 50, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        closer.window.reset(new UI::UIWindowView);
        closer.window->LoadLayout(layout);
        for (UI::UIElement* element : *closer.window) {
            element->press_handler_ = UI::UIElement::Handler::FromMethod<&Closer::Close>(&closer);
            element->release_handler_ = element->press_handler_;
        }
        if (c.byRadio) {
            closer.window->front()->press_handler_.Reset();
            closer.window->back()->press_handler_.Reset();
            closer.window->radio_handler_ = UI::UIWindowView::RadioHandler::FromMethod<&Closer::CloseRadio>(&closer);
        }
        if (c.byDefault) {
            closer.window->default_button_ = static_cast<UI::UIButton*>(closer.window->front());
            closer.window->activate_default_ = true;
        }
        Touch(c.phase, c.x, 25);
        closer.window->UpdateElements();
        EXPECT_FALSE(closer.window);
        EXPECT_EQ(CurrentRadioGroup, -1);
        UiPressedLastFrame = false;
    }
}

}  // namespace
