// The window layouts of tools/catalogue/Layouts.h, written into the "ui"
// folder in lower case, and the interface images they show, painted into
// "uitexture" as PNG. Only these files are written here: the folder also holds
// the in-game layout, which another writer owns.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "tools/catalogue/Config.h"
#include "tools/catalogue/Fonts.h"
#include "tools/catalogue/Layouts.h"
#include "tools/databuilder/Builder.h"
#include "tools/databuilder/Canvas.h"
#include "tools/databuilder/FontBaker.h"
#include "tools/databuilder/PngWriter.h"

namespace {

using canvas::Canvas;
using canvas::Colour;
using canvas::Rgb;
namespace cfg = catalogue::config;
namespace fonts = catalogue::fonts;
namespace layouts = catalogue::layouts;
namespace images = catalogue::layouts::images;

constexpr float kPi = 3.14159265f;

// ---- the layout files ----

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string Attribute(const char* name, const std::string& value) {
    return std::string(" ") + name + "=\"" + Escaped(value) + "\"";
}

std::string Attribute(const char* name, int value) { return Attribute(name, std::to_string(value)); }

std::string Placement(const layouts::Rect& rect) {
    return Attribute("posx", rect.x) + Attribute("posy", rect.y) + Attribute("sizex", rect.w) +
           Attribute("sizey", rect.h);
}

std::string NestedImage(const layouts::Element& owner, const layouts::Nested& image) {
    const char* selector = owner.kind == layouts::Kind::Button ? "state" : "type";
    return "    <image" + Attribute("name", image.name) + Attribute(selector, image.selector) +
           Attribute("file", image.file) + Placement(image.rect) + "/>\n";
}

std::string ElementXml(const layouts::Element& e) {
    std::string xml = std::string("  <") + e.Tag() + Attribute("name", e.name);
    if (!e.file.empty()) xml += Attribute("file", e.file);
    // The size after the source rectangle: a page shows its quarter of the picture enlarged.
    if (!e.source.Empty())
        xml += Attribute("x0", e.source.x0) + Attribute("y0", e.source.y0) + Attribute("x1", e.source.x1) +
               Attribute("y1", e.source.y1);
    xml += Placement(e.rect);
    if (!e.visible) xml += Attribute("visible", 0);
    if (!e.font.empty()) xml += Attribute("font", e.font);
    if (!e.fontRus.empty()) xml += Attribute("fontRUS", e.fontRus);
    if (!e.texttr.empty()) xml += Attribute("texttr", e.texttr);
    if (!e.text.empty()) xml += Attribute("text", e.text);
    if (!e.attributes.empty()) xml += " " + e.attributes;
    if (e.images.empty()) return xml + "/>\n";
    xml += ">\n";
    for (const layouts::Nested& image : e.images) xml += NestedImage(e, image);
    return xml + "  </" + e.Tag() + ">\n";
}

std::string LayoutXml(const layouts::Window& window) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<layout>\n";
    for (const layouts::Element& element : window.elements) xml += ElementXml(element);
    return xml + "</layout>\n";
}

// ---- painting ----

std::vector<int> CodePoints(const std::string& utf8) {
    std::vector<int> codes;
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        const int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : 3;
        int code = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k) code = (code << 6) | (utf8[i + k] & 0x3F);
        codes.push_back(code);
        i += size_t(extra) + 1;
    }
    return codes;
}

// A line of text baked in a DejaVu face, with its width.
struct TextLine {
    std::vector<int> codes;
    databuilder::BakedFont baked;
    int width = 0;

    TextLine(const std::string& utf8, const char* ttf, int pixelSize) : codes(CodePoints(utf8)) {
        std::string error;
        if (!databuilder::BakeProportional(std::string(fonts::kFaceFolder) + ttf, pixelSize, codes, &baked, &error))
            databuilder::Fail("layouts", "cannot paint \"" + utf8 + "\": " + error);
        for (int code : codes)
            if (const databuilder::BakedGlyph* glyph = Glyph(code)) width += glyph->advance;
    }
    const databuilder::BakedGlyph* Glyph(int code) const {
        for (const databuilder::BakedGlyph& glyph : baked.glyphs)
            if (glyph.code == code) return &glyph;
        return nullptr;
    }
};

