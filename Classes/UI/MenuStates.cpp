// The button actions of the window states (run at the end of a fade-out) and
// the battle state.
#include "Classes/UI/MenuStates.h"

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/GameWindow.h"
#include "Classes/UI/MenuActions.h"
#include "Core/Service.h"
#include "Game/GameAudio.h"
#include "shell/ShellGlobals.h"

void MainWindow::OnContinue(UI::UIElement*) { ContinueSavedBattle<2>(this, &StartBattle); }

void MainWindow::OnMore(UI::UIElement*) {
    if (HandlersClosed) return;
    PlaySound("BtnPress.wav", true);
    OpenWebsite();
}

void MainWindow::OnBanner(UI::UIElement*) {
    if (HandlersClosed) return;
    PlaySound("BtnPress.wav", true);
    OpenBannerLink();
}

void MainWindow::OnQuit(UI::UIElement*) {
    if (HandlersClosed) return;
    PlaySound("BtnPress.wav", true);
    RequestQuit(0);
}

void ControlsWindow::OnStart(UI::UIElement*) {
    PlaySound("BtnPress.wav", true);
    if (!StartBattle(0)) return;
    PendingButtonId = 1;
    StartFadeOut();
}

void InGameQuitWindow::Update() {
    UI::UIWindowView::Update();
    if (EscapePressed()) BeginBackToGame();
}

void InGameQuitWindow::BeginBackToGame() {
    if (HandlersClosed) return;
    PendingButtonId = 2;
    StartFadeOut();
}

void InGameQuitWindow::OnYes(UI::UIElement*) {
    if (HandlersClosed) return;
    QuitBattleToMenu();
    // The battle is gone: going back to it now would show a battle state
    // without a battle.
    HandlersClosed = true;
    PlaySound("BtnPress.wav", true);
    PendingButtonId = 1;
    StartFadeOut();
}

void InGameQuitWindow::OnNo(UI::UIElement*) {
    if (HandlersClosed) return;
    PlaySound("BtnPress.wav", true);
    BeginBackToGame();
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

void SettingsWindow::Update() {
    UI::UIWindowView::Update();
    if (EscapePressed()) BeginBack();
}

void SettingsWindow::BeginBack() {
    SaveSettings();
    PendingButtonId = 1;
    StartFadeOut();
}

void SettingsWindow::SaveSettings() { SaveGameSettings(); }

void SettingsWindow::OnBack(UI::UIElement*) {
    PlaySound("BtnPress.wav", true);
    BeginBack();
}

void SettingsWindow::OnExitingApp() { SaveSettings(); }

void TutorialWindow::OnNext(UI::UIElement*) {
    PlaySound("BtnPress.wav", true);
    if (PageCount() != 0) TurnPage(*this, 1);
}

void TutorialWindow::OnPrev(UI::UIElement*) {
    PlaySound("BtnPress.wav", true);
    if (PageCount() != 0) TurnPage(*this, -1);
}

void PlayWindow::Update() {
    UI::UIWindowView::Update();
    if (EscapePressed() && !HandlersClosed) {
        PendingButtonId = 3;
        StartFadeOut();
    }
}

void PlayWindow::OnNewGame(UI::UIElement* element) {
    if (HandlersClosed) return;
    SelectedMapIndex = 0;
    LeaveWithId<1>(this, element);
}

void PlayWindow::OnContinue(UI::UIElement*) { ContinueSavedBattle<2>(this, &StartBattle); }

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
