#pragma once
// The first screen: the intro clip inside the layout's "Video" element, then the
// interface language: the one the registry names (on to the loading screen) or,
// when it names none, the player's choice in the language window. Space, Esc or a
// press on the clip cut the intro short.
#include <cstdint>
#include <memory>
#include <string>

#include "Classes/UI/BaseStateWindow.h"
#include "Classes/UI/WindowControllers.h"
#include "UI/UIElement.h"

class VideoPlayer;
struct LanguageWindow;
struct LoadingWindow;

// Keeps the rectangle the clip is drawn into; a press on it ends the intro. The
// intro's values are set here, before the window's own constructor runs.
template <class W>
struct IntroWindowController {
    void BindLayout(UI::UIWindowView& view, W* window) {
        video_element_ = nullptr;
        IntroPhase = 0;
        LastVideoTime = -1.0f;
        LoadWindowLayout(view, W::kLayout);
        for (UI::UIElement* element : view) {
            if (element->name_ != "Video") continue;
            video_element_ = element;
            element->press_handler_ = UI::UIElement::Handler::FromMethod<&W::OnVideoPressed>(window);
        }
    }

    UI::UIElement* video_element_ = nullptr;  // null: the clip is not drawn
    uint32_t IntroPhase = 0;                  // 0 the clip is not open yet, 1 it plays
    float LastVideoTime = -1.0f;              // the clip's position at the last update
};

struct IntroWindow : BaseStateWindow<IntroWindow, IntroWindowController, Transition<EvBackPressed, LanguageWindow>,
                                     Transition<EvSkipLangChoose, LoadingWindow>> {
    static constexpr const char* kName = "IntroWindow";
    static constexpr const char* kLayout = "IntroWindow.xml";
    // The clip starts at the first update (or the language is chosen at once).
    static constexpr const char* kClip = "intro.ogv";

    IntroWindow();
    ~IntroWindow() override;

    // The elements' input; opens the clip at the first update; the language
    // choice once the clip has wrapped, or on Space or Esc (consumed).
    void Update() override;
    // The clip's next frame in the "Video" rectangle, over the fade.
    void DrawOverlay() override;
    // The file from the configured "videos" folder; false without a player or
    // when it does not open.
    bool OpenVideo(const std::string& file);
    // The registry's language: none stored leads to the language window; a known
    // one is loaded (with its fonts) and announced, and any stored code leads on
    // to the loading screen with the arrow cursor. May run more than once before
    // the state is left; the first event wins.
    void ChooseLanguage();
    void OnVideoPressed(UI::UIElement*) { ChooseLanguage(); }

    std::unique_ptr<VideoPlayer> video_player_;
};
