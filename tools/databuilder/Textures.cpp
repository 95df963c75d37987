// The sample textures: defaults, cursors, particle sprites (with the particle
// library's default bitmap), the world and model
// textures with their bump (normal) maps, the interface images and the HUD sheet.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "tools/catalogue/Config.h"
#include "tools/catalogue/Models.h"
#include "tools/catalogue/Textures.h"
#include "tools/databuilder/BmpWriter.h"
#include "tools/databuilder/Builder.h"
#include "tools/databuilder/Canvas.h"
#include "tools/databuilder/DdsWriter.h"
#include "tools/databuilder/PngWriter.h"

namespace {

using canvas::Canvas;
using canvas::Colour;
using canvas::Rgb;
namespace cfg = catalogue::config;
namespace tex = catalogue::textures;
namespace models = catalogue::models;

constexpr float kPiF = 3.14159265f;

std::string WorldPath(const std::string& name) { return cfg::kTextures.Path() + name; }
std::string InterfacePath(const std::string& name) { return cfg::kUiTexture.Path() + name; }

void WriteDds(const databuilder::Output& out, const std::string& path, const Canvas& c, ddswriter::Format format) {
    out.Write(path, ddswriter::Encode(c.Data(), c.Width(), c.Height(), format, true));
}

// A texture and its bump map (normal map of the texture's brightness).
void WriteWithBump(const databuilder::Output& out, const std::string& name, const std::string& bump, const Canvas& c,
                   float strength) {
    WriteDds(out, WorldPath(name), c, ddswriter::Format::DXT1);
    WriteDds(out, WorldPath(bump), c.NormalMap(strength), ddswriter::Format::DXT1);
}

// ---- surfaces ----

Canvas Noisy(int size, Colour base, float amount, float cell, uint32_t seed) {
    Canvas c(size, size);
    int period = int(size / cell);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float n = canvas::ValueNoise(float(x), float(y), cell, period, seed) * 0.7f +
                      canvas::ValueNoise(float(x), float(y), cell / 4, period * 4, seed + 1) * 0.3f;
            c.Set(x, y, canvas::Shade(base, 1.0f - amount / 2 + amount * n));
        }
    return c;
}

// Courses of bricks with darker mortar; every other course shifted by half a brick.
Canvas Bricks(int size, Colour brick, Colour mortar, int courses, int perCourse, uint32_t seed) {
    Canvas c = Noisy(size, brick, 0.25f, 8, seed);
    int bh = size / courses, bw = size / perCourse;
    for (int row = 0; row < courses; ++row) {
        int y0 = row * bh;
        c.Rect(0, float(y0), float(size), float(y0 + 2), mortar);
        int shift = (row % 2) * bw / 2;
        for (int k = 0; k <= perCourse; ++k) {
            int x = (k * bw + shift) % size;
            c.Rect(float(x), float(y0), float(x + 2), float(y0 + bh), mortar);
            // each brick a little lighter or darker
            float f = 0.85f + 0.3f * canvas::Hash(k, row, seed);
            for (int y = y0 + 2; y < y0 + bh; ++y)
                for (int xx = x + 2; xx < x + bw && xx < size; ++xx) c.Set(xx, y, canvas::Shade(c.Get(xx, y), f));
        }
    }
    return c;
}

// Irregular flagstones: a grid of slabs, each of its own shade, with dark joints.
Canvas Flagstones(int size, Colour stone, uint32_t seed) {
    Canvas c = Noisy(size, stone, 0.3f, 16, seed);
    int slab = size / 4;
    for (int gy = 0; gy < 4; ++gy)
        for (int gx = 0; gx < 4; ++gx) {
            float f = 0.8f + 0.35f * canvas::Hash(gx, gy, seed + 7);
            for (int y = gy * slab; y < (gy + 1) * slab; ++y)
                for (int x = gx * slab; x < (gx + 1) * slab; ++x) c.Set(x, y, canvas::Shade(c.Get(x, y), f));
            c.RectOutline(float(gx * slab), float(gy * slab), float((gx + 1) * slab), float((gy + 1) * slab), 3,
                          canvas::Shade(stone, 0.35f));
        }
    return c;
}

// A palace wall: sandstone blocks with a row of arched windows.
Canvas PalaceWall(int size) {
    Canvas c = Bricks(size, Rgb(214, 190, 140), Rgb(150, 128, 90), 8, 4, 11);
    for (int k = 0; k < 3; ++k) {
        float cx = size * (k + 0.5f) / 3, w = size / 10.0f, top = size * 0.3f, bottom = size * 0.75f;
        Colour dark = Rgb(40, 36, 50);
        c.Rect(cx - w, top, cx + w, bottom, dark);
        c.Ellipse(cx, top, w, w, dark);
        c.Rect(cx - w - 3, bottom, cx + w + 3, bottom + 5, Rgb(235, 220, 180));
    }
    return c;
}

// A decorative band: ivory ground, gold diamonds between two gold rules.
Canvas Trim(int size) {
    Canvas c = Noisy(size, Rgb(236, 226, 200), 0.1f, 16, 21);
    Colour gold = Rgb(200, 160, 60);
    for (int band = 0; band < 4; ++band) {
        float y0 = band * size / 4.0f, mid = y0 + size / 8.0f;
        c.Rect(0, y0 + 4, float(size), y0 + 8, gold);
        c.Rect(0, y0 + size / 4.0f - 8, float(size), y0 + size / 4.0f - 4, gold);
        for (int k = 0; k < 8; ++k) {
            float cx = size * (k + 0.5f) / 8, r = size / 20.0f;
            c.Polygon({cx, mid - r, cx + r, mid, cx, mid + r, cx - r, mid}, canvas::Shade(gold, 0.8f));
        }
    }
    return c;
}

// How much of a light map's light reaches texel (x, y): soft shadows where walls
// and towers stand.
float LightShade(int x, int y, int size, uint32_t seed) {
    float light = 1.0f;
    for (int k = 0; k < 6; ++k) {
        float cx = size * canvas::Hash(k, 1, seed), cy = size * canvas::Hash(k, 2, seed);
        float r = size * (0.08f + 0.1f * canvas::Hash(k, 3, seed));
        float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) / r;
        light -= 0.45f * std::exp(-d * d);
    }
    return std::max(light, 0.35f);
}

Colour WarmLight(float light) { return Rgb(int(250 * light), int(240 * light), int(220 * light)); }

