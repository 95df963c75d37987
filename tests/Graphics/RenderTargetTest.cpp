// Render targets and depth surfaces in every engine format, on the recording
// null device.
#include "Graphics/RenderTarget2D.h"

#include <gtest/gtest.h>

#include "TextureTestSupport.h"

namespace {

using namespace texturetest;
using Graphics::RenderTarget2D;
using Graphics::SurfaceFormat;

class RenderTargetTest : public texturetest::NullDeviceTest {};

TEST(SurfaceFormatTest, ConversionsCoverTheirOwnKindOnly) {
    const struct {
        int value;
        D3DFORMAT colour, depth;
    } cases[] = {
        {0, D3DFMT_A8R8G8B8, D3DFMT_UNKNOWN},    {1, D3DFMT_A2R10G10B10, D3DFMT_UNKNOWN},
        {2, D3DFMT_A2B10G10R10, D3DFMT_UNKNOWN}, {3, D3DFMT_R16F, D3DFMT_UNKNOWN},
        {4, D3DFMT_R32F, D3DFMT_UNKNOWN},        {5, D3DFMT_UNKNOWN, D3DFMT_D16},
        {6, D3DFMT_UNKNOWN, D3DFMT_D24X8},       {7, D3DFMT_UNKNOWN, D3DFMT_D24S8},
        {8, D3DFMT_UNKNOWN, D3DFMT_UNKNOWN},     {-1, D3DFMT_UNKNOWN, D3DFMT_UNKNOWN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(Graphics::GetColorFormat(SurfaceFormat(c.value)), c.colour);
        EXPECT_EQ(Graphics::GetDepthFormat(SurfaceFormat(c.value)), c.depth);
    }
}

TEST_F(RenderTargetTest, ColourTargetsInEveryColourFormat) {
    const D3DFORMAT formats[] = {D3DFMT_A8R8G8B8, D3DFMT_A2R10G10B10, D3DFMT_A2B10G10R10, D3DFMT_R16F, D3DFMT_R32F};
    for (int value = 0; value < 5; ++value) {
        SCOPED_TRACE(value);
        RenderTarget2D target(graphics, 64, 32, 1, SurfaceFormat(value), false);
        EXPECT_FALSE(target.NeedsCreation());
        ASSERT_NE(target.GetTexture(), nullptr);
        D3DSURFACE_DESC desc;
        ASSERT_EQ(target.GetTexture()->GetLevelDesc(0, &desc), D3D_OK);
        EXPECT_EQ(desc.Format, formats[value]);
        EXPECT_EQ(desc.Width, 64u);
        EXPECT_EQ(desc.Height, 32u);
        EXPECT_EQ(desc.Usage, DWORD(D3DUSAGE_RENDERTARGET));
        EXPECT_EQ(desc.Pool, D3DPOOL_DEFAULT);

        IDirect3DSurface9* surface = target.GetSurface();
        ASSERT_NE(surface, nullptr);
        EXPECT_EQ(surface->Release(), 0u) << "the caller's one reference";
    }
}

TEST_F(RenderTargetTest, DepthTargetsInEveryDepthFormat) {
    const D3DFORMAT formats[] = {D3DFMT_D16, D3DFMT_D24X8, D3DFMT_D24S8};
    for (int value = 5; value < 8; ++value) {
        SCOPED_TRACE(value);
        const size_t before = LiveResources();
        {
            RenderTarget2D target(graphics, 32, 32, 1, SurfaceFormat(value), true);
            EXPECT_EQ(target.GetTexture(), nullptr);
            IDirect3DSurface9* surface = target.GetSurface();
            ASSERT_NE(surface, nullptr);
            D3DSURFACE_DESC desc;
            ASSERT_EQ(surface->GetDesc(&desc), D3D_OK);
            EXPECT_EQ(desc.Format, formats[value - 5]);
            EXPECT_EQ(target.GetSurface(), surface) << "no reference added";
            EXPECT_EQ(LiveResources(), before + 1);
        }
        EXPECT_EQ(LiveResources(), before) << "the depth surface goes with the target";
    }
}

TEST_F(RenderTargetTest, FormatsOfTheOtherKindOrRefusedLeaveNoSurface) {
    RenderTarget2D colourOfDepth(graphics, 16, 16, 1, Graphics::SurfaceFormatD16, false);
    EXPECT_EQ(colourOfDepth.GetTexture(), nullptr);
    EXPECT_EQ(colourOfDepth.GetSurface(), nullptr);
    EXPECT_TRUE(d3d9::GetNullScript().calls.back().find("CheckDeviceFormat(0x1, SURFACE, 0)") == 0)
        << d3d9::GetNullScript().calls.back();

    RenderTarget2D depthOfColour(graphics, 16, 16, 1, Graphics::SurfaceFormatR32F, true);
    EXPECT_EQ(depthOfColour.GetSurface(), nullptr);

    d3d9::GetNullScript().refusedFormats.push_back({D3DUSAGE_RENDERTARGET, D3DRTYPE_SURFACE, D3DFMT_R16F});
    RenderTarget2D refused(graphics, 16, 16, 1, Graphics::SurfaceFormatR16F, false);
    EXPECT_EQ(refused.GetTexture(), nullptr);
    EXPECT_FALSE(refused.NeedsCreation());
    EXPECT_EQ(refused.Create(), D3D_OK) << "nothing more to create";
}

TEST_F(RenderTargetTest, ReleaseTwiceIsHarmlessAndCreateBuildsAgain) {
    const size_t before = LiveResources();
    RenderTarget2D target(graphics, 32, 32, 1, Graphics::SurfaceFormatA8R8G8B8, false);
    target.Release();
    EXPECT_TRUE(target.NeedsCreation());
    EXPECT_EQ(target.GetTexture(), nullptr);
    EXPECT_EQ(target.GetSurface(), nullptr);
    target.Release();
    EXPECT_TRUE(target.NeedsCreation());
    EXPECT_EQ(LiveResources(), before);
    EXPECT_EQ(target.Create(), D3D_OK);
    EXPECT_NE(target.GetTexture(), nullptr);
    EXPECT_EQ(LiveResources(), before + 1);

    RenderTarget2D depth(graphics, 32, 32, 1, Graphics::SurfaceFormatD24S8, true);
    depth.Release();
    EXPECT_EQ(depth.Create(), D3D_OK);
    EXPECT_EQ(LiveResources(), before + 2) << "the old depth surface was not left behind";
}

}  // namespace
