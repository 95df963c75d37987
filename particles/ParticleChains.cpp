// Chained particles and beams: ribbons whose segments share their edges, trails
// mitred on the screen, and beams from the emitter frame's origin to a particle.
// The trail and the beam work in viewport units (x right, y down) and bring their
// corners back to the world through the camera's inverse view-projection.
#include <cmath>
#include <cstdlib>

#include "particles/Angle256.h"
#include "particles/CEmiter.h"
#include "particles/CParticle.h"
#include "particles/CParticleParams.h"
#include "particles/CParticlesEmiter.h"
#include "particles/CParticlesMesh.h"
#include "particles/CSAngle.h"
#include "particles/ParticleDevice.h"
#include "particles/ParticleHelpers.h"
#include "particles/ParticleMatrixStack.h"
#include "particles/ParticleRenderPaths.h"

using namespace particlerender;
using ParticleMatrixStack::g_State;

namespace {

// What one segment of a chain hands to the next. Chains are drawn one at a time
// and each starts with its first segment, so one state serves them all.
struct ChainState {
    CSVector4 colourB;
    CSVector4 edge[4];         // ribbon: the end edge (+h, -h, crossed +h, crossed -h)
    float orientation[3] = {};  // ribbon: yaw, pitch, roll of the end
    float screenEdge[2][3] = {};  // trail: the end edge on the screen, first and second side
    float screenEnd[3] = {};
    float halfWidth = 0.0f;
    bool trailValid = false;  // the end projected; otherwise the next segment starts afresh
};
ChainState g_chain;

int32_t Trunc(float v) { return TruncToInt32(v); }

// Half the strip width at the particle's size.
float StripHalfWidth(const CParticleParams& block, const CParticle& particle) {
    const float size = (block.Flags & CParticleParams::kSizeRowsOff) != 0
                           ? particle.m_fSizeScale
                           : Value(block, particle, CParticleParams::SizeX) * particle.m_fSizeScale;
    return size * block.StripWidth / 2.0f;
}

CSVector4 SegmentColour(const CParticleParams& block, const CParticle& particle, const CSVector4& modulation) {
    return ScaleColour(block, RawColour(block, particle), modulation);
}

// The edge corners of a ribbon at `pos`, turned by its orientation.
void RibbonEdge(const CParticlesEmiter& effect, const CParticleParams& block, const float pos[3], float h,
                const float orientation[3], bool crossed, CSVector4 out[4]) {
    const float yaw = orientation[0], pitch = orientation[1], roll = orientation[2];
    PushMatrix();
    CSVector4 offsets[4] = {{0.0f, h, 0.0f, 0.0f}, {0.0f, -h, 0.0f, 0.0f}, {h, 0.0f, 0.0f, 0.0f}, {-h, 0.0f, 0.0f, 0.0f}};
    SetCurrentRotation256f(64.0f - yaw, roll, pitch);
    g_State.m_mCurrent.TransformVector(offsets[0], offsets[0]);
    g_State.m_mCurrent.TransformVector(offsets[1], offsets[1]);
    if (crossed) {
        SetCurrentRotation256f(64.0f - yaw, roll, 64.0f - pitch);
        g_State.m_mCurrent.TransformVector(offsets[2], offsets[2]);
        g_State.m_mCurrent.TransformVector(offsets[3], offsets[3]);
    }
    ParticleMatrixStack::SetTranslation(pos[0], pos[1], pos[2]);
    ResetCurrentRotation();
    if (block.ParticleSpace != 1) {
        ParticleMatrixStack::ApplyParent();
        CParticlesMesh::SnapToGround(&effect, block, pos[2]);
    }
    for (int i = 0; i < (crossed ? 4 : 2); ++i) {
        g_State.m_mCurrent.TransformPoint(offsets[i], out[i]);
        out[i].w = kQuadW;
    }
    PopMatrix();
}

// The particle on the screen and, with `h`, its half width there.
bool TrailScreen(const CParticlesEmiter& effect, const CEmiter& emitter, const CParticle& particle,
                 const CParticleParams& block, const float* h, float screen[3], float& halfWidth) {
    float pos[3];
    Position(effect, emitter, particle, block, false, pos);
    PushMatrix();
    ParticleMatrixStack::SetTranslation(pos[0], pos[1], pos[2]);
    ResetCurrentRotation();
    if (block.ParticleSpace != 1) {
        ParticleMatrixStack::ApplyParent();
        CParticlesMesh::SnapToGround(&effect, block, pos[2]);
    }
    bool ok = ProjectCurrentTranslation(screen);
    if (ok && h != nullptr) {
        halfWidth = std::fabs(FacingOffsetX(*h) - screen[0]);
        ok = std::isfinite(halfWidth);
    }
    PopMatrix();
    return ok;
}

uint8_t ByteAngle(const float from[3], const float to[3]) {
    return static_cast<uint8_t>(-static_cast<int32_t>(Angle256Between(Trunc(from[0] * 1000.0f), Trunc(from[1] * 1000.0f),
                                                                        Trunc(to[0] * 1000.0f), Trunc(to[1] * 1000.0f))));
}

// p + h x (sin phi, -cos phi), the depth of p.
void Side(const float p[3], float h, int32_t phi, float out[3]) {
    float s, c;
    FastSinCos256(static_cast<uint8_t>(phi), s, c);
    out[0] = p[0] + h * s;
    out[1] = p[1] - h * c;
    out[2] = p[2];
}

// The direction of the joint at the end of a trail segment from the incoming
// direction a and the reversed outgoing one b.
uint8_t JointAngle(uint8_t a, uint8_t b) {
    const int32_t A = a, B = b;
    int32_t m;
    if (A < 128 && B < 128) {
        m = (A + B) / 2;
        if (A >= B) m += 128;
    } else if (A < 128 || B < 128) {
        m = B + (A - B) / 2;
        if (A >= 128) m -= 128;
    } else {
        const int32_t M = A + B - 256;
        m = A < B ? M / 2 + 128 : M / 2;
    }
    return static_cast<uint8_t>(m);
}

// The four screen corners back in the world; false when one does not come back.
bool ScreenQuadToWorld(const float screen[4][3], CSVector4 corners[4]) {
    for (int i = 0; i < 4; ++i)
        if (!ViewportToWorld(screen[i], corners[i])) return false;
    return true;
}

}  // namespace