// A light map: bright, warm, with soft shadows where walls and towers stand.
Canvas LightMap(int size, uint32_t seed) {
    Canvas c(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) c.Set(x, y, WarmLight(LightShade(x, y, size, seed)));
    return c;
}

// Wood: long grain stripes along v.
Canvas Wood(int size, Colour base) {
    Canvas c(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float wobble = canvas::ValueNoise(float(x), float(y), 16, size / 16, 31) * 6;
            float grain = 0.5f + 0.5f * std::sin((x + wobble) * 2 * kPiF / 8);
            c.Set(x, y, canvas::Shade(base, 0.75f + 0.35f * grain));
        }
    return c;
}

// A humanoid's clothes: the texture is cut into vertical bands, one per body
// part; bands alternate cloth and trim shades, with a belt and a few seams.
Canvas Humanoid(int size, Colour base, uint32_t seed) {
    Canvas c = Noisy(size, base, 0.2f, 8, seed);
    int parts = models::kPartCount, band = size / parts;
    for (int k = 0; k < parts; ++k) {
        float f = k % 2 == 0 ? 1.0f : 0.8f;
        for (int y = 0; y < size; ++y)
            for (int x = k * band; x < (k + 1) * band; ++x) c.Set(x, y, canvas::Shade(c.Get(x, y), f));
        c.Rect(float(k * band), size * 0.48f, float((k + 1) * band), size * 0.54f, Rgb(70, 45, 25));
        c.Rect(float(k * band), 0, float(k * band + 1), float(size), canvas::Shade(base, 0.5f));
    }
    return c;
}

// Polished metal: a vertical sheen.
Canvas Metal(int size, Colour base) {
    Canvas c(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float sheen = 0.7f + 0.5f * std::pow(std::sin(float(x) / size * kPiF), 4.0f);
            float scratch = canvas::Hash(x, y / 8, 41) < 0.02f ? 1.2f : 1.0f;
            c.Set(x, y, canvas::Shade(base, sheen * scratch));
        }
    return c;
}

// Fire: yellow core fading to deep orange.
Canvas Fire(int size) {
    Canvas c(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float t = float(y) / size + 0.3f * canvas::ValueNoise(float(x), float(y), 8, size / 8, 51);
            c.Set(x, y, canvas::Mix(Rgb(255, 240, 120), Rgb(220, 70, 10), std::min(t, 1.0f)));
        }
    return c;
}

uint32_t NameSeed(const std::string& name) {
    uint32_t seed = 2166136261u;  // FNV-1a of the name
    for (char ch : name) seed = (seed ^ uint8_t(ch)) * 16777619u;
    return seed & 0xffff;
}

// The map's ground and its light map lie over the field with one mapping (the
// ground's rows run from the far edge, the light map's from the near one), so the
// light map's shadows are painted into the ground and the light map keeps the
// warm light alone: even, it reads the same at every vertex, which is where the
// light-mapped shader reads it.
Canvas ShadedGround(const models::Texture& t, uint32_t seed) {
    const int size = 256;
    Canvas c = Noisy(size, Rgb(t.r, t.g, t.b), 0.45f, 16, seed);
    uint32_t lightSeed = 0;
    for (const models::Texture& other : models::kTextures)
        if (std::string(other.podName).find("lightmap") != std::string::npos) lightSeed = NameSeed(other.podName);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            c.Set(x, y, canvas::Shade(c.Get(x, y), LightShade(x, size - 1 - y, size, lightSeed)));
    return c;
}

Canvas ModelTexture(const models::Texture& t) {
    const Colour base = Rgb(t.r, t.g, t.b);
    const std::string name = t.podName;
    const uint32_t seed = NameSeed(name);
    if (name.find("ground") != std::string::npos) return ShadedGround(t, seed);
    if (name.find("stone") != std::string::npos) return Bricks(256, base, canvas::Shade(base, 0.5f), 8, 4, seed);
    if (name.find("lightmap") != std::string::npos) return Canvas(256, 256, WarmLight(1.0f));
    if (name.find("scenery") != std::string::npos) return Wood(128, base);
    if (name.find("weapons") != std::string::npos) return Metal(128, base);
    if (name.find("missiles") != std::string::npos) return Fire(64);
    return Humanoid(128, base, seed);
}

// ---- sprites and cursors ----

// Radial alpha: full at the centre, falling to nothing at the radius.
Canvas Glow(int size, Colour colour, float radius, float peak) {
    Canvas c(size, size);
    float centre = size / 2.0f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float d = std::sqrt((x + 0.5f - centre) * (x + 0.5f - centre) + (y + 0.5f - centre) * (y + 0.5f - centre));
            float a = std::max(0.0f, 1 - d / radius);
            c.Set(x, y, Rgb(colour.r, colour.g, colour.b, int(std::lround(255 * peak * a * a * (3 - 2 * a)))));
        }
    return c;
}

// ---- particle sprites: white, the effects colour them ----

// A soft puff: the glow's falloff broken up by noise.
Canvas Smoke(int size) {
    Canvas c = Glow(size, Rgb(255, 255, 255), size / 2.0f - 1, 1.0f);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float n = canvas::ValueNoise(float(x), float(y), size / 8.0f, 8, 71);
            Colour p = c.Get(x, y);
            c.Set(x, y, Rgb(235, 235, 235, int(p.a * (0.55f + 0.45f * n))));
        }
    return c;
}

// A ring of the radius, bright in the middle of its width and fading to either side.
Canvas RingSprite(int size, float radius, float width) {
    Canvas c(size, size, Rgb(255, 255, 255, 0));
    const float centre = size / 2.0f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float d = std::hypot(x + 0.5f - centre, y + 0.5f - centre);
            const float a = std::max(0.0f, 1.0f - std::fabs(d - radius) / width);
            c.Set(x, y, Rgb(255, 255, 255, int(std::lround(255 * a * a))));
        }
    return c;
}

Canvas CrossSprite(int size) {
    Canvas c = Glow(size, Rgb(255, 255, 255), size / 2.0f, 0.35f);
    const float third = size / 3.0f;
    c.RoundRect(third + 2, 4, 2 * third - 2, size - 4.0f, 4, Rgb(255, 255, 255));
    c.RoundRect(4, third + 2, size - 4.0f, 2 * third - 2, 4, Rgb(255, 255, 255));
    return c;
}

