#pragma once
// What the files of CParticlesEmiter share: flag helpers, the emitter pairs and
// ChannelMask options they read, random draws, turned vectors, and the sampling of an
// emitter's shape that places both particles and child emitters. Private to them.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "particles/BoxFaceTable.h"
#include "particles/CEmiter.h"
#include "particles/CEmiterParams.h"
#include "particles/CSMatrix.h"
#include "particles/CSVector.h"
#include "particles/ParticleFloat3.h"
#include "particles/ParticlePairs.h"
#include "particles/ParticleRandom.h"

class CParticlesEmiter;

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

// The angles that turn what stands on each face of an emitter box.
constexpr int32_t kBoxFaceAngles[kBoxFaceCount][3] = {{0, 0, 0},  {0, 0, 128}, {0, 64, 0},
                                                      {0, 0, 64}, {0, 192, 0}, {0, 0, 192}};

// The frame of emitter `e` in the space of what it places (world space or the
// effect's): its rotation, origin and base angles, taken through the effect's origin
// when the two spaces differ.
struct PlacementFrame {
    CSMatrix rotation;
    ParticleFloat3 origin, base;
    CSVector4 effectOrigin;               // the effect's origin, when the spaces differ
    uint8_t effectAngles[3] = {0, 0, 0};  // the effect's angles, likewise
    float restZ = 0.0f;                   // into world space: origin.z without the effect's
};
PlacementFrame FrameOf(CParticlesEmiter& effect, const CEmiter& e, bool world, bool emiterWorld);

// The sizes x, y, z of the shape of emitter `shape` at its frame, with fresh words.
ParticleFloat3 ShapeSize(CEmiter& shape, const CEmiterParams& params);
// ShapeSize of a box, its face table made, or rebuilt when due.
ParticleFloat3 BoxSize(CEmiter& shape, const CEmiterParams& params);
// The face a draw `w` picks from a face table: the first whose running weight
// reaches it, else the last.
int32_t PickBoxFace(const int16_t* table, int32_t w);
// A point on face `face` of a box X x Y x Z centred on the origin in x and y, from
// z = 0 up, drawn from `drawer`.
ParticleFloat3 BoxFacePoint(CEmiter& drawer, int32_t face, float X, float Y, float Z);
// A direction on the sphere of emitter `shape` (its angle ranges at its frame, with
// fresh words) drawn from `drawer`: azimuth and elevation in 256ths, as placed.
void SphereDirection(CEmiter& shape, const CEmiterParams& params, CEmiter& drawer, float& az, float& el);

// The held offset of a placed emitter at key 0, turned by its matrix, from its base
// position; in world space its z follows the ground or its base starts on it.
void HoldOffset(CParticlesEmiter& effect, CEmiter& e, const CEmiterParams& params, bool world);

}  // namespace emiterinternal
