// The button actions of the window states (run at the end of a fade-out) and
// the battle state.
#include "Classes/UI/MenuStates.h"

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/GameWindow.h"
#include "Core/Service.h"

void MainWindow::OnButton() {
    switch (PendingButtonId) {
        case 1: post_event(EvPlayOnlinePressed()); break;
        case 2: post_event(EvContinuePressed()); break;
        case 3: post_event(EvSettingsPressed()); break;
        case 4: post_event(EvInfoPressed()); break;
        default: break;
    }
    PendingButtonId = 0;
}

void ControlsWindow::OnButton() {
    if (PendingButtonId == 1) post_event(EvBackPressed());
    PendingButtonId = 0;
}

void ScoreWindow::OnButton() {
    if (PendingButtonId == 1) post_event(EvSubmitPressed());
    else if (PendingButtonId == 2) post_event(EvDontSubmitPressed());
    PendingButtonId = 0;
}

void SubmitWindow::OnButton() {
    if (PendingButtonId == 1 || PendingButtonId == 2) post_event(EvCancelSubmitting());
    PendingButtonId = 0;
}

void InGameQuitWindow::OnButton() {
    if (PendingButtonId == 1) {
        post_event(EvBackPressed());
    } else if (PendingButtonId == 2) {
        post_event(EvBackToGamePressed());
        // The battle takes input again from its first update after the pause.
        BattleActive = 1;
    }
    PendingButtonId = 0;
}

void SettingsWindow::OnButton() {
    if (PendingButtonId == 1) post_event(EvBackPressed());
    PendingButtonId = 0;
}

void HelpWindow::OnButton() {
    switch (PendingButtonId) {
        case 1: post_event(EvBackPressed()); break;
        case 2: post_event(EvTutorialPressed()); break;
        case 3: post_event(EvCreditsPressed()); break;
        case 4: post_event(EvTournamentPressed()); break;
        default: break;
    }
    PendingButtonId = 0;
}

void PlayWindow::OnButton() {
    switch (PendingButtonId) {
        case 1: post_event(EvNewGamePressed()); break;
        case 2: post_event(EvContinuePressed()); break;
        case 3: post_event(EvBackPressed()); break;
        default: break;
    }
    PendingButtonId = 0;
}

GameState::GameState() { PlatformTrace("state entered: %s", kName); }

GameState::~GameState() { PlatformTrace("state left: %s", kName); }

boost::statechart::result GameState::react(const EvUpdate&) {
    if (Service<Morvane::GameWindow>::Exists()) Service<Morvane::GameWindow>::Get()->Update();
    return discard_event();
}

boost::statechart::result GameState::react(const EvDraw&) {
    if (Service<Morvane::GameWindow>::Exists()) Service<Morvane::GameWindow>::Get()->Draw();
    return discard_event();
}
