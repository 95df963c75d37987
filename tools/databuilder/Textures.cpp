// The sample textures: defaults, cursors, particle sprites (with the particle
// library's default bitmap), the world and model
// textures with their bump (normal) maps, the interface images and the HUD sheet
// (painted in TexturesHud.cpp).
#include <algorithm>
#include <cmath>
#include <string>

#include "tools/catalogue/Config.h"
#include "tools/catalogue/Models.h"
#include "tools/catalogue/Textures.h"
#include "tools/databuilder/BmpWriter.h"
#include "tools/databuilder/Builder.h"
#include "tools/databuilder/Canvas.h"
#include "tools/databuilder/DdsWriter.h"
#include "tools/databuilder/PngWriter.h"
#include "tools/databuilder/TexturesHud.h"

namespace {

using canvas::Canvas;
using canvas::Colour;
using canvas::Rgb;
namespace cfg = catalogue::config;
namespace tex = catalogue::textures;
namespace models = catalogue::models;

using databuilder::kPiF;

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
    WriteDds(out, InterfacePath(tex::kHudTexture), databuilder::HudSheet(), ddswriter::Format::DXT5);
}
