#pragma once
// The sample fonts: bitmap fonts baked from the DejaVu faces into the "fonts"
// folder of config.xml, each with one page image in the "uitexture" folder.
// Glyph ids are UTF-16 code units.
#include "tools/catalogue/Config.h"

namespace catalogue {
namespace fonts {

// Where Debian's fonts-dejavu-core puts the faces the fonts are baked from.
inline constexpr const char kFaceFolder[] = "/usr/share/fonts/truetype/dejavu/";

enum class Format { Fnt, Cf };

struct CharRange {
    int first, last;  // inclusive
};

// Printable ASCII and the printable upper half of Latin-1.
inline constexpr CharRange kLatin1[] = {{0x20, 0x7E}, {0xA0, 0xFF}};
// Dashes, quotes, bullet, ellipsis and the euro sign that typeset texts use.
inline constexpr CharRange kPunctuation[] = {{0x2013, 0x2014}, {0x2018, 0x2019}, {0x201C, 0x201D},
                                             {0x2022, 0x2022}, {0x2026, 0x2026}, {0x20AC, 0x20AC}};
// The Russian alphabet with Ё/ё and the rest of the basic Cyrillic block, and №.
inline constexpr CharRange kCyrillic[] = {{0x0400, 0x045F}, {0x2116, 0x2116}};

struct Font {
    const char* file;  // in the "fonts" folder
    const char* page;  // in the "uitexture" folder
    const char* face;  // the name the font file gives (no blanks: the reader takes one word)
    const char* ttf;   // in kFaceFolder
    int size;          // pixels per em
    bool bold;
    bool cyrillic;  // Latin-1 always; the Russian fonts add Cyrillic
    Format format;
};

// The global fonts: title, main and small, for every language but Russian...
inline constexpr Font kTitle{"tarragon_70.fnt", "tarragon_70.png", "Tarragon", "DejaVuSerif-Bold.ttf", 70, true, false,
                             Format::Fnt};
inline constexpr Font kMain{"tarragon_40.fnt", "tarragon_40.png", "Tarragon", "DejaVuSerif-Bold.ttf", 32, true, false,
                            Format::Fnt};
inline constexpr Font kSmall{"arial_15.fnt", "arial_15.png", "Arial", "DejaVuSans.ttf", 15, false, false, Format::Fnt};
// ...and for Russian (language 5).
inline constexpr Font kTitleRus{
    "ostrelle_70.fnt", "ostrelle_70.png", "Ostrelle", "DejaVuSerif-Bold.ttf", 70, true, true, Format::Fnt};
inline constexpr Font kMainRus{"ostrelle_40.fnt", "ostrelle_40.png", "Ostrelle", "DejaVuSerif-Bold.ttf", 32, true, true,
                               Format::Fnt};
inline constexpr Font kSmallRus{"arial_rus_15.fnt", "arial_rus_15.png", "ArialRus", "DejaVuSans.ttf", 15, false, true,
                                Format::Fnt};
// A fixed-width font in the engine's own format (codes 32 to 255, one cell
// each) for debug text such as the scene statistics.
inline constexpr Font kConsole{"console_16.cf", "console_16.png", "Console", "DejaVuSansMono.ttf", 16, false,
                               false,           Format::Cf};
inline constexpr int kConsoleFirst = 32;
inline constexpr int kConsoleLast = 255;

inline constexpr Font kAll[] = {kTitle, kMain, kSmall, kTitleRus, kMainRus, kSmallRus, kConsole};

// The three global fonts of a language code (0 English ... 5 Russian, 6
// Japanese). Japanese texts are in Latin letters and use the English fonts.
struct LanguageFonts {
    const Font* title;
    const Font* main;
    const Font* small;
};
inline constexpr LanguageFonts ForLanguage(int code) {
    return code == 5 ? LanguageFonts{&kTitleRus, &kMainRus, &kSmallRus} : LanguageFonts{&kTitle, &kMain, &kSmall};
}

}  // namespace fonts
}  // namespace catalogue
