#pragma once
// The engine's face of the Direct3D device: the virtual screen, the uber
// effect every 3D and 2D draw uses, the shared vertex declarations, the light
// upload, and the entry of the scene draw. The game makes one (a Renderer) and registers it as
// Service<Graphics::GraphicsDevice>.
//
// The game draws on a virtual screen of 1024 x 768 whatever the back buffer's
// size: the screen is stretched over the whole back buffer (the viewport here,
// the 2D layer's vertices there), as touch positions are mapped onto it.
#include <boost/shared_ptr.hpp>

#include "Graphics/DeviceScene.h"
#include "Graphics/Effect.h"
#include "Graphics/GraphicsDeviceVertices.h"
#include "Maths/Vector2.h"
#include "Maths/Viewport.h"
#include "platform/d3d9/d3d9.h"

namespace Graphics {

class GraphicsDevice {
public:
    // On the Direct3D object and device the shell's device layer created (not owned).
    GraphicsDevice(IDirect3D9* d3d, IDirect3DDevice9* device);
    virtual ~GraphicsDevice();
    GraphicsDevice(const GraphicsDevice&) = delete;
    GraphicsDevice& operator=(const GraphicsDevice&) = delete;

    // Remembers the scene and runs its draw (DeviceScene::DrawOn). Nothing for
    // a null scene or one without camera.
    virtual void Draw(DeviceScene* scene);
    virtual void EmptyHook(void* argument);
    // Only lights of type 0 reach the effect.
    virtual void SetLight(const DeviceLight* light);

    void SetScene(DeviceScene* scene) { scene_ = scene; }
    DeviceScene* GetScene() const { return scene_; }
    Vector2 GetScreenSize() const { return Vector2(screen_width_, screen_height_); }
    // Back-buffer pixels per virtual-screen pixel, on x and y.
    Vector2 GetScreenScale() const;
    // A viewport on the virtual screen: stored as given, set on the Direct3D
    // device stretched over the back buffer.
    HRESULT SetViewport(const Viewport& viewport);
    const D3DVIEWPORT9& GetViewport() const { return viewport_; }
    // "g_LMFactor" = (a, a, a, b).
    void SetLightMapFactor(float a, float b);
    HRESULT BeginScene();
    HRESULT EndScene();
    // The flags every effect file is created with.
    DWORD GetEffectFlags() const;
    // Three 100-unit lines from the origin: x red, y green, z blue.
    void DrawAxes();
    // Debug switch: the scene draw adds the axes.
    void SetDrawAxes(bool on) { draw_axes_ = on; }
    bool GetDrawAxes() const { return draw_axes_; }

    IDirect3D9* GetD3D() const { return d3d_; }
    IDirect3DDevice9* GetDevice() const { return device_; }
    const boost::shared_ptr<GDEffect>& GetEffect() const { return effect_; }

    IDirect3DVertexDeclaration9* GetScreenVertexDeclaration() const { return screen_vertex_; }
    IDirect3DVertexDeclaration9* GetLineVertexDeclaration() const { return line_vertex_; }
    IDirect3DVertexDeclaration9* GetParticleQuadVertexDeclaration() const { return particle_quad_vertex_; }
    IDirect3DVertexDeclaration9* GetBlobShadowVertexDeclaration() const { return blob_shadow_vertex_; }
    IDirect3DVertexDeclaration9* GetModelVertexDeclaration() const { return model_vertex_; }
    IDirect3DVertexDeclaration9* GetModelVertexLMDeclaration() const { return model_vertex_lm_; }
    IDirect3DVertexDeclaration9* GetSkinnedModelVertexDeclaration() const { return skinned_model_vertex_; }

protected:
    D3DVIEWPORT9 viewport_ = {0, 0, 1, 1, 0.0f, 0.0f};
    float screen_width_ = 1024.0f;
    float screen_height_ = 768.0f;
    // The back buffer the screen is stretched over; the screen's own size
    // when the device has none.
    float back_buffer_width_ = 1024.0f;
    float back_buffer_height_ = 768.0f;
    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    DeviceScene* scene_ = nullptr;
    bool draw_axes_ = false;
    boost::shared_ptr<GDEffect> effect_;

private:
    void CreateVertexDeclarations();
    void ReleaseVertexDeclarations();

    IDirect3DVertexDeclaration9* screen_vertex_ = nullptr;
    IDirect3DVertexDeclaration9* line_vertex_ = nullptr;
    IDirect3DVertexDeclaration9* particle_quad_vertex_ = nullptr;
    IDirect3DVertexDeclaration9* blob_shadow_vertex_ = nullptr;
    IDirect3DVertexDeclaration9* model_vertex_ = nullptr;
    IDirect3DVertexDeclaration9* model_vertex_lm_ = nullptr;
    IDirect3DVertexDeclaration9* skinned_model_vertex_ = nullptr;
};

}  // namespace Graphics