// A glow drawn out along v, for sparks drawn along their motion and for line quads.
Canvas StreakSprite(int width, int height) {
    Canvas c(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float u = std::fabs((x + 0.5f) / width * 2 - 1), v = std::fabs((y + 0.5f) / height * 2 - 1);
            const float a = std::max(0.0f, 1 - u) * std::max(0.0f, 1 - v * v);
            c.Set(x, y, Rgb(255, 255, 255, int(std::lround(255 * a))));
        }
    return c;
}

// Eight flames in equal cells, row by row: a tongue of fire swaying and flickering,
// white at the core, red at the edge.
Canvas FlameSheet() {
    const int cell = tex::kFlameCell;
    Canvas c(cell * tex::kFlameColumns, cell * tex::kFlameRows);
    const int frames = tex::kFlameColumns * tex::kFlameRows;
    for (int f = 0; f < frames; ++f) {
        const int ox = f % tex::kFlameColumns * cell, oy = f / tex::kFlameColumns * cell;
        const float phase = f * 2 * kPiF / frames;
        const float sway = 6 * std::sin(phase), tip = 6 + 4 * std::sin(2 * phase);
        for (int y = 0; y < cell; ++y)
            for (int x = 0; x < cell; ++x) {
                // t runs from the tip (0) to the base (1); the flame's half width follows a teardrop.
                const float t = (y + 0.5f - tip) / (cell - 6 - tip);
                if (t < 0 || t > 1) continue;
                const float centre = cell / 2.0f + sway * (1 - t) * (1 - t);
                const float half = 34 * std::sqrt(t) * (1.15f - t);
                const float d = half > 0 ? std::fabs(x + 0.5f - centre) / half : 2;
                if (d >= 1) continue;
                const float heat = (1 - d) * (0.4f + 0.6f * t);
                const Colour colour = canvas::Mix(Rgb(200, 40, 10), Rgb(255, 245, 200), std::min(1.0f, heat * 1.6f));
                c.Set(ox + x, oy + y,
                      Rgb(colour.r, colour.g, colour.b, int(std::lround(255 * std::min(1.0f, (1 - d) * 2)))));
            }
    }
    return c;
}

// A rune in a circle, turned a sixteenth of a turn more in every frame.
Canvas RuneSprite(int size, int frame) {
    Canvas c = RingSprite(size, size * 0.42f, 3);
    const float centre = size / 2.0f, r = size * 0.3f;
    const float turn = frame * kPiF / 8;
    auto at = [&](float angle, float radius, float& x, float& y) {
        x = centre + radius * std::cos(angle + turn);
        y = centre + radius * std::sin(angle + turn);
    };
    float ax, ay, bx, by, cx, cy;
    at(-kPiF / 2, r, ax, ay);
    at(kPiF / 2, r, bx, by);
    at(kPiF / 6, r * 0.8f, cx, cy);
    c.Line(ax, ay, bx, by, 3, Rgb(255, 255, 255));
    c.Line(ax, ay, cx, cy, 3, Rgb(255, 255, 255));
    c.Line(cx, cy, centre, centre, 3, Rgb(255, 255, 255));
    return c;
}

// The library's default texture: a white glow on black, without alpha.
Canvas DefaultParticleTexture(int size) {
    const Canvas glow = Glow(size, Rgb(255, 255, 255), size / 2.0f, 1.0f);
    Canvas c(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int a = glow.Get(x, y).a;
            c.Set(x, y, Rgb(a, a, a));
        }
    return c;
}
// The shape over a ring one pixel wide around it. Cursors are outlined dark
// inside and light outside, so that one of the two shows on any screen.
Canvas Ringed(const Canvas& shape, Colour ring) {
    Canvas c(shape.Width(), shape.Height());
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < c.Width() && ny < c.Height() && shape.Get(nx, ny).a >= 128)
                        c.Set(x, y, ring);
                }
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) c.Blend(x, y, shape.Get(x, y), 1.0f);
    return c;
}

const Colour kCursorRim = Rgb(235, 235, 235);

Canvas ArrowCursor() {
    Canvas c(tex::kCursorSize, tex::kCursorSize);
    std::vector<float> arrow = {1, 1, 1, 23, 7, 18, 11, 27, 15, 25, 11, 17, 18, 17};
    c.Polygon(arrow, Rgb(0, 0, 0));
    std::vector<float> inner = {3, 5, 3, 19, 7.5f, 15, 11.5f, 24, 12.5f, 23.5f, 8.5f, 15, 13.5f, 15};
    c.Polygon(inner, Rgb(255, 255, 255));
    return Ringed(c, kCursorRim);
}

Canvas LeftRightCursor() {
    Canvas c(tex::kCursorSize, tex::kCursorSize);
    std::vector<float> outline = {1, 16, 9, 8, 9, 12, 23, 12, 23, 8, 31, 16, 23, 24, 23, 20, 9, 20, 9, 24};
    c.Polygon(outline, Rgb(0, 0, 0));
    std::vector<float> inner = {4,  16, 7.5f,  12.5f, 7.5f,  14, 24.5f, 14, 24.5f, 12.5f,
                                28, 16, 24.5f, 19.5f, 24.5f, 18, 7.5f,  18, 7.5f,  19.5f};
    c.Polygon(inner, Rgb(255, 255, 255));
    return Ringed(c, kCursorRim);
}

Canvas SandglassCursor() {
    Canvas c(tex::kCursorSize, tex::kCursorSize);
    Colour wood = Rgb(120, 70, 30), glass = Rgb(210, 230, 240, 200), sand = Rgb(230, 190, 90);
    c.Rect(6, 2, 26, 6, wood);
    c.Rect(6, 26, 26, 30, wood);
    c.Polygon({8, 6, 24, 6, 17, 16, 24, 26, 8, 26, 15, 16}, glass);
    c.Polygon({11, 9, 21, 9, 16, 15}, sand);
    c.Polygon({16, 19, 22, 26, 10, 26}, sand);
    return Ringed(Ringed(c, Rgb(0, 0, 0)), kCursorRim);
}

// ---- interface images ----

Canvas Parchment(int w, int h) {
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float n = canvas::ValueNoise(float(x), float(y), 32, 64, 61);
            float edge = std::min(std::min(x, w - 1 - x), std::min(y, h - 1 - y)) / 60.0f;
            float f = (0.85f + 0.2f * n) * (0.8f + 0.2f * std::min(edge, 1.0f));
            c.Set(x, y, canvas::Shade(Rgb(232, 214, 170), f));
        }
    Colour ink = Rgb(90, 60, 30);
    c.RectOutline(12, 12, float(w - 12), float(h - 12), 4, ink);
    c.RectOutline(22, 22, float(w - 22), float(h - 22), 2, ink);
    return c;
}

