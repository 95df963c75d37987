// The effect classes over the effect files of the sample data and over broken
// or missing ones, on the recording null device.
#include "Graphics/Effect.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Graphics/GraphicsDevice.h"
#include "GraphicsDeviceFixture.h"
#include "platform/win32/MessageBox.h"

namespace {

using Graphics::GDEffect;

const char kTwoPasses[] = R"(effect 1
parameter float g_Opacity = 1
shader vertex VS
void main() { gl_Position = vec4(g_Opacity); }
endshader
shader fragment PS
out vec4 o_Color;
void main() { o_Color = vec4(1.0); }
endshader
technique RenderStatic
pass First
vertex VS
fragment PS
endpass
pass Second
vertex VS
fragment PS
endpass
endtechnique
)";

class EffectTest : public ::NullDeviceTest {};

TEST_F(EffectTest, ShippedUberEffectHasEveryHandle) {
    folder.WriteShippedEffects();
    platform::MessageBoxCapture boxes;
    Graphics::GraphicsDevice graphics(d3d, device);
    const GDEffect& effect = *graphics.GetEffect();
    EXPECT_TRUE(effect.IsLoaded());
    EXPECT_TRUE(boxes.Shown().empty());
    const D3DXHANDLE handles[] = {
        effect.wvp_xf_,
        effect.world_xf_,
        effect.skinned_technique_,
        effect.static_technique_,
        effect.static_lm_technique_,
        effect.tex_diffuse_,
        effect.tex_normal_map_,
        effect.tex_light_map_,
        effect.tint_color_,
        effect.fake_hdr_,
        effect.bone_count_,
        effect.bone_matrix_array_,
        effect.lm_factor_,
        effect.opacity_,
        effect.selected_,
        effect.reflectance_,
        effect.render_2d_technique_,
        effect.particles_technique_,
        effect.render_color_technique_,
        effect.render_blob_technique_,
        effect.cam_pos_,
        effect.light_ambient_,
        effect.light_diffuse_,
        effect.light_specular_,
        effect.light_dir_,
        effect.color_only_,
    };
    for (size_t i = 0; i < sizeof(handles) / sizeof(handles[0]); ++i) {
        EXPECT_NE(handles[i], nullptr) << "handle " << i;
    }
    EXPECT_EQ(effect.technique_, nullptr);
    EXPECT_EQ(effect.GetFileName(), "res-pc/Shaders/UberGraphicsDevice.fxo");
}

TEST_F(EffectTest, ShippedRendererEffectsCompileWithTheirTechniques) {
    struct Expected {
        const char* text;
        std::vector<const char*> techniques;
        std::vector<const char*> parameters;
    } files[] = {
        {catalogue::effects::kLightPrepass, {"FillGBuffer", "FillLightBuffer", "FinalComposite"}, {}},
        {catalogue::effects::kShadowMapping, {"GenShadowMap"}, {}},
        {catalogue::effects::kPostProcess,
         {"GaussFilter", "ColorInverse", "ColorGrayscale", "DebugShow"},
         {"g_TexScreen"}},
    };
    for (const Expected& file : files) {
        ID3DXEffect* effect = nullptr;
        ID3DXBuffer* errors = nullptr;
        ASSERT_EQ(D3DXCreateEffect(device, file.text, static_cast<UINT>(std::strlen(file.text)), nullptr, nullptr,
                                   0x412, nullptr, &effect, &errors),
                  D3D_OK);
        EXPECT_EQ(errors, nullptr) << static_cast<const char*>(errors->GetBufferPointer());
        for (const char* name : file.techniques) {
            EXPECT_NE(effect->GetTechniqueByName(name), nullptr) << name;
        }
        for (const char* name : file.parameters) {
            EXPECT_NE(effect->GetParameterByName(nullptr, name), nullptr) << name;
        }
        effect->Release();
    }
}

