// The effect substitute on the recording null device: the file format's
// errors and warnings, handles, parameter uploads, and the state saved at
// Begin and put back at End.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/d3d9/common/DeviceBase.h"
#include "platform/d3dx/D3DXEffect.h"
#include "platform/d3dx/D3DXEffectFile.h"
#include "support/NullDeviceFixture.h"

namespace {

const char kEffect[] = R"(// two techniques over one shared function
effect 1
parameter float4x4 g_WVPXf : WorldViewProjection
parameter float4 g_TintColor = 1 0.5 0.25 1
parameter float g_Opacity = 1
parameter bool g_Flag
parameter int g_Count = 3
parameter float4x4[2] g_Bones
parameter texture g_Tex
parameter float g_Unused = 7
sampler 2 s_Tex g_Tex AddressU=Clamp MagFilter=Linear
common
vec4 Tinted(vec4 c) { return c * g_TintColor; }
vec4 Unused(vec4 c) { return c * g_Unused; }
endcommon
shader vertex VS
layout(location = DM_ATTR_POSITION) in vec3 a_Position;
void main() { gl_Position = g_WVPXf * g_Bones[1] * vec4(a_Position, 1.0); }
endshader
shader fragment PS
out vec4 o_Color;
void main() { o_Color = Tinted(texture(s_Tex, vec2(0.5))) * g_Opacity * float(g_Count) * (g_Flag ? 1.0 : 0.5); }
endshader
technique Blend
pass P0
state AlphaBlendEnable true
state CullMode None
state ZWriteEnable false
vertex VS
fragment PS
endpass
endtechnique
technique Plain
pass P0
vertex VS
fragment PS
endpass
endtechnique
)";

class EffectTest : public testsupport::NullDeviceTest {
protected:
    EffectTest() : NullDeviceTest(32, 32, 0) { params.BackBufferCount = 1; }

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(NullDeviceTest::SetUp());
        base = d3d9::AsDeviceBase(device);
    }

    void TearDown() override {
        if (effect != nullptr) {
            effect->Release();
        }
        NullDeviceTest::TearDown();
    }

    // The compiler's text ("" when there is none).
    HRESULT Create(const std::string& text, std::string* messages = nullptr) {
        ID3DXBuffer* errors = nullptr;
        HRESULT result = D3DXCreateEffect(device, text.data(), static_cast<UINT>(text.size()), nullptr, nullptr, 0,
                                          nullptr, &effect, &errors);
        if (messages != nullptr) {
            *messages = errors != nullptr ? static_cast<const char*>(errors->GetBufferPointer()) : "";
        }
        if (errors != nullptr) {
            errors->Release();
        }
        return result;
    }

    // The value the program in use holds for a uniform (empty when never sent).
    std::vector<float> Sent(const char* name) {
        const d3d9::UniformValue* value = base->Program() != nullptr ? base->Program()->Uniform(name) : nullptr;
        if (value == nullptr) {
            return {};
        }
        if (value->kind == d3d9::UniformValue::Kind::Ints) {
            return std::vector<float>(value->ints.begin(), value->ints.end());
        }
        return value->floats;
    }

    d3d9::DeviceBase* base = nullptr;
    ID3DXEffect* effect = nullptr;
};

