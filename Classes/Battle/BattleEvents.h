#pragma once
// The events the battle raises for the menu machine: the in-game menu asked for, and
// leaving a finished battle (to the score screen, or back when it was continued or ran
// on modified data). The application, which owns the machine, registers its delivery as
// Service<BattleEventSink>; without one the events go nowhere.
enum BattleEvent {
    kEvInGameMenuPressed = 0,
    kEvGameOver = 1,
    kEvBackPressed = 2,
};

// "EvInGameMenuPressed", "EvGameOver", "EvBackPressed"; "" for another value.
const char* GetBattleEventName(BattleEvent event);

class BattleEventSink {
public:
    virtual ~BattleEventSink() = default;
    // Queues the event for the machine: it is processed once the reaction running now
    // (if any) has returned.
    virtual void Post(BattleEvent event) = 0;
};

// The one way the battle posts: a trace line "battle posts <name>", then the sink's Post.
void PostBattleEvent(BattleEvent event);
