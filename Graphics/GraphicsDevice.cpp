#include "Graphics/GraphicsDevice.h"

#include <cmath>
#include <cstring>

#include "Graphics/ParticleHooks.h"

namespace Graphics {

namespace {

const char kUberEffectFile[] = "res-pc/Shaders/UberGraphicsDevice.fxo";

void SetFloats(ID3DXEffect* effect, D3DXHANDLE handle, const float* values, UINT count) {
    effect->SetValue(handle, values, count * static_cast<UINT>(sizeof(float)));
}

IDirect3DVertexDeclaration9* MakeDeclaration(IDirect3DDevice9* device, std::initializer_list<D3DVERTEXELEMENT9> list) {
    std::vector<D3DVERTEXELEMENT9> elements(list);
    elements.push_back(D3DDECL_END());
    IDirect3DVertexDeclaration9* declaration = nullptr;
    if (device != nullptr) {
        device->CreateVertexDeclaration(elements.data(), &declaration);
    }
    return declaration;
}

void Release(IDirect3DVertexDeclaration9*& declaration) {
    if (declaration != nullptr) {
        declaration->Release();
        declaration = nullptr;
    }
}

}  // namespace

GraphicsDevice::GraphicsDevice(IDirect3D9* d3d, IDirect3DDevice9* device) : d3d_(d3d), device_(device) {
    IDirect3DSurface9* backBuffer = nullptr;
    if (device_ != nullptr && SUCCEEDED(device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer)) &&
        backBuffer != nullptr) {
        D3DSURFACE_DESC desc = {};
        if (SUCCEEDED(backBuffer->GetDesc(&desc)) && desc.Width > 0 && desc.Height > 0) {
            back_buffer_width_ = static_cast<float>(desc.Width);
            back_buffer_height_ = static_cast<float>(desc.Height);
        }
        backBuffer->Release();
    }
    effect_.reset(new GDEffect(this, kUberEffectFile));
    CreateVertexDeclarations();
    ParticlesCreateDeviceBuffers(this);
}

GraphicsDevice::~GraphicsDevice() {
    ReleaseVertexDeclarations();
    ParticlesReleaseDeviceBuffers();
    effect_.reset();
}

void GraphicsDevice::CreateVertexDeclarations() {
    const BYTE def = D3DDECLMETHOD_DEFAULT;
    screen_vertex_ = MakeDeclaration(device_, {{0, 0, D3DDECLTYPE_FLOAT4, def, D3DDECLUSAGE_POSITIONT, 0},
                                               {0, 16, D3DDECLTYPE_FLOAT2, def, D3DDECLUSAGE_TEXCOORD, 0}});
    line_vertex_ = MakeDeclaration(device_, {{0, 0, D3DDECLTYPE_FLOAT3, def, D3DDECLUSAGE_POSITION, 0},
                                             {0, 12, D3DDECLTYPE_D3DCOLOR, def, D3DDECLUSAGE_COLOR, 0}});
    particle_quad_vertex_ = MakeDeclaration(device_, {{0, 0, D3DDECLTYPE_FLOAT4, def, D3DDECLUSAGE_POSITION, 0},
                                                      {0, 16, D3DDECLTYPE_D3DCOLOR, def, D3DDECLUSAGE_COLOR, 0},
                                                      {0, 20, D3DDECLTYPE_FLOAT2, def, D3DDECLUSAGE_TEXCOORD, 0}});
    blob_shadow_vertex_ = MakeDeclaration(device_, {{0, 0, D3DDECLTYPE_FLOAT3, def, D3DDECLUSAGE_POSITION, 0},
                                                    {0, 12, D3DDECLTYPE_FLOAT2, def, D3DDECLUSAGE_TEXCOORD, 0}});
    model_vertex_ = MakeDeclaration(device_, {{0, 0, D3DDECLTYPE_FLOAT3, def, D3DDECLUSAGE_POSITION, 0},
                                              {0, 12, D3DDECLTYPE_FLOAT3, def, D3DDECLUSAGE_NORMAL, 0},
                                              {0, 24, D3DDECLTYPE_FLOAT3, def, D3DDECLUSAGE_TANGENT, 0},
                                              {0, 36, D3DDECLTYPE_FLOAT3, def, D3DDECLUSAGE_BINORMAL, 0},
                                              {0, 48, D3DDECLTYPE_FLOAT2, def, D3DDECLUSAGE_TEXCOORD, 0}});
    model_vertex_lm_ = MakeDeclaration(device_, {{0, 0, D3DDECLTYPE_FLOAT3, def, D3DDECLUSAGE_POSITION, 0},
                                                 {0, 12, D3DDECLTYPE_FLOAT3, def, D3DDECLUSAGE_NORMAL, 0},
                                                 {0, 24, D3DDECLTYPE_FLOAT3, def, D3DDECLUSAGE_TANGENT, 0},
                                                 {0, 36, D3DDECLTYPE_FLOAT3, def, D3DDECLUSAGE_BINORMAL, 0},
                                                 {0, 48, D3DDECLTYPE_FLOAT2, def, D3DDECLUSAGE_TEXCOORD, 0},
                                                 {0, 56, D3DDECLTYPE_FLOAT2, def, D3DDECLUSAGE_TEXCOORD, 1}});
    skinned_model_vertex_ = MakeDeclaration(device_, {{0, 0, D3DDECLTYPE_FLOAT3, def, D3DDECLUSAGE_POSITION, 0},
                                                      {0, 12, D3DDECLTYPE_FLOAT3, def, D3DDECLUSAGE_NORMAL, 0},
                                                      {0, 24, D3DDECLTYPE_FLOAT3, def, D3DDECLUSAGE_TANGENT, 0},
                                                      {0, 36, D3DDECLTYPE_FLOAT3, def, D3DDECLUSAGE_BINORMAL, 0},
                                                      {0, 48, D3DDECLTYPE_FLOAT2, def, D3DDECLUSAGE_TEXCOORD, 0},
                                                      {0, 56, D3DDECLTYPE_FLOAT2, def, D3DDECLUSAGE_BLENDWEIGHT, 0},
                                                      {0, 64, D3DDECLTYPE_UBYTE4, def, D3DDECLUSAGE_BLENDINDICES, 0}});
}