// A line of text in a DejaVu face, centred on cx with its line's top at y.
void PaintText(Canvas& c, const std::string& utf8, const char* ttf, int pixelSize, float cx, float y, Colour colour) {
    const TextLine line(utf8, ttf, pixelSize);
    int pen = int(std::lround(cx)) - line.width / 2;
    for (int code : line.codes) {
        const databuilder::BakedGlyph* glyph = line.Glyph(code);
        if (glyph == nullptr) continue;
        for (int gy = 0; gy < glyph->height; ++gy)
            for (int gx = 0; gx < glyph->width; ++gx) {
                const size_t at = (size_t(glyph->y + gy) * line.baked.pageWidth + glyph->x + gx) * 4 + 3;
                c.Blend(pen + glyph->xoffset + gx, int(y) + glyph->yoffset + gy, colour,
                        line.baked.pageRgba[at] / 255.0f);
            }
        pen += glyph->advance;
    }
}

// Dark slate blue, lighter towards the middle, with a stone rim.
Canvas MenuBackground(Colour middle, Colour edge, uint32_t seed) {
    const int size = images::kBackgroundSize;
    Canvas c(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float dx = (x - size / 2.0f) / (size / 2.0f), dy = (y - size / 2.0f) / (size / 2.0f);
            const float t = std::min(1.0f, std::sqrt(dx * dx + dy * dy) / 1.3f);
            const float n = canvas::ValueNoise(float(x), float(y), 32, size / 32, seed);
            c.Set(x, y, canvas::Shade(canvas::Mix(middle, edge, t), 0.85f + 0.25f * n));
        }
    const Colour stone = Rgb(120, 110, 95);
    c.RectOutline(6, 6, size - 6.0f, size - 6.0f, 6, stone);
    c.RectOutline(16, 16, size - 16.0f, size - 16.0f, 2, canvas::Shade(stone, 0.7f));
    for (float cx : {20.0f, size - 20.0f})
        for (float cy : {20.0f, size - 20.0f}) c.Polygon({cx, cy - 14, cx + 14, cy, cx, cy + 14, cx - 14, cy}, stone);
    return c;
}

// A fortress on a hill at dusk, the game's name over it.
Canvas TitleBackground(const std::string& title, Colour sky, uint32_t seed) {
    const int size = images::kBackgroundSize;
    Canvas c(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float t = float(y) / size;
            const float n = canvas::ValueNoise(float(x), float(y), 64, size / 64, seed);
            c.Set(x, y, canvas::Shade(canvas::Mix(sky, Rgb(240, 140, 70), t * t), 0.9f + 0.15f * n));
        }
    const Colour hill = Rgb(30, 34, 40), wall = Rgb(45, 45, 55);
    c.Ellipse(size / 2.0f, size * 1.05f, size * 0.8f, size * 0.3f, hill);
    c.Rect(150, 330, 362, 420, wall);
    for (int k = 0; k < 9; ++k) c.Rect(150 + k * 24.0f, 318, 162 + k * 24.0f, 330, wall);
    for (float x : {140.0f, 340.0f}) {
        c.Rect(x, 280, x + 32, 420, wall);
        c.Polygon({x - 4, 280, x + 16, 248, x + 36, 280}, wall);
    }
    c.Rect(232, 250, 280, 420, wall);
    c.Polygon({226, 250, 256, 206, 286, 250}, wall);
    c.Ellipse(256, 396, 14, 24, Rgb(250, 200, 90));
    PaintText(c, title, fonts::kTitle.ttf, 64, size / 2.0f + 3, 63, Rgb(0, 0, 0, 180));
    PaintText(c, title, fonts::kTitle.ttf, 64, size / 2.0f, 60, Rgb(250, 215, 120));
    return c;
}

// What the battle asks of the player: the mouse, a spot, a defender, an enemy, the keys.
Canvas ControlsPicture() {
    Canvas c = MenuBackground(Rgb(60, 70, 95), Rgb(15, 18, 30), 71);
    const Colour ink = Rgb(235, 225, 200), gold = Rgb(250, 205, 80);
    // The mouse with its left button lit.
    c.RoundRect(56, 110, 136, 230, 36, ink);
    c.RoundRect(62, 116, 95, 160, 12, gold);
    c.Line(96, 116, 96, 162, 3, Rgb(60, 60, 70));
    // A glowing spot and a defender on it.
    c.Ellipse(236, 190, 40, 14, Rgb(120, 230, 255, 150));
    c.Circle(236, 166, 16, Rgb(70, 120, 230));
    c.Rect(229, 176, 243, 196, Rgb(70, 120, 230));
    // An enemy under a lightning bolt.
    c.Polygon({356, 150, 376, 192, 336, 192}, Rgb(200, 50, 40));
    c.Polygon({372, 90, 352, 126, 366, 126, 350, 150, 386, 114, 370, 114, 384, 90}, gold);
    // The keys 1 to 6.
    for (int k = 0; k < 6; ++k) {
        const float x = 96 + k * 56.0f;
        c.RoundRect(x, 280, x + 44, 324, 6, ink);
        c.RoundRect(x + 4, 284, x + 40, 318, 4, Rgb(90, 95, 110));
        PaintText(c, std::to_string(k + 1), fonts::kMain.ttf, 24, x + 22, 286, ink);
    }
    return c;
}

