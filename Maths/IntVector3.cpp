#include "Maths/IntVector3.h"

#include "Maths/FixedTrig.h"

namespace {
// int32 arithmetic that wraps on overflow: signed overflow is undefined behaviour,
// which the optimiser may turn into any result, and a replayed or restored battle must
// reach the same distances and angles as the one recorded, far-apart points included.
int32_t Wrap(uint32_t v) { return static_cast<int32_t>(v); }

int32_t Sub(int32_t a, int32_t b) { return Wrap(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }

int32_t Mul(int32_t a, int32_t b) { return Wrap(static_cast<uint32_t>(a) * static_cast<uint32_t>(b)); }

int32_t Add(int32_t a, int32_t b) { return Wrap(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
}  // namespace

IntVector3& IntVector3::Set(int32_t x_, int32_t y_, int32_t z_) {
    x = x_;
    y = y_;
    z = z_;
    return *this;
}

int32_t IntVector3DistanceSquared(const IntVector3& a, const IntVector3& b) {
    const int32_t dx = Sub(a.x, b.x);
    const int32_t dy = Sub(a.y, b.y);
    const int32_t dz = Sub(a.z, b.z);
    return Add(Add(Mul(dx, dx), Mul(dy, dy)), Mul(dz, dz));
}

int32_t IntVector3Dot(const IntVector3& a, const IntVector3& b) {
    return Add(Add(Mul(a.x, b.x), Mul(a.y, b.y)), Mul(a.z, b.z));
}

void IntVector3Cross(const IntVector3& a, const IntVector3& b, IntVector3& out) {
    const IntVector3 r(Sub(Mul(a.y, b.z), Mul(a.z, b.y)), Sub(Mul(a.z, b.x), Mul(a.x, b.z)),
                       Sub(Mul(a.x, b.y), Mul(a.y, b.x)));
    out = r;
}

int32_t IntVector3Angle(const IntVector3& a, const IntVector3& b) { return FixedAcosScaled(IntVector3Dot(a, b)); }
