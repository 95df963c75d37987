#pragma once
// The states of the GameMachine: the menu windows and the battle. Each state's
// reaction list is its part of the transition table, in order; an event a
// state does not list is discarded there. Every window is a BaseStateWindow
// over itself, its controller (MenuControllers.h) and its reactions; GameState
// has no window and hands each frame to the in-game window.
#include <boost/shared_ptr.hpp>
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/simple_state.hpp>

#include <cstdint>
#include <string>

#include "Classes/UI/BaseStateWindow.h"
#include "Classes/UI/GameMachine.h"
#include "Classes/UI/IntroWindow.h"
#include "Classes/UI/LanguageWindow.h"
#include "Classes/UI/LoadingWindow.h"
#include "Classes/UI/MenuControllers.h"

class CNetThread;

struct MainWindow;
struct ControlsWindow;
struct GameState;
struct ScoreWindow;
struct SubmitWindow;
struct InGameQuitWindow;
struct SettingsWindow;
struct HelpWindow;
struct TutorialWindow;
struct CreditsWindow;
struct TournamentWindow;
struct PlayWindow;

// The update of the help window and its pages: the view's, then Esc (left
// for others, without a sound) as "Back". A button of the same frame goes
// first, so Esc's id is the one left pending.
template <class W>
void HelpUpdate(W& window) {
    window.UI::UIWindowView::Update();
    if (EscapePressed()) {
        window.PendingButtonId = 1;
        window.StartFadeOut();
    }
}

struct MainWindow
    : BaseStateWindow<MainWindow, MainWindowController, Transition<EvPlayOnlinePressed, ControlsWindow>,
                      Transition<EvContinuePressed, GameState>, Transition<EvSettingsPressed, SettingsWindow>,
                      Transition<EvInfoPressed, HelpWindow>> {
    static constexpr const char* kName = "MainWindow";
    static constexpr const char* kLayout = "MainWindow.xml";
    void OnButton() override {
        PostButtonEvent<EvPlayOnlinePressed, EvContinuePressed, EvSettingsPressed, EvInfoPressed>();
    }
    void OnContinue(UI::UIElement*);
    // Web pages and the end of the program: no fade-out, no state change.
    void OnMore(UI::UIElement*);
    void OnBanner(UI::UIElement*);
    void OnQuit(UI::UIElement*);
};

struct ControlsWindow
    : BaseStateWindow<ControlsWindow, ControlsWindowController, Transition<EvBackPressed, GameState>> {
    static constexpr const char* kName = "ControlsWindow";
    static constexpr const char* kLayout = "ControlsWindow.xml";
    void OnButton() override { PostButtonEvent<EvBackPressed>(); }
    // A new battle on the selected map; only a battle that started leaves.
    void OnStart(UI::UIElement*);
};

struct GameState : boost::statechart::simple_state<GameState, GameMachine> {
    typedef FrameStateReactions<Transition<EvGameOver, ScoreWindow>, Transition<EvBackPressed, MainWindow>,
                                Transition<EvInGameMenuPressed, InGameQuitWindow>>
        reactions;
    static constexpr const char* kName = "GameState";

    GameState();
    ~GameState() override;
    // Forwarded to the in-game window while it exists. The battle's events
    // raised meanwhile are queued and run after this reaction has returned.
    boost::statechart::result react(const EvUpdate&);
    boost::statechart::result react(const EvDraw&);
};

struct ScoreWindow : BaseStateWindow<ScoreWindow, ScoreWindowController, Transition<EvSubmitPressed, SubmitWindow>,
                                     Transition<EvDontSubmitPressed, MainWindow>> {
    static constexpr const char* kName = "ScoreWindow";
    static constexpr const char* kLayout = "ScoreWindow.xml";
    void OnButton() override { PostButtonEvent<EvSubmitPressed, EvDontSubmitPressed>(); }
};

// Milliseconds gathered toward the submit form's next busy frame.
extern int32_t BusyTimer;

// The e-mail rule of the submission form: letters, digits, "-", ".", "_" and
// "@" only; an at sign, not first; a dot after the first at sign, neither
// right behind it nor last.
bool IsValidEmail(const std::string& text);

