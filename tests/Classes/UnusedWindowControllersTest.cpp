// The controllers of the layouts no state shows, each bound to a layout of the
// test's own: what every named button leaves with and posts, and the fields
// and sliders they keep.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <typeindex>
#include <typeinfo>
#include <vector>

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/UI/UnusedWindowControllers.h"
#include "Core/Service.h"
#include "UI/UISlider.h"
#include "UI/UIWindowFacade.h"
#include "support/ScratchFolder.h"

namespace {

// What the window base offers the controllers, with the posted events written down.
template <template <class> class Controller>
struct ControllerProbe : UI::UIWindowFacade<ControllerProbe<Controller>, Controller> {
    ControllerProbe() { this->BindLayout(*this, this); }
    void StartFadeOut() { ++fadeOuts; }
    template <class E>
    void post_event(const E&) {
        posted.push_back(typeid(E));
    }

    int32_t PendingButtonId = 0;
    bool HandlersClosed = false;
    int fadeOuts = 0;
    std::vector<std::type_index> posted;
};

UI::UIElement* ProbeElement(UI::UIWindowView& window, const std::string& name) {
    for (UI::UIElement* element : window)
        if (element->name_ == name) return element;
    return nullptr;
}

// A release on the named element of a fresh window, then the button action
// that the end of the fade-out runs: the events it posted.
struct PressResult {
    bool found = false;
    int fadeOuts = 0;
    std::vector<std::type_index> posted;
};

template <template <class> class Controller>
PressResult PressInFreshWindow(const std::string& name) {
    ControllerProbe<Controller> window;
    PressResult result;
    UI::UIElement* element = ProbeElement(window, name);
    if (element == nullptr) return result;
    result.found = true;
    element->release_handler_(element);
    result.fadeOuts = window.fadeOuts;
    if (window.fadeOuts > 0) Controller<ControllerProbe<Controller>>::PostButtonEvent(window);
    EXPECT_EQ(window.PendingButtonId, 0);
    result.posted = window.posted;
    return result;
}

struct Press {
    const char* element;
    const std::type_info* event;  // null: no fade-out, nothing posted
};

struct ControllerCase {
    const char* layout;
    const char* file;
    std::vector<Press> presses;
    PressResult (*press)(const std::string& name);
};

std::string ButtonsLayout(const std::vector<Press>& presses, const std::string& others) {
    std::string xml = "<layout>";
    int y = 0;
    for (const Press& press : presses)
        xml += "<button name=\"" + std::string(press.element) + "\" posx=\"0\" posy=\"" + std::to_string(y += 60) +
               "\" sizex=\"100\" sizey=\"50\"/>";
    return xml + others + "</layout>";
}

class UnusedWindowControllersTest : public ::testing::Test {
protected:
    void SetUp() override {
        config_.Paths.UiPath = layouts_.Path() + "/";
        Service<Config>::Register(&config_);
    }
    void TearDown() override {
        if (Service<Config>::Exists() && Service<Config>::Get() == &config_) Service<Config>::Unregister();
    }

    Config config_;
    ScratchFolder layouts_;
};

}  // namespace

