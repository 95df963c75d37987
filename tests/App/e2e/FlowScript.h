#pragma once
// The steps of the menu scripts that lead from the main menu through a lost
// battle to the score submission form. Positions come from the catalogues.
#include <cstring>
#include <string>

#include "App/LayoutClicks.h"
#include "App/MenuScript.h"
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

// A field of the submission form, clicked at its right end: the right-aligned
// caption before it takes touches over its left part.
inline menuscript::MenuScript& ClickField(menuscript::MenuScript& script, const char* field, int after = 1) {
    const catalogue::layouts::Rect r = catalogue::layouts::FindWindow(catalogue::layouts::kSubmitWindow)->At(field);
    return script.Line("click " + std::to_string(r.x + r.w - 20) + " " + std::to_string(r.CentreY()), after);
}

// Until a trace line holding the text comes.
inline menuscript::MenuScript& AwaitLine(menuscript::MenuScript& script, const std::string& text) {
    return script.Line("await within 600 " + text);
}

// From the main menu's "Play" through the controls into a battle nobody
// defends, at double speed, until its end leads to the score question: a
// click on an empty place of the map every ten frames closes its summaries
// and, once it is over, leaves it. `shots` takes one of the controls and one
// of the battle.
inline menuscript::MenuScript& LoseABattle(menuscript::MenuScript& script, bool shots = false) {
    namespace ll = catalogue::layouts;
    script.Line("click " + layoutclicks::CentreOf(ll::kMainWindow, "Play"), 15).Await("ControlsWindow");
    if (shots) script.Shot();
    script.Line("click " + layoutclicks::CentreOf(ll::kControlsWindow, "background"), 15).Await("GameState");
    if (shots) script.Shot();
    return script.Line("click " + HudButton("DoubleSpeed"), 2)
        .Line("await every 10 980 740 within 6000 state entered: ScoreWindow", 2);
}

// The score question's "Yes", then a name and an e-mail address typed into
// the form's fields and "Submit".
inline menuscript::MenuScript& SubmitScore(menuscript::MenuScript& script, const std::string& name,
                                           const std::string& email) {
    namespace ll = catalogue::layouts;
    script.Line("click " + layoutclicks::CentreOf(ll::kScoreWindow, "Yes"), 15).Await("SubmitWindow");
    ClickField(script, "Name", 15).Line("type " + name, 2);
    ClickField(script, "E-mail", 2).Line("type " + email, 2);
    return script.Line("click " + layoutclicks::CentreOf(ll::kSubmitWindow, "Submit"), 2);
}

}  // namespace flowscript
