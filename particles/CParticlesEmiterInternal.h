#pragma once
// What the files of CParticlesEmiter share: flag helpers, the emitter pairs and
// ChannelMask options they read, random draws and turned vectors. Private to them.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "particles/CEmiter.h"
#include "particles/CEmiterParams.h"
#include "particles/CSMatrix.h"
#include "particles/CSVector.h"
#include "particles/ParticleFloat3.h"
#include "particles/ParticlePairs.h"
#include "particles/ParticleRandom.h"

namespace emiterinternal {

inline void SetFlag(uint16_t& flags, uint16_t flag, bool on) {
    if (on) flags = static_cast<uint16_t>(flags | flag);
    else flags = static_cast<uint16_t>(flags & ~flag);
}

inline bool Has(uint16_t flags, uint16_t flag) { return (flags & flag) != 0; }

// Emitter pairs read at a particle's birth.
enum EmitPair : int32_t {
    kPairSpeedScale = CEmiterParams::SpeedScale / 2,
    kPairSizeScale = CEmiterParams::SizeScale / 2,
    kPairLifeScale = CEmiterParams::LifeScale / 2,
    kPairShapeSizeX = CEmiterParams::ShapeSizeX / 2,
    kPairAzimuthFrom = CEmiterParams::AzimuthFrom / 2,
    kPairAzimuthTo = CEmiterParams::AzimuthTo / 2,
    kPairElevationFrom = CEmiterParams::ElevationFrom / 2,
    kPairElevationTo = CEmiterParams::ElevationTo / 2,
};

// ChannelMask options of emission.
constexpr int32_t kKeepFaceTable = 4;
constexpr int32_t kUnscaledSphere = 8;

// ChannelMask options of the emitter step and of child placement.
constexpr int32_t kHeldOffset = 1;
constexpr int32_t kHeldAngles = 2;

constexpr double kTurnRadians = 6.2831854820251465;

// A fresh draw of the first stream as a factor 0 .. 1.0000305.
inline float DrawnFactor(CEmiter& e) { return UnpackKeyValue(static_cast<uint16_t>(ParticleRandom(e))); }

// An elevation in 256ths whose sine is u; u is at most 1 (the largest draw is just above).
inline float ArcsineElevation(float u) {
    return static_cast<float>(std::asin(std::min(static_cast<double>(u), 1.0)) * 256.0 / kTurnRadians);
}

inline ParticleFloat3 Float3(const CSVector4& v) { return ParticleFloat3{v.x, v.y, v.z}; }

inline ParticleFloat3 Turned(const CSMatrix& m, float x, float y, float z) {
    CSVector4 v(x, y, z, 0.0f);
    m.TransformVector(v, v);
    return Float3(v);
}

// The pairs p, p + 1, p + 2 of an emitter block at `key`, with words[p..p + 2].
inline ParticleFloat3 EmiterTriple(const CEmiterParams& params, int32_t pair, int32_t key, const uint16_t* words) {
    return ParticleFloat3{EmiterPairValue(params, pair, key, words[pair]),
                          EmiterPairValue(params, pair + 1, key, words[pair + 1]),
                          EmiterPairValue(params, pair + 2, key, words[pair + 2])};
}

inline ParticleFloat3 TurnedBy(const CSMatrix* matrix, ParticleFloat3 v) {
    if (matrix != nullptr) CSMatrix::RotateVector3(*matrix, v.x, v.y, v.z);
    return v;
}

}  // namespace emiterinternal