bool CParticlesMesh::DrawRibbonSegment(CParticlesEmiter& effect, CEmiter& emitter, CParticle& start, CParticle& end,
                                       const CParticleParams& block, bool firstSegment, const CSVector4& modulation) {
    float ps[3], pe[3];
    Position(effect, emitter, start, block, false, ps);
    Position(effect, emitter, end, block, false, pe);
    const CSVector4 colourB = SegmentColour(block, end, modulation);
    const CSVector4 colourA = firstSegment ? SegmentColour(block, start, modulation) : g_chain.colourB;

    const int32_t sx = Trunc(ps[0] * 1000.0f), sy = Trunc(ps[1] * 1000.0f);
    const int32_t ex = Trunc(pe[0] * 1000.0f), ey = Trunc(pe[1] * 1000.0f);
    const float yaw = -static_cast<float>(Angle256Between(sx, sy, ex, ey));
    const int64_t dx = static_cast<int64_t>(ex) - sx, dy = static_cast<int64_t>(ey) - sy;
    const float pitch = static_cast<float>(Angle256Of(HorizontalDistance(dx, dy), Trunc((ps[2] - pe[2]) * 1000.0f)));
    const bool rollRows = (block.Flags & CParticleParams::kRotationRowsOff) == 0;
    auto roll = [&](const CParticle& p) {
        return p.m_vAngles.y + (rollRows ? Value(block, p, CParticleParams::RotationY) : 0.0f);
    };
    const float endOrientation[3] = {yaw, pitch, roll(end)};
    const bool crossed = block.ChainMode == 2;

    CSVector4 startEdge[4], endEdge[4];
    if (firstSegment) {
        const float startOrientation[3] = {yaw, pitch, roll(start)};
        RibbonEdge(effect, block, ps, StripHalfWidth(block, start), startOrientation, crossed, startEdge);
    } else {
        for (int i = 0; i < 4; ++i) startEdge[i] = g_chain.edge[i];
    }
    RibbonEdge(effect, block, pe, StripHalfWidth(block, end), endOrientation, crossed, endEdge);

    g_chain.colourB = colourB;
    for (int i = 0; i < 4; ++i) g_chain.edge[i] = endEdge[i];
    for (int i = 0; i < 3; ++i) g_chain.orientation[i] = endOrientation[i];
    if (colourA.w == 0.0f && colourB.w == 0.0f) return false;

    float uvs[8];
    CSTexture* texture = nullptr;
    ComputeQuadUVs(start, &end, block, uvs, texture);
    const CSVector4 quad[4] = {startEdge[0], endEdge[0], startEdge[1], endEdge[1]};
    HandOver(texture, quad, colourA, colourB, uvs, block);
    if (crossed) {
        const CSVector4 cross[4] = {startEdge[2], endEdge[2], startEdge[3], endEdge[3]};
        HandOver(texture, cross, colourA, colourB, uvs, block);
    }
    return true;
}

