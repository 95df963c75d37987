#pragma once
// Renders the glyphs of a TrueType face with FreeType into one page image and
// keeps their placement, for the sample fonts (Fonts.cpp). Glyphs are white
// with their coverage as alpha, so the 2D layer's tint colours them.
#include <cstdint>
#include <string>
#include <vector>

namespace databuilder {

struct BakedGlyph {
    int code;  // UTF-16 code unit
    int x, y;  // top-left on the page
    int width, height;
    int xoffset, yoffset;  // of the image from the pen, y from the top of the line
    int advance;           // how far the pen moves
};

struct KerningPair {
    int first, second, amount;
};

struct BakedFont {
    int lineHeight = 0;
    int ascender = 0;
    int pageWidth = 0, pageHeight = 0;
    std::vector<uint8_t> pageRgba;     // pageWidth x pageHeight, top row first
    std::vector<BakedGlyph> glyphs;    // by code
    std::vector<KerningPair> kerning;  // by first, then second code
};

// Proportional glyphs packed in shelves on the smallest power-of-two page;
// codes the face has no glyph for are left out. Kerning pairs come from the
// face's kerning table. False (with the reason in *error) when FreeType fails.
bool BakeProportional(const std::string& ttfPath, int pixelSize, const std::vector<int>& codes, BakedFont* font,
                      std::string* error);

// Every code from first to last in a cell of the face's advance by its line
// height, 16 cells a row, cells and page border one pixel apart; glyph x and y
// are relative to the inside of the border (the page is offset by one pixel).
bool BakeCells(const std::string& ttfPath, int pixelSize, int first, int last, BakedFont* font, std::string* error);

}  // namespace databuilder
