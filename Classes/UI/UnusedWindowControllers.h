#pragma once
// The controllers of the layouts that no state of the menu machine shows: map
// detail, login, registration, high scores and the in-game menu, sound and
// score windows. Nothing creates them. Each loads its layout and binds its
// elements by name as the other controllers do; a window built on one calls
// PostButtonEvent from its button action, which posts the event of the
// pending id (no state reacts to the events only these windows raise).
//
// W offers what the window base offers: PendingButtonId, HandlersClosed,
// StartFadeOut and post_event.
#include <boost/shared_ptr.hpp>

#include <string>

#include "Classes/UI/GameMachine.h"
#include "Classes/UI/MenuActions.h"
#include "Classes/UI/WindowControllers.h"
#include "UI/UIElement.h"
#include "UI/UILabel.h"
#include "shell/ShellGlobals.h"

class CNetThread;

// The text of an edit field, empty when the layout has none.
inline std::string FieldText(const UI::UILabel* field) { return field != nullptr ? field->GetText() : std::string(); }

// An edit field of the layout, or null when the element is no label.
inline UI::UILabel* AsField(UI::UIElement* element) { return dynamic_cast<UI::UILabel*>(element); }

template <class W>
struct MapDetailWindowController {
    static constexpr const char* kLayoutFile = "MapDetailWindow.xml";

    void BindLayout(UI::UIWindowView& view, W* window) {
        LoadWindowLayout(view, kLayoutFile);
        for (UI::UIElement* element : view) {
            if (element->name_ == "Back") BindLeave<1>(window, element);
            else if (element->name_ == "Start") BindLeave<2>(window, element);
        }
    }
    static void PostButtonEvent(W& window) { PostEventOfId<EvBackPressed, EvStartPressed>(window); }
};

// "Sign_in" asks for a login with the two fields; "Register" and "Play" leave;
// "Quit" ends the program.
template <class W>
struct LoginWindowController {
    static constexpr const char* kLayoutFile = "LoginWindow.xml";

    void BindLayout(UI::UIWindowView& view, W* window) {
        LoginField = nullptr;
        PasswordField = nullptr;
        RememberBox = nullptr;
        LoadWindowLayout(view, kLayoutFile);
        for (UI::UIElement* element : view) {
            const std::string& name = element->name_;
            if (name == "Sign_in") BindRelease<&LoginWindowController::OnSignIn>(window, element);
            else if (name == "Register") BindLeave<1>(window, element);
            else if (name == "Play") BindLeave<2>(window, element);
            else if (name == "Quit") BindRelease<&LoginWindowController::OnQuit>(window, element);
            else if (name == "Remember_chk") RememberBox = element;
            else if (name == "LoginEdit") LoginField = AsField(element);
            else if (name == "PasswordEdit") PasswordField = AsField(element);
        }
    }
    static void PostButtonEvent(W& window) { PostEventOfId<EvRegister, EvPlayOff>(window); }

    void OnSignIn(UI::UIElement*) {
        PlaySound("BtnPress.wav", true);
        LoginRequest = SendLoginRequest(FieldText(LoginField), FieldText(PasswordField));
    }
    void OnQuit(UI::UIElement*) {
        PlaySound("BtnPress.wav", true);
        RequestQuit(0);
    }

    UI::UILabel* LoginField = nullptr;
    UI::UILabel* PasswordField = nullptr;
    UI::UIElement* RememberBox = nullptr;  // kept; nothing reads it
    boost::shared_ptr<CNetThread> LoginRequest;
};

// "Submit" asks for an account with the form's fields once both passwords
// agree; "Back" leaves.
template <class W>
struct RegistrationWindowController {
    static constexpr const char* kLayoutFile = "RegistrationWindow.xml";
    enum Field { kFirst, kLast, kLogin, kPassword, kRetypePassword, kEmail, kFieldCount };