void GraphicsDevice::ReleaseVertexDeclarations() {
    Release(screen_vertex_);
    Release(line_vertex_);
    Release(particle_quad_vertex_);
    Release(blob_shadow_vertex_);
    Release(model_vertex_);
    Release(model_vertex_lm_);
    Release(skinned_model_vertex_);
}

void GraphicsDevice::Draw(DeviceScene* scene) {
    if (scene == nullptr || !scene->HasCamera()) {
        return;
    }
    scene_ = scene;
    scene->DrawOn(*this);
}

void GraphicsDevice::EmptyHook(void* /*argument*/) {}

void GraphicsDevice::SetLight(const DeviceLight* light) {
    if (light == nullptr || light->GetLightType() != 0) {
        return;
    }
    ID3DXEffect* effect = effect_->effect_;
    float values[4];
    // ToFloat4 shares one scratch array: copy before the next call.
    std::memcpy(values, light->GetAmbient().ToFloat4(), sizeof(values));
    SetFloats(effect, effect_->light_ambient_, values, 4);
    std::memcpy(values, light->GetDiffuse().ToFloat4(), sizeof(values));
    SetFloats(effect, effect_->light_diffuse_, values, 4);
    std::memcpy(values, light->GetSpecular().ToFloat4(), sizeof(values));
    values[3] = static_cast<float>(light->GetSpecular().a);
    SetFloats(effect, effect_->light_specular_, values, 4);
    const Vector3& direction = light->GetDirection();
    const float dir[3] = {direction.x, direction.y, direction.z};
    SetFloats(effect, effect_->light_dir_, dir, 3);
}

Vector2 GraphicsDevice::GetScreenScale() const {
    return Vector2(back_buffer_width_ / screen_width_, back_buffer_height_ / screen_height_);
}

HRESULT GraphicsDevice::SetViewport(const Viewport& viewport) {
    viewport_.X = static_cast<DWORD>(viewport.x);
    viewport_.Y = static_cast<DWORD>(viewport.y);
    viewport_.Width = static_cast<DWORD>(viewport.width);
    viewport_.Height = static_cast<DWORD>(viewport.height);
    viewport_.MinZ = viewport.minZ;
    viewport_.MaxZ = viewport.maxZ;
    // Edges rounded to whole pixels, so that the whole screen covers the
    // whole back buffer.
    const Vector2 scale = GetScreenScale();
    const auto onBackBuffer = [](DWORD edge, float factor) {
        return static_cast<DWORD>(std::lround(static_cast<double>(edge) * factor));
    };
    D3DVIEWPORT9 stretched = viewport_;
    stretched.X = onBackBuffer(viewport_.X, scale.x);
    stretched.Y = onBackBuffer(viewport_.Y, scale.y);
    stretched.Width = onBackBuffer(viewport_.X + viewport_.Width, scale.x) - stretched.X;
    stretched.Height = onBackBuffer(viewport_.Y + viewport_.Height, scale.y) - stretched.Y;
    return device_->SetViewport(&stretched);
}

void GraphicsDevice::SetLightMapFactor(float a, float b) {
    const float factor[4] = {a, a, a, b};
    SetFloats(effect_->effect_, effect_->lm_factor_, factor, 4);
}

HRESULT GraphicsDevice::BeginScene() { return device_->BeginScene(); }

HRESULT GraphicsDevice::EndScene() { return device_->EndScene(); }

DWORD GraphicsDevice::GetEffectFlags() const {
    return D3DXSHADER_SKIPVALIDATION | D3DXSHADER_PACKMATRIX_COLUMNMAJOR | D3DXSHADER_PREFER_FLOW_CONTROL;
}

void GraphicsDevice::DrawAxes() {
    if (scene_ == nullptr || !scene_->HasCamera()) {
        return;
    }
    const LineVertex axes[6] = {
        {0.0f, 0.0f, 0.0f, 0xFFFF0000u},   {100.0f, 0.0f, 0.0f, 0xFFFF0000u}, {0.0f, 0.0f, 0.0f, 0xFF00FF00u},
        {0.0f, 100.0f, 0.0f, 0xFF00FF00u}, {0.0f, 0.0f, 0.0f, 0xFF0000FFu},   {0.0f, 0.0f, 100.0f, 0xFF0000FFu},
    };
    device_->SetVertexDeclaration(line_vertex_);
    // GetViewProjection rebuilds a dirty camera first.
    SetEffectMatrix(effect_->effect_, effect_->wvp_xf_, scene_->GetCameraViewProjection());
    effect_->technique_ = effect_->render_color_technique_;
    effect_->Begin();
    device_->DrawPrimitiveUP(D3DPT_LINELIST, 3, axes, sizeof(LineVertex));
    effect_->End();
}

}  // namespace Graphics
