#pragma once
// An effect file loaded through D3DX with the technique its users selected and
// the parameter and technique handles the engine's draw code sets. Users set
// parameters directly on `effect_` with the ID3DXEffect setters.
//
// `effect_` is never null: an effect whose file was missing or did not compile
// holds an empty effect whose handles are null and whose calls do nothing, so
// draw code needs no test of its own.
#include <string>

#include "Maths/Matrix4.h"
#include "platform/d3dx/D3DXEffect.h"

namespace Graphics {

class GraphicsDevice;

// Reads an effect file whole and creates it with D3DX; a compiler message,
// each line led by the file name, is shown in a box captioned "SHADER COMPILER
// ERROR" (start-up goes on). Returns false when the file could not be read (one
// debug line names it, *effect untouched); otherwise true, with *effect the
// compiled effect or null when the creation failed.
bool LoadEffectFile(IDirect3DDevice9* device, DWORD flags, const std::string& fileName, ID3DXEffect** effect);

// An effect that contains nothing: no technique, no parameter; every call
// fails quietly. Each call returns a new reference.
ID3DXEffect* CreateEmptyEffect();

// Sets a matrix parameter from the engine's matrix: the same sixteen floats.
void SetEffectMatrix(ID3DXEffect* effect, D3DXHANDLE handle, const Matrix4& matrix);

class Effect {
public:
    Effect(GraphicsDevice* device, const std::string& fileName);
    virtual ~Effect();
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    // SetTechnique (the selected technique), Begin (flags 0), BeginPass (0).
    void Begin();
    // EndPass, End.
    void End();
    // Sends parameters changed since the pass began.
    void CommitChanges();

    // The finer steps (nothing in the game calls them): the technique with its
    // pass count, one pass, the end of a pass, the end of the technique.
    HRESULT BeginTechnique(UINT* passes);
    void BeginPass(UINT pass);
    void EndPass();
    void EndTechnique();

    // False when the file was missing or did not compile.
    bool IsLoaded() const { return loaded_; }
    const std::string& GetFileName() const { return file_name_; }

    D3DXHANDLE technique_ = nullptr;
    ID3DXEffect* effect_ = nullptr;

protected:
    GraphicsDevice* device_;
    std::string file_name_;
    bool loaded_ = false;
};

class BaseEffect : public Effect {
public:
    BaseEffect(GraphicsDevice* device, const std::string& fileName);

    D3DXHANDLE wvp_xf_;    // "g_WVPXf"
    D3DXHANDLE world_xf_;  // "g_WorldXf"
};

class BaseModelEffect : public BaseEffect {
public:
    BaseModelEffect(GraphicsDevice* device, const std::string& fileName);

    // Filled by GDEffect.
    D3DXHANDLE skinned_technique_ = nullptr;    // "RenderSkinned"
    D3DXHANDLE static_technique_ = nullptr;     // "RenderStatic"
    D3DXHANDLE static_lm_technique_ = nullptr;  // "RenderStaticLM"

    D3DXHANDLE tex_diffuse_;        // "g_TexDiffuse"
    D3DXHANDLE tex_normal_map_;     // "g_TexNormalMap"
    D3DXHANDLE tex_light_map_;      // "g_TexLightMap"
    D3DXHANDLE tint_color_;         // "g_TintColor"
    D3DXHANDLE fake_hdr_;           // "g_FakeHDR"
    D3DXHANDLE bone_count_;         // "g_BoneCount"
    D3DXHANDLE bone_matrix_array_;  // "g_BoneMatrixArray"
    D3DXHANDLE lm_factor_;          // "g_LMFactor"
    D3DXHANDLE opacity_;            // "g_Opacity"
    D3DXHANDLE selected_;           // "g_Selected"
    D3DXHANDLE reflectance_;        // "g_Reflectance"
};

// The graphics device's one general-purpose effect.
class GDEffect : public BaseModelEffect {
public:
    GDEffect(GraphicsDevice* device, const std::string& fileName);

    D3DXHANDLE render_2d_technique_;     // "Render2D"
    D3DXHANDLE particles_technique_;     // "Particles"
    D3DXHANDLE render_color_technique_;  // "RenderColor"
    D3DXHANDLE render_blob_technique_;   // "RenderBlob"

    D3DXHANDLE cam_pos_;         // "g_CamPos"
    D3DXHANDLE light_ambient_;   // "g_LightAmbient"
    D3DXHANDLE light_diffuse_;   // "g_LightDiffuse"
    D3DXHANDLE light_specular_;  // "g_LightSpecular"
    D3DXHANDLE light_dir_;       // "g_LightDir"
    D3DXHANDLE color_only_;      // "g_ColorOnly"
};

}  // namespace Graphics
