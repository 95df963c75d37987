#include "Maths/FixedTrig.h"

#include <cmath>
#include <cstddef>

namespace {
const double kPi = 3.14159265358979323846;

// Four separate arrays rather than one record, so that a stray index cannot
// quietly read a neighbouring table.
int32_t g_sine[360];
int32_t g_cosine[360];
int32_t g_arcSine[361];
int32_t g_arcCosine[361];

struct TableFix {
    int index;
    int32_t value;
};

// Entries the game's tables have always held one unit away from the plain
// truncation; they are kept so that integer game logic plays out unchanged.
const TableFix kSineFixes[] = {{30, 500}, {150, 500}, {330, -499}};
const TableFix kCosineFixes[] = {{60, 499}, {120, -500}, {240, -499}, {300, 499}};
const TableFix kArcSineFixes[] = {{133, -15135}};
const TableFix kArcCosineFixes[] = {{54, 134426}, {101, 116032}, {133, 105135}, {180, 89999}, {270, 59999}};

// Truncation toward zero of a value known in closed form. Where the exact value
// is a whole number (sin 30 = 0.5, acos 0 = 90 ...) double rounding lands just
// below or above it; no other entry comes within 1e-6 of a whole number.
int32_t Truncate(double v) {
    const double nearest = std::nearbyint(v);
    if (std::fabs(v - nearest) < 1e-6) return static_cast<int32_t>(nearest);
    return static_cast<int32_t>(std::trunc(v));
}

template <size_t N>
void ApplyFixes(int32_t* table, const TableFix (&fixes)[N]) {
    for (const TableFix& fix : fixes) table[fix.index] = fix.value;
}

void BuildTables() {
    for (int i = 0; i < 360; ++i) {
        const double radians = i * kPi / 180.0;
        g_sine[i] = Truncate(1000.0 * std::sin(radians));
        g_cosine[i] = Truncate(1000.0 * std::cos(radians));
    }
    for (int i = 0; i <= 360; ++i) {
        const double x = i / 180.0 - 1.0;
        g_arcSine[i] = Truncate(1000.0 * std::asin(x) * 180.0 / kPi);
        g_arcCosine[i] = Truncate(1000.0 * std::acos(x) * 180.0 / kPi);
    }
    ApplyFixes(g_sine, kSineFixes);
    ApplyFixes(g_cosine, kCosineFixes);
    ApplyFixes(g_arcSine, kArcSineFixes);
    ApplyFixes(g_arcCosine, kArcCosineFixes);
}

// Built once, on the first call from any thread; read-only afterwards.
void EnsureTables() {
    static const bool built = (BuildTables(), true);
    (void)built;
}

// Any angle into 0..359. The remainder keeps the sign of the angle, so one
// correction is enough, and -360 and its multiples land on 0 rather than 360.
int32_t ReduceDegrees(int32_t degrees) {
    int32_t a = degrees % 360;
    if (a < 0) a += 360;
    return a;
}

// -1000..1000 onto the 361 arc table entries; -1 outside.
int ArcIndex(int32_t v) {
    if (v < -1000 || v > 1000) return -1;
    return (v + 1000) * 360 / 2000;
}

// The scaled forms have no bound on their input: the products are taken in 64
// bits and the quotient wraps into int32 like the game's 32-bit maths.
int32_t ScaleInt(int32_t v, int64_t mul, int64_t div) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v * mul / div)));
}
}  // namespace

void InitFixedTrig() { EnsureTables(); }

int32_t FixedSin(int32_t degrees) {
    EnsureTables();
    return g_sine[ReduceDegrees(degrees)];
}

int32_t FixedCos(int32_t degrees) {
    EnsureTables();
    return g_cosine[ReduceDegrees(degrees)];
}

int32_t FixedAsin(int32_t v) {
    EnsureTables();
    const int i = ArcIndex(v);
    return i < 0 ? 0 : g_arcSine[i];
}

int32_t FixedAcos(int32_t v) {
    EnsureTables();
    const int i = ArcIndex(v);
    return i < 0 ? 0 : g_arcCosine[i];
}

int32_t FixedScaleToRadians(int32_t v) { return ScaleInt(v, 3141, 180); }

int32_t FixedScaleToDegrees(int32_t v) { return ScaleInt(v, 180000, 3141); }

int32_t FixedSinScaled(int32_t v) { return FixedSin(FixedScaleToDegrees(v)); }

int32_t FixedCosScaled(int32_t v) { return FixedCos(FixedScaleToDegrees(v)); }

int32_t FixedAsinScaled(int32_t v) { return FixedScaleToRadians(FixedAsin(v)); }

int32_t FixedAcosScaled(int32_t v) { return FixedScaleToRadians(FixedAcos(v)); }
