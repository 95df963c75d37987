#include "Classes/Battle/BattleEvents.h"

#include "Classes/UI/GameMachine.h"

const char* GetBattleEventName(BattleEvent event) {
    switch (event) {
        case kEvInGameMenuPressed: return "EvInGameMenuPressed";
        case kEvGameOver: return "EvGameOver";
        case kEvBackPressed: return "EvBackPressed";
    }
    return "";
}

void PostBattleEvent(BattleEvent event) {
    const char* name = GetBattleEventName(event);
    switch (event) {
        case kEvInGameMenuPressed: DeliverBattleEvent(EvInGameMenuPressed(), name); break;
        case kEvGameOver: DeliverBattleEvent(EvGameOver(), name); break;
        case kEvBackPressed: DeliverBattleEvent(EvBackPressed(), name); break;
    }
}
