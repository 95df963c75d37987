#pragma once
// A menu screen is at once a window and a state of the GameMachine. The base
// gives every screen the same behaviour: fade in on entry, update and draw on
// the machine's per-frame events, and fade out before a pressed button acts,
// so the button's action (normally posting the event that leaves the state)
// runs only once the window has faded to black.
//
// W names itself (kName, for the trace lines "state entered: <kName>") and its
// layout file (kLayout); its controller loads the layout before W's own
// constructor body runs. The reactions W lists (its transitions, in order) make
// its part of the transition table; an event it does not list is discarded.
#include <boost/mpl/list.hpp>
#include <boost/statechart/custom_reaction.hpp>
#include <boost/statechart/result.hpp>
#include <boost/statechart/simple_state.hpp>
#include <boost/statechart/transition.hpp>

#include <cstdint>

#include "Classes/UI/GameMachine.h"
#include "platform/Trace.h"
#include "UI/UIGlobals.h"
#include "UI/UIWindowFacade.h"

// On Event, the machine leaves the state for Target.
template <class Event, class Target>
using Transition = boost::statechart::transition<Event, Target>;

// A state's reactions: the given ones, then the machine's per-frame update and
// draw, which every state takes.
template <class... Reactions>
using FrameStateReactions = boost::mpl::list<Reactions..., boost::statechart::custom_reaction<EvUpdate>,
                                             boost::statechart::custom_reaction<EvDraw>>;

template <class W, template <class> class Controller, class... Reactions>
class BaseStateWindow : public UI::UIWindowFacade<W, Controller>,
                        public boost::statechart::simple_state<W, GameMachine> {
public:
    typedef FrameStateReactions<Reactions...> reactions;

    BaseStateWindow() {
        PendingButtonId = 0;
        FadeDirection = 1;
        this->alpha_ = 0.0f;
        PlatformTrace("state entered: %s", W::kName);
        // W is not built yet: its controller only keeps it as the handlers' target.
        W* window = static_cast<W*>(static_cast<void*>(this));
        this->BindLayout(*this, window);
    }
    ~BaseStateWindow() override { PlatformTrace("state left: %s", W::kName); }

    boost::statechart::result react(const EvUpdate&) {
        this->Update();
        return this->discard_event();
    }

    // The fade step, the pending button's action at the end of a fade-out (its
    // event runs after this reaction, so the window still draws once, black),
    // then the window and its overlay.
    boost::statechart::result react(const EvDraw&) {
        this->alpha_ += static_cast<float>(FadeDirection) * UiFrameDelta * 1024.0f;
        if (this->alpha_ > 255.0f && FadeDirection > 0) FadeDirection = 0;
        if (this->alpha_ < 0.0f && FadeDirection < 0) {
            FadeDirection = 0;
            OnButton();
        }
        if (this->alpha_ < 0.0f) this->alpha_ = 0.0f;
        if (this->alpha_ > 255.0f) this->alpha_ = 255.0f;
        this->Draw();
        DrawOverlay();
        return this->discard_event();
    }

    // Only states that list the reaction (the settings window) get here.
    boost::statechart::result react(const EvExitingApp&) {
        OnExitingApp();
        return this->discard_event();
    }

    // The alpha keeps its value: a fade-in turns where it stands.
    void StartFadeOut() { FadeDirection = -1; }

    // Maps PendingButtonId to the window's event and resets it.
    virtual void OnButton() {}
    // The usual OnButton: posts the event the pending id names (1 the first of
    // Events, 2 the second ...), none for another id, and resets the id.
    template <class... Events>
    void PostButtonEvent() {
        int32_t id = 0;
        ((++id == PendingButtonId ? this->post_event(Events()) : void()), ...);
        PendingButtonId = 0;
    }
    // Drawn after the window and its fade overlay.
    virtual void DrawOverlay() {}
    virtual void OnExitingApp() {}

    int32_t PendingButtonId = 0;  // 0: none
    int32_t FadeDirection = 1;    // +1 in, -1 out, 0 still
    // Set by a handler whose step cannot be undone (a battle restored, one
    // left): the window then takes no further handler or key until it is left,
    // so no later press can lose what that step did.
    bool HandlersClosed = false;
};
