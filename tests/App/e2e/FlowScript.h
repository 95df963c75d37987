#pragma once
// Input scripts for the game's runs, built step by step: each step waits for
// its screen, so no frame number depends on how long the loading, the fades or
// a battle take. Positions come from the layout catalogue.
#include <cstring>
#include <string>
#include <vector>

#include "App/LayoutClicks.h"
#include "tools/catalogue/Layouts.h"
#include "tools/catalogue/Textures.h"

namespace flowscript {

// The centre of a HUD button of "ingame.xml" on the screen.
inline std::string HudButton(const char* name) {
    namespace tex = catalogue::textures;
    for (const tex::HudRegion& r : tex::kHudRegions)
        if (std::strcmp(r.name, name) == 0)
            return std::to_string(r.x + tex::kHudShiftX + r.tw / 2) + " " +
                   std::to_string(r.y + tex::kHudShiftY + r.th / 2);
    return "-1 -1";
}

class FlowScript {
public:
    FlowScript& Line(const std::string& command, int after = 1) {
        frame_ += after;
        text_ += std::to_string(frame_) + " " + command + "\n";
        return *this;
    }
    FlowScript& Click(const char* window, const char* element, int after = 1) {
        return Line("click " + layoutclicks::CentreOf(window, element), after);
    }
    // A field of the submission form, clicked at its right end: the
    // right-aligned caption before it takes touches over its left part.
    FlowScript& ClickField(const char* field, int after = 1) {
        const catalogue::layouts::Rect r = catalogue::layouts::FindWindow(catalogue::layouts::kSubmitWindow)->At(field);
        return Line("click " + std::to_string(r.x + r.w - 20) + " " + std::to_string(r.CentreY()), after);
    }
    FlowScript& Await(const std::string& line, int within = 600) {
        return Line("await within " + std::to_string(within) + " " + line);
    }
    FlowScript& Enter(const std::string& state) { return Await("state entered: " + state); }
    // A shot once the screen has faded in, under a name the test keeps.
    FlowScript& Shot(const std::string& name) {
        shots_.push_back(name);
        return Line("shot", 15);
    }
    // From the main menu's "Play" through the controls into a battle nobody
    // defends, at double speed, until its end leads to the score question: a
    // click on an empty place of the map every ten frames closes its
    // summaries and, once it is over, leaves it.
    FlowScript& LoseABattle(const std::string& controlsShot = "", const std::string& battleShot = "") {
        Click(catalogue::layouts::kMainWindow, "Play", 15).Enter("ControlsWindow");
        if (!controlsShot.empty()) Shot(controlsShot);
        Click(catalogue::layouts::kControlsWindow, "background", 15).Enter("GameState");
        if (!battleShot.empty()) Shot(battleShot);
        Line("click " + HudButton("DoubleSpeed"), 2);
        return Line("await every 10 980 740 within 6000 state entered: ScoreWindow", 2);
    }
    // The score question's "Yes", then a name and an e-mail address typed into
    // the empty form and "Submit".
    FlowScript& Submit(const std::string& name, const std::string& email) {
        Click(catalogue::layouts::kScoreWindow, "Yes", 15).Enter("SubmitWindow");
        ClickField("Name", 15).Line("type " + name, 2);
        ClickField("E-mail", 2).Line("type " + email, 2);
        return Click(catalogue::layouts::kSubmitWindow, "Submit", 2);
    }

    const std::string& Text() const { return text_; }
    const std::vector<std::string>& Shots() const { return shots_; }
    long Frame() const { return frame_; }

private:
    std::string text_;
    long frame_ = 0;
    std::vector<std::string> shots_;
};

}  // namespace flowscript