    void BindLayout(UI::UIWindowView& view, W* window) {
        static const char* const kFieldNames[kFieldCount] = {"First",    "Last",           "Login",
                                                             "Password", "RetypePassword", "Email"};
        for (UI::UILabel*& field : Fields) field = nullptr;
        LoadWindowLayout(view, kLayoutFile);
        for (UI::UIElement* element : view) {
            const std::string& name = element->name_;
            if (name == "Back") BindLeave<1>(window, element);
            else if (name == "Submit") BindRelease<&RegistrationWindowController::OnSubmit>(window, element);
            for (int f = 0; f < kFieldCount; ++f)
                if (name == kFieldNames[f]) Fields[f] = AsField(element);
        }
    }
    static void PostButtonEvent(W& window) { PostEventOfId<EvBackPressed>(window); }

    void OnSubmit(UI::UIElement*) {
        const std::string password = FieldText(Fields[kPassword]);
        if (password != FieldText(Fields[kRetypePassword])) {
            PlaySound("btnunactive.wav", true);
            return;
        }
        PlaySound("BtnPress.wav", true);
        RegistrationRequest = SendRegistrationRequest(FieldText(Fields[kLogin]), password, FieldText(Fields[kEmail]),
                                                      FieldText(Fields[kFirst]), FieldText(Fields[kLast]));
    }

    UI::UILabel* Fields[kFieldCount] = {};
    boost::shared_ptr<CNetThread> RegistrationRequest;
};

template <class W>
struct HighScoresWindowController {
    static constexpr const char* kLayoutFile = "HighScoresWindow.xml";

    void BindLayout(UI::UIWindowView& view, W* window) {
        LoadWindowLayout(view, kLayoutFile);
        for (UI::UIElement* element : view)
            if (element->name_ == "Back") BindLeave<1>(window, element);
    }
    static void PostButtonEvent(W& window) { PostEventOfId<EvBackPressed>(window); }
};

// "Back_IN" returns to the battle, "Sound_IN" opens the sound window,
// "Quit_IN" leaves the battle for the main menu.
template <class W>
struct InGameMenuWindowController {
    static constexpr const char* kLayoutFile = "INGameMenuWindow.xml";

    void BindLayout(UI::UIWindowView& view, W* window) {
        LoadWindowLayout(view, kLayoutFile);
        for (UI::UIElement* element : view) {
            const std::string& name = element->name_;
            if (name == "Back_IN") BindLeave<1>(window, element);
            else if (name == "Sound_IN") BindLeave<2>(window, element);
            else if (name == "Quit_IN") BindRelease<&InGameMenuWindowController::OnQuit>(window, element);
        }
    }
    static void PostButtonEvent(W& window) {
        PostEventOfId<EvBackToGamePressed, EvSoundPressed, EvBackPressed>(window);
    }

    // The battle goes before the fade-out, as the in-game quit window's "Yes".
    void OnQuit(UI::UIElement* element) {
        W* window = static_cast<W*>(this);
        if (window->HandlersClosed) return;
        QuitBattleToMenu();
        LeaveWithId<3>(window, element);
        window->HandlersClosed = true;
    }
};

template <class W>
struct InGameSoundWindowController {
    static constexpr const char* kLayoutFile = "INGameSoundWindow.xml";

    void BindLayout(UI::UIWindowView& view, W* window) {
        LoadWindowLayout(view, kLayoutFile);
        for (UI::UIElement* element : view) {
            if (element->name_ == "Back_IN") BindLeave<1>(window, element);
            else BindVolumeSlider(element);
        }
    }
    static void PostButtonEvent(W& window) { PostEventOfId<EvBackToIngameMenuPressed>(window); }
};

// "OK_IN" leaves; "NameEdit" is kept as the name field.
template <class W>
struct InGameScoreWindowController {
    static constexpr const char* kLayoutFile = "INGameScoreWindow.xml";

    void BindLayout(UI::UIWindowView& view, W* window) {
        NameField = nullptr;
        LoadWindowLayout(view, kLayoutFile);
        for (UI::UIElement* element : view) {
            if (element->name_ == "OK_IN") BindLeave<1>(window, element);
            else if (element->name_ == "NameEdit") NameField = AsField(element);
        }
    }
    static void PostButtonEvent(W& window) { PostEventOfId<EvBackPressed>(window); }

    UI::UILabel* NameField = nullptr;
};