// A bevelled face; light is the share of white on the top half.
Canvas ButtonFace(int w, int h, Colour fill, Colour rim, int light) {
    Canvas c(w, h);
    c.RoundRect(0, 0, float(w), float(h), h / 4.0f, rim);
    c.RoundRect(4, 4, w - 4.0f, h - 4.0f, h / 5.0f, fill);
    c.RoundRect(4, 4, w - 4.0f, h / 2.0f, h / 5.0f, Rgb(255, 255, 255, light));
    return c;
}

// The flags of the language buttons, simplified, in language-code order: the Union
// flag, the French and Italian vertical tricolours, the German, Spanish and Russian
// horizontal bands, and the Japanese disc. Painted into a canvas of the flag's size.
Canvas FlagPicture(int index, int w, int h) {
    Canvas c(w, h, Rgb(255, 255, 255));
    const float fw = float(w), fh = float(h);
    auto vertical = [&](Colour a, Colour b, Colour d) {
        c.Rect(0, 0, fw / 3, fh, a);
        c.Rect(fw / 3, 0, 2 * fw / 3, fh, b);
        c.Rect(2 * fw / 3, 0, fw, fh, d);
    };
    // Bands of the given shares of the height, top to bottom.
    auto horizontal = [&](std::initializer_list<std::pair<float, Colour>> bands) {
        float top = 0;
        for (const auto& band : bands) {
            c.Rect(0, top, fw, top + band.first * fh, band.second);
            top += band.first * fh;
        }
    };
    const Colour white = Rgb(250, 250, 250), red = Rgb(206, 30, 45);
    switch (index) {
        case 0: {  // United Kingdom
            const Colour blue = Rgb(20, 40, 110);
            c.Fill(blue);
            c.Line(0, 0, fw, fh, fh / 5, white);
            c.Line(0, fh, fw, 0, fh / 5, white);
            c.Line(0, 0, fw, fh, fh / 15, red);
            c.Line(0, fh, fw, 0, fh / 15, red);
            c.Rect(0, fh / 3, fw, 2 * fh / 3, white);
            c.Rect(fw / 2 - fh / 6, 0, fw / 2 + fh / 6, fh, white);
            c.Rect(0, 0.4f * fh, fw, 0.6f * fh, red);
            c.Rect(fw / 2 - fh / 10, 0, fw / 2 + fh / 10, fh, red);
            break;
        }
        case 1: vertical(Rgb(0, 50, 150), white, Rgb(237, 41, 57)); break;  // France
        case 2: vertical(Rgb(0, 146, 70), white, Rgb(206, 43, 55)); break;  // Italy
        case 3:                                                             // Germany
            horizontal({{1 / 3.0f, Rgb(20, 20, 20)}, {1 / 3.0f, Rgb(221, 0, 0)}, {1 / 3.0f, Rgb(255, 206, 0)}});
            break;
        case 4:  // Spain
            horizontal({{0.25f, Rgb(170, 21, 27)}, {0.5f, Rgb(241, 191, 0)}, {0.25f, Rgb(170, 21, 27)}});
            break;
        case 5:  // Russia
            horizontal({{1 / 3.0f, white}, {1 / 3.0f, Rgb(0, 57, 166)}, {1 / 3.0f, Rgb(213, 43, 30)}});
            break;
        default:  // Japan
            c.Fill(white);
            c.Circle(fw / 2, fh / 2, fh * 0.3f, Rgb(188, 0, 45));
    }
    return c;
}

// A language button: the flag over the language's own name, on a dark plate.
Canvas Flag(int index) {
    const int w = images::kLanguageButtonWidth, h = images::kLanguageButtonHeight;
    Canvas c(w, h);
    c.RoundRect(4, 4, w - 4.0f, h - 4.0f, 10, Rgb(120, 110, 90));
    c.RoundRect(8, 8, w - 8.0f, h - 8.0f, 7, Rgb(35, 38, 52));
    // 5:3, a shape between the flags' own, so that they line up in a row.
    const int fh = 66, fw = 110, fx = (w - fw) / 2, fy = 12;
    c.Rect(fx - 2.0f, fy - 2.0f, fx + fw + 2.0f, fy + fh + 2.0f, Rgb(15, 15, 20));
    const Canvas flag = FlagPicture(index, fw, fh);
    for (int y = 0; y < fh; ++y)
        for (int x = 0; x < fw; ++x) c.Set(fx + x, fy + y, flag.Get(x, y));
    PaintText(c, images::kLanguageButtons[index].caption, fonts::kMain.ttf, 26, w / 2.0f, 83, Rgb(245, 235, 210));
    return c;
}

