#pragma once
// The three fonts every screen draws with (LargeFont, MediumFont and SmallFont of
// Classes/Battle/HudTables.h), chosen by the current language.

// Loads the three fonts for GetLanguageIndex() through the font loader: Russian (5)
// has fonts of its own; Japanese (6) keeps the fonts already loaded and fills only an
// empty slot, with the English file; every other language takes the English files.
// Without the font loader the slots stay as they are. Called after every language load.
void LoadGlobalFonts();
