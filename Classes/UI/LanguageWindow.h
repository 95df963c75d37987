#pragma once
// The player's choice of the interface language when the registry names none:
// one button per language, each loading its file and the fonts that go with it
// before the window fades out to the loading screen.
#include <string>

#include "Classes/UI/BaseStateWindow.h"
#include "Classes/UI/WindowControllers.h"
#include "UI/UIButton.h"

struct LoadingWindow;

// The language file in the configured "language" folder.
std::string LanguageFilePath(const char* file);

// Every button of the layout, whatever its name, gets the language handler.
template <class W>
struct LanguageWindowController {
    void BindLayout(UI::UIWindowView& view, W* window) {
        LoadWindowLayout(view, W::kLayout);
        for (UI::UIElement* element : view)
            if (dynamic_cast<UI::UIButton*>(element) != nullptr) BindRelease<&W::OnLanguagePressed>(window, element);
    }
};

struct LanguageWindow
    : BaseStateWindow<LanguageWindow, LanguageWindowController, Transition<EvLangPressed, LoadingWindow>> {
    static constexpr const char* kName = "LanguageWindow";
    static constexpr const char* kLayout = "LanguageWindow.xml";

    // The arrow cursor.
    LanguageWindow();
    // Any id leads on; the id stays (the state is left right after).
    void OnButton() override;
    // The click; the language of the button's name (a button of another name
    // loads none); the fonts, the game's hook and the renderer's font for the
    // language in force; the fade-out.
    void OnLanguagePressed(UI::UIElement* button);
};
