#pragma once
// A small software painter for the procedural sample art: RGBA pixels, shapes
// with anti-aliased edges (coverage by 4 x 4 sub-samples), value noise and
// normal maps. Everything is integer-seeded, so the same calls paint the same
// bytes on every run.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace canvas {

struct Colour {
    uint8_t r, g, b, a;
};

inline Colour Rgb(int r, int g, int b, int a = 255) {
    auto c = [](int v) { return uint8_t(std::min(std::max(v, 0), 255)); };
    return {c(r), c(g), c(b), c(a)};
}

// Colour c with every channel scaled by f (alpha kept).
inline Colour Shade(Colour c, float f) {
    return Rgb(int(std::lround(c.r * f)), int(std::lround(c.g * f)), int(std::lround(c.b * f)), c.a);
}

inline Colour Mix(Colour a, Colour b, float t) {
    auto m = [t](uint8_t x, uint8_t y) { return int(std::lround(x + (y - x) * t)); };
    return Rgb(m(a.r, b.r), m(a.g, b.g), m(a.b, b.b), m(a.a, b.a));
}

// Hash noise in [0, 1) of an integer lattice point.
inline float Hash(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return float(h & 0xffffff) / float(0x1000000);
}

// Smooth value noise with lattice spacing `cell`, wrapping every `period`
// lattice points (so a texture of period x cell texels tiles).
inline float ValueNoise(float x, float y, float cell, int period, uint32_t seed) {
    float fx = x / cell, fy = y / cell;
    int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
    float tx = fx - float(x0), ty = fy - float(y0);
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    auto at = [&](int xi, int yi) {
        return Hash(((xi % period) + period) % period, ((yi % period) + period) % period, seed);
    };
    float a = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * tx;
    float b = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * tx;
    return a + (b - a) * ty;
}

class Canvas {
public:
    Canvas(int width, int height, Colour fill = {0, 0, 0, 0}) : w_(width), h_(height), px_(size_t(width) * height * 4) {
        Fill(fill);
    }
    int Width() const { return w_; }
    int Height() const { return h_; }
    const uint8_t* Data() const { return px_.data(); }
    const std::vector<uint8_t>& Pixels() const { return px_; }

