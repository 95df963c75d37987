#pragma once
// Stand-in support until the in-game window and the menu flow exist: their
// stand-ins report what the game asks of them here, as a trace line and to one
// listener that tests may install.
#include "platform/Trace.h"

namespace standin {

typedef void (*Listener)(const char* event);

inline Listener& CurrentListener() {
    static Listener listener = nullptr;
    return listener;
}

inline void SetListener(Listener listener) { CurrentListener() = listener; }

inline void Report(const char* event) {
    PlatformTrace("%s", event);
    if (CurrentListener() != nullptr) CurrentListener()(event);
}

}  // namespace standin