TEST(EffectFileTest, RejectsMalformedFilesWithTheLineAtFault) {
    const std::string head = "effect 1\nparameter texture g_Tex\n";
    const std::string shaders =
        "shader vertex VS\nvoid main() {}\nendshader\nshader fragment PS\nvoid main() {}\nendshader\n";
    struct Case {
        std::string text;
        const char* expected;
    } cases[] = {
        {"", "effect(0): error: empty effect file"},
        {std::string("effect 1\0x", 10), "binary data"},
        {"technique T\n", "effect(1): error: not an effect file"},
        {"effect 2\n", "version 2 is not supported"},
        {head + "parameter float5 g_X\n", "effect(3): error: unknown parameter type 'float5'"},
        {head + "parameter float2 g_X = 1\n", "'g_X' needs 2 default values, 1 given"},
        {head + "parameter float4x4[0] g_X\n", "bad array size"},
        {head + "parameter float g_Tex\n", "'g_Tex' is declared twice"},
        {head + "sampler 16 s_T g_Tex\n", "bad sampler unit '16'"},
        {head + "parameter float g_F\nsampler 0 s_T g_F\n", "needs a texture parameter"},
        {head + "sampler 0 s_T g_Tex AddressU=Sideways\n", "bad value in 'AddressU=Sideways'"},
        {head + shaders + "technique T\npass P\nstate ZEnabel true\n",
         "effect(11): error: unknown render state 'ZEnabel'"},
        {head + shaders + "technique T\npass P\nstate CullMode Both\n", "bad value 'Both' for render state CullMode"},
        {head + shaders + "technique T\npass P\nvertex VS\nendpass\n", "pass 'P' needs a vertex and a fragment shader"},
        {head + shaders + "technique T\nendtechnique\n", "technique 'T' has no pass"},
        {head + shaders + "technique T\npass P\nvertex VS\nfragment PS\nendpass\nendtechnique\ntechnique T\n",
         "technique 'T' defined twice"},
        {head + "technique T\npass P\nvertex VS\nfragment Missing\nendpass\nendtechnique\n" + shaders,
         "no fragment shader 'Missing'"},
        {head + "shader vertex VS\nvoid main() {}\n", "'shader' without 'endshader'"},
        {head + "technique T\npass P\n", "pass 'P' without 'endpass'"},
    };
    for (const Case& c : cases) {
        d3dx::EffectFile file;
        std::string messages;
        EXPECT_FALSE(d3dx::ParseEffectFile(c.text.data(), c.text.size(), &file, &messages)) << c.expected;
        EXPECT_NE(messages.find(c.expected), std::string::npos) << "expected: " << c.expected << "\ngot: " << messages;
    }
}

TEST(EffectFileTest, StageSourceDeclaresUniformsAndKeepsFileLines) {
    d3dx::EffectFile file;
    std::string messages;
    ASSERT_TRUE(d3dx::ParseEffectFile(kEffect, sizeof(kEffect) - 1, &file, &messages)) << messages;
    const d3dx::ShaderDecl* vertex = file.FindShader("VS", true);
    ASSERT_NE(vertex, nullptr);
    std::string source = d3dx::StageSource(file, *vertex);
    EXPECT_NE(source.find("uniform mat4 g_WVPXf;\n"), std::string::npos);
    EXPECT_NE(source.find("uniform mat4 g_Bones[2];\n"), std::string::npos);
    EXPECT_NE(source.find("uniform bool g_Flag;\n"), std::string::npos);
    EXPECT_NE(source.find("uniform sampler2D s_Tex;\n"), std::string::npos);
    EXPECT_EQ(source.find("g_Tex;"), std::string::npos);  // textures are read through samplers
    // the shader's first line is line 17 of the file
    EXPECT_NE(source.find("#line 17\nlayout(location = DM_ATTR_POSITION)"), std::string::npos);
    EXPECT_EQ(file.FindParameter("g_TintColor")->values, (std::vector<float>{1, 0.5f, 0.25f, 1}));
    EXPECT_EQ(file.FindParameter("g_WVPXf")->semantic, "WorldViewProjection");
}

TEST(EffectFileTest, UsedIdentifiersFollowCommonFunctionsTheShadersCall) {
    const std::string common =
        "const float kScale = 2.0;\n"
        "float A() { return g_A * kScale; }\n"
        "float B() { return A() + g_B; } // g_Comment\n"
        "float C() { return g_C; }\n";
    std::vector<std::string> used = d3dx::UsedIdentifiers(common, "void main() { float x = B(); }");
    auto has = [&](const char* name) { return std::binary_search(used.begin(), used.end(), name); };
    EXPECT_TRUE(has("g_A"));
    EXPECT_TRUE(has("g_B"));
    EXPECT_TRUE(has("kScale"));
    EXPECT_FALSE(has("g_C"));
    EXPECT_FALSE(has("g_Comment"));
}

