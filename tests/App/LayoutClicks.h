#pragma once
// Input-script positions taken from the layout catalogue: the centre of an
// element of a window's layout, as the scripts of the game's tests click it.
#include <string>

#include "tools/catalogue/Layouts.h"

namespace layoutclicks {

// "X Y" of the element's centre; "-1 -1" (off the screen) when the catalogue
// has no such element.
inline std::string CentreOf(const char* window, const char* element) {
    const catalogue::layouts::Window* w = catalogue::layouts::FindWindow(window);
    if (w == nullptr || w->Find(element) == nullptr) return "-1 -1";
    const catalogue::layouts::Rect r = w->At(element);
    return std::to_string(r.CentreX()) + " " + std::to_string(r.CentreY());
}

// "F click X Y" at the element's centre.
inline std::string ClickOn(long frame, const char* window, const char* element) {
    return std::to_string(frame) + " click " + CentreOf(window, element) + "\n";
}

}  // namespace layoutclicks
