#include "Classes/UI/GameMachine.h"

#include "Core/Service.h"
#include "platform/Trace.h"

void GameMachine::process_event(const boost::statechart::event_base& event) {
    ++delivering_;
    Base::process_event(event);
    --delivering_;
}

void GameMachine::Post(const boost::statechart::event_base& event) {
    if (IsDelivering()) post_event(event);
    else process_event(event);
}

void DeliverBattleEvent(const boost::statechart::event_base& event, const char* name) {
    PlatformTrace("battle event: %s", name);
    if (Service<GameMachine>::Exists()) Service<GameMachine>::Get()->Post(event);
}