// Lines of "text": dark strokes of varying lengths.
void TextLines(Canvas& c, float x, float y, float width, int lines, float spacing, uint32_t seed) {
    for (int i = 0; i < lines; ++i) {
        float len = width * (0.45f + 0.5f * canvas::Hash(i, 0, seed));
        c.Line(x + (width - len) / 2, y + i * spacing, x + (width + len) / 2, y + i * spacing, 5, Rgb(70, 45, 25));
    }
}

Canvas CreditsImage() {
    const int w = tex::kInterfaceImageWidth, h = tex::kInterfaceImageHeight;
    Canvas c = Parchment(w, h);
    // The crest: a shield with a keep on it.
    float cx = w / 2.0f;
    c.Polygon({cx - 60, 50, cx + 60, 50, cx + 60, 120, cx, 180, cx - 60, 120}, Rgb(40, 70, 150));
    c.Polygon({cx - 52, 58, cx + 52, 58, cx + 52, 118, cx, 170, cx - 52, 118}, Rgb(60, 100, 190));
    Colour stone = Rgb(225, 225, 215);
    c.Rect(cx - 22, 90, cx + 22, 140, stone);
    for (int k = 0; k < 3; ++k) c.Rect(cx - 22 + k * 17, 80, cx - 12 + k * 17, 90, stone);
    c.Ellipse(cx, 128, 8, 12, Rgb(50, 40, 40));
    TextLines(c, 80, 220, float(w - 160), 8, 28, 71);
    return c;
}

// Four pages, one a quarter of the picture (the tutorial window shows them
// one at a time): recruiting on the glowing spots, a defender's actions, a
// spell on an enemy, the keep that must hold.
Canvas TutorialImage() {
    const int w = tex::kInterfaceImageWidth, h = tex::kInterfaceImageHeight, pw = w / 2, ph = h / 2;
    Canvas c(w, h);
    for (int page = 0; page < 4; ++page) {
        const Canvas parchment = Parchment(pw, ph);
        const int ox = (page % 2) * pw, oy = (page / 2) * ph;
        for (int y = 0; y < ph; ++y)
            for (int x = 0; x < pw; ++x) c.Set(ox + x, oy + y, parchment.Get(x, y));
    }
    const Colour field = Rgb(110, 150, 80), road = Rgb(150, 115, 70), blue = Rgb(30, 60, 160),
                 light = Rgb(70, 120, 230), red = Rgb(190, 40, 30), stone = Rgb(170, 170, 160);
    // 1: the field with the road and glowing spots, a defender on one.
    c.RoundRect(40, 40, 280, 200, 12, field);
    c.Line(50, 80, 150, 110, 16, road);
    c.Line(150, 110, 270, 170, 16, road);
    for (float x : {110.0f, 200.0f}) c.Ellipse(x, 160, 22, 9, Rgb(140, 240, 255, 170));
    c.Circle(200, 148, 12, blue);
    c.Circle(200, 148, 8, light);
    // 2: a defender ringed by its action buttons.
    c.Circle(480, 120, 26, blue);
    c.Circle(480, 120, 18, light);
    for (int k = 0; k < 6; ++k) {
        const float a = k * kPiF / 3;
        c.RoundRect(480 + 78 * std::cos(a) - 14, 120 + 78 * std::sin(a) - 14, 480 + 78 * std::cos(a) + 14,
                    120 + 78 * std::sin(a) + 14, 5, k % 2 ? Rgb(60, 200, 80) : Rgb(240, 200, 60));
    }
    // 3: a bolt striking an enemy.
    c.Polygon({160, 330, 190, 390, 130, 390}, red);
    c.Polygon({176, 260, 150, 306, 168, 306, 146, 340, 196, 292, 176, 292, 194, 260}, Rgb(255, 220, 60));
    c.Line(60, 420, 260, 420, 6, road);
    // 4: the keep, and a star for the battle won.
    c.Rect(440, 320, 520, 420, stone);
    for (int k = 0; k < 4; ++k) c.Rect(440 + k * 22.0f, 306, 454 + k * 22.0f, 320, stone);
    c.Ellipse(480, 400, 12, 20, Rgb(60, 45, 40));
    std::vector<float> star;
    for (int i = 0; i < 10; ++i) {
        const float a = -kPiF / 2 + i * kPiF / 5, r = i % 2 == 0 ? 32.0f : 14.0f;
        star.push_back(570 + r * std::cos(a));
        star.push_back(300 + r * std::sin(a));
    }
    c.Polygon(star, Rgb(240, 190, 30));
    return c;
}

// ---- the HUD sheet ----

const tex::HudRegion& Region(const char* name) {
    for (const tex::HudRegion& r : tex::kHudRegions)
        if (std::strcmp(r.name, name) == 0) return r;
    return tex::kHudRegions[0];
}

// A button face: bevelled slate with a lighter rim.
void ButtonFace(Canvas& c, const tex::HudRegion& r, Colour tint) {
    float x0 = float(r.tx) + 2, y0 = float(r.ty) + 2, x1 = float(r.tx + r.tw) - 2, y1 = float(r.ty + r.th) - 2;
    c.RoundRect(x0, y0, x1, y1, 8, Rgb(30, 34, 44));
    c.RoundRect(x0 + 3, y0 + 3, x1 - 3, y1 - 3, 6, canvas::Mix(Rgb(60, 66, 82), tint, 0.25f));
    c.RoundRect(x0 + 3, y0 + 3, x1 - 3, y0 + (y1 - y0) / 2, 6, Rgb(255, 255, 255, 28));
}

// A figure: head and body in the unit's colour.
void Figure(Canvas& c, float cx, float cy, Colour body) {
    c.Circle(cx, cy - 14, 7, Rgb(235, 200, 160));
    c.Polygon({cx - 12, cy + 18, cx - 8, cy - 6, cx + 8, cy - 6, cx + 12, cy + 18}, body);
}