TEST_F(EffectTest, MissingFileLeavesAnEmptyEffectThatDrawsNothing) {
    platform::MessageBoxCapture boxes;
    testing::internal::CaptureStderr();
    Graphics::GraphicsDevice graphics(d3d, device);
    // One line names the file, no box.
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Effect file res-pc/Shaders/UberGraphicsDevice.fxo is missing or unreadable.\n"),
              std::string::npos)
        << said;
    EXPECT_EQ(said.find("Effect file", said.find("Effect file") + 1), std::string::npos) << said;
    GDEffect& effect = *graphics.GetEffect();
    EXPECT_FALSE(effect.IsLoaded());
    ASSERT_NE(effect.effect_, nullptr);
    EXPECT_EQ(effect.static_technique_, nullptr);
    EXPECT_EQ(effect.opacity_, nullptr);
    EXPECT_TRUE(boxes.Shown().empty());

    null->ClearLog();
    effect.technique_ = effect.static_technique_;
    effect.Begin();
    EXPECT_EQ(effect.effect_->SetFloat(effect.opacity_, 0.5f), D3DERR_INVALIDCALL);
    effect.CommitChanges();
    effect.End();
    EXPECT_TRUE(null->Log().empty());
}

TEST_F(EffectTest, CompilerErrorIsShownAndTheGameGoesOn) {
    folder.Write("res-pc/Shaders/UberGraphicsDevice.fxo", "effect 1\ntechnique Render2D\npass P0\nstate Fog true\n");
    platform::MessageBoxCapture boxes;
    Graphics::GraphicsDevice graphics(d3d, device);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].caption, "SHADER COMPILER ERROR");
    EXPECT_EQ(boxes.Shown()[0].text,
              "res-pc/Shaders/UberGraphicsDevice.fxo: effect(4): error: unknown render state 'Fog'\n");
    EXPECT_EQ(boxes.Shown()[0].type, MB_OK);
    EXPECT_FALSE(graphics.GetEffect()->IsLoaded());
    EXPECT_EQ(graphics.GetEffect()->render_2d_technique_, nullptr);
}

TEST_F(EffectTest, WarningsAreShownAndTheEffectIsKept) {
    std::string text(kTwoPasses);
    text.replace(text.find("vertex VS\nfragment PS\nendpass\npass Second"), 0,
                 "state ZEnable false\nstate ZEnable true\n");
    folder.Write("warned.fxo", text);
    platform::MessageBoxCapture boxes;
    Graphics::GraphicsDevice graphics(d3d, device);
    Graphics::Effect effect(&graphics, "warned.fxo");
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].caption, "SHADER COMPILER ERROR");
    EXPECT_NE(boxes.Shown()[0].text.find("warning: render state ZEnable set twice"), std::string::npos);
    EXPECT_TRUE(effect.IsLoaded());
}

TEST_F(EffectTest, BeginRunsTheSelectedTechniqueOnlyInItsFirstPass) {
    folder.Write("two.fxo", kTwoPasses);
    Graphics::GraphicsDevice graphics(d3d, device);
    Graphics::BaseEffect effect(&graphics, "two.fxo");
    ASSERT_TRUE(effect.IsLoaded());
    EXPECT_EQ(effect.wvp_xf_, nullptr);  // not in this file
    effect.technique_ = effect.effect_->GetTechniqueByName("RenderStatic");
    null->ClearLog();
    effect.Begin();
    effect.CommitChanges();
    effect.End();
    EXPECT_EQ(
        LogLines({"ID3DXEffect::"}),
        (std::vector<std::string>{"ID3DXEffect::SetTechnique(RenderStatic)",
                                  "ID3DXEffect::Begin(RenderStatic, 2 passes)", "ID3DXEffect::BeginPass(0)",
                                  "ID3DXEffect::CommitChanges()", "ID3DXEffect::EndPass()", "ID3DXEffect::End()"}));
}

}  // namespace