// The score submission form. Its state: 0 untouched, 1 e-mail rejected, 2 name
// missing, 3 request running, 4 score sent, 5 sending failed, 6 request not
// started. It is left only by "Cancel" (not while a request runs) and "OK".
struct SubmitWindow
    : BaseStateWindow<SubmitWindow, SubmitWindowController, Transition<EvCancelSubmitting, MainWindow>> {
    static constexpr const char* kName = "SubmitWindow";
    static constexpr const char* kLayout = "SubmitWindow.xml";
    // The view, then, while a request runs, its result once it has finished or
    // else the busy indicator's next frame.
    void Update() override;
    // "Cancel" (1) and "OK" (2) both leave.
    void OnButton() override { PostButtonEvent<EvCancelSubmitting, EvCancelSubmitting>(); }
    // What the state shows and hides; leaving state 0 hides "Text use only".
    void SetSubmitFormState(int32_t state);

    void OnSubmit(UI::UIElement*);
    void OnCancel(UI::UIElement*);
    // A key changed a field: the messages of a finished try go.
    void OnFormEdited(UI::UIElement*);

    int32_t SubmitFormState = 0;
    // The running request; the request holds itself while it runs, so letting
    // go of it (a second submit, the window's end) never waits for it.
    boost::shared_ptr<CNetThread> SubmitRequest;
    int32_t BusyFrameIndex = -1;

private:
    void ShowStatusText(int slot);
    void ShowBusyFrame(int frame);
    void ShowButtonPair(int button, bool visible);
    void PlayFormSound();
};

struct InGameQuitWindow
    : BaseStateWindow<InGameQuitWindow, InGameQuitWindowController, Transition<EvBackPressed, MainWindow>,
                      Transition<EvBackToGamePressed, GameState>> {
    static constexpr const char* kName = "InGameQuitWindow";
    static constexpr const char* kLayout = "INGameQuitWindow.xml";
    // Esc (not consumed) goes back to the battle.
    void Update() override;
    void OnButton() override;
    void BeginBackToGame();
    // Leaves the battle for the menu, then fades out.
    void OnYes(UI::UIElement*);
    void OnNo(UI::UIElement*);
};

struct SettingsWindow : BaseStateWindow<SettingsWindow, SettingsWindowController, Transition<EvBackPressed, MainWindow>,
                                        boost::statechart::custom_reaction<EvExitingApp>> {
    static constexpr const char* kName = "SettingsWindow";
    static constexpr const char* kLayout = "SettingsWindow.xml";
    // Esc (not consumed) is "Back".
    void Update() override;
    void OnButton() override { PostButtonEvent<EvBackPressed>(); }
    void OnExitingApp() override;
    // Saves, then leaves with id 1.
    void BeginBack();
    void SaveSettings();
    void OnBack(UI::UIElement*);
};

struct HelpWindow
    : BaseStateWindow<HelpWindow, HelpWindowController, Transition<EvBackPressed, MainWindow>,
                      Transition<EvTutorialPressed, TutorialWindow>, Transition<EvCreditsPressed, CreditsWindow>,
                      Transition<EvTournamentPressed, TournamentWindow>> {
    static constexpr const char* kName = "HelpWindow";
    static constexpr const char* kLayout = "HelpWindow.xml";
    void Update() override { HelpUpdate(*this); }
    void OnButton() override {
        PostButtonEvent<EvBackPressed, EvTutorialPressed, EvCreditsPressed, EvTournamentPressed>();
    }
};

// The pages below the help window: "Back" (id 1) returns to it.
template <class W, template <class> class Controller>
struct HelpPageWindow : BaseStateWindow<W, Controller, Transition<EvBackPressed, HelpWindow>> {
    void Update() override { HelpUpdate(*this); }
    void OnButton() override { this->template PostButtonEvent<EvBackPressed>(); }
};

struct TutorialWindow : HelpPageWindow<TutorialWindow, TutorialWindowController> {
    static constexpr const char* kName = "TutorialWindow";
    static constexpr const char* kLayout = "TutorialWindow.xml";
    // "Next" and "Prev": the click, then a page on or back when there are pages.
    void OnNext(UI::UIElement*);
    void OnPrev(UI::UIElement*);
};

struct CreditsWindow : HelpPageWindow<CreditsWindow, CreditsWindowController> {
    static constexpr const char* kName = "CreditsWindow";
    static constexpr const char* kLayout = "CreditsWindow.xml";
};

struct TournamentWindow : HelpPageWindow<TournamentWindow, TournamentWindowController> {
    static constexpr const char* kName = "TournamentWindow";
    static constexpr const char* kLayout = "TournamentWindow.xml";
};

// No transition leads here.
struct PlayWindow : BaseStateWindow<PlayWindow, PlayWindowController, Transition<EvNewGamePressed, ControlsWindow>,
                                    Transition<EvContinuePressed, GameState>, Transition<EvBackPressed, MainWindow>> {
    static constexpr const char* kName = "PlayWindow";
    static constexpr const char* kLayout = "PlayWindow.xml";
    // Esc (not consumed) leaves with id 3.
    void Update() override;
    void OnButton() override { PostButtonEvent<EvNewGamePressed, EvContinuePressed, EvBackPressed>(); }
    void OnNewGame(UI::UIElement*);
    void OnContinue(UI::UIElement*);
};
