#pragma once
// The process-wide values of the interface: one set shared by every window.
// Main thread only.
#include <cstdint>

namespace UI {
class UILabel;
}

// A message box exists; every window but a modal one ignores input meanwhile.
extern bool MessageBoxOpen;
// The label with keyboard focus, or null.
extern UI::UILabel* FocusedLabel;
// The radio group of a button pressed during the current update, -1 when none.
extern int32_t CurrentRadioGroup;
// Seconds of window drawing since start; drives the alpha pulse.
extern float UiClock;
// The last frame's delta as the windows draw with it (at most 0.1 s).
extern float UiFrameDelta;
// The previous update saw a press.
extern bool UiPressedLastFrame;
// The wheel position the previous update saw; NaN until the first update.
extern float UiLastWheel;
