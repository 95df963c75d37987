#include "Graphics/Renderer.h"

#include <cstring>

namespace Graphics {

namespace {

const char kLightPrepassFile[] = "res-pc/Shaders/LightPrepass.fxo";
const char kShadowMappingFile[] = "res-pc/Shaders/ShadowMapping.fxo";
const char kPostProcessFile[] = "res-pc/Shaders/PostProcess.fxo";

const DWORD kVendorIntel = 0x8086;
const DWORD kVendorNVIDIA = 0x10DE;
const DWORD kVendorATI = 0x1002;

// A file that was read but did not compile still answers the lookups.
bool LoadOrEmpty(IDirect3DDevice9* device, DWORD flags, const char* fileName, ID3DXEffect** effect) {
    if (!LoadEffectFile(device, flags, fileName, effect)) {
        return false;
    }
    if (*effect == nullptr) {
        *effect = CreateEmptyEffect();
    }
    return true;
}

void ReleaseEffect(ID3DXEffect*& effect) {
    if (effect != nullptr) {
        effect->Release();
        effect = nullptr;
    }
}

}  // namespace

Renderer::Renderer(IDirect3D9* d3d, IDirect3DDevice9* device) : GraphicsDevice(d3d, device) { Initialise(); }

void Renderer::Initialise() {
    DetectVendor();
    CreateRenderTargets();
    screen_quad_ = new FullScreenQuad(device_, static_cast<int>(screen_width_), static_cast<int>(screen_height_));
    small_quad_ = new FullScreenQuad(device_, 512, 512);
    LoadEffects();
}

Renderer::~Renderer() {
    delete screen_quad_;
    screen_quad_ = nullptr;
    delete small_quad_;
    small_quad_ = nullptr;
    if (default_target_ != nullptr) {
        default_target_->Release();
        default_target_ = nullptr;
    }
    post_process_chain_.reset();
    post_process_pair_ = RenderTargetPair();
    for (boost::shared_ptr<RenderTarget2D>& target : targets_) {
        target.reset();
    }
    ReleaseEffect(light_prepass_effect_);
    ReleaseEffect(shadow_effect_);
    ReleaseEffect(post_process_effect_);
}

void Renderer::DetectVendor() {
    if (d3d_ == nullptr) {
        return;
    }
    D3DADAPTER_IDENTIFIER9 identifier;
    std::memset(&identifier, 0, sizeof(identifier));
    if (FAILED(d3d_->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &identifier))) {
        return;
    }
    identifier.Description[sizeof(identifier.Description) - 1] = '\0';
    intel_ = identifier.VendorId == kVendorIntel ? 1 : 0;
    nvidia_ = identifier.VendorId == kVendorNVIDIA ? 1 : 0;
    ati_ = identifier.VendorId == kVendorATI ? 1 : 0;
    if (ati_ != 0 && std::strstr(identifier.Description, "HD") != nullptr) {
        ati_ = 0;
        ati_hd_ = 1;
    }
}

void Renderer::CreateRenderTargets() {
    if (device_ != nullptr) {
        device_->GetRenderTarget(0, &default_target_);
    }
    const int width = static_cast<int>(screen_width_);
    const int height = static_cast<int>(screen_height_);
    targets_[0].reset(new RenderTarget2D(this, width, height, 1, SurfaceFormatA2R10G10B10, false));
    targets_[1].reset(new RenderTarget2D(this, width, height, 1, SurfaceFormatR32F, false));
    targets_[2].reset(new RenderTarget2D(this, width, height, 1, SurfaceFormatA8R8G8B8, false));
    targets_[3].reset(new RenderTarget2D(this, 512, 512, 1, SurfaceFormatR32F, false));
    targets_[4].reset(new RenderTarget2D(this, width, height, 1, SurfaceFormatA8R8G8B8, false));
    targets_[5].reset(new RenderTarget2D(this, width, height, 1, SurfaceFormatA8R8G8B8, false));
    post_process_pair_ = RenderTargetPair(targets_[4], targets_[5]);
}

