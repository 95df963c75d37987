// The sample fonts (tools/catalogue/Fonts.h), baked from the DejaVu faces:
// text ".fnt" files with kerning, and one ".cf" file in the engine's own
// format, each with its PNG page in the interface texture folder.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/catalogue/Config.h"
#include "tools/catalogue/Fonts.h"
#include "tools/databuilder/Builder.h"
#include "tools/databuilder/FontBaker.h"
#include "tools/databuilder/PngWriter.h"

namespace {

namespace fonts = catalogue::fonts;

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    return line;
}

template <size_t N>
void AddRanges(const fonts::CharRange (&ranges)[N], std::vector<int>* codes) {
    for (const fonts::CharRange& range : ranges)
        for (int code = range.first; code <= range.last; ++code) codes->push_back(code);
}

[[noreturn]] void Fail(const fonts::Font& font, const std::string& error) {
    std::fprintf(stderr, "databuilder: font %s: %s\n", font.file, error.c_str());
    std::exit(1);
}

// The engine moves the pen by xadvance - xoffset, so xadvance carries the
// offset on top of the advance the face gives.
std::string FntText(const fonts::Font& font, const databuilder::BakedFont& baked) {
    std::string text;
    text += Format(
        "info face=\"%s\" size=%d bold=%d italic=0 charset=\"\" unicode=1 stretchH=100 smooth=1 aa=1 "
        "padding=0,0,0,0 spacing=1,1\n",
        font.face, font.size, font.bold ? 1 : 0);
    text += Format("common lineHeight=%d base=%d scaleW=%d scaleH=%d pages=1 packed=0\n", baked.lineHeight,
                   baked.ascender, baked.pageWidth, baked.pageHeight);
    text += Format("page id=0 file=\"%s\"\n", font.page);
    text += Format("chars count=%zu\n", baked.glyphs.size());
    for (const databuilder::BakedGlyph& glyph : baked.glyphs) {
        const int xadvance = glyph.advance + glyph.xoffset > 0 ? glyph.advance + glyph.xoffset : 0;
        text += Format("char id=%d x=%d y=%d width=%d height=%d xoffset=%d yoffset=%d xadvance=%d page=0 chnl=15\n",
                       glyph.code, glyph.x, glyph.y, glyph.width, glyph.height, glyph.xoffset, glyph.yoffset, xadvance);
    }
    text += Format("kernings count=%zu\n", baked.kerning.size());
    for (const databuilder::KerningPair& pair : baked.kerning)
        text += Format("kerning first=%d second=%d amount=%d\n", pair.first, pair.second, pair.amount);
    return text;
}

std::string CfText(const fonts::Font& font, const databuilder::BakedFont& baked) {
    std::string text;
    text += Format("%s %dpx, %d cells\n", font.face, font.size, static_cast<int>(baked.glyphs.size()));
    text += Format("chars_height = %d\n", baked.lineHeight);
    text += Format("chars_from = %d\n", fonts::kConsoleFirst);
    text += Format("chars_to = %d\n", fonts::kConsoleLast);
    text += Format("image = %s\n", font.page);
    text += "uv_ofs = 1,1\n";
    for (const databuilder::BakedGlyph& glyph : baked.glyphs)
        text += Format("x=%d\t y=%d\t w=%d\n", glyph.x, glyph.y, glyph.width);
    return text;
}

}  // namespace

DATABUILDER_WRITER(fonts, 30) {
    for (const fonts::Font& font : fonts::kAll) {
        const std::string ttf = std::string(fonts::kFaceFolder) + font.ttf;
        databuilder::BakedFont baked;
        std::string error;
        std::string text;
        if (font.format == fonts::Format::Cf) {
            if (!databuilder::BakeCells(ttf, font.size, fonts::kConsoleFirst, fonts::kConsoleLast, &baked, &error))
                Fail(font, error);
            text = CfText(font, baked);
        } else {
            std::vector<int> codes;
            AddRanges(fonts::kLatin1, &codes);
            AddRanges(fonts::kPunctuation, &codes);
            if (font.cyrillic) AddRanges(fonts::kCyrillic, &codes);
            if (!databuilder::BakeProportional(ttf, font.size, codes, &baked, &error)) Fail(font, error);
            text = FntText(font, baked);
        }
        const std::vector<uint8_t> png = pngwriter::Encode(baked.pageRgba.data(), baked.pageWidth, baked.pageHeight);
        if (png.empty()) Fail(font, "the page image did not encode");
        out.WriteText(catalogue::config::kFonts.Path() + font.file, text);
        out.Write(catalogue::config::kUiTexture.Path() + font.page, png);
    }
}
