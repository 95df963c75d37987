#pragma once
// What the render paths share: a particle's row values with its own random words,
// its colour, place and size, the counting of visited particles, the emitter frames
// of the draw and of the object pass, and the screen projection of the trail and
// the beam.
#include <cstdint>

#include "particles/CSVector.h"

class CEmiter;
class CParticle;
class CParticleParams;
class CParticlesEmiter;
class CSTexture;

namespace particlerender {

constexpr float kSkipAlpha = 0.00001f;
constexpr float kQuadW = 0.01f;

// The random word of the pair whose base row is `row`: offsets 0 to 2, rotations 3
// to 5, red, green, blue 6 to 8, alpha 9, speed 10, sizes 11 to 13.
int32_t PairWord(int32_t row);
// The pair of `row` for the particle at its age.
float Value(const CParticleParams& block, const CParticle& particle, int32_t row);

// Colour on 0..1 after the tint (white with flags bit 0x8); the alpha before scaling.
CSVector4 RawColour(const CParticleParams& block, const CParticle& particle);
// RawColour scaled to 0..255: by the modulation colour unless untinted.
CSVector4 ScaleColour(const CParticleParams& block, const CSVector4& raw, const CSVector4& modulation);
// The particle's colour scaled to 0..255, or false when it is too faint to draw.
bool VisibleColour(const CParticleParams& block, const CParticle& particle, const CSVector4& modulation,
                   CSVector4& colour);

// The particle's place in its frame: its own position (turned by the emitter's yaw
// when `withYaw`), or the position rows with its scale, own matrix and position and,
// in absolute space, the ground it follows.
void Position(const CParticlesEmiter& effect, const CEmiter& emitter, const CParticle& particle,
              const CParticleParams& block, bool withYaw, float out[3]);
// Sizes x and y: the size factor alone with flags bit 0x4, else rows 6 and 8 times it.
void Sizes(const CParticleParams& block, const CParticle& particle, float& sx, float& sy);

// One visited particle in the hosted or unhosted counter.
void Count(const CParticlesEmiter& effect, int32_t n = 1);
bool Accepted(const CParticlesEmiter& effect, const CEmiter& emitter, const CParticle& particle);

// The effect frame of Draw steps 1 and 2: the current matrix, the three effect
// angles and the origin.
struct EffectFrame {
    int32_t angles[3] = {0, 0, 0};
    float origin[3] = {0.0f, 0.0f, 0.0f};
};
void SetEffectFrame(const CParticlesEmiter& effect, EffectFrame& frame);

// The offset and emitter frames of one emitter, undone by End in reverse order.
class EmitterFrame {
public:
    void Begin(const CParticlesEmiter& effect, const CEmiter& emitter, const CParticleParams& block,
               const EffectFrame& frame);
    void End();

private:
    bool offsetPushed_ = false;
    bool emitterPushed_ = false;
    bool saved_ = false;
    float savedMatrix_[16];
};

// A point of the world (or of the current frame) in viewport units: x right, y down,
// z the depth after the divide. False when w is 0 or not finite.
bool ProjectCurrentTranslation(float out[3]);
// Viewport x of the point `h` along the second axis of the camera-facing frame at
// the current translation (the rotation of the current matrix is replaced).
float FacingOffsetX(float h);
// A viewport point back to the world through the camera's inverse view-projection.
bool ViewportToWorld(const float screen[3], CSVector4& world);

// The quad's texture and hand-over.
void HandOver(CSTexture* texture, const CSVector4 corners[4], const CSVector4& colourA, const CSVector4& colourB,
              const float uvs[8], const CParticleParams& block);
// The quad with the texture frame of `particle` (of the stretch to `next` on a chain).
void HandOverQuad(const CParticle& particle, const CParticle* next, const CParticleParams& block,
                  const CSVector4 corners[4], const CSVector4& colourA, const CSVector4& colourB);

}  // namespace particlerender
