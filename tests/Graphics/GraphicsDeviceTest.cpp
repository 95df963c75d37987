// The graphics device on the recording null device: its declarations, the
// particle buffers it keeps and the viewport. The light upload, the debug axes
// and the scene draw are tested with the scene graph (SceneGraph/SceneDrawTest).
#include "Graphics/GraphicsDevice.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>

#include "Graphics/Draw2D.h"
#include "Graphics/SpriteFont.h"
#include "Graphics/Texture2D.h"
#include "GraphicsDeviceFixture.h"

namespace {

using Graphics::GraphicsDevice;

class GraphicsDeviceTest : public ::NullDeviceTest {
protected:
    void SetUp() override {
        ::NullDeviceTest::SetUp();
        folder.WriteShippedEffects();
        recorder.reset(new ParticleRecorder(base));
        graphics.reset(new GraphicsDevice(d3d, device));
        null->ClearLog();
    }
    void TearDown() override {
        graphics.reset();
        recorder.reset();
        ::NullDeviceTest::TearDown();
    }

    std::unique_ptr<ParticleRecorder> recorder;
    std::unique_ptr<GraphicsDevice> graphics;
};

TEST_F(GraphicsDeviceTest, StartsWithTheVirtualScreenAndSevenDeclarations) {
    EXPECT_EQ(graphics->GetScreenSize().x, 1024.0f);
    EXPECT_EQ(graphics->GetScreenSize().y, 768.0f);
    const D3DVIEWPORT9& viewport = graphics->GetViewport();
    EXPECT_EQ(viewport.Width, 1u);
    EXPECT_EQ(viewport.Height, 1u);
    EXPECT_EQ(viewport.MaxZ, 0.0f);
    EXPECT_EQ(graphics->GetEffectFlags(), 0x412u);
    EXPECT_EQ(recorder->created, 1);

    // usage, type and offset of each element, then the vertex size
    struct Expected {
        IDirect3DVertexDeclaration9* declaration;
        std::vector<std::array<int, 4>> elements;  // usage, usage index, type, offset
        size_t size;
    } declarations[] = {
        {graphics->GetScreenVertexDeclaration(), {{9, 0, 3, 0}, {5, 0, 1, 16}}, sizeof(Graphics::ScreenVertex)},
        {graphics->GetLineVertexDeclaration(), {{0, 0, 2, 0}, {10, 0, 4, 12}}, sizeof(Graphics::LineVertex)},
        {graphics->GetParticleQuadVertexDeclaration(),
         {{0, 0, 3, 0}, {10, 0, 4, 16}, {5, 0, 1, 20}},
         sizeof(Graphics::ParticleQuadVertex)},
        {graphics->GetBlobShadowVertexDeclaration(), {{0, 0, 2, 0}, {5, 0, 1, 12}}, sizeof(Graphics::BlobShadowVertex)},
        {graphics->GetModelVertexDeclaration(),
         {{0, 0, 2, 0}, {3, 0, 2, 12}, {6, 0, 2, 24}, {7, 0, 2, 36}, {5, 0, 1, 48}},
         sizeof(Graphics::ModelVertex)},
        {graphics->GetModelVertexLMDeclaration(),
         {{0, 0, 2, 0}, {3, 0, 2, 12}, {6, 0, 2, 24}, {7, 0, 2, 36}, {5, 0, 1, 48}, {5, 1, 1, 56}},
         sizeof(Graphics::ModelVertexLM)},
        {graphics->GetSkinnedModelVertexDeclaration(),
         {{0, 0, 2, 0}, {3, 0, 2, 12}, {6, 0, 2, 24}, {7, 0, 2, 36}, {5, 0, 1, 48}, {1, 0, 1, 56}, {2, 0, 5, 64}},
         sizeof(Graphics::SkinnedModelVertex)},
    };
    for (const Expected& expected : declarations) {
        ASSERT_NE(expected.declaration, nullptr);
        const auto& elements = static_cast<d3d9::VertexDeclaration*>(expected.declaration)->Elements();
        ASSERT_EQ(elements.size(), expected.elements.size());
        for (size_t i = 0; i < elements.size(); ++i) {
            EXPECT_EQ(elements[i].Stream, 0);
            EXPECT_EQ(
                (std::array<int, 4>{elements[i].Usage, elements[i].UsageIndex, elements[i].Type, elements[i].Offset}),
                expected.elements[i]);
        }
        EXPECT_EQ(static_cast<d3d9::VertexDeclaration*>(expected.declaration)->StreamExtent(0), expected.size);
    }

    graphics.reset();
    EXPECT_EQ(recorder->released, 1);
}

TEST_F(GraphicsDeviceTest, ViewportGoesToTheDevice) {
    EXPECT_EQ(graphics->SetViewport(Viewport(0, 0, 1024, 768, 0.0f, 1.0f)), D3D_OK);
    EXPECT_EQ(graphics->GetViewport().Width, 1024u);
    EXPECT_EQ(graphics->GetViewport().MaxZ, 1.0f);
    EXPECT_EQ(base->Viewport().Height, 768u);
}

}  // namespace