void DefenderButton(Canvas& c, const char* name, Colour body, int glyph) {
    const tex::HudRegion& r = Region(name);
    ButtonFace(c, r, body);
    float cx = r.tx + r.tw / 2.0f - 6, cy = r.ty + r.th / 2.0f + 2;
    Figure(c, cx, cy, body);
    float gx = cx + 16, gy = cy;
    Colour steel = Rgb(220, 225, 235);
    switch (glyph) {
        case 0:
            c.Line(gx, gy + 16, gx, gy - 20, 3, steel);
            c.Line(gx - 5, gy + 8, gx + 5, gy + 8, 3, steel);
            break;
        case 1:
            c.Ring(gx - 8, gy, 16, 3, Rgb(150, 100, 40));
            c.Line(gx, gy - 15, gx, gy + 15, 1, steel);
            break;
        case 2:
            c.Rect(gx - 2, gy - 14, gx + 2, gy + 14, Rgb(250, 230, 120));
            c.Rect(gx - 8, gy - 6, gx + 8, gy - 2, Rgb(250, 230, 120));
            break;
        case 3:
            c.Circle(gx, gy - 6, 7, Rgb(230, 230, 210));
            c.Circle(gx - 3, gy - 7, 2, Rgb(20, 20, 20));
            c.Circle(gx + 3, gy - 7, 2, Rgb(20, 20, 20));
            c.Line(gx, gy + 2, gx, gy + 16, 2, Rgb(120, 90, 140));
            break;
        case 4:
            c.Polygon({gx - 9, gy - 12, gx + 9, gy - 12, gx + 9, gy + 2, gx, gy + 14, gx - 9, gy + 2}, steel);
            break;
        default:
            c.Polygon({gx, gy - 16, gx + 7, gy + 4, gx, gy + 12, gx - 7, gy + 4}, Rgb(255, 140, 30));
            c.Circle(gx, gy + 4, 4, Rgb(255, 230, 120));
            break;
    }
}

void Bolt(Canvas& c, float x, float y, float s, Colour colour) {
    c.Polygon({x + 4 * s, y - 14 * s, x - 6 * s, y + 2 * s, x, y + 2 * s, x - 4 * s, y + 14 * s, x + 7 * s, y - 3 * s,
               x + 1 * s, y - 3 * s},
              colour);
}

void Coin(Canvas& c, float x, float y, float r) {
    c.Circle(x, y, r, Rgb(180, 130, 20));
    c.Circle(x, y, r * 0.78f, Rgb(250, 205, 60));
    c.Rect(x - r * 0.15f, y - r * 0.45f, x + r * 0.15f, y + r * 0.45f, Rgb(200, 150, 30));
}

void Star(Canvas& c, float x, float y, float r, Colour colour) {
    std::vector<float> p;
    for (int i = 0; i < 10; ++i) {
        float a = -kPiF / 2 + i * kPiF / 5, rr = i % 2 == 0 ? r : r * 0.45f;
        p.push_back(x + rr * std::cos(a));
        p.push_back(y + rr * std::sin(a));
    }
    c.Polygon(p, colour);
}

// Seven-segment digits.
void Digit(Canvas& c, const tex::HudRegion& r, int d) {
    static const int kSegments[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f};
    float x0 = r.tx + 3.0f, x1 = r.tx + r.tw - 3.0f, y0 = r.ty + 2.0f, ym = r.ty + r.th / 2.0f, y1 = r.ty + r.th - 2.0f;
    Colour white = Rgb(255, 255, 255);
    const float seg[7][4] = {{x0, y0, x1, y0}, {x1, y0, x1, ym}, {x1, ym, x1, y1}, {x0, y1, x1, y1},
                             {x0, ym, x0, y1}, {x0, y0, x0, ym}, {x0, ym, x1, ym}};
    for (int s = 0; s < 7; ++s)
        if (kSegments[d] & (1 << s)) c.Line(seg[s][0], seg[s][1], seg[s][2], seg[s][3], 2.5f, white);
}

// The sheet rectangle of a button's second image, (ox, oy) from its first.
struct SecondPlace {
    int x, y, w, h;
    float cx, cy;  // its centre
};
SecondPlace SecondOf(const tex::HudRegion& r) {
    const int x = r.tx + r.ox, y = r.ty + r.oy;
    return {x, y, r.tw, r.th, x + r.tw / 2.0f, y + r.th / 2.0f};
}

// The first image of a button copied to its second place, every pixel through `change`.
void CopyToSecond(Canvas& c, const tex::HudRegion& r, const std::function<Colour(Colour)>& change) {
    const SecondPlace s = SecondOf(r);
    for (int y = 0; y < r.th; ++y)
        for (int x = 0; x < r.tw; ++x) c.Set(s.x + x, s.y + y, change(c.Get(r.tx + x, r.ty + y)));
}

Colour Unchanged(Colour colour) { return colour; }

