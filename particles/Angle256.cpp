#include "particles/Angle256.h"

#include <cstdio>
#include <cstdlib>

// round(atan(i / 256) * 256 / 2pi): the angle, in 256ths, whose tangent is i / 256.
const int32_t AngleTable256[257] = {
    0,  0,  0,  0,  1,  1,  1,  1,  1,  1,  2,  2,  2,  2,  2,  2,  3,  3,  3,  3,  3,  3,  3,  4,  4,  4,  4,  4,  4,
    5,  5,  5,  5,  5,  5,  6,  6,  6,  6,  6,  6,  6,  7,  7,  7,  7,  7,  7,  8,  8,  8,  8,  8,  8,  8,  9,  9,  9,
    9,  9,  9,  10, 10, 10, 10, 10, 10, 10, 11, 11, 11, 11, 11, 11, 11, 12, 12, 12, 12, 12, 12, 12, 13, 13, 13, 13, 13,
    13, 13, 14, 14, 14, 14, 14, 14, 14, 15, 15, 15, 15, 15, 15, 15, 16, 16, 16, 16, 16, 16, 16, 17, 17, 17, 17, 17, 17,
    17, 17, 18, 18, 18, 18, 18, 18, 18, 19, 19, 19, 19, 19, 19, 19, 19, 20, 20, 20, 20, 20, 20, 20, 20, 21, 21, 21, 21,
    21, 21, 21, 21, 21, 22, 22, 22, 22, 22, 22, 22, 22, 23, 23, 23, 23, 23, 23, 23, 23, 23, 24, 24, 24, 24, 24, 24, 24,
    24, 24, 25, 25, 25, 25, 25, 25, 25, 25, 25, 25, 26, 26, 26, 26, 26, 26, 26, 26, 26, 27, 27, 27, 27, 27, 27, 27, 27,
    27, 27, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 29, 29, 29, 29, 29, 29, 29, 29, 29, 29, 29, 30, 30, 30, 30, 30,
    30, 30, 30, 30, 30, 30, 31, 31, 31, 31, 31, 31, 31, 31, 31, 31, 31, 31, 32, 32, 32, 32, 32, 32, 32,
};

namespace {
typedef int64_t Wide;  // differences of two int32 coordinates need 33 bits

const Wide kLargeInput = 8388607;  // 2^23 - 1: above it 256 * component could overflow

// Both components are divided by 256 (truncating towards zero) when either is large.
void ScaleLargeInputs(Wide& a, Wide& b) {
    if (a >= kLargeInput || a <= -kLargeInput || b >= kLargeInput || b <= -kLargeInput) {
        a /= 256;
        b /= 256;
    }
}

// T[256 * small / large], small <= large, both non-negative.
Wide T(Wide small, Wide large) { return AngleTable256[(256 * small) / large]; }

uint8_t Low8(Wide v) { return static_cast<uint8_t>(static_cast<uint64_t>(v) & 255u); }

Wide Abs(Wide v) { return v < 0 ? -v : v; }
}  // namespace

uint8_t Angle256Between(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    Wide dx = static_cast<Wide>(x1) - x0;
    if (y0 == y1) return dx < 0 ? 192 : 64;
    Wide dy = static_cast<Wide>(y1) - y0;
    if (dx == 0) return dy < 0 ? 128 : 0;
    ScaleLargeInputs(dx, dy);
    Wide ax = Abs(dx), ay = Abs(dy);
    Wide r;
    if (dx > 0 && dy > 0) r = ay >= ax ? T(ax, ay) : 64 - T(ay, ax);
    else if (dx > 0) r = ay < ax ? 64 + T(ay, ax) : 128 - T(ax, ay);
    else if (dy < 0) r = ax <= ay ? 128 + T(ax, ay) : 192 - T(ay, ax);
    else r = ay < ax ? 192 + T(ay, ax) : -T(ax, ay);
    return Low8(r);
}

uint8_t Angle256Of(int32_t x, int32_t y) {
    if (y == 0) return 0;
    if (x == 0) return y < 0 ? 192 : 64;
    if (x < 0) {
        // The table index would be negative: callers pass a horizontal distance.
        std::fprintf(stderr, "Angle256Of: negative horizontal distance %d\n", static_cast<int>(x));
        std::abort();
    }
    Wide wx = x, wy = y;
    ScaleLargeInputs(wx, wy);
    Wide ay = Abs(wy);
    Wide r;
    if (wy > 0) r = wy < wx ? T(wy, wx) : 64 - T(wx, wy);
    else r = ay < wx ? -T(ay, wx) : T(wx, ay) - 64;
    return Low8(r);
}

uint8_t Angle256OfFull(int32_t x, int32_t y) {
    if (x == 0) return y < 0 ? 192 : 64;
    if (y == 0) return x < 0 ? 128 : 0;
    Wide wx = x, wy = y;
    ScaleLargeInputs(wx, wy);
    Wide ax = Abs(wx), ay = Abs(wy);
    Wide r;
    if (wy > 0 && wx > 0) r = ax < ay ? 64 - T(ax, ay) : T(ay, ax);
    else if (wy > 0) r = ax >= ay ? 128 - T(ay, ax) : 64 + T(ax, ay);
    else if (wx <= 0) r = ay > ax ? 192 - T(ax, ay) : 128 + T(ay, ax);
    else r = ax >= ay ? -T(ay, ax) : T(ax, ay) - 64;
    return Low8(r);
}
