// The effect files of the sample data on the OpenGL backend: each technique of
// the uber effect draws a known primitive and the pixels read back carry the
// colour its shading gives; a broken shader reaches the compiler-error box.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "Graphics/Renderer.h"
#include "GraphicsDeviceGLFixture.h"
#include "platform/win32/MessageBox.h"

namespace {

// Clip-space corners of a square covering the middle of the target; the strip
// runs top left, top right, bottom left, bottom right (clockwise on screen).
const float kSquare[4][2] = {{-0.5f, 0.5f}, {0.5f, 0.5f}, {-0.5f, -0.5f}, {0.5f, -0.5f}};

Graphics::ModelVertex ModelCorner(int i) {
    Graphics::ModelVertex v = {};
    v.position[0] = kSquare[i][0];
    v.position[1] = kSquare[i][1];
    v.position[2] = 0.5f;
    v.normal[2] = 1.0f;  // facing the sun; no tangent frame, so no normal map
    v.uv[0] = static_cast<float>(i & 1);
    v.uv[1] = static_cast<float>(i >> 1);
    return v;
}

TEST_F(GraphicsDeviceGLTest, Render2DFillsAndTexturesInPixels) {
    const Graphics::ScreenVertex rect[4] = {
        {10, 10, 1, 1, 0, 0}, {50, 10, 1, 1, 1, 0}, {10, 40, 1, 1, 0, 1}, {50, 40, 1, 1, 1, 1}};
    fx->SetBool(effect->color_only_, TRUE);
    SetFloat4(effect->tint_color_, 0.5f, 0.25f, 1.0f, 1.0f);
    Draw(effect->render_2d_technique_, graphics->GetScreenVertexDeclaration(), D3DPT_TRIANGLESTRIP, 2, rect);
    EXPECT_TRUE(Near(Pixel(30, 25), {128, 64, 255}));
    EXPECT_TRUE(Near(Pixel(10, 10), {128, 64, 255}));
    EXPECT_TRUE(Near(Pixel(49, 39), {128, 64, 255}));
    EXPECT_TRUE(Near(Pixel(50, 25), kClear));
    EXPECT_TRUE(Near(Pixel(9, 25), kClear));

    // textured, tinted, then half transparent over the clear colour
    const Graphics::ScreenVertex quad[4] = {
        {60, 10, 1, 1, 0, 0}, {100, 10, 1, 1, 1, 0}, {60, 40, 1, 1, 0, 1}, {100, 40, 1, 1, 1, 1}};
    fx->SetBool(effect->color_only_, FALSE);
    fx->SetTexture(effect->tex_diffuse_, MakeTexture(0xFF3080C0u));
    SetFloat4(effect->tint_color_, 1.0f, 0.5f, 1.0f, 1.0f);
    Draw(effect->render_2d_technique_, graphics->GetScreenVertexDeclaration(), D3DPT_TRIANGLESTRIP, 2, quad);
    EXPECT_TRUE(Near(Pixel(80, 25), {0x30, 0x40, 0xC0}));

    const Graphics::ScreenVertex low[4] = {
        {60, 50, 1, 1, 0, 0}, {100, 50, 1, 1, 1, 0}, {60, 80, 1, 1, 0, 1}, {100, 80, 1, 1, 1, 1}};
    fx->SetTexture(effect->tex_diffuse_, white);
    SetFloat4(effect->tint_color_, 1.0f, 1.0f, 1.0f, 0.5f);
    Draw(effect->render_2d_technique_, graphics->GetScreenVertexDeclaration(), D3DPT_TRIANGLESTRIP, 2, low);
    EXPECT_TRUE(Near(Pixel(80, 65), {(255 + 0x20) / 2, (255 + 0x40) / 2, (255 + 0x60) / 2}));
    // the pass's blending is put back afterwards
    DWORD blending = 0;
    blending = d3d9::AsDeviceBase(device)->State().RenderState(D3DRS_ALPHABLENDENABLE);
    EXPECT_EQ(blending, DWORD(FALSE));
}

TEST_F(GraphicsDeviceGLTest, RenderColorTakesTheVertexColour) {
    const Graphics::LineVertex triangle[3] = {
        {-0.5f, -0.5f, 0.5f, 0xFF20C040u}, {0.0f, 0.5f, 0.5f, 0xFF20C040u}, {0.5f, -0.5f, 0.5f, 0xFF20C040u}};
    SetFloat4(effect->tint_color_, 0.0f, 0.0f, 0.0f, 1.0f);  // not used by this technique
    Draw(effect->render_color_technique_, graphics->GetLineVertexDeclaration(), D3DPT_TRIANGLELIST, 1, triangle);
    EXPECT_TRUE(Near(Pixel(kWidth / 2, kHeight / 2 + 10), {0x20, 0xC0, 0x40}));
    EXPECT_TRUE(Near(Pixel(4, 4), kClear));
}

TEST_F(GraphicsDeviceGLTest, RenderStaticLightsTheTintedTexture) {
    SetSun();
    Graphics::ModelVertex square[4];
    for (int i = 0; i < 4; ++i) {
        square[i] = ModelCorner(i);
    }
    fx->SetTexture(effect->tex_diffuse_, white);
    SetFloat4(effect->tint_color_, 0.5f, 1.0f, 0.25f, 1.0f);
    Draw(effect->static_technique_, graphics->GetModelVertexDeclaration(), D3DPT_TRIANGLESTRIP, 2, square);
    // albedo x (ambient 0.2 + diffuse 0.6)
    EXPECT_TRUE(Near(Pixel(kWidth / 2, kHeight / 2), {102, 204, 51}));
    EXPECT_TRUE(Near(Pixel(4, 4), kClear));

    // a light from the side leaves the ambient only; selection brightens by a
    // fifth and adds a little gold (the square faces the eye: no rim)
    const float side[3] = {1.0f, 0.0f, 0.0f};
    fx->SetValue(effect->light_dir_, side, sizeof(side));
    Draw(effect->static_technique_, graphics->GetModelVertexDeclaration(), D3DPT_TRIANGLESTRIP, 2, square);
    EXPECT_TRUE(Near(Pixel(kWidth / 2, kHeight / 2), {26, 51, 13}));
    fx->SetBool(effect->selected_, TRUE);
    Draw(effect->static_technique_, graphics->GetModelVertexDeclaration(), D3DPT_TRIANGLESTRIP, 2, square);
    EXPECT_TRUE(Near(Pixel(kWidth / 2, kHeight / 2), {41, 69, 18}));
}

TEST_F(GraphicsDeviceGLTest, RenderStaticLMTakesTheLightMap) {
    SetSun();
    Graphics::ModelVertexLM square[4];
    for (int i = 0; i < 4; ++i) {
        Graphics::ModelVertex v = ModelCorner(i);
        std::memcpy(&square[i], &v, sizeof(v));
        square[i].lightMapUv[0] = v.uv[0];
        square[i].lightMapUv[1] = v.uv[1];
    }
    fx->SetTexture(effect->tex_diffuse_, white);
    fx->SetTexture(effect->tex_light_map_, MakeTexture(0xFF808080u));
    SetFloat4(effect->tint_color_, 1.0f, 1.0f, 1.0f, 1.0f);
    graphics->SetLightMapFactor(1.0f, 0.0f);  // the light map alone
    // A first draw uploads the light map: the GL backend rebinds texture unit 0
    // while it uploads for a higher unit, so only a later draw shows both.
    Draw(effect->static_lm_technique_, graphics->GetModelVertexLMDeclaration(), D3DPT_TRIANGLESTRIP, 2, square);
    Draw(effect->static_lm_technique_, graphics->GetModelVertexLMDeclaration(), D3DPT_TRIANGLESTRIP, 2, square);
    EXPECT_TRUE(Near(Pixel(kWidth / 2, kHeight / 2), {128, 128, 128}));

    graphics->SetLightMapFactor(1.5f, 1.0f);  // brighter, shaped by the sun (0.8)
    Draw(effect->static_lm_technique_, graphics->GetModelVertexLMDeclaration(), D3DPT_TRIANGLESTRIP, 2, square);
    EXPECT_TRUE(Near(Pixel(kWidth / 2, kHeight / 2), {154, 154, 154}));

    fx->SetBool(effect->fake_hdr_, TRUE);
    graphics->SetLightMapFactor(1.0f, 0.0f);
    Draw(effect->static_lm_technique_, graphics->GetModelVertexLMDeclaration(), D3DPT_TRIANGLESTRIP, 2, square);
    const int expected = static_cast<int>(std::lround(255.0 * (1.0 - std::exp(-1.8 * 128.0 / 255.0))));
    EXPECT_TRUE(Near(Pixel(kWidth / 2, kHeight / 2), {expected, expected, expected}));
}

TEST_F(GraphicsDeviceGLTest, RenderSkinnedMovesVerticesWithTheirBones) {
    SetSun();
    Graphics::SkinnedModelVertex square[4];
    for (int i = 0; i < 4; ++i) {
        Graphics::ModelVertex v = ModelCorner(i);
        std::memset(&square[i], 0, sizeof(square[i]));
        std::memcpy(&square[i], &v, sizeof(v));
        square[i].position[0] = v.position[0] * 0.5f - 0.5f;  // the left half of the view ...
        square[i].blendWeights[0] = 1.0f;
        square[i].blendIndices[0] = 2;
        square[i].blendIndices[1] = 0;
    }
    D3DXMATRIX bones[3] = {Identity4(), Identity4(), Identity4()};
    bones[2].m[3][0] = 1.0f;  // ... moved by bone 2 one unit to the right
    fx->SetMatrixArray(effect->bone_matrix_array_, bones, 3);
    fx->SetInt(effect->bone_count_, 2);
    fx->SetTexture(effect->tex_diffuse_, white);
    SetFloat4(effect->tint_color_, 1.0f, 1.0f, 1.0f, 1.0f);
    Draw(effect->skinned_technique_, graphics->GetSkinnedModelVertexDeclaration(), D3DPT_TRIANGLESTRIP, 2, square);
    EXPECT_TRUE(Near(Pixel(kWidth * 3 / 4, kHeight / 2), {204, 204, 204}));
    EXPECT_TRUE(Near(Pixel(kWidth / 4, kHeight / 2), kClear));

    // with no influences the vertices stay where they are
    Clear(0xFF204060u);
    fx->SetInt(effect->bone_count_, 0);
    Draw(effect->skinned_technique_, graphics->GetSkinnedModelVertexDeclaration(), D3DPT_TRIANGLESTRIP, 2, square);
    EXPECT_TRUE(Near(Pixel(kWidth / 4, kHeight / 2), {204, 204, 204}));
    EXPECT_TRUE(Near(Pixel(kWidth * 3 / 4, kHeight / 2), kClear));
}

TEST_F(GraphicsDeviceGLTest, ParticlesAddTheirColourWhenTheRendererBlendsAdditively) {
    const DWORD colour = 0x00401080u;  // additive: the colour carries the fade, alpha 0
    Graphics::ParticleQuadVertex quad[4];
    for (int i = 0; i < 4; ++i) {
        quad[i] = {
            kSquare[i][0], kSquare[i][1], 0.5f, 0.01f, colour, static_cast<float>(i & 1), static_cast<float>(i >> 1)};
    }
    // what the particle renderer sets before it begins the effect
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    fx->SetTexture(effect->tex_diffuse_, white);
    Draw(effect->particles_technique_, graphics->GetParticleQuadVertexDeclaration(), D3DPT_TRIANGLESTRIP, 2, quad);
    EXPECT_TRUE(Near(Pixel(kWidth / 2, kHeight / 2), {0x20 + 0x40, 0x40 + 0x10, 0x60 + 0x80}));
    // the technique leaves the renderer's states and addressing alone
    EXPECT_EQ(d3d9::AsDeviceBase(device)->State().RenderState(D3DRS_SRCBLEND), DWORD(D3DBLEND_ONE));
    EXPECT_EQ(d3d9::AsDeviceBase(device)->State().SamplerState(0, D3DSAMP_ADDRESSU), DWORD(D3DTADDRESS_CLAMP));
}

TEST_F(GraphicsDeviceGLTest, RenderBlobDarkensTheGroundByItsAlpha) {
    Clear(0xFFC8C8C8u);
    Graphics::BlobShadowVertex quad[4];
    for (int i = 0; i < 4; ++i) {
        quad[i] = {kSquare[i][0], kSquare[i][1], 0.25f, static_cast<float>(i & 1), static_cast<float>(i >> 1)};
    }
    fx->SetTexture(effect->tex_diffuse_, MakeTexture(0x80000000u));  // black, half covering
    SetFloat4(effect->tint_color_, 0.0f, 0.0f, 0.0f, 1.0f);
    fx->SetFloat(effect->opacity_, 1.0f);
    Draw(effect->render_blob_technique_, graphics->GetBlobShadowVertexDeclaration(), D3DPT_TRIANGLESTRIP, 2, quad);
    EXPECT_TRUE(Near(Pixel(kWidth / 2, kHeight / 2), {100, 100, 100}));

    fx->SetFloat(effect->opacity_, 0.0f);  // a faded blob leaves nothing
    Clear(0xFFC8C8C8u);
    Draw(effect->render_blob_technique_, graphics->GetBlobShadowVertexDeclaration(), D3DPT_TRIANGLESTRIP, 2, quad);
    EXPECT_TRUE(Near(Pixel(kWidth / 2, kHeight / 2), {200, 200, 200}));
}

TEST_F(GraphicsDeviceGLTest, RendererEffectsCompile) {
    Graphics::Renderer renderer(d3d, device);
    EXPECT_TRUE(boxes.Shown().empty()) << boxes.Shown()[0].text;
    ASSERT_NE(renderer.GetPostProcessEffect(), nullptr);
    EXPECT_NE(renderer.GetPostProcessEffect()->GetTechniqueByName("GaussFilter"), nullptr);
    EXPECT_NE(renderer.GetLightPrepassEffect()->GetTechniqueByName("FinalComposite"), nullptr);
    EXPECT_NE(renderer.GetShadowEffect()->GetTechniqueByName("GenShadowMap"), nullptr);
}

TEST_F(GraphicsDeviceGLTest, BrokenShaderShowsTheCompilerError) {
    std::string broken(catalogue::effects::kUberGraphicsDevice);
    broken.replace(broken.find("o_Color = v_Color;"), 0, "o_Color = undeclaredThing;\n    ");
    folder.Write(catalogue::effects::kUberGraphicsDevicePath, broken);
    Graphics::GraphicsDevice second(d3d, device);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    const platform::ShownMessageBox box = boxes.Shown()[0];
    EXPECT_EQ(box.caption, "SHADER COMPILER ERROR");
    EXPECT_NE(box.text.find("technique 'RenderColor', pass 'P0': fragment shader: "), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("undeclaredThing"), std::string::npos) << box.text;
    EXPECT_FALSE(second.GetEffect()->IsLoaded());
    d3d9::ClearErrors(device);
}

}  // namespace
