#pragma once
// Stand-in until the menu flow exists: the menu and battle state machine with
// only its initial state IntroWindow, which selects the arrow cursor and draws
// a cleared frame. The four events are the machine's own (they carry no data).
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/event.hpp>
#include <boost/statechart/simple_state.hpp>
#include <boost/statechart/state_machine.hpp>
#include <boost/mpl/list.hpp>

namespace Morvane {
class CGame;
}

struct EvUpdate : boost::statechart::event<EvUpdate> {};
struct EvDraw : boost::statechart::event<EvDraw> {};
struct EvExitingApp : boost::statechart::event<EvExitingApp> {};
struct EvLoadingFinised : boost::statechart::event<EvLoadingFinised> {};

struct IntroWindow;

// Stand-in until the menu flow exists.
class GameMachine : public boost::statechart::state_machine<GameMachine, IntroWindow> {
public:
    explicit GameMachine(Morvane::CGame* game) : game_(game) {}
    Morvane::CGame* GetGame() const { return game_; }

private:
    Morvane::CGame* game_;
};

// Stand-in until the menu flow exists: the intro window without its video.
struct IntroWindow : boost::statechart::simple_state<IntroWindow, GameMachine> {
    typedef boost::mpl::list<boost::statechart::custom_reaction<EvUpdate>, boost::statechart::custom_reaction<EvDraw>>
        reactions;

    IntroWindow();
    ~IntroWindow();
    boost::statechart::result react(const EvUpdate&);
    boost::statechart::result react(const EvDraw&);
};
