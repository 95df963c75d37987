#pragma once
// The menu flow and the switch between the menus and a running battle: one flat
// state machine whose states are the menu windows and the battle (MenuStates.h).
// The game delivers its per-frame events at once; windows post theirs, which run
// in order after the running reaction, within the same delivery.
#include <boost/statechart/event.hpp>
#include <boost/statechart/state_machine.hpp>

namespace Game {
class GameInterface;
}

// The events carry no data: a reaction knows an event by its type alone.
struct EvUpdate : boost::statechart::event<EvUpdate> {};
struct EvDraw : boost::statechart::event<EvDraw> {};
struct EvExitingApp : boost::statechart::event<EvExitingApp> {};
struct EvSkipLangChoose : boost::statechart::event<EvSkipLangChoose> {};
struct EvBackPressed : boost::statechart::event<EvBackPressed> {};
struct EvLangPressed : boost::statechart::event<EvLangPressed> {};
struct EvLoadingFinised : boost::statechart::event<EvLoadingFinised> {};
struct EvPlayOnlinePressed : boost::statechart::event<EvPlayOnlinePressed> {};
struct EvContinuePressed : boost::statechart::event<EvContinuePressed> {};
struct EvSettingsPressed : boost::statechart::event<EvSettingsPressed> {};
struct EvInfoPressed : boost::statechart::event<EvInfoPressed> {};
struct EvGameOver : boost::statechart::event<EvGameOver> {};
struct EvInGameMenuPressed : boost::statechart::event<EvInGameMenuPressed> {};
struct EvSubmitPressed : boost::statechart::event<EvSubmitPressed> {};
struct EvDontSubmitPressed : boost::statechart::event<EvDontSubmitPressed> {};
struct EvCancelSubmitting : boost::statechart::event<EvCancelSubmitting> {};
struct EvBackToGamePressed : boost::statechart::event<EvBackToGamePressed> {};
struct EvTutorialPressed : boost::statechart::event<EvTutorialPressed> {};
struct EvCreditsPressed : boost::statechart::event<EvCreditsPressed> {};
struct EvTournamentPressed : boost::statechart::event<EvTournamentPressed> {};
struct EvNewGamePressed : boost::statechart::event<EvNewGamePressed> {};
// Only the layouts no state shows would raise these; no state reacts to them.
struct EvStartPressed : boost::statechart::event<EvStartPressed> {};
struct EvRegister : boost::statechart::event<EvRegister> {};
struct EvPlayOff : boost::statechart::event<EvPlayOff> {};
struct EvSoundPressed : boost::statechart::event<EvSoundPressed> {};
struct EvBackToIngameMenuPressed : boost::statechart::event<EvBackToIngameMenuPressed> {};

struct IntroWindow;

class GameMachine : public boost::statechart::state_machine<GameMachine, IntroWindow> {
public:
    typedef boost::statechart::state_machine<GameMachine, IntroWindow> Base;

    // Without a state until initiate.
    explicit GameMachine(Game::GameInterface* game) : game_(game) {}

    Game::GameInterface* GetGame() const { return game_; }

    // Immediate delivery: the current state reacts, then the events posted
    // meanwhile are worked off in order before it returns.
    void process_event(const boost::statechart::event_base& event);
    // Queued delivery: after the running reaction, within the same delivery
    // (or with the next one when none runs).
    using Base::post_event;
    // A delivery is running (a reaction is on the stack).
    bool IsDelivering() const { return delivering_ > 0; }
    // At once when no delivery runs (a key handler during the message pump),
    // else queued behind the running reaction.
    void Post(const boost::statechart::event_base& event);

private:
    Game::GameInterface* game_;
    int delivering_ = 0;
};

// The battle's events to the menus (EvGameOver, EvBackPressed,
// EvInGameMenuPressed): a trace line naming the event, then delivery on the
// machine service when there is one.
void DeliverBattleEvent(const boost::statechart::event_base& event, const char* name);
