#pragma once
// The HUD sheet, painted in TexturesHud.cpp and written with the other sample
// textures by Textures.cpp.
#include "tools/databuilder/Canvas.h"

namespace databuilder {

inline constexpr float kPiF = 3.14159265f;

// The HUD's buttons, icons, digits, pips, bevels and bars, each at its sheet
// rectangle of the catalogue.
canvas::Canvas HudSheet();

}  // namespace databuilder
