#include "Graphics/Effect.h"

#include <cstdlib>
#include <cstring>

#include "Graphics/GraphicsDevice.h"
#include "IO/File.h"
#include "platform/win32/DebugOutput.h"
#include "platform/win32/MessageBox.h"

namespace Graphics {

namespace {

class EmptyEffect : public ID3DXEffect {
public:
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        ULONG left = --refs_;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    D3DXHANDLE GetTechniqueByName(LPCSTR) override { return nullptr; }
    D3DXHANDLE GetParameterByName(D3DXHANDLE, LPCSTR) override { return nullptr; }
    HRESULT SetTechnique(D3DXHANDLE) override { return D3DERR_INVALIDCALL; }
    HRESULT Begin(UINT* passes, DWORD) override {
        if (passes != nullptr) {
            *passes = 0;
        }
        return D3DERR_INVALIDCALL;
    }
    HRESULT BeginPass(UINT) override { return D3DERR_INVALIDCALL; }
    HRESULT CommitChanges() override { return D3DERR_INVALIDCALL; }
    HRESULT EndPass() override { return D3DERR_INVALIDCALL; }
    HRESULT End() override { return D3DERR_INVALIDCALL; }
    HRESULT SetValue(D3DXHANDLE, LPCVOID, UINT) override { return D3DERR_INVALIDCALL; }
    HRESULT SetBool(D3DXHANDLE, BOOL) override { return D3DERR_INVALIDCALL; }
    HRESULT SetInt(D3DXHANDLE, INT) override { return D3DERR_INVALIDCALL; }
    HRESULT SetFloat(D3DXHANDLE, FLOAT) override { return D3DERR_INVALIDCALL; }
    HRESULT SetMatrix(D3DXHANDLE, const D3DXMATRIX*) override { return D3DERR_INVALIDCALL; }
    HRESULT SetMatrixArray(D3DXHANDLE, const D3DXMATRIX*, UINT) override { return D3DERR_INVALIDCALL; }
    HRESULT SetTexture(D3DXHANDLE, IDirect3DBaseTexture9*) override { return D3DERR_INVALIDCALL; }

private:
    ULONG refs_ = 1;
};

// Each line of a compiler message begins with the file it is about.
std::string NameErrorLines(const std::string& fileName, const char* errors) {
    std::string named;
    bool lineStart = true;
    for (const char* c = errors; *c != '\0'; ++c) {
        if (lineStart && *c != '\n') named += fileName + ": ";
        named += *c;
        lineStart = *c == '\n';
    }
    return named;
}

}  // namespace

ID3DXEffect* CreateEmptyEffect() { return new EmptyEffect(); }

bool LoadEffectFile(IDirect3DDevice9* device, DWORD flags, const std::string& fileName, ID3DXEffect** effect) {
    uint8_t* buffer = nullptr;
    uint32_t size = 0;
    uint32_t read = IO::ReadWholeFile(fileName, buffer, size);
    if (read == 0 || read != size) {
        std::free(buffer);
        // Said once here: every draw through the empty effect is refused later.
        const std::string line = "Effect file " + fileName + " is missing or unreadable.\n";
        OutputDebugStringA(line.c_str());
        return false;
    }
    ID3DXBuffer* errors = nullptr;
    *effect = nullptr;
    D3DXCreateEffect(device, buffer, read, nullptr, nullptr, flags, nullptr, effect, &errors);
    std::free(buffer);
    if (errors != nullptr) {
        const std::string text = NameErrorLines(fileName, static_cast<const char*>(errors->GetBufferPointer()));
        MessageBoxA(nullptr, text.c_str(), "SHADER COMPILER ERROR", MB_OK);
        errors->Release();
    }
    return true;
}

Effect::Effect(GraphicsDevice* device, const std::string& fileName) : device_(device), file_name_(fileName) {
    ID3DXEffect* made = nullptr;
    if (device_ != nullptr) {
        LoadEffectFile(device_->GetDevice(), device_->GetEffectFlags(), file_name_, &made);
    }
    loaded_ = made != nullptr;
    effect_ = made != nullptr ? made : CreateEmptyEffect();
}

Effect::~Effect() {
    effect_->Release();
    effect_ = nullptr;
    device_ = nullptr;
}

void Effect::Begin() {
    effect_->SetTechnique(technique_);
    effect_->Begin(nullptr, 0);
    effect_->BeginPass(0);
}

void Effect::End() {
    effect_->EndPass();
    effect_->End();
}

void Effect::CommitChanges() { effect_->CommitChanges(); }

HRESULT Effect::BeginTechnique(UINT* passes) {
    effect_->SetTechnique(technique_);
    return effect_->Begin(passes, 0);
}

void Effect::BeginPass(UINT pass) { effect_->BeginPass(pass); }

void Effect::EndPass() { effect_->EndPass(); }

void Effect::EndTechnique() { effect_->End(); }

BaseEffect::BaseEffect(GraphicsDevice* device, const std::string& fileName)
    : Effect(device, fileName),
      wvp_xf_(effect_->GetParameterByName(nullptr, "g_WVPXf")),
      world_xf_(effect_->GetParameterByName(nullptr, "g_WorldXf")) {}

BaseModelEffect::BaseModelEffect(GraphicsDevice* device, const std::string& fileName)
    : BaseEffect(device, fileName),
      tex_diffuse_(effect_->GetParameterByName(nullptr, "g_TexDiffuse")),
      tex_normal_map_(effect_->GetParameterByName(nullptr, "g_TexNormalMap")),
      tex_light_map_(effect_->GetParameterByName(nullptr, "g_TexLightMap")),
      tint_color_(effect_->GetParameterByName(nullptr, "g_TintColor")),
      fake_hdr_(effect_->GetParameterByName(nullptr, "g_FakeHDR")),
      bone_count_(effect_->GetParameterByName(nullptr, "g_BoneCount")),
      bone_matrix_array_(effect_->GetParameterByName(nullptr, "g_BoneMatrixArray")),
      lm_factor_(effect_->GetParameterByName(nullptr, "g_LMFactor")),
      opacity_(effect_->GetParameterByName(nullptr, "g_Opacity")),
      selected_(effect_->GetParameterByName(nullptr, "g_Selected")),
      reflectance_(effect_->GetParameterByName(nullptr, "g_Reflectance")) {}

GDEffect::GDEffect(GraphicsDevice* device, const std::string& fileName) : BaseModelEffect(device, fileName) {
    skinned_technique_ = effect_->GetTechniqueByName("RenderSkinned");
    static_technique_ = effect_->GetTechniqueByName("RenderStatic");
    static_lm_technique_ = effect_->GetTechniqueByName("RenderStaticLM");
    render_2d_technique_ = effect_->GetTechniqueByName("Render2D");
    particles_technique_ = effect_->GetTechniqueByName("Particles");
    render_color_technique_ = effect_->GetTechniqueByName("RenderColor");
    render_blob_technique_ = effect_->GetTechniqueByName("RenderBlob");
    cam_pos_ = effect_->GetParameterByName(nullptr, "g_CamPos");
    light_ambient_ = effect_->GetParameterByName(nullptr, "g_LightAmbient");
    light_diffuse_ = effect_->GetParameterByName(nullptr, "g_LightDiffuse");
    light_specular_ = effect_->GetParameterByName(nullptr, "g_LightSpecular");
    light_dir_ = effect_->GetParameterByName(nullptr, "g_LightDir");
    color_only_ = effect_->GetParameterByName(nullptr, "g_ColorOnly");
}

void SetEffectMatrix(ID3DXEffect* effect, D3DXHANDLE handle, const Matrix4& matrix) {
    D3DXMATRIX m;
    static_assert(sizeof(m.m) == sizeof(matrix.m), "both are 16 floats");
    std::memcpy(m.m, matrix.m, sizeof(m.m));
    effect->SetMatrix(handle, &m);
}

}  // namespace Graphics