TEST_F(UnusedWindowControllersTest, EachBindsItsLayoutsButtonsToTheirEvents) {
    const ControllerCase cases[] = {
        {"map detail",
         "MapDetailWindow.xml",
         {{"Back", &typeid(EvBackPressed)}, {"Start", &typeid(EvStartPressed)}},
         &PressInFreshWindow<MapDetailWindowController>},
        {"login",
         "LoginWindow.xml",
         {{"Register", &typeid(EvRegister)}, {"Play", &typeid(EvPlayOff)}, {"Sign_in", nullptr}, {"Quit", nullptr}},
         &PressInFreshWindow<LoginWindowController>},
        {"registration",
         "RegistrationWindow.xml",
         {{"Back", &typeid(EvBackPressed)}, {"Submit", nullptr}},
         &PressInFreshWindow<RegistrationWindowController>},
        {"high scores",
         "HighScoresWindow.xml",
         {{"Back", &typeid(EvBackPressed)}},
         &PressInFreshWindow<HighScoresWindowController>},
        {"in-game menu",
         "INGameMenuWindow.xml",
         {{"Back_IN", &typeid(EvBackToGamePressed)},
          {"Sound_IN", &typeid(EvSoundPressed)},
          {"Quit_IN", &typeid(EvBackPressed)}},
         &PressInFreshWindow<InGameMenuWindowController>},
        {"in-game sound",
         "INGameSoundWindow.xml",
         {{"Back_IN", &typeid(EvBackToIngameMenuPressed)}},
         &PressInFreshWindow<InGameSoundWindowController>},
        {"in-game score",
         "INGameScoreWindow.xml",
         {{"OK_IN", &typeid(EvBackPressed)}},
         &PressInFreshWindow<InGameScoreWindowController>},
    };
    for (const ControllerCase& c : cases) {
        SCOPED_TRACE(c.layout);
        // A name that differs in letter case binds nothing.
        layouts_.Write(c.file,
                       ButtonsLayout(c.presses, R"(<button name="back" posx="0" posy="600" sizex="9" sizey="9"/>)"));
        for (const Press& press : c.presses) {
            SCOPED_TRACE(press.element);
            const PressResult result = c.press(press.element);
            ASSERT_TRUE(result.found) << "the layout is " << c.file;
            EXPECT_EQ(result.fadeOuts, press.event != nullptr ? 1 : 0);
            if (press.event == nullptr) {
                EXPECT_TRUE(result.posted.empty());
            } else {
                ASSERT_EQ(result.posted.size(), 1u);
                EXPECT_EQ(result.posted[0], std::type_index(*press.event));
            }
        }
        const PressResult unbound = c.press("back");
        ASSERT_TRUE(unbound.found);
        EXPECT_EQ(unbound.fadeOuts, 0);
    }
}

TEST_F(UnusedWindowControllersTest, FieldsAndSlidersAreKeptByName) {
    layouts_.Write("LoginWindow.xml", R"(<layout>
        <text name="LoginEdit" editable="1" sizex="100" sizey="20"/>
        <text name="PasswordEdit" editable="1" sizex="100" sizey="20"/>
        <button name="Remember_chk" sizex="20" sizey="20"/></layout>)");
    ControllerProbe<LoginWindowController> login;
    EXPECT_EQ(login.LoginField, ProbeElement(login, "LoginEdit"));
    EXPECT_EQ(login.PasswordField, ProbeElement(login, "PasswordEdit"));
    EXPECT_EQ(login.RememberBox, ProbeElement(login, "Remember_chk"));

    const char* const fields[] = {"First", "Last", "Login", "Password", "RetypePassword", "Email"};
    std::string form = "<layout>";
    for (const char* field : fields) form += "<text name=\"" + std::string(field) + "\" editable=\"1\"/>";
    layouts_.Write("RegistrationWindow.xml", form + "</layout>");
    ControllerProbe<RegistrationWindowController> registration;
    for (int f = 0; f < 6; ++f) EXPECT_EQ(registration.Fields[f], ProbeElement(registration, fields[f])) << fields[f];

    layouts_.Write("INGameScoreWindow.xml", R"(<layout><text name="NameEdit" editable="1"/></layout>)");
    ControllerProbe<InGameScoreWindowController> score;
    EXPECT_EQ(score.NameField, ProbeElement(score, "NameEdit"));

    // Without settings both sliders show full volume and take the changes.
    layouts_.Write("INGameSoundWindow.xml", R"(<layout>
        <slider name="SFX_vol" sizex="100" sizey="20"/><slider name="Music_vol" sizex="100" sizey="20"/></layout>)");
    ControllerProbe<InGameSoundWindowController> sound;
    for (const char* name : {"SFX_vol", "Music_vol"}) {
        auto* slider = dynamic_cast<UI::UISlider*>(ProbeElement(sound, name));
        ASSERT_NE(slider, nullptr) << name;
        EXPECT_EQ(slider->value_, 1.0f) << name;
        EXPECT_TRUE(slider->value_handler_.IsBound()) << name;
    }
}
