#pragma once
// Input scripts for the real game's menus, built step by step: each step waits
// for its screen, so no frame number depends on how long the loading or the
// fades take.
#include <string>

#include "App/LayoutClicks.h"
#include "tools/catalogue/Layouts.h"

namespace menuscript {

// Clicks "Start" every ten frames from the script's frame until the main menu
// is entered (the button shows once the loading is over).
inline std::string StartUntilTheMainMenu(int frame) {
    return std::to_string(frame) + " await every 10 " +
           layoutclicks::CentreOf(catalogue::layouts::kLoadingWindow, "Start") +
           " within 1500 state entered: MainWindow\n";
}

class MenuScript {
public:
    // From the intro (left by `skip`, a key command of Space) through the
    // language choice (the language window's button) and the loading to the
    // main menu; `shots` adds one of the intro, one of the language window and
    // one of the loading screen.
    explicit MenuScript(const char* languageButton = "ENGUnPressed", bool shots = false,
                        const char* skip = "key Space") {
        namespace layouts = catalogue::layouts;
        // The intro's shot waits for its clip to be under way.
        const long b = shots ? 20 : 1;
        const auto at = [](long frame, const std::string& command) {
            return std::to_string(frame) + " " + command + "\n";
        };
        text_ = (shots ? at(b - 1, "shot") : "") + at(b, skip) +
                // Left at once by the key: the clip's own end takes seconds.
                at(b, "await within 5 state entered: LanguageWindow") + (shots ? at(b + 14, "shot") : "") +
                layoutclicks::ClickOn(b + 15, layouts::kLanguageWindow, languageButton) +
                at(b + 16, "await state entered: LoadingWindow") + (shots ? at(b + 26, "shot") : "") +
                StartUntilTheMainMenu(b + 26);
        frame_ = b + 26;
    }
    // A shot once the screen has faded in: `frames` after the last line.
    MenuScript& Shot() { return Line("shot", shot_after_); }
    // Shorter frames fade in sooner.
    MenuScript& ShotsAfter(int frames) {
        shot_after_ = frames;
        return *this;
    }
    MenuScript& Click(const char* window, const char* element) {
        return Line("click " + layoutclicks::CentreOf(window, element), 1);
    }
    MenuScript& Line(const std::string& command, int after = 1) {
        frame_ += after;
        text_ += std::to_string(frame_) + " " + command + "\n";
        return *this;
    }
    MenuScript& Await(const std::string& state) { return Line("await within 600 state entered: " + state); }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
    long frame_ = 0;
    int shot_after_ = 15;
};

}  // namespace menuscript