    Colour Get(int x, int y) const {
        const uint8_t* p = &px_[(size_t(y) * w_ + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
    void Set(int x, int y, Colour c) {
        if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
        uint8_t* p = &px_[(size_t(y) * w_ + x) * 4];
        p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = c.a;
    }
    void Fill(Colour c) {
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) Set(x, y, c);
    }
    // Paints c over the pixel with the given coverage (source-over).
    void Blend(int x, int y, Colour c, float coverage) {
        if (x < 0 || y < 0 || x >= w_ || y >= h_ || coverage <= 0) return;
        Colour d = Get(x, y);
        float sa = c.a / 255.0f * std::min(coverage, 1.0f);
        float da = d.a / 255.0f;
        float oa = sa + da * (1 - sa);
        if (oa <= 0) return Set(x, y, {0, 0, 0, 0});
        auto ch = [&](uint8_t s, uint8_t dd) { return int(std::lround((s * sa + dd * da * (1 - sa)) / oa)); };
        Set(x, y, Rgb(ch(c.r, d.r), ch(c.g, d.g), ch(c.b, d.b), int(std::lround(oa * 255))));
    }

    // Fills every pixel whose sub-samples satisfy inside(x, y) (pixel units,
    // centres at + 0.5), within the bounding box.
    void FillShape(float x0, float y0, float x1, float y1, Colour c, const std::function<bool(float, float)>& inside) {
        int ix0 = std::max(0, int(std::floor(x0))), iy0 = std::max(0, int(std::floor(y0)));
        int ix1 = std::min(w_ - 1, int(std::ceil(x1))), iy1 = std::min(h_ - 1, int(std::ceil(y1)));
        for (int y = iy0; y <= iy1; ++y) {
            for (int x = ix0; x <= ix1; ++x) {
                int hits = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx) hits += inside(x + (sx + 0.5f) / 4, y + (sy + 0.5f) / 4) ? 1 : 0;
                if (hits) Blend(x, y, c, hits / 16.0f);
            }
        }
    }

    void Rect(float x0, float y0, float x1, float y1, Colour c) {
        FillShape(x0, y0, x1, y1, c, [&](float x, float y) { return x >= x0 && x < x1 && y >= y0 && y < y1; });
    }
    void RectOutline(float x0, float y0, float x1, float y1, float t, Colour c) {
        Rect(x0, y0, x1, y0 + t, c);
        Rect(x0, y1 - t, x1, y1, c);
        Rect(x0, y0 + t, x0 + t, y1 - t, c);
        Rect(x1 - t, y0 + t, x1, y1 - t, c);
    }
    void RoundRect(float x0, float y0, float x1, float y1, float r, Colour c) {
        FillShape(x0, y0, x1, y1, c, [&](float x, float y) {
            float cx = std::min(std::max(x, x0 + r), x1 - r), cy = std::min(std::max(y, y0 + r), y1 - r);
            return x >= x0 && x < x1 && y >= y0 && y < y1 && (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
        });
    }
    void Ellipse(float cx, float cy, float rx, float ry, Colour c) {
        FillShape(cx - rx, cy - ry, cx + rx, cy + ry, c, [&](float x, float y) {
            float dx = (x - cx) / rx, dy = (y - cy) / ry;
            return dx * dx + dy * dy <= 1;
        });
    }
    void Circle(float cx, float cy, float r, Colour c) { Ellipse(cx, cy, r, r, c); }
    void Ring(float cx, float cy, float r, float t, Colour c) {
        FillShape(cx - r, cy - r, cx + r, cy + r, c, [&](float x, float y) {
            float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
            return d <= r && d >= r - t;
        });
    }
    // A thick segment with round ends.
    void Line(float ax, float ay, float bx, float by, float t, Colour c) {
        float r = t / 2;
        FillShape(std::min(ax, bx) - r, std::min(ay, by) - r, std::max(ax, bx) + r, std::max(ay, by) + r, c,
                  [&](float x, float y) {
                      float vx = bx - ax, vy = by - ay, len = vx * vx + vy * vy;
                      float s = len > 0 ? std::min(std::max(((x - ax) * vx + (y - ay) * vy) / len, 0.0f), 1.0f) : 0;
                      float dx = x - (ax + s * vx), dy = y - (ay + s * vy);
                      return dx * dx + dy * dy <= r * r;
                  });
    }
    // Any simple polygon (even-odd rule); points as x, y pairs.
    void Polygon(const std::vector<float>& xy, Colour c) {
        float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
        for (size_t i = 0; i + 1 < xy.size(); i += 2) {
            x0 = std::min(x0, xy[i]), x1 = std::max(x1, xy[i]);
            y0 = std::min(y0, xy[i + 1]), y1 = std::max(y1, xy[i + 1]);
        }
        size_t n = xy.size() / 2;
        FillShape(x0, y0, x1, y1, c, [&](float x, float y) {
            bool in = false;
            for (size_t i = 0, j = n - 1; i < n; j = i++) {
                float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
                if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
            }
            return in;
        });
    }

    // A tangent-space normal map of a height field taken from this canvas's
    // brightness (wrapping at the edges); strength scales the slopes.
    Canvas NormalMap(float strength) const {
        Canvas out(w_, h_);
        auto height = [&](int x, int y) {
            Colour c = Get(((x % w_) + w_) % w_, ((y % h_) + h_) % h_);
            return (c.r * 0.3f + c.g * 0.59f + c.b * 0.11f) / 255.0f;
        };
        for (int y = 0; y < h_; ++y) {
            for (int x = 0; x < w_; ++x) {
                float dx = (height(x + 1, y) - height(x - 1, y)) * strength;
                float dy = (height(x, y + 1) - height(x, y - 1)) * strength;
                float len = std::sqrt(dx * dx + dy * dy + 1);
                out.Set(x, y,
                        Rgb(int(std::lround((-dx / len * 0.5f + 0.5f) * 255)),
                            int(std::lround((-dy / len * 0.5f + 0.5f) * 255)),
                            int(std::lround((1 / len * 0.5f + 0.5f) * 255))));
            }
        }
        return out;
    }

private:
    int w_, h_;
    std::vector<uint8_t> px_;
};

}  // namespace canvas
