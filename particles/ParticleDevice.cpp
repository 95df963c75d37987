#include "particles/ParticleDevice.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Graphics/GraphicsDevice.h"
#include "Graphics/ParticleHooks.h"
#include "Graphics/Texture2D.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Scene.h"
#include "particles/CSAngle.h"
#include "particles/CSEntityObject.h"
#include "particles/CSMatrix.h"
#include "particles/CSTexture.h"
#include "particles/ParticleBatch.h"
#include "particles/ParticleDetailLevel.h"
#include "particles/ParticleEffectCache.h"
#include "particles/ParticleFrameState.h"
#include "particles/ParticleMatrixStack.h"
#include "shell/ParticleViewHooks.h"

namespace {

constexpr float kHalfPi = 1.5707964f;
constexpr float kTwoPi = 6.2831855f;
constexpr UINT kDynamicWriteOnly = D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC;
constexpr UINT kIndexBufferBytes = kParticleQuadsPerDraw * 6 * sizeof(uint16_t);
// The library's constant direction the facing angles are taken from.
const float kFacingDirection[4] = {0.0f, 0.0f, 1.0f, 0.0f};

Graphics::GraphicsDevice* g_graphics = nullptr;
IDirect3D9* g_d3d = nullptr;
IDirect3DDevice9* g_device = nullptr;
IDirect3DVertexBuffer9* g_triangleVertices = nullptr;
IDirect3DVertexBuffer9* g_quadVertices = nullptr;
IDirect3DIndexBuffer9* g_quadIndices = nullptr;
IDirect3DTexture9* g_white = nullptr;

template <typename T>
void Release(T*& resource) {
    if (resource != nullptr) {
        resource->Release();
        resource = nullptr;
    }
}

void FillQuadIndices() {
    void* data = nullptr;
    if (FAILED(g_quadIndices->Lock(0, 0, &data, 0)) || data == nullptr) return;
    uint16_t* index = static_cast<uint16_t*>(data);
    for (uint16_t k = 0; k < kParticleQuadsPerDraw; ++k) {
        const uint16_t first = uint16_t(4 * k);
        for (uint16_t corner : {0, 1, 2, 1, 3, 2}) *index++ = uint16_t(first + corner);
    }
    g_quadIndices->Unlock();
}

void MakeWhiteTexel() {
    if (FAILED(g_device->CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &g_white, nullptr)) ||
        g_white == nullptr)
        return;
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(g_white->LockRect(0, &locked, nullptr, 0)) && locked.pBits != nullptr) {
        const uint32_t white = 0xFFFFFFFFu;
        std::memcpy(locked.pBits, &white, sizeof(white));
        g_white->UnlockRect(0);
    }
}

CSMatrix ToCSMatrix(const Matrix4& from) {
    CSMatrix to;
    std::memcpy(to.m, from.m, sizeof(to.m));
    return to;
}

// Into 0 .. 2 pi.
float WrapAngle(float angle) {
    while (angle < 0.0f) angle += kTwoPi;
    return std::fmod(angle, kTwoPi);
}

IDirect3DTexture9* DeviceTexture(CSTexture* texture) {
    if (texture != nullptr && texture->GetTexture() && texture->GetTexture()->GetTexture() != nullptr)
        return texture->GetTexture()->GetTexture();
    return g_white;
}

}  // namespace

void BindParticleHooks() {
    Graphics::ParticleHooks hooks;
    hooks.createDeviceBuffers = &ParticlesCreateDeviceBuffers;
    hooks.releaseDeviceBuffers = &ParticlesReleaseDeviceBuffers;
    hooks.updateCamera = &ParticlesUpdateCamera;
    hooks.beginFrame = &ParticlesBeginFrame;
    hooks.flush = &ParticlesFlush;
    hooks.drawObjects = &DrawParticleObjects;
    Graphics::SetParticleHooks(hooks);
    SetParticleViewHooks(&ParticlesInitView, &ParticlesReleaseView);
}

void UnbindParticleHooks() {
    Graphics::SetParticleHooks(Graphics::ParticleHooks());
    SetParticleViewHooks(nullptr, nullptr);
}

void ParticlesCreateDeviceBuffers(Graphics::GraphicsDevice* device) {
    g_graphics = device;
    g_d3d = device != nullptr ? device->GetD3D() : nullptr;
    g_device = device != nullptr ? device->GetDevice() : nullptr;
    if (g_triangleVertices != nullptr || g_device == nullptr) return;
    g_device->CreateVertexBuffer(kParticleVertexBufferBytes, kDynamicWriteOnly, 0, D3DPOOL_DEFAULT, &g_triangleVertices,
                                 nullptr);
    g_device->CreateVertexBuffer(kParticleVertexBufferBytes, kDynamicWriteOnly, 0, D3DPOOL_DEFAULT, &g_quadVertices,
                                 nullptr);
    g_device->CreateIndexBuffer(kIndexBufferBytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &g_quadIndices,
                                nullptr);
    if (g_quadIndices != nullptr) FillQuadIndices();
    MakeWhiteTexel();
}

void ParticlesReleaseDeviceBuffers() {
    Release(g_quadIndices);
    Release(g_quadVertices);
    Release(g_triangleVertices);
    Release(g_white);
    g_graphics = nullptr;
    g_d3d = nullptr;
    g_device = nullptr;
}

void ParticlesInitView() {}

void ParticlesReleaseView() {
    ResetParticleDetailLevel();
    ReleaseParticleBatches();
    ClearParticleObjectDraws();
    PurgeParticleCaches();
}

