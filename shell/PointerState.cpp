#include "shell/PointerState.h"

PointerState& GetPointerState() {
    static PointerState state;
    return state;
}