TEST_F(EffectTest, HandlesByNameAndNullHandlesChangeNothing) {
    ASSERT_EQ(Create(kEffect), D3D_OK);
    EXPECT_NE(effect->GetTechniqueByName("Blend"), nullptr);
    EXPECT_EQ(effect->GetTechniqueByName("Missing"), nullptr);
    D3DXHANDLE opacity = effect->GetParameterByName(nullptr, "g_Opacity");
    EXPECT_NE(opacity, nullptr);
    EXPECT_EQ(effect->GetParameterByName(nullptr, "g_Missing"), nullptr);
    EXPECT_EQ(effect->GetParameterByName(opacity, "g_Opacity"), nullptr);

    null->ClearLog();
    D3DXMATRIX m = {};
    EXPECT_EQ(effect->SetFloat(nullptr, 2.0f), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->SetMatrix(nullptr, &m), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->SetTexture(nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->SetTechnique(nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->SetFloat(reinterpret_cast<D3DXHANDLE>(&m), 2.0f), D3DERR_INVALIDCALL);  // foreign
    EXPECT_TRUE(null->Log().empty());

    // the mismatched setters are refused too
    EXPECT_EQ(effect->SetMatrix(opacity, &m), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->SetFloat(effect->GetParameterByName(nullptr, "g_Tex"), 1.0f), D3DERR_INVALIDCALL);
}

TEST_F(EffectTest, BeginPassSendsValuesAndCommitSendsLaterChanges) {
    ASSERT_EQ(Create(kEffect), D3D_OK);
    D3DXHANDLE opacity = effect->GetParameterByName(nullptr, "g_Opacity");
    D3DXHANDLE flag = effect->GetParameterByName(nullptr, "g_Flag");
    D3DXHANDLE tint = effect->GetParameterByName(nullptr, "g_TintColor");
    EXPECT_EQ(effect->SetFloat(opacity, 0.25f), D3D_OK);
    EXPECT_EQ(effect->SetBool(flag, TRUE), D3D_OK);
    UINT passes = 0;
    ASSERT_EQ(effect->Begin(&passes, 0), D3D_OK);
    EXPECT_EQ(passes, 1u);
    ASSERT_EQ(effect->BeginPass(0), D3D_OK);
    EXPECT_EQ(Sent("g_Opacity"), std::vector<float>{0.25f});
    EXPECT_EQ(Sent("g_Flag"), std::vector<float>{1});
    EXPECT_EQ(Sent("g_Count"), std::vector<float>{3});  // the file's default
    EXPECT_EQ(Sent("g_TintColor"), (std::vector<float>{1, 0.5f, 0.25f, 1}));
    EXPECT_EQ(Sent("s_Tex"), std::vector<float>{2});  // the sampler's unit
    EXPECT_TRUE(Sent("g_Unused").empty());            // only the uncalled function reads it

    const float red[4] = {1, 0, 0, 1};
    EXPECT_EQ(effect->SetValue(tint, red, sizeof(red)), D3D_OK);
    EXPECT_EQ(Sent("g_TintColor"), (std::vector<float>{1, 0.5f, 0.25f, 1}));  // not before the commit
    EXPECT_EQ(effect->CommitChanges(), D3D_OK);
    EXPECT_EQ(Sent("g_TintColor"), (std::vector<float>{1, 0, 0, 1}));
    EXPECT_EQ(effect->EndPass(), D3D_OK);
    EXPECT_EQ(effect->End(), D3D_OK);

    EXPECT_TRUE(null->Contains("ID3DXEffect::Begin(Blend, 1 passes)"));  // the first technique by default
    EXPECT_TRUE(null->Contains("ID3DXEffect::SetFloat(g_Opacity, 0.25)"));
}

TEST_F(EffectTest, ScalarSettersConvertToTheParametersKind) {
    ASSERT_EQ(Create(kEffect), D3D_OK);
    const struct Case {
        const char* name;
        std::function<HRESULT(ID3DXEffect*, D3DXHANDLE)> set;
        const char* parameter;
        float sent;
        const char* record;
    } cases[] = {
        {"an int into a float", [](ID3DXEffect* e, D3DXHANDLE h) { return e->SetInt(h, 3); }, "g_Opacity", 3,
         "ID3DXEffect::SetInt(g_Opacity, 3)"},
        {"a float into an int, truncated", [](ID3DXEffect* e, D3DXHANDLE h) { return e->SetFloat(h, 2.75f); },
         "g_Count", 2, "ID3DXEffect::SetFloat(g_Count, 2.75)"},
        {"false into a float", [](ID3DXEffect* e, D3DXHANDLE h) { return e->SetBool(h, FALSE); }, "g_Opacity", 0,
         "ID3DXEffect::SetBool(g_Opacity, 0)"},
        {"any true as 1", [](ID3DXEffect* e, D3DXHANDLE h) { return e->SetBool(h, 5); }, "g_Count", 1,
         "ID3DXEffect::SetBool(g_Count, 1)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        null->ClearLog();
        ASSERT_EQ(c.set(effect, effect->GetParameterByName(nullptr, c.parameter)), D3D_OK);
        EXPECT_TRUE(null->Contains(c.record));
        ASSERT_EQ(effect->Begin(nullptr, 0), D3D_OK);
        ASSERT_EQ(effect->BeginPass(0), D3D_OK);
        EXPECT_EQ(Sent(c.parameter), std::vector<float>{c.sent});
        effect->EndPass();
        effect->End();
    }
}

TEST_F(EffectTest, MatrixArraysKeepTheirSizeAndTexturesAreHeld) {
    ASSERT_EQ(Create(kEffect), D3D_OK);
    D3DXMATRIX matrices[3];
    for (int i = 0; i < 3; ++i) {
        for (int k = 0; k < 16; ++k) {
            matrices[i].m[k / 4][k % 4] = static_cast<float>(i * 16 + k);
        }
    }
    // a third matrix has no room: dropped
    EXPECT_EQ(effect->SetMatrixArray(effect->GetParameterByName(nullptr, "g_Bones"), matrices, 3), D3D_OK);
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    EXPECT_EQ(effect->SetTexture(effect->GetParameterByName(nullptr, "g_Tex"), texture), D3D_OK);
    EXPECT_EQ(texture->Release(), 1u);  // the effect's reference

    effect->Begin(nullptr, 0);
    effect->BeginPass(0);
    std::vector<float> bones = Sent("g_Bones");
    ASSERT_EQ(bones.size(), 32u);
    EXPECT_EQ(bones[31], 31.0f);
    EXPECT_EQ(base->BoundTexture(2), static_cast<void*>(texture));
    effect->EndPass();
    effect->End();
}

TEST_F(EffectTest, EndRestoresPassStatesButKeepsWhatTheCallerSet) {
    ASSERT_EQ(Create(kEffect), D3D_OK);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->SetSamplerState(2, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    device->SetSamplerState(2, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);
    ASSERT_EQ(effect->SetTechnique(effect->GetTechniqueByName("Blend")), D3D_OK);
    ASSERT_EQ(effect->Begin(nullptr, 0), D3D_OK);
    ASSERT_EQ(effect->BeginPass(0), D3D_OK);
    EXPECT_EQ(null->CurrentRenderState(D3DRS_ALPHABLENDENABLE), DWORD(TRUE));
    EXPECT_EQ(null->CurrentRenderState(D3DRS_CULLMODE), DWORD(D3DCULL_NONE));
    EXPECT_EQ(null->CurrentSamplerState(2, D3DSAMP_ADDRESSU), DWORD(D3DTADDRESS_CLAMP));
    EXPECT_EQ(null->CurrentSamplerState(2, D3DSAMP_ADDRESSV), DWORD(D3DTADDRESS_MIRROR));  // not the sampler's
    d3d9::ShaderProgram* program = base->Program();
    EXPECT_NE(program, nullptr);

    // the caller's own states inside the pass, as a material sets its blending
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    effect->EndPass();
    effect->End();

    EXPECT_EQ(null->CurrentRenderState(D3DRS_ALPHABLENDENABLE), DWORD(FALSE));  // restored
    EXPECT_EQ(null->CurrentRenderState(D3DRS_CULLMODE), DWORD(D3DCULL_CCW));    // restored
    EXPECT_EQ(null->CurrentRenderState(D3DRS_ZWRITEENABLE), DWORD(TRUE));       // the caller's
    EXPECT_EQ(null->CurrentRenderState(D3DRS_SRCBLEND), DWORD(D3DBLEND_SRCALPHA));
    EXPECT_EQ(null->CurrentSamplerState(2, D3DSAMP_ADDRESSU), DWORD(D3DTADDRESS_WRAP));
    EXPECT_EQ(base->Program(), nullptr);

    // a technique without states leaves the device's as they are
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    effect->SetTechnique(effect->GetTechniqueByName("Plain"));
    effect->Begin(nullptr, 0);
    effect->BeginPass(0);
    EXPECT_EQ(null->CurrentRenderState(D3DRS_CULLMODE), DWORD(D3DCULL_CW));
    effect->EndPass();
    effect->End();
}

TEST_F(EffectTest, BeginPassAndEndOutOfOrderAreRefused) {
    ASSERT_EQ(Create(kEffect), D3D_OK);
    EXPECT_EQ(effect->BeginPass(0), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->CommitChanges(), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->End(), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->Begin(nullptr, 1), D3DERR_INVALIDCALL);
    ASSERT_EQ(effect->Begin(nullptr, 0), D3D_OK);
    EXPECT_EQ(effect->Begin(nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->BeginPass(1), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->BeginPass(0), D3D_OK);
    EXPECT_EQ(effect->BeginPass(0), D3DERR_INVALIDCALL);
    EXPECT_EQ(effect->End(), D3D_OK);
    EXPECT_EQ(effect->EndPass(), D3DERR_INVALIDCALL);
}

TEST_F(EffectTest, CompileErrorsAndWarningsComeBackAsText) {
    std::string messages;
    d3d9::GetNullScript().programErrors = "fragment shader: 0:21(7): error: `nothing' undeclared";
    EXPECT_EQ(Create(kEffect, &messages), E_FAIL);
    EXPECT_EQ(effect, nullptr);
    EXPECT_NE(messages.find("technique 'Blend', pass 'P0': fragment shader: 0:21(7): error: `nothing' undeclared"),
              std::string::npos)
        << messages;

    d3d9::GetNullScript().programErrors.clear();
    std::string twice(kEffect);
    twice.replace(twice.find("state CullMode None"), 0, "state CullMode CW\n");
    EXPECT_EQ(Create(twice, &messages), D3D_OK);
    EXPECT_NE(effect, nullptr);
    EXPECT_NE(messages.find("warning: render state CullMode set twice in pass 'P0'"), std::string::npos) << messages;
    effect->Begin(nullptr, 0);
    effect->BeginPass(0);
    EXPECT_EQ(null->CurrentRenderState(D3DRS_CULLMODE), DWORD(D3DCULL_NONE));  // the later value
    effect->EndPass();
    effect->End();

    effect->Release();
    effect = nullptr;
    EXPECT_EQ(D3DXCreateEffect(nullptr, kEffect, sizeof(kEffect), nullptr, nullptr, 0, nullptr, &effect, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(Create("garbage"), E_FAIL);
}

}  // namespace