// The heading of the language window: the request in every language, the phrases
// side by side and wrapped into centred lines, gold over a soft shadow.
Canvas LanguageHeading() {
    const int w = images::kLanguageHeadingWidth, h = images::kLanguageHeadingHeight;
    const int pixelSize = 34, lineHeight = 48, room = w - 120;
    const std::string separator = "  \xC2\xB7  ";  // a middle dot
    std::vector<std::string> lines(1);
    for (const char* phrase : images::kChooseLanguage) {
        const std::string joined = lines.back().empty() ? phrase : lines.back() + separator + phrase;
        if (!lines.back().empty() && TextLine(joined, fonts::kTitle.ttf, pixelSize).width > room)
            lines.push_back(phrase);
        else lines.back() = joined;
    }
    Canvas c(w, h);
    float y = (h - float(lines.size()) * lineHeight) / 2;
    for (const std::string& line : lines) {
        PaintText(c, line, fonts::kTitle.ttf, pixelSize, w / 2.0f + 2, y + 2, Rgb(0, 0, 0, 170));
        PaintText(c, line, fonts::kTitle.ttf, pixelSize, w / 2.0f, y, Rgb(250, 215, 120));
        y += lineHeight;
    }
    return c;
}

// A frame drawn over a bar: rim only, the middle clear.
Canvas BarFrame(int w, int h) {
    Canvas c(w, h);
    c.RectOutline(0, 0, float(w), float(h), 3, Rgb(200, 170, 90));
    c.RectOutline(3, 3, w - 3.0f, h - 3.0f, 1, Rgb(60, 45, 20));
    return c;
}

Canvas BarFill(int w, int h, Colour from, Colour to) {
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float shine = 1.0f - 0.35f * std::abs(y - h * 0.35f) / h;
            c.Set(x, y, canvas::Shade(canvas::Mix(from, to, float(x) / w), shine));
        }
    return c;
}

Canvas Knob(int w, int h) {
    Canvas c(w, h);
    c.RoundRect(2, 2, w - 2.0f, h - 2.0f, 6, Rgb(90, 70, 30));
    c.RoundRect(5, 5, w - 5.0f, h - 5.0f, 4, Rgb(240, 210, 130));
    c.Rect(w / 2.0f - 1, 10, w / 2.0f + 1, h - 10.0f, Rgb(120, 90, 40));
    return c;
}

Canvas Glow(int w, int h, Colour colour) {
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float dx = (x + 0.5f - w / 2.0f) / (w / 2.0f), dy = (y + 0.5f - h / 2.0f) / (h / 2.0f);
            const float a = std::max(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy));
            c.Set(x, y, Rgb(colour.r, colour.g, colour.b, int(255 * a)));
        }
    return c;
}

// Eight dots round a ring, the lit one a step further in each frame.
Canvas BusyFrame(int frame) {
    Canvas c(64, 64);
    for (int k = 0; k < 8; ++k) {
        const float a = k * kPi / 4 - kPi / 2;
        const int age = (frame * 2 - k + 8) % 8;
        const Colour dot = age < 2 ? Rgb(250, 215, 120) : Rgb(150, 140, 120, 120);
        c.Circle(32 + 22 * std::cos(a), 32 + 22 * std::sin(a), age < 2 ? 6.5f : 5.0f, dot);
    }
    return c;
}

Canvas Panel(int w, int h, Colour fill, Colour rim) {
    Canvas c(w, h);
    const float r = std::min(14.0f, std::min(w, h) / 4.0f);
    c.RoundRect(0, 0, float(w), float(h), r, rim);
    c.RoundRect(4, 4, w - 4.0f, h - 4.0f, std::max(r - 3, 1.0f), fill);
    return c;
}

// A box's frame fills its whole rectangle, which the box clips to.
Canvas BoxFrame(int w, int h) {
    Canvas c(w, h, Rgb(220, 185, 95));
    c.Rect(4, 4, w - 4.0f, h - 4.0f, Rgb(90, 70, 30));
    c.Rect(7, 7, w - 7.0f, h - 7.0f, Rgb(30, 34, 50));
    c.RectOutline(12, 12, w - 12.0f, h - 12.0f, 1, Rgb(150, 125, 70));
    return c;
}

