#include "UI/UIGlobals.h"

#include <limits>

bool MessageBoxOpen = false;
UI::UILabel* FocusedLabel = nullptr;
int32_t CurrentRadioGroup = -1;
float UiClock = 0.0f;
float UiFrameDelta = 0.0f;
bool UiPressedLastFrame = false;
float UiLastWheel = std::numeric_limits<float>::quiet_NaN();