// The second images: the actions' other state (a resurrection, a hidden defender's
// unveiling, a weapon that does no harm), the spells cooling down, the speed buttons pressed.
void SecondImages(Canvas& c) {
    const Colour gold = Rgb(255, 215, 0), white = Rgb(245, 245, 245);
    // Heal: raising the dead, a cross over a rising arrow in gold.
    const tex::HudRegion& heal = Region("Heal");
    ButtonFace(c, {heal.name, heal.tx + heal.ox, heal.ty + heal.oy, heal.tw, heal.th}, Rgb(240, 200, 60));
    SecondPlace s = SecondOf(heal);
    c.Rect(s.cx - 4, s.cy - 18, s.cx + 4, s.cy + 6, gold);
    c.Rect(s.cx - 12, s.cy - 10, s.cx + 12, s.cy - 3, gold);
    c.Polygon({s.cx - 12, s.cy + 16, s.cx, s.cy + 6, s.cx + 12, s.cy + 16}, white);
    // Teleport and the hit-point upgrade: the same sign in a warmer light.
    for (const char* name : {"Teleport", "UpgradeHP"})
        CopyToSecond(c, Region(name),
                     [](Colour p) { return p.a == 0 ? p : canvas::Mix(p, Rgb(255, 200, 120, p.a), 0.3f); });
    // HideShow: the eye shut, for a defender to come out of hiding.
    const tex::HudRegion& hide = Region("HideShow");
    CopyToSecond(c, hide, &Unchanged);
    s = SecondOf(hide);
    c.Ellipse(s.cx, s.cy, 19, 11, canvas::Mix(Rgb(60, 66, 82), Rgb(150, 150, 150), 0.25f));
    c.Line(s.cx - 18, s.cy, s.cx + 18, s.cy, 3, white);
    for (int k = -2; k <= 2; ++k) c.Line(s.cx + k * 7.0f, s.cy + 1, s.cx + k * 8.0f, s.cy + 8, 2, white);
    // UpgradeWeapon: a staff with a healing cross, the weapon that hurts nobody.
    const tex::HudRegion& weapon = Region("UpgradeWeapon");
    ButtonFace(c, {weapon.name, weapon.tx + weapon.ox, weapon.ty + weapon.oy, weapon.tw, weapon.th},
               Rgb(120, 200, 120));
    s = SecondOf(weapon);
    c.Line(s.cx - 12, s.cy + 16, s.cx + 6, s.cy - 12, 3, Rgb(150, 100, 40));
    c.Rect(s.cx + 2, s.cy - 20, s.cx + 8, s.cy - 4, Rgb(60, 220, 80));
    c.Rect(s.cx - 3, s.cy - 15, s.cx + 13, s.cy - 9, Rgb(60, 220, 80));
    c.Rect(s.cx + 10, s.cy + 2, s.cx + 14, s.cy + 14, white);
    c.Rect(s.cx + 6, s.cy + 6, s.cx + 18, s.cy + 10, white);
    // Sell: the coin with the hand-back arrow.
    const tex::HudRegion& sell = Region("Sell");
    CopyToSecond(c, sell, &Unchanged);
    s = SecondOf(sell);
    c.Polygon({s.cx + 6, s.cy + 10, s.cx + 20, s.cy + 18, s.cx + 6, s.cy + 26}, white);
    // The spells cooling down: dimmed, an hourglass over them.
    for (const char* name : {"Slow", "Firestorm", "Lightning"}) {
        const tex::HudRegion& spell = Region(name);
        CopyToSecond(c, spell, [](Colour p) {
            return p.a == 0 ? p : canvas::Shade(canvas::Mix(p, Rgb(128, 128, 128, p.a), 0.6f), 0.6f);
        });
        s = SecondOf(spell);
        c.Polygon({s.cx - 10, s.cy - 14, s.cx + 10, s.cy - 14, s.cx, s.cy}, white);
        c.Polygon({s.cx, s.cy, s.cx + 10, s.cy + 14, s.cx - 10, s.cy + 14}, white);
    }
    // The speed buttons pressed: darker, the sign pushed in by two pixels.
    for (const char* name : {"Pause", "NormalSpeed", "DoubleSpeed", "MainMenu"}) {
        const tex::HudRegion& speed = Region(name);
        s = SecondOf(speed);
        for (int y = 0; y < speed.th; ++y)
            for (int x = 0; x < speed.tw; ++x) {
                const int fx = std::max(x - 2, 0), fy = std::max(y - 2, 0);
                const Colour p = c.Get(speed.tx + fx, speed.ty + fy);
                c.Set(s.x + x, s.y + y, p.a == 0 ? p : canvas::Shade(p, 0.7f));
            }
        c.RoundRect(s.x + 5.0f, s.y + 5.0f, s.x + s.w - 5.0f, s.y + s.h - 5.0f, 6, Rgb(255, 215, 0, 40));
    }
}

