#pragma once
// The game's graphics device: the device's scene draw, preceded by binding the
// back buffer, and the effects and render targets of a light pre-pass, of
// shadow mapping and of post-processing. Post-processing starts off and the
// game never switches it on, so every frame draws straight into the back
// buffer.
#include <boost/shared_ptr.hpp>

#include "Graphics/GraphicsDevice.h"
#include "Graphics/RenderTarget2D.h"
#include "Graphics/RendererFullScreenQuad.h"
#include "Graphics/RendererPostProcess.h"

namespace Graphics {

class Renderer : public GraphicsDevice {
public:
    // On the Direct3D object and device the shell's device layer created (not owned).
    Renderer(IDirect3D9* d3d, IDirect3DDevice9* device);
    ~Renderer() override;

    void Draw(DeviceScene* scene) override;
    void EmptyHook(void* argument) override;
    void SetLight(const DeviceLight* light) override;

    bool IsATI() const { return ati_ != 0; }
    bool IsATIHD() const { return ati_hd_ != 0; }
    bool IsIntel() const { return intel_ != 0; }
    bool IsNVIDIA() const { return nvidia_ != 0; }
    bool SupportsRenderTargetFormat(D3DFORMAT format) const;

    // Slot 0 without a target binds the back buffer.
    void BindTarget(DWORD slot, RenderTarget2D* target);
    // Slot 0 gets the back buffer again, any other slot no target.
    void UnbindTarget(DWORD slot);

    const boost::shared_ptr<RenderTarget2D>& GetRenderTarget(int index) const { return targets_[index]; }
    FullScreenQuad* GetScreenQuad() const { return screen_quad_; }
    FullScreenQuad* GetSmallQuad() const { return small_quad_; }
    ID3DXEffect* GetLightPrepassEffect() const { return light_prepass_effect_; }
    ID3DXEffect* GetShadowEffect() const { return shadow_effect_; }
    ID3DXEffect* GetPostProcessEffect() const { return post_process_effect_; }

protected:
    void Initialise();
    void DetectVendor();
    void CreateRenderTargets();
    void LoadEffects();
    // The post-process technique of a step number (null for an unknown one).
    D3DXHANDLE PostProcessTechnique(int type) const;
    // Clears the bound target to opaque white and draws the screen quad with
    // the technique, reading the other target of the pair.
    void RunPostProcessStep(D3DXHANDLE technique);

    FullScreenQuad* screen_quad_ = nullptr;
    FullScreenQuad* small_quad_ = nullptr;
    IDirect3DSurface9* default_target_ = nullptr;
    ID3DXEffect* light_prepass_effect_ = nullptr;
    D3DXHANDLE fill_gbuffer_ = nullptr;
    D3DXHANDLE fill_light_buffer_ = nullptr;
    D3DXHANDLE final_composite_ = nullptr;
    ID3DXEffect* shadow_effect_ = nullptr;
    D3DXHANDLE gen_shadow_map_ = nullptr;
    ID3DXEffect* post_process_effect_ = nullptr;
    D3DXHANDLE gauss_filter_ = nullptr;
    D3DXHANDLE color_inverse_ = nullptr;
    D3DXHANDLE color_grayscale_ = nullptr;
    D3DXHANDLE debug_show_ = nullptr;
    D3DXHANDLE tex_screen_ = nullptr;
    int ati_ = 0;
    int ati_hd_ = 0;
    int intel_ = 0;
    int nvidia_ = 0;
    boost::shared_ptr<RenderTarget2D> targets_[6];
    RenderTargetPair post_process_pair_;
    boost::shared_ptr<PostProcessChain> post_process_chain_;
    bool post_processing_ = false;
};

}  // namespace Graphics