void Renderer::LoadEffects() {
    const DWORD flags = GetEffectFlags();
    // Each file is opened only when the one before it could be read.
    if (!LoadOrEmpty(device_, flags, kLightPrepassFile, &light_prepass_effect_)) {
        return;
    }
    fill_gbuffer_ = light_prepass_effect_->GetTechniqueByName("FillGBuffer");
    fill_light_buffer_ = light_prepass_effect_->GetTechniqueByName("FillLightBuffer");
    final_composite_ = light_prepass_effect_->GetTechniqueByName("FinalComposite");
    if (!LoadOrEmpty(device_, flags, kShadowMappingFile, &shadow_effect_)) {
        return;
    }
    gen_shadow_map_ = shadow_effect_->GetTechniqueByName("GenShadowMap");
    if (!LoadOrEmpty(device_, flags, kPostProcessFile, &post_process_effect_)) {
        return;
    }
    gauss_filter_ = post_process_effect_->GetTechniqueByName("GaussFilter");
    color_inverse_ = post_process_effect_->GetTechniqueByName("ColorInverse");
    color_grayscale_ = post_process_effect_->GetTechniqueByName("ColorGrayscale");
    debug_show_ = post_process_effect_->GetTechniqueByName("DebugShow");
    tex_screen_ = post_process_effect_->GetParameterByName(nullptr, "g_TexScreen");
}

bool Renderer::SupportsRenderTargetFormat(D3DFORMAT format) const {
    return d3d_ != nullptr && SUCCEEDED(d3d_->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8,
                                                                D3DUSAGE_RENDERTARGET, D3DRTYPE_SURFACE, format));
}

void Renderer::BindTarget(DWORD slot, RenderTarget2D* target) {
    if (slot == 0 && target == nullptr) {
        device_->SetRenderTarget(0, default_target_);
        return;
    }
    IDirect3DSurface9* surface = target != nullptr ? target->GetSurface() : nullptr;
    device_->SetRenderTarget(slot, surface);
    if (surface != nullptr) {
        surface->Release();
    }
}

void Renderer::UnbindTarget(DWORD slot) { device_->SetRenderTarget(slot, slot == 0 ? default_target_ : nullptr); }

D3DXHANDLE Renderer::PostProcessTechnique(int type) const {
    switch (type) {
        case PostProcessGaussFilter: return gauss_filter_;
        case PostProcessColorGrayscale: return color_grayscale_;
        case PostProcessColorInverse: return color_inverse_;
        case PostProcessDebugShow: return debug_show_;
    }
    return nullptr;
}

void Renderer::RunPostProcessStep(D3DXHANDLE technique) {
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFFFFFFu, 1.0f, 0);
    if (post_process_effect_ == nullptr) {
        return;
    }
    const boost::shared_ptr<RenderTarget2D>& source = post_process_pair_.Other();
    post_process_effect_->SetTechnique(technique);
    post_process_effect_->SetTexture(tex_screen_, source ? source->GetTexture() : nullptr);
    post_process_effect_->Begin(nullptr, 0);
    post_process_effect_->BeginPass(0);
    screen_quad_->Draw(GetScreenVertexDeclaration());
    post_process_effect_->EndPass();
    post_process_effect_->End();
}

void Renderer::Draw(DeviceScene* scene) {
    if (!post_processing_) {
        BindTarget(0, nullptr);
        GraphicsDevice::Draw(scene);
        return;
    }
    IDirect3DSurface9* remembered = nullptr;
    device_->GetRenderTarget(0, &remembered);
    BindTarget(0, post_process_pair_.Current().get());
    GraphicsDevice::Draw(scene);
    post_process_pair_.Swap();
    if (post_process_chain_) {
        for (const std::vector<int>& group : post_process_chain_->groups) {
            for (int step : group) {
                BindTarget(0, post_process_pair_.Current().get());
                RunPostProcessStep(PostProcessTechnique(step));
                post_process_pair_.Swap();
            }
        }
    }
    device_->SetRenderTarget(0, remembered);
    if (remembered != nullptr) {
        remembered->Release();
    }
    RunPostProcessStep(debug_show_);
}

void Renderer::EmptyHook(void* /*argument*/) {}

void Renderer::SetLight(const DeviceLight* light) { GraphicsDevice::SetLight(light); }

}  // namespace Graphics
