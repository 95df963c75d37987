#include "Maths/Color.h"

#include <cmath>

const Color Color::Red(255, 0, 0);
const Color Color::Salmon(250, 128, 114);
const Color Color::Silver(192, 192, 192);
const Color Color::Snow(255, 250, 250);
const Color Color::Blue(0, 0, 255);
const Color Color::Brown(165, 42, 42);
const Color Color::Black(0, 0, 0);
const Color Color::Cyan(0, 255, 255);
const Color Color::Green(0, 128, 0);
const Color Color::Gray(128, 128, 128);
const Color Color::Gold(255, 215, 0);
const Color Color::Lime(0, 255, 0);
const Color Color::Magenta(255, 0, 255);
const Color Color::Orange(255, 165, 0);
const Color Color::Olive(128, 128, 0);
const Color Color::Pink(255, 192, 203);
const Color Color::Purple(128, 0, 128);
const Color Color::Violet(238, 130, 238);
const Color Color::White(255, 255, 255);
const Color Color::Yellow(255, 255, 0);
const Color Color::YellowGreen(154, 205, 50);

namespace {
float g_float4[4];

// A t outside 0..1 would leave the byte range, and a float out of that range
// has no defined conversion to a byte.
uint8_t LerpChannel(uint8_t from, uint8_t to, float t) {
    const float v = std::trunc(from + (to - from) * t);
    if (!(v > 0.0f)) return 0;
    if (v > 255.0f) return 255;
    return static_cast<uint8_t>(v);
}
}  // namespace

Color::Color(uint32_t packed) : Color() { r = static_cast<uint8_t>(packed >> 24); }

bool Color::operator==(const Color& other) const {
    return r == other.r && g == other.g && b == other.b && a == other.a;
}

bool Color::operator!=(const Color& other) const { return !(*this == other); }

Color Color::Lerp(const Color& from, const Color& to, float t) {
    return Color(LerpChannel(from.r, to.r, t), LerpChannel(from.g, to.g, t), LerpChannel(from.b, to.b, t),
                 LerpChannel(from.a, to.a, t));
}

uint32_t Color::ToARGB() const {
    return (static_cast<uint32_t>(a) << 24) | (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
           static_cast<uint32_t>(b);
}

const float* Color::ToFloat4() const {
    // 1/256, not 1/255: white comes out as 0.99609375.
    const float scale = 0.00390625f;
    g_float4[0] = r * scale;
    g_float4[1] = g * scale;
    g_float4[2] = b * scale;
    g_float4[3] = a * scale;
    return g_float4;
}
