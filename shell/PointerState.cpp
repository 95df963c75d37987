#include "shell/PointerState.h"

PointerState& GetPointerState() {
    static PointerState state;
    return state;
}

Vector2 PointerOnScreen(const PointerState& pointer, float screenWidth, float screenHeight) {
    if (pointer.client_size.x <= 0.0f || pointer.client_size.y <= 0.0f) return pointer.position;
    return Vector2(pointer.position.x * screenWidth / pointer.client_size.x,
                   pointer.position.y * screenHeight / pointer.client_size.y);
}