Canvas Banner() {
    Canvas c = ButtonFace(256, 64, Rgb(110, 30, 35), Rgb(230, 190, 90), 30);
    c.Polygon({20, 14, 44, 14, 44, 38, 32, 50, 20, 38}, Rgb(230, 190, 90));
    PaintText(c, "Dunmarch", fonts::kTitle.ttf, 30, 146, 12, Rgb(250, 235, 200));
    return c;
}

Canvas MapSlot() {
    Canvas c = ButtonFace(64, 64, Rgb(80, 120, 70), Rgb(200, 170, 90), 30);
    c.Line(14, 44, 30, 28, 5, Rgb(160, 120, 70));
    c.Line(30, 28, 50, 22, 5, Rgb(160, 120, 70));
    c.Rect(44, 14, 54, 26, Rgb(180, 180, 170));
    return c;
}

void WritePng(const databuilder::Output& out, const std::string& name, const Canvas& c) {
    out.Write(cfg::kUiTexture.Path() + name, pngwriter::Encode(c.Data(), c.Width(), c.Height()));
}

}  // namespace

DATABUILDER_WRITER(layouts, 30) {
    for (const layouts::Window& window : layouts::Windows())
        out.WriteText(cfg::kUi.Path() + window.DiskName(), LayoutXml(window));

    WritePng(out, images::kBlack, Canvas(4, 4, Rgb(0, 0, 0)));
    WritePng(out, images::kMenuBackground, MenuBackground(Rgb(58, 68, 96), Rgb(14, 16, 28), 41));
    WritePng(out, images::kLoadingBackground, TitleBackground("DUNMARCH", Rgb(40, 50, 100), 43));
    WritePng(out, images::kLoadingBackgroundRus, TitleBackground("ДАНМАРЧ", Rgb(40, 50, 100), 43));
    WritePng(out, images::kMainBackground, TitleBackground("DUNMARCH", Rgb(70, 40, 90), 47));
    WritePng(out, images::kMainBackgroundRus, TitleBackground("ДАНМАРЧ", Rgb(70, 40, 90), 47));
    WritePng(out, images::kControls, ControlsPicture());

    const int bw = images::kButtonWidth, bh = images::kButtonHeight;
    WritePng(out, images::kButton, ButtonFace(bw, bh, Rgb(70, 80, 110), Rgb(200, 170, 90), 40));
    WritePng(out, images::kButtonPressed, ButtonFace(bw, bh, Rgb(40, 45, 65), Rgb(150, 120, 60), 10));
    WritePng(out, images::kButtonOver, ButtonFace(bw, bh, Rgb(100, 115, 160), Rgb(250, 215, 120), 60));
    WritePng(out, images::kButtonInactive, Panel(bw, bh, Rgb(60, 60, 60, 170), Rgb(90, 90, 90, 170)));
    for (int k = 0; k < 7; ++k) WritePng(out, images::kLanguageButtons[k].file, Flag(k));
    WritePng(out, images::kLanguageHeading, LanguageHeading());

    WritePng(out, images::kSliderFrame, BarFrame(256, 32));
    WritePng(out, images::kSliderBar, BarFill(256, 32, Rgb(60, 110, 200), Rgb(120, 200, 250)));
    WritePng(out, images::kSliderThumb, Knob(32, 64));
    WritePng(out, images::kProgressFrame, BarFrame(512, 32));
    WritePng(out, images::kProgressBar, BarFill(512, 32, Rgb(200, 120, 30), Rgb(250, 215, 90)));
    WritePng(out, images::kProgressThumb, Glow(32, 64, Rgb(255, 240, 180)));
    for (int k = 0; k < 4; ++k) WritePng(out, images::kBusyFrames[k], BusyFrame(k));

    WritePng(out, images::kEditField, Panel(256, 32, Rgb(20, 22, 30, 230), Rgb(200, 170, 90)));
    WritePng(out, images::kPanel, Panel(256, 256, Rgb(15, 18, 28, 200), Rgb(150, 130, 80, 220)));
    WritePng(out, images::kBoxFrame, BoxFrame(512, 256));
    WritePng(out, images::kBanner, Banner());
    WritePng(out, images::kScrollTrack, Panel(16, 256, Rgb(30, 30, 40, 200), Rgb(120, 110, 90)));
    WritePng(out, images::kScrollThumb, Knob(16, 64));
    WritePng(out, images::kMapSlot, MapSlot());
}
