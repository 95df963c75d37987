#pragma once

#include <cstdint>

// 8-bit RGBA colour, channels in this order in memory.
struct Color {
    uint8_t r;
    uint8_t g;
    uint8_t b;
    uint8_t a;

    // Opaque black.
    constexpr Color() : r(0), g(0), b(0), a(255) {}
    constexpr Color(uint8_t r_, uint8_t g_, uint8_t b_) : r(r_), g(g_), b(b_), a(255) {}
    constexpr Color(uint8_t r_, uint8_t g_, uint8_t b_, uint8_t a_) : r(r_), g(g_), b(b_), a(a_) {}
    // Takes only red, from bits 24 to 31; the other channels stay opaque black.
    explicit Color(uint32_t packed);

    bool operator==(const Color& other) const;
    bool operator!=(const Color& other) const;

    // Per channel from + (to - from) t, truncated toward zero and held to 0..255.
    static Color Lerp(const Color& from, const Color& to, float t);

    // (a << 24) | (r << 16) | (g << 8) | b, the Direct3D colour form.
    uint32_t ToARGB() const;
    // r, g, b, a times 1/256 in one shared scratch array that the next call
    // overwrites: copy the four floats before calling again.
    const float* ToFloat4() const;

    static const Color Red;
    static const Color Salmon;
    static const Color Silver;
    static const Color Snow;
    static const Color Blue;
    static const Color Brown;
    static const Color Black;
    static const Color Cyan;
    static const Color Green;
    static const Color Gray;
    static const Color Gold;
    static const Color Lime;
    static const Color Magenta;
    static const Color Orange;
    static const Color Olive;
    static const Color Pink;
    static const Color Purple;
    static const Color Violet;
    static const Color White;
    static const Color Yellow;
    static const Color YellowGreen;
};
