#include "Classes/Battle/BattleEvents.h"

#include "Core/Service.h"
#include "platform/Trace.h"

const char* GetBattleEventName(BattleEvent event) {
    switch (event) {
        case kEvInGameMenuPressed: return "EvInGameMenuPressed";
        case kEvGameOver: return "EvGameOver";
        case kEvBackPressed: return "EvBackPressed";
    }
    return "";
}

void PostBattleEvent(BattleEvent event) {
    PlatformTrace("battle posts %s", GetBattleEventName(event));
    if (Service<BattleEventSink>::Exists()) Service<BattleEventSink>::Get()->Post(event);
}
