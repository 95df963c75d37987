// The renderer on the recording null device: its render targets and quads,
// the vendor flags and the chain of effect files. The frame it draws is tested
// with the scene graph (SceneGraph/SceneDrawTest).
#include "Graphics/Renderer.h"

#include <gtest/gtest.h>

#include <cstring>

#include "GraphicsDeviceFixture.h"
#include "platform/win32/MessageBox.h"

namespace {

using Graphics::Renderer;

class RendererTest : public ::NullDeviceTest {};

TEST_F(RendererTest, CreatesSixTargetsAndTwoQuads) {
    Renderer renderer(d3d, device);
    struct Expected {
        int width;
        int height;
        Graphics::SurfaceFormat format;
    } targets[] = {
        {1024, 768, Graphics::SurfaceFormatA2R10G10B10}, {1024, 768, Graphics::SurfaceFormatR32F},
        {1024, 768, Graphics::SurfaceFormatA8R8G8B8},    {512, 512, Graphics::SurfaceFormatR32F},
        {1024, 768, Graphics::SurfaceFormatA8R8G8B8},    {1024, 768, Graphics::SurfaceFormatA8R8G8B8},
    };
    for (int i = 0; i < 6; ++i) {
        const auto& target = renderer.GetRenderTarget(i);
        ASSERT_TRUE(target) << i;
        EXPECT_EQ(target->GetWidth(), targets[i].width) << i;
        EXPECT_EQ(target->GetHeight(), targets[i].height) << i;
        EXPECT_EQ(target->GetFormat(), targets[i].format) << i;
        EXPECT_EQ(target->GetLevels(), 1) << i;
        EXPECT_FALSE(target->IsDepthTarget()) << i;
        EXPECT_NE(target->GetTexture(), nullptr) << i;
    }

    struct Quad {
        Graphics::FullScreenQuad* quad;
        float width;
        float height;
    } quads[] = {{renderer.GetScreenQuad(), 1024.0f, 768.0f}, {renderer.GetSmallQuad(), 512.0f, 512.0f}};
    for (const Quad& q : quads) {
        auto* buffer = static_cast<d3d9::VertexBuffer*>(q.quad->GetVertexBuffer());
        ASSERT_EQ(buffer->Length(), 96u);
        EXPECT_EQ(buffer->Usage(), DWORD(D3DUSAGE_WRITEONLY));
        Graphics::ScreenVertex corners[4];
        std::memcpy(corners, buffer->Bytes().data(), sizeof(corners));
        const float expected[4][6] = {
            {0, 0, 1, 1, 0, 0}, {q.width, 0, 1, 1, 1, 0}, {q.width, q.height, 1, 1, 1, 1}, {0, q.height, 1, 1, 0, 1}};
        EXPECT_EQ(0, std::memcmp(corners, expected, sizeof(corners)));
    }
}

TEST_F(RendererTest, VendorFlagsFromTheAdapter) {
    struct Case {
        DWORD vendor;
        const char* description;
        bool ati, atiHD, intel, nvidia;
    } cases[] = {
        {0x1002, "Radeon HD 5770", false, true, false, false},
        {0x1002, "Radeon X1950 (hd in lower case)", true, false, false, false},
        {0x8086, "Intel HD Graphics", false, false, true, false},
        {0x10DE, "GeForce GTX 280", false, false, false, true},
        {0x5333, "S3 HD", false, false, false, false},
    };
    for (const Case& c : cases) {
        d3d9::GetNullScript().identifier.VendorId = c.vendor;
        std::strncpy(d3d9::GetNullScript().identifier.Description, c.description,
                     sizeof(d3d9::GetNullScript().identifier.Description) - 1);
        Renderer renderer(d3d, device);
        EXPECT_EQ(renderer.IsATI(), c.ati) << c.description;
        EXPECT_EQ(renderer.IsATIHD(), c.atiHD) << c.description;
        EXPECT_EQ(renderer.IsIntel(), c.intel) << c.description;
        EXPECT_EQ(renderer.IsNVIDIA(), c.nvidia) << c.description;
    }
}

TEST_F(RendererTest, EffectFilesLoadInAChainThatStopsAtTheFirstMissingOne) {
    platform::MessageBoxCapture boxes;
    folder.Write(catalogue::effects::kShadowMappingPath, catalogue::effects::kShadowMapping);
    folder.Write(catalogue::effects::kPostProcessPath, catalogue::effects::kPostProcess);
    {
        Renderer renderer(d3d, device);
        EXPECT_EQ(renderer.GetLightPrepassEffect(), nullptr);
        EXPECT_EQ(renderer.GetShadowEffect(), nullptr);
        EXPECT_EQ(renderer.GetPostProcessEffect(), nullptr);
    }
    folder.WriteShippedEffects();
    {
        Renderer renderer(d3d, device);
        ASSERT_NE(renderer.GetLightPrepassEffect(), nullptr);
        ASSERT_NE(renderer.GetShadowEffect(), nullptr);
        ASSERT_NE(renderer.GetPostProcessEffect(), nullptr);
        EXPECT_NE(renderer.GetPostProcessEffect()->GetParameterByName(nullptr, "g_TexScreen"), nullptr);
    }
    // a file that does not compile is reported and answers every lookup with nothing
    folder.Write(catalogue::effects::kShadowMappingPath, "effect 1\nparameter matrix g_X\n");
    {
        Renderer renderer(d3d, device);
        ASSERT_NE(renderer.GetShadowEffect(), nullptr);
        EXPECT_EQ(renderer.GetShadowEffect()->GetTechniqueByName("GenShadowMap"), nullptr);
        ASSERT_NE(renderer.GetPostProcessEffect(), nullptr);
    }
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].caption, "SHADER COMPILER ERROR");
    EXPECT_EQ(boxes.Shown()[0].text, std::string(catalogue::effects::kShadowMappingPath) +
                                         ": effect(2): error: unknown parameter type 'matrix'\n");
}

}  // namespace
