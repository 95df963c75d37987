#pragma once
// The particle vertex batches: every visible effect hands its particles over as
// textured quads during the scene update; they collect in one batch per
// texture, blending, addressing and sort key, and after the scene's models the
// batches are sorted and each drawn with one indexed call per 256 quads.
// Batches are kept from frame to frame so that steady effects allocate nothing.
#include <cstdint>

#include "Graphics/GraphicsDeviceVertices.h"
#include "particles/CSArray.h"
#include "particles/CSVector.h"

class CEmiter;
class CParticlesEmiter;
class CSTexture;

struct ParticleBatch {
    CSTexture* m_pTexture = nullptr;  // not counted
    uint8_t m_bAlphaBlended = 1;      // 0: additive
    uint8_t m_bWrap = 1;              // 0: clamp
    int32_t m_nSortKey = 0;
    uint8_t m_bActive = 0;
    CSArray<Graphics::ParticleQuadVertex> m_arrVertices;  // four per quad: corners 0, 2, 1, 3
};

// A batch's vertex memory above this many vertices is given back at the next
// frame's begin unless the batch filled at least a quarter of it.
constexpr uint32_t kParticleBatchKeptVertices = 32768;

// The process-wide batch list; the active batches form its front.
CSArray<ParticleBatch*>& ParticleBatches();

// The first inactive batch (made active with this key and emptied) or the
// active batch of this key, whichever the walk from the front meets first; a
// new batch at the end when there is neither.
ParticleBatch* GetParticleBatch(CSTexture* texture, bool alphaBlended, bool wrap, int32_t sortKey);

// One quad: corners 0 to 3 as (x, y, z, w), colours r, g, b, a on 0..255 (A
// for corners 0 and 2, B for 1 and 3), one (u, v) pair per corner. A line quad
// (|w| above 0.02: corners 0 and 2 at the top centre, 1 and 3 at the bottom
// centre, w minus or plus the half width) is widened into a band of twice the
// half width across the segment as the camera sees it.
void AddParticleQuad(CSTexture* texture, const CSVector4 corners[4], const CSVector4& colourA, const CSVector4& colourB,
                     const float uvs[8], bool alphaBlended, bool wrap, int32_t sortKey);

// A8R8G8B8 of channels clamped to 0..255 and truncated; additive colours carry
// their alpha in r, g and b and an alpha byte of 0.
uint32_t PackParticleColour(const CSVector4& rgba, bool alphaBlended);

// Every batch inactive with the default key and no vertices; large vertex
// memory that was little used last frame is freed.
void ParticlesBeginFrame();
// Sorts the batches (sort key x 256 + additive, inactive last) and draws the
// active ones in that order.
void ParticlesFlush();
void DrawParticleBatch(const ParticleBatch& batch);
// Deletes every batch and frees the list.
void ReleaseParticleBatches();

// Single-vertex submission: every third vertex completes a triangle, handed
// with the draw's texture and states to DrawParticleTriangles.
void AddParticleTriangleVertex(const Graphics::ParticleQuadVertex& vertex, CSTexture* texture, bool additive,
                               bool clamp);
// Draws nothing: what is submitted vertex by vertex never shows. Whole
// triangle lists go to DrawParticleTriangleList.
void DrawParticleTriangles(const Graphics::ParticleQuadVertex* triangle, CSTexture* texture, bool additive, bool clamp);

// Where a host could filter what the renderer draws and the lights it emits,
// or convert what it hands to the batches. Here every test answers true and
// every conversion returns its argument.
bool MayDrawEmitterSet(const CParticlesEmiter& effect);
bool MayDrawEmitter(const CParticlesEmiter& effect, const CEmiter& emitter);
bool MayEmitLights(const CParticlesEmiter& effect, const CEmiter& emitter);
CSTexture* ConvertParticleTexture(CSTexture* texture);
uint32_t ConvertParticleColour(uint32_t colour);
CSVector4 ConvertParticlePosition(const CSVector4& position);