bool CParticlesMesh::DrawTrailSegment(CParticlesEmiter& effect, CEmiter& emitter, CParticle& start, CParticle& end,
                                      CParticle* following, const CParticleParams& block, bool firstSegment,
                                      const CSVector4& modulation) {
    const CSVector4 colourB = SegmentColour(block, end, modulation);
    const CSVector4 colourA = firstSegment ? SegmentColour(block, start, modulation) : g_chain.colourB;
    g_chain.colourB = colourB;

    const bool fresh = firstSegment || !g_chain.trailValid;
    float s[3], e[3], f[3];
    float hs = 0.0f, he = 0.0f, unused = 0.0f;
    const float hStart = StripHalfWidth(block, start), hEnd = StripHalfWidth(block, end);
    bool ok = true;
    if (fresh) {
        ok = TrailScreen(effect, emitter, start, block, &hStart, s, hs);
    } else {
        for (int i = 0; i < 3; ++i) s[i] = g_chain.screenEnd[i];
        hs = g_chain.halfWidth;
    }
    const bool endOk = TrailScreen(effect, emitter, end, block, &hEnd, e, he);
    const bool withFollowing =
        following != nullptr && TrailScreen(effect, emitter, *following, block, nullptr, f, unused);
    g_chain.trailValid = endOk;
    if (!ok || !endOk) return false;

    const uint8_t a = ByteAngle(e, s);
    float screen[4][3];
    if (fresh) {
        Side(s, hs, a + 64, screen[0]);
        Side(s, hs, a - 64, screen[2]);
    } else {
        for (int i = 0; i < 3; ++i) {
            screen[0][i] = g_chain.screenEdge[0][i];
            screen[2][i] = g_chain.screenEdge[1][i];
        }
    }
    if (withFollowing) {
        const uint8_t m = JointAngle(a, ByteAngle(e, f));
        Side(e, he, m, screen[1]);
        Side(e, he, m + 128, screen[3]);
    } else {
        Side(e, he, a + 64, screen[1]);
        Side(e, he, a - 64, screen[3]);
    }
    for (int i = 0; i < 3; ++i) {
        g_chain.screenEdge[0][i] = screen[1][i];
        g_chain.screenEdge[1][i] = screen[3][i];
        g_chain.screenEnd[i] = e[i];
    }
    g_chain.halfWidth = he;
    if (colourA.w == 0.0f && colourB.w == 0.0f) return false;

    CSVector4 corners[4];
    if (!ScreenQuadToWorld(screen, corners)) return false;
    HandOverQuad(start, &end, block, corners, colourA, colourB);
    return true;
}

bool CParticlesMesh::DrawBeamParticle(const CSVector4& anchor, CParticlesEmiter& effect, CEmiter& emitter,
                                      CParticle& particle, const CParticleParams& block, const CSVector4& modulation) {
    CSVector4 colour;
    if (!VisibleColour(block, particle, modulation, colour)) return false;
    float pos[3];
    Position(effect, emitter, particle, block, false, pos);
    float sx, sy;
    Sizes(block, particle, sx, sy);
    const float hx = sx * block.StripWidth / 2.0f, hy = sy * block.StripWidth / 2.0f;

    // The first end: the origin of the frame below.
    float p0[3], p1[3];
    PushMatrix();
    ParticleMatrixStack::SetTranslation(0.0f, 0.0f, 0.0f);
    ResetCurrentRotation();
    ParticleMatrixStack::ApplyParent();
    const CSVector4 o = g_State.m_mCurrent.GetTranslation();
    bool ok = ProjectCurrentTranslation(p0);
    const float s0 = ok ? std::fabs(FacingOffsetX(hx) - p0[0]) : 0.0f;
    PopMatrix();

    const uint8_t t = Angle256Between(Trunc(o.x), Trunc(o.y), Trunc(anchor.x), Trunc(anchor.y));
    PushMatrix();
    ParticleMatrixStack::SetTranslation(anchor.x, anchor.y, anchor.z);
    SetCurrentRotationZ256(t);
    PushMatrix();
    ParticleMatrixStack::SetTranslation(pos[0], pos[1], pos[2]);
    ResetCurrentRotation();
    ParticleMatrixStack::ApplyParent();
    ok = ProjectCurrentTranslation(p1) && ok;
    const float s1 = ok ? std::fabs(FacingOffsetX(hy) - p1[0]) : 0.0f;
    PopMatrix();
    PopMatrix();
    if (!ok || !std::isfinite(s0) || !std::isfinite(s1)) return false;

    const ParticleViewportRect viewport = GetParticleViewport();
    const float width = static_cast<float>(viewport.right - viewport.left);
    const float height = static_cast<float>(viewport.bottom - viewport.top);
    auto outside = [&](const float p[3]) { return p[0] < 0.0f || p[0] >= width || p[1] < 0.0f || p[1] >= height; };
    if (outside(p0) || outside(p1)) {
        // An end off the screen: a beam whose screen direction disagrees with its
        // world direction by more than a quarter turn lies behind the camera.
        const int32_t q = Angle256Between(Trunc(p0[0]), Trunc(p0[1]), Trunc(p1[0]), Trunc(p1[1]));
        const int8_t d = static_cast<int8_t>(static_cast<uint8_t>(q + t - Trunc(g_State.m_fCameraYaw) - 128));
        if (std::abs(static_cast<int32_t>(d)) > 64) return false;
    }

    const uint8_t phi = ByteAngle(p1, p0);
    float screen[4][3];
    Side(p0, s0, phi + 64, screen[0]);
    Side(p1, s1, phi + 64, screen[1]);
    Side(p0, s0, phi - 64, screen[2]);
    Side(p1, s1, phi - 64, screen[3]);
    CSVector4 corners[4];
    if (!ScreenQuadToWorld(screen, corners)) return false;
    HandOverQuad(particle, nullptr, block, corners, colour, colour);
    return true;
}
