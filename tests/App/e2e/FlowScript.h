#pragma once
// The steps of the menu scripts: from the main menu through the help pages,
// the settings' sliders, into a battle, through a lost one to the score
// submission form, and out of a battle. Positions come from the catalogues.
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

// Where a free defender spot is at the start of a battle on the sample map
// (the map input test checks that a tap there selects one).
inline constexpr int kFreeSpotX = 316;
inline constexpr int kFreeSpotY = 323;

// A field of the submission form, clicked near its left end, next to the
// right-aligned caption before it: the field, not the caption, takes the touch.
inline menuscript::MenuScript& ClickField(menuscript::MenuScript& script, const char* field, int after = 1) {
    const catalogue::layouts::Rect r = catalogue::layouts::FindWindow(catalogue::layouts::kSubmitWindow)->At(field);
    return script.Line("click " + std::to_string(r.x + 20) + " " + std::to_string(r.CentreY()), after);
}

// Until a trace line holding the text comes.
inline menuscript::MenuScript& AwaitLine(menuscript::MenuScript& script, const std::string& text) {
    return script.Line("await within 600 " + text);
}

// From the main menu through every help page and back, with a shot of each
// page (the tutorial's second one too): the tutorial paged on and back and
// left by its button, the credits by theirs, the tournament by Esc.
inline menuscript::MenuScript& VisitTheHelpPages(menuscript::MenuScript& script) {
    namespace ll = catalogue::layouts;
    return script.Click(ll::kMainWindow, "Info")
        .Await("HelpWindow")
        .Shot()
        .Click(ll::kHelpWindow, "Tutorial")
        .Await("TutorialWindow")
        .Shot()
        .Line("click " + layoutclicks::CentreOf(ll::kTutorialWindow, "Next"), 5)
        .Line("click " + layoutclicks::CentreOf(ll::kTutorialWindow, "Next"), 5)
        .Line("click " + layoutclicks::CentreOf(ll::kTutorialWindow, "Prev"), 5)
        .Shot()
        .Click(ll::kTutorialWindow, "Back")
        .Await("HelpWindow")
        .Click(ll::kHelpWindow, "Credits")
        .Await("CreditsWindow")
        .Shot()
        .Click(ll::kCreditsWindow, "Back")
        .Await("HelpWindow")
        .Click(ll::kHelpWindow, "Tournament")
        .Await("TournamentWindow")
        .Shot()
        .Line("key Esc")
        .Await("HelpWindow")
        .Click(ll::kHelpWindow, "Back")
        .Await("MainWindow");
}

// From the main menu to the credits and back by Esc taps (down and up within
// one frame): the credits' Esc leads to the help window, the help window's to
// the main menu.
inline menuscript::MenuScript& LeaveTheCreditsByEscTaps(menuscript::MenuScript& script) {
    namespace ll = catalogue::layouts;
    return script.Click(ll::kMainWindow, "Info")
        .Await("HelpWindow")
        .Click(ll::kHelpWindow, "Credits")
        .Await("CreditsWindow")
        .Line("keytap Esc", 10)
        .Await("HelpWindow")
        .Line("keytap Esc", 10)
        .Await("MainWindow");
}

// An archer bought at the start of a battle by taps (press and release within
// one frame, as a touchpad's): one on a free spot, one on the purchase row.
inline menuscript::MenuScript& BuyAnArcherByTaps(menuscript::MenuScript& script) {
    return script.Line("tap " + std::to_string(kFreeSpotX) + " " + std::to_string(kFreeSpotY), 10)
        .Line("tap " + HudButton("Archer"), 5)
        .Line("await within 100 defender bought: ");
}

// From the main menu's "Play" through the controls into a new battle;
// `shots` takes one of the controls and one of the battle at its start.
inline menuscript::MenuScript& EnterABattle(menuscript::MenuScript& script, bool shots = false) {
    namespace ll = catalogue::layouts;
    script.Line("click " + layoutclicks::CentreOf(ll::kMainWindow, "Play"), 15).Await("ControlsWindow");
    if (shots) script.Shot();
    script.Line("click " + layoutclicks::CentreOf(ll::kControlsWindow, "background"), 15).Await("GameState");
    if (shots) script.Shot();
    return script;
}

// A new battle nobody defends, at double speed, until its end leads to the
// score question: a click on an empty place of the map every ten frames
// closes its summaries and, once it is over, leaves it. `shots` takes those
// of EnterABattle and one 250 frames (a thousand steps) into the battle.
inline menuscript::MenuScript& LoseABattle(menuscript::MenuScript& script, bool shots = false) {
    EnterABattle(script, shots).Line("click " + HudButton("DoubleSpeed"), 2);
    if (shots) script.Line("shot", 250);
    return script.Line("await every 10 980 740 within 6000 state entered: ScoreWindow", 2);
}

// The score question's "Yes", then a name and an e-mail address typed into
// the form's fields (`shot` takes one of the form filled in) and "Submit".
inline menuscript::MenuScript& SubmitScore(menuscript::MenuScript& script, const std::string& name,
                                           const std::string& email, bool shot = false) {
    namespace ll = catalogue::layouts;
    script.Line("click " + layoutclicks::CentreOf(ll::kScoreWindow, "Yes"), 15).Await("SubmitWindow");
    ClickField(script, "Name", 15).Line("type " + name, 2);
    ClickField(script, "E-mail", 2).Line("type " + email, 2);
    if (shot) script.Shot();
    return script.Line("click " + layoutclicks::CentreOf(ll::kSubmitWindow, "Submit"), 2);
}

// Drags a slider of the settings from its middle to `fraction` of its width.
inline menuscript::MenuScript& DragSlider(menuscript::MenuScript& script, const char* slider, float fraction) {
    namespace ll = catalogue::layouts;
    const ll::Rect r = ll::FindWindow(ll::kSettingsWindow)->At(slider);
    const std::string y = " " + std::to_string(r.CentreY());
    const std::string to = std::to_string(r.x + int(float(r.w) * fraction)) + y;
    return script.Line("press " + std::to_string(r.x + r.w / 2) + y).Line("move " + to).Line("release " + to);
}

// Esc in a battle, a shot of the in-game quit window that asks, and "No"
// there, back to the battle.
inline menuscript::MenuScript& PauseAndResumeTheBattle(menuscript::MenuScript& script) {
    namespace ll = catalogue::layouts;
    return script.Line("key Esc")
        .Await("InGameQuitWindow")
        .Shot()
        .Click(ll::kInGameQuitWindow, "No")
        .Await("GameState");
}

// Esc taps in a battle: the first opens the in-game quit window, the second
// goes back to the battle.
inline menuscript::MenuScript& PauseAndResumeTheBattleByEscTaps(menuscript::MenuScript& script) {
    return script.Line("keytap Esc", 10).Await("InGameQuitWindow").Line("keytap Esc", 10).Await("GameState");
}

// Esc in a battle (`after` frames on), "Yes" in the in-game quit window that
// asks, and "Quit" in the main menu.
inline menuscript::MenuScript& QuitTheBattleAndTheGame(menuscript::MenuScript& script, int after = 1) {
    namespace ll = catalogue::layouts;
    return script.Line("key Esc", after)
        .Await("InGameQuitWindow")
        .Click(ll::kInGameQuitWindow, "Yes")
        .Await("MainWindow")
        .Click(ll::kMainWindow, "Quit");
}

}  // namespace flowscript