void ParticlesUpdateCamera() {
    if (g_graphics == nullptr || g_graphics->GetScene() == nullptr) return;
    sg::Camera* camera = GetParticleCamera();
    if (camera == nullptr) return;
    camera->Rebuild();

    // The camera's orientation without its position, turned a quarter about x.
    CSMatrix view = ToCSMatrix(camera->GetView());
    view.m[12] = view.m[13] = view.m[14] = 0.0f;
    view.Invert();
    CSMatrix turn;
    turn.SetRotationAxisAngle(-kHalfPi, 1.0f, 0.0f, 0.0f);
    CSMatrix facing;
    facing.SetProduct(view, turn);  // the turn first, then the inverted view

    const float yaw = WrapAngle(CSAngleFromSinCos(facing.m[4], facing.m[5]) - kHalfPi);
    const float pitch = WrapAngle(CSAngleFromSinCos(-facing.m[2], facing.m[10]) + kHalfPi);
    const ParticleViewportRect viewport = GetParticleViewport();
    const Vector3& eye = camera->GetWorldEye();
    SetParticleProjection(ParticleViewportRect{0, 0, viewport.right - viewport.left, viewport.bottom - viewport.top},
                          yaw, pitch, facing, eye.x, eye.y, eye.z);

    // The same every frame: the direction is the library's constant.
    const float a = std::asin(kFacingDirection[2]);
    const float b = std::fabs(std::cos(a)) >= 0.00001f ? std::asin(kFacingDirection[0] / std::cos(a)) : 0.0f;
    SetParticleFacingAngles(b * 255.0f, a * 255.0f);

    SweepParticleCaches();
    BeginParticleShakeFrame(true);
    UpdateParticleDetailLevel();
}

namespace {

// The states, texture and effect parameters of every particle draw, up to the
// effect's Begin; the stream is the caller's.
void BeginParticleDraw(CSTexture* texture, bool additive, bool clamp) {
    IDirect3DDevice9* device = g_device;
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    device->SetRenderState(D3DRS_SRCBLEND, additive ? D3DBLEND_ONE : D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, additive ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA);

    IDirect3DTexture9* d3dTexture = DeviceTexture(texture);
    const DWORD address = clamp ? D3DTADDRESS_CLAMP : D3DTADDRESS_WRAP;
    device->SetTexture(0, d3dTexture);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, address);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, address);
    device->SetSamplerState(0, D3DSAMP_ADDRESSW, address);
    device->SetTexture(0, nullptr);

    Graphics::GDEffect& effect = *g_graphics->GetEffect();
    effect.effect_->SetTexture(effect.tex_diffuse_, d3dTexture);
    if (sg::Camera* camera = GetParticleCamera()) {
        D3DXMATRIX viewProjection;
        std::memcpy(viewProjection.m, camera->GetViewProjection().m, sizeof(viewProjection.m));
        effect.effect_->SetMatrix(effect.wvp_xf_, &viewProjection);
    }
    device->SetVertexDeclaration(g_graphics->GetParticleQuadVertexDeclaration());
    effect.technique_ = effect.particles_technique_;
}

void EndParticleDraw() {
    g_graphics->GetEffect()->End();
    g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}

// Copies the vertices into the front of the buffer; false when it does not lock.
bool FillParticleBuffer(IDirect3DVertexBuffer9* buffer, const Graphics::ParticleQuadVertex* vertices, uint32_t count) {
    void* data = nullptr;
    if (FAILED(buffer->Lock(0, 0, &data, 0)) || data == nullptr) return false;
    std::memcpy(data, vertices, count * sizeof(Graphics::ParticleQuadVertex));
    buffer->Unlock();
    return true;
}

}  // namespace

void DrawParticleQuads(const Graphics::ParticleQuadVertex* vertices, CSTexture* texture, uint32_t quads, bool additive,
                       bool clamp) {
    if (g_graphics == nullptr || g_device == nullptr || g_quadVertices == nullptr || g_quadIndices == nullptr ||
        quads == 0)
        return;
    BeginParticleDraw(texture, additive, clamp);
    g_device->SetStreamSource(0, g_quadVertices, 0, sizeof(Graphics::ParticleQuadVertex));
    g_device->SetIndices(g_quadIndices);
    g_graphics->GetEffect()->Begin();
    // The buffers hold 256 quads: a longer run is drawn 256 at a time.
    for (uint32_t first = 0; first < quads; first += kParticleQuadsPerDraw) {
        const uint32_t count = std::min(kParticleQuadsPerDraw, quads - first);
        if (!FillParticleBuffer(g_quadVertices, vertices + 4 * first, 4 * count)) break;
        g_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4 * count, 0, 2 * count);
    }
    EndParticleDraw();
}

void DrawParticleTriangleList(const Graphics::ParticleQuadVertex* vertices, CSTexture* texture, uint32_t triangles,
                              bool additive, bool clamp) {
    if (g_graphics == nullptr || g_device == nullptr || g_triangleVertices == nullptr || triangles == 0) return;
    BeginParticleDraw(texture, additive, clamp);
    g_device->SetStreamSource(0, g_triangleVertices, 0, sizeof(Graphics::ParticleQuadVertex));
    g_graphics->GetEffect()->Begin();
    for (uint32_t first = 0; first < triangles; first += kParticleTrianglesPerDraw) {
        const uint32_t count = std::min(kParticleTrianglesPerDraw, triangles - first);
        if (!FillParticleBuffer(g_triangleVertices, vertices + 3 * first, 3 * count)) break;
        g_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, count);
    }
    EndParticleDraw();
}

ParticleViewportRect GetParticleViewport() { return ParticleViewportRect{0, 0, 1024, 768}; }

sg::Camera* GetParticleCamera() {
    if (g_graphics == nullptr) return nullptr;
    auto* scene = dynamic_cast<sg::Scene*>(g_graphics->GetScene());
    return scene != nullptr ? scene->GetCamera().get() : nullptr;
}
