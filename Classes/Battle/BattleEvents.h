#pragma once
// The events the battle raises for the menu machine: the in-game menu asked for, and
// leaving a finished battle (to the score screen, or back when it was continued or ran
// on modified data).
enum BattleEvent {
    kEvInGameMenuPressed = 0,
    kEvGameOver = 1,
    kEvBackPressed = 2,
};

// "EvInGameMenuPressed", "EvGameOver", "EvBackPressed"; "" for another value.
const char* GetBattleEventName(BattleEvent event);

// The one way the battle posts: the machine's delivery of battle events (a trace line
// "battle event: <name>", then the machine service's Post, queued behind the reaction
// that runs the battle's update).
void PostBattleEvent(BattleEvent event);