Canvas HudSheet() {
    Canvas c(tex::kHudSize, tex::kHudSize);
    DefenderButton(c, "Swordman", Rgb(60, 90, 200), 0);
    DefenderButton(c, "Archer", Rgb(40, 140, 60), 1);
    DefenderButton(c, "Priest", Rgb(230, 230, 210), 2);
    DefenderButton(c, "Necromancer", Rgb(90, 50, 120), 3);
    DefenderButton(c, "Heavy Warrior", Rgb(130, 130, 140), 4);
    DefenderButton(c, "Mage", Rgb(50, 60, 180), 5);

    auto centre = [](const tex::HudRegion& r, float* x, float* y) {
        *x = r.tx + r.tw / 2.0f;
        *y = r.ty + r.th / 2.0f;
    };
    float x, y;
    const tex::HudRegion& attack = Region("Attack");
    ButtonFace(c, attack, Rgb(200, 40, 30));
    centre(attack, &x, &y);
    c.Line(x - 14, y + 14, x + 14, y - 14, 4, Rgb(220, 225, 235));
    c.Line(x - 14, y - 14, x + 14, y + 14, 4, Rgb(220, 225, 235));
    const tex::HudRegion& frame = Region("Frame");
    // The top bar's lower edge, tiled along it: a gold line over a short shadow, clear below.
    c.Rect(float(frame.tx), float(frame.ty), float(frame.tx + frame.tw), frame.ty + 3.0f, Rgb(255, 215, 0));
    for (int k = 0; k < 8; ++k)
        c.Rect(float(frame.tx), frame.ty + 3.0f + k, float(frame.tx + frame.tw), frame.ty + 4.0f + k,
               Rgb(0, 0, 0, 120 - k * 15));

    const tex::HudRegion& heal = Region("Heal");
    ButtonFace(c, heal, Rgb(40, 200, 60));
    centre(heal, &x, &y);
    c.Rect(x - 5, y - 16, x + 5, y + 16, Rgb(60, 220, 80));
    c.Rect(x - 16, y - 5, x + 16, y + 5, Rgb(60, 220, 80));
    const tex::HudRegion& teleport = Region("Teleport");
    ButtonFace(c, teleport, Rgb(60, 120, 255));
    centre(teleport, &x, &y);
    for (int k = 0; k < 3; ++k) c.Ring(x, y, 18.0f - k * 6, 3, Rgb(110, 170, 255));
    const tex::HudRegion& hide = Region("HideShow");
    ButtonFace(c, hide, Rgb(150, 150, 150));
    centre(hide, &x, &y);
    c.Ellipse(x, y, 18, 10, Rgb(240, 240, 240));
    c.Circle(x, y, 7, Rgb(60, 110, 170));
    c.Circle(x, y, 3, Rgb(10, 10, 10));
    const tex::HudRegion& upHp = Region("UpgradeHP");
    ButtonFace(c, upHp, Rgb(200, 40, 60));
    centre(upHp, &x, &y);
    c.Circle(x - 7, y - 4, 8, Rgb(220, 40, 50));
    c.Circle(x + 7, y - 4, 8, Rgb(220, 40, 50));
    c.Polygon({x - 15, y - 1, x + 15, y - 1, x, y + 16}, Rgb(220, 40, 50));
    c.Rect(x + 10, y - 20, x + 14, y - 8, Rgb(255, 255, 255));
    c.Rect(x + 6, y - 16, x + 18, y - 12, Rgb(255, 255, 255));
    const tex::HudRegion& upWeapon = Region("UpgradeWeapon");
    ButtonFace(c, upWeapon, Rgb(200, 200, 220));
    centre(upWeapon, &x, &y);
    // Golden, as the weapon's value over a selected unit is yellow.
    c.Line(x - 12, y + 14, x + 8, y - 10, 4, Rgb(255, 215, 0));
    c.Line(x - 12, y + 2, x, y + 14, 3, Rgb(150, 100, 40));
    c.Rect(x + 10, y - 20, x + 14, y - 8, Rgb(255, 255, 255));
    c.Rect(x + 6, y - 16, x + 18, y - 12, Rgb(255, 255, 255));
    const tex::HudRegion& sell = Region("Sell");
    ButtonFace(c, sell, Rgb(250, 205, 60));
    centre(sell, &x, &y);
    Coin(c, x, y, 17);

    const tex::HudRegion& slow = Region("Slow");
    ButtonFace(c, slow, Rgb(90, 170, 255));
    centre(slow, &x, &y);
    for (int k = 0; k < 3; ++k) {
        float a = k * kPiF / 3;
        c.Line(x - 17 * std::cos(a), y - 17 * std::sin(a), x + 17 * std::cos(a), y + 17 * std::sin(a), 3,
               Rgb(200, 235, 255));
    }
    const tex::HudRegion& fire = Region("Firestorm");
    ButtonFace(c, fire, Rgb(255, 100, 20));
    centre(fire, &x, &y);
    c.Polygon({x - 16, y + 16, x - 10, y - 6, x - 4, y + 4, x, y - 18, x + 6, y + 2, x + 11, y - 8, x + 16, y + 16},
              Rgb(250, 110, 20));
    c.Polygon({x - 8, y + 16, x - 3, y, x, y + 6, x + 4, y - 6, x + 9, y + 16}, Rgb(255, 220, 80));
    const tex::HudRegion& lightning = Region("Lightning");
    ButtonFace(c, lightning, Rgb(255, 240, 90));
    centre(lightning, &x, &y);
    Bolt(c, x, y, 1.3f, Rgb(255, 240, 90));

    Colour icon = Rgb(235, 235, 235);
    const tex::HudRegion& pause = Region("Pause");
    ButtonFace(c, pause, Rgb(120, 120, 120));
    centre(pause, &x, &y);
    c.Rect(x - 9, y - 11, x - 3, y + 11, icon);
    c.Rect(x + 3, y - 11, x + 9, y + 11, icon);
    const tex::HudRegion& normal = Region("NormalSpeed");
    ButtonFace(c, normal, Rgb(120, 120, 120));
    centre(normal, &x, &y);
    c.Polygon({x - 7, y - 11, x + 10, y, x - 7, y + 11}, icon);
    const tex::HudRegion& fast = Region("DoubleSpeed");
    ButtonFace(c, fast, Rgb(120, 120, 120));
    centre(fast, &x, &y);
    c.Polygon({x - 12, y - 10, x, y, x - 12, y + 10}, icon);
    c.Polygon({x, y - 10, x + 12, y, x, y + 10}, icon);
    const tex::HudRegion& menu = Region("MainMenu");
    ButtonFace(c, menu, Rgb(120, 120, 120));
    centre(menu, &x, &y);
    for (int k = -1; k <= 1; ++k) c.Rect(x - 11, y + k * 7 - 2, x + 11, y + k * 7 + 2, icon);
    SecondImages(c);

    const tex::HudRegion& enemies = Region("Enemies");
    centre(enemies, &x, &y);
    c.Circle(x, y, 10, Rgb(200, 40, 30));
    c.Polygon({x - 10, y - 4, x - 14, y - 15, x - 5, y - 8}, Rgb(230, 220, 200));
    c.Polygon({x + 10, y - 4, x + 14, y - 15, x + 5, y - 8}, Rgb(230, 220, 200));
    const tex::HudRegion& wave = Region("Wave");
    centre(wave, &x, &y);
    for (int k = -1; k <= 1; ++k)
        for (int s = 0; s < 4; ++s) {
            float xa = x - 12 + s * 6, xb = xa + 6;
            c.Line(xa, y + k * 7 + (s % 2 ? 2 : -2), xb, y + k * 7 + (s % 2 ? -2 : 2), 2, Rgb(80, 160, 255));
        }
    const tex::HudRegion& gold = Region("Gold");
    centre(gold, &x, &y);
    Coin(c, x, y, 13);
    const tex::HudRegion& score = Region("Score");
    centre(score, &x, &y);
    Star(c, x, y, 14, Rgb(255, 215, 0));

    for (int d = 0; d <= 9; ++d) Digit(c, Region(("Digit" + std::to_string(d)).c_str()), d);
    const tex::HudRegion& ind1 = Region("Indicator1");
    c.Circle(ind1.tx + 8.0f, ind1.ty + 8.0f, 6, Rgb(60, 220, 80));
    const tex::HudRegion& ind2 = Region("Indicator2");
    c.Circle(ind2.tx + 8.0f, ind2.ty + 8.0f, 6, Rgb(220, 50, 40));
    // The upgrade pips under a unit's hit points (red, as that number and the upgrade's
    // heart) and under its weapon's value (a golden sword, as that number and the
    // upgrade's sword), dark-rimmed to stand out on the grass.
    const tex::HudRegion& ball1 = Region("UpgradeBall1");
    const tex::HudRegion& ball2 = Region("UpgradeBall2");
    for (int k = 0; k < tex::kUpgradePips; ++k) {
        const float hx = ball1.tx + ball1.tw * k + 8.0f, hy = ball1.ty + 8.0f;
        auto heart = [&](float grow, Colour colour) {
            c.Circle(hx - 3, hy - 2, 3.5f + grow, colour);
            c.Circle(hx + 3, hy - 2, 3.5f + grow, colour);
            c.Polygon({hx - 6.5f - grow, hy - 1, hx + 6.5f + grow, hy - 1, hx, hy + 6 + grow}, colour);
        };
        heart(1.5f, Rgb(40, 10, 10));
        heart(0.0f, Rgb(230, 40, 50));
        const float sx = ball2.tx + ball2.tw * k + 8.0f, sy = ball2.ty + 8.0f;
        c.Line(sx - 5, sy + 5, sx + 5, sy - 5, 4.5f, Rgb(60, 40, 0));
        c.Line(sx - 5, sy + 5, sx + 5, sy - 5, 2.5f, Rgb(255, 215, 0));
        c.Line(sx - 6, sy + 1, sx - 1, sy + 6, 2.0f, Rgb(150, 100, 40));
    }
    const tex::HudRegion& rect1 = Region("ColorRect1");
    c.Rect(float(rect1.tx), float(rect1.ty), float(rect1.tx + rect1.tw), float(rect1.ty + rect1.th),
           Rgb(255, 255, 255));
    const tex::HudRegion& rect2 = Region("ColorRect2");
    c.Rect(float(rect2.tx), float(rect2.ty), float(rect2.tx + rect2.tw), float(rect2.ty + rect2.th), Rgb(0, 0, 0));

    // The bevels: a rim over a button's edge, clear inside; the bright one lit from below.
    for (const char* name : {"Bevel1", "Bevel2"}) {
        const tex::HudRegion& r = Region(name);
        const bool bright = std::strcmp(name, "Bevel2") == 0;
        const Colour light = bright ? Rgb(255, 225, 120, 230) : Rgb(200, 205, 220, 200);
        const Colour dark = bright ? Rgb(150, 100, 20, 230) : Rgb(20, 22, 30, 220);
        const float x0 = float(r.tx), y0 = float(r.ty), x1 = float(r.tx + r.tw), y1 = float(r.ty + r.th);
        c.Rect(x0, y0, x1, y0 + 3, bright ? dark : light);
        c.Rect(x0, y0, x0 + 3, y1, bright ? dark : light);
        c.Rect(x0, y1 - 3, x1, y1, bright ? light : dark);
        c.Rect(x1 - 3, y0, x1, y1, bright ? light : dark);
    }
    const Colour bars[3] = {Rgb(60, 220, 80), Rgb(240, 210, 40), Rgb(220, 50, 40)};
    for (int k = 0; k < 3; ++k) {
        const tex::HudRegion& r = Region(("HealthBar" + std::to_string(k + 1)).c_str());
        c.Rect(float(r.tx), float(r.ty), float(r.tx + r.tw), float(r.ty + r.th), canvas::Shade(bars[k], 0.5f));
        c.Rect(r.tx + 1.0f, r.ty + 1.0f, r.tx + r.tw - 1.0f, r.ty + r.th - 1.0f, bars[k]);
    }
    const tex::HudRegion& result = Region("Result");
    c.RoundRect(float(result.tx), float(result.ty), float(result.tx + result.tw), float(result.ty + result.th), 16,
                Rgb(180, 140, 40, 240));
    c.RoundRect(result.tx + 6.0f, result.ty + 6.0f, result.tx + result.tw - 6.0f, result.ty + result.th - 6.0f, 12,
                Rgb(40, 40, 60, 235));
    return c;
}

}  // namespace

DATABUILDER_WRITER(textures, 30) {
    // The defaults models fall back on: a quiet grey checker and a flat normal map.
    Canvas fallback(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            fallback.Set(x, y, ((x / 8 + y / 8) % 2) ? Rgb(150, 150, 150) : Rgb(118, 118, 118));
    WriteDds(out, tex::kDefaultTexture, fallback, ddswriter::Format::DXT1);
    WriteDds(out, tex::kDefaultBumpTexture, Canvas(64, 64, Rgb(128, 128, 255)), ddswriter::Format::DXT1);

    WriteDds(out, WorldPath(tex::kCursors[0]), ArrowCursor(), ddswriter::Format::DXT5);
    WriteDds(out, WorldPath(tex::kCursors[1]), LeftRightCursor(), ddswriter::Format::DXT5);
    WriteDds(out, WorldPath(tex::kCursors[2]), SandglassCursor(), ddswriter::Format::DXT5);

    WriteDds(out, WorldPath(tex::kParticleSprite), Glow(64, Rgb(255, 255, 255), 31, 1.0f), ddswriter::Format::DXT5);
    WriteDds(out, WorldPath(tex::kBlobShadowSprite), Glow(tex::kBlobShadowSize, Rgb(0, 0, 0), 60, 0.7f),
             ddswriter::Format::DXT5);
    WriteDds(out, WorldPath(tex::kSmokeSprite), Smoke(64), ddswriter::Format::DXT5);
    WriteDds(out, WorldPath(tex::kRingSprite), RingSprite(64, 27, 4), ddswriter::Format::DXT5);
    WriteDds(out, WorldPath(tex::kCrossSprite), CrossSprite(64), ddswriter::Format::DXT5);
    WriteDds(out, WorldPath(tex::kStreakSprite), StreakSprite(16, 64), ddswriter::Format::DXT5);
    WriteDds(out, WorldPath(tex::kFlameSheet), FlameSheet(), ddswriter::Format::DXT5);
    int rune = 0;
    for (const char* name : tex::kRuneSprites)
        WriteDds(out, WorldPath(name), RuneSprite(64, rune++), ddswriter::Format::DXT5);
    const Canvas plain = DefaultParticleTexture(tex::kDefaultParticleTextureSize);
    out.Write(WorldPath(tex::kDefaultParticleTexture), bmpwriter::Encode(plain.Data(), plain.Width(), plain.Height()));

    WriteWithBump(out, tex::kPreloaded[0].name, tex::kPreloaded[0].bump, PalaceWall(256), 4);
    WriteWithBump(out, tex::kPreloaded[1].name, tex::kPreloaded[1].bump,
                  Bricks(256, Rgb(160, 70, 50), Rgb(200, 190, 170), 16, 8, 3), 6);
    WriteWithBump(out, tex::kPreloaded[2].name, tex::kPreloaded[2].bump, Flagstones(256, Rgb(150, 150, 145), 5), 5);
    WriteWithBump(out, tex::kPreloaded[3].name, tex::kPreloaded[3].bump, Trim(256), 3);
    WriteWithBump(out, tex::kPreloaded[4].name, tex::kPreloaded[4].bump, LightMap(256, 9), 1);

    for (const models::Texture& t : models::kTextures) {
        Canvas c = ModelTexture(t);
        WriteDds(out, WorldPath(t.dds), c, ddswriter::Format::DXT1);
        if (t.bump != nullptr) WriteDds(out, WorldPath(t.bump), c.NormalMap(3), ddswriter::Format::DXT1);
    }

    const Canvas credits = CreditsImage();
    out.Write(InterfacePath(tex::kCreditsImage),
              pngwriter::Encode(credits.Data(), credits.Width(), credits.Height(), pngwriter::Layout::RGB));
    const Canvas tutorial = TutorialImage();
    out.Write(InterfacePath(tex::kTutorialImage),
              pngwriter::Encode(tutorial.Data(), tutorial.Width(), tutorial.Height(), pngwriter::Layout::RGB));
    WriteDds(out, InterfacePath(tex::kHudTexture), HudSheet(), ddswriter::Format::DXT5);
}
