// Textures on the recording null device: loading from a file and from memory,
// the dynamic texture, unload and reload, the default textures, and broken
// files that give no texture.
#include "Graphics/Texture2D.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <boost/functional/hash.hpp>

#include <filesystem>

#include "TextureTestSupport.h"

namespace {

using namespace texturetest;
using Graphics::Texture2D;

class TextureTest : public texturetest::NullDeviceTest {};

// The references a device texture has besides the caller's own.
ULONG OtherReferences(IDirect3DTexture9* texture) {
    texture->AddRef();
    return texture->Release() - 1;
}

TEST_F(TextureTest, AFileTextureKeepsBothSizes) {
    const std::string path = Write("odd.dds", Dds(20, 12));
    boost::shared_ptr<Texture2D> texture = Texture2D::LoadFromFile(path);
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->GetName(), path);
    EXPECT_EQ(texture->GetTypeId(), Graphics::ResourceTextureFromFile);
    EXPECT_TRUE(texture->IsLoaded());
    EXPECT_EQ(texture->GetTextureSize().x, 32.0f);
    EXPECT_EQ(texture->GetTextureSize().y, 16.0f);
    EXPECT_EQ(texture->GetImageSize().x, 20.0f);
    EXPECT_EQ(texture->GetImageSize().y, 12.0f);
    ASSERT_NE(texture->GetTexture(), nullptr);
    EXPECT_EQ(OtherReferences(texture->GetTexture()), 0u) << "the texture holds the only reference";
    // Every load leaves sampler 0 filtering linearly and no texture bound.
    EXPECT_EQ(null->CurrentSamplerState(0, D3DSAMP_MAGFILTER), DWORD(D3DTEXF_LINEAR));
    EXPECT_EQ(null->CurrentSamplerState(0, D3DSAMP_MINFILTER), DWORD(D3DTEXF_LINEAR));
    EXPECT_EQ(d3d9::AsDeviceBase(device)->BoundTexture(0), nullptr);
}

TEST_F(TextureTest, AMemoryTextureIsNamedTexToLock) {
    const std::vector<uint8_t> png = Png(5, 3);
    boost::shared_ptr<Texture2D> texture = Texture2D::LoadFromMemory(png.data(), uint32_t(png.size()));
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->GetName(), "TexToLock");
    EXPECT_EQ(texture->GetTypeId(), Graphics::ResourceTextureFromMemory);
    EXPECT_TRUE(texture->IsLoaded());
    EXPECT_EQ(texture->GetTextureSize().x, 8.0f);
    EXPECT_EQ(texture->GetImageSize().x, 5.0f);
    EXPECT_FALSE(Texture2D::LoadFromMemory(png.data(), 7)) << "a truncated buffer";
}

TEST_F(TextureTest, BrokenOrMissingFilesGiveNoTexture) {
    std::vector<uint8_t> wrongHeader = Dds(8, 8);
    ddswriter::Put32(wrongHeader, ddswriter::kOffsetHeaderSize, 120);
    std::vector<uint8_t> fourCC = Dds(8, 8);
    ddswriter::Put32(fourCC, ddswriter::kOffsetFourCC, ddswriter::FourCC('A', 'T', 'I', '2'));
    std::vector<uint8_t> truncated = Dds(16, 16);
    truncated.resize(truncated.size() / 2);
    std::vector<uint8_t> badCrc = Png(4, 4);
    badCrc[IdatData(badCrc) + 2] ^= 0xff;
    const struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"wrong_header.dds", wrongHeader},
        {"unknown_fourcc.dds", fourCC},
        {"truncated.dds", truncated},
        {"bad_crc.png", badCrc},
        {"zero_size.png", PngWithSize(Png(4, 4), 0, 0)},
        {"empty.dds", {}},
    };
    const size_t before = LiveResources();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(Texture2D::LoadFromFile(Write(c.name, c.bytes)));
    }
    EXPECT_FALSE(Texture2D::LoadFromFile(Path("missing.dds")));
    EXPECT_EQ(LiveResources(), before);
}

TEST_F(TextureTest, WithoutAGraphicsDeviceNothingLoads) {
    const std::string path = Write("plain.dds", Dds(4, 4));
    Service<Graphics::GraphicsDevice>::Unregister();
    EXPECT_FALSE(Texture2D::LoadFromFile(path));
    Service<Graphics::GraphicsDevice>::Register(graphics);
}

TEST_F(TextureTest, UnloadAndReload) {
    const std::string path = Write("cycle.dds", Dds(8, 8));
    boost::shared_ptr<Texture2D> texture = Texture2D::LoadFromFile(path);
    ASSERT_TRUE(texture);
    const size_t loaded = LiveResources();

    EXPECT_TRUE(texture->Unload());
    EXPECT_FALSE(texture->IsLoaded());
    EXPECT_EQ(texture->GetTexture(), nullptr);
    EXPECT_EQ(LiveResources(), loaded - 1) << "the device texture is released";
    EXPECT_EQ(texture->GetName(), path);
    EXPECT_EQ(texture->GetTextureSize().x, 8.0f) << "the sizes stay";
    EXPECT_TRUE(texture->Unload()) << "a second unload changes nothing";
    EXPECT_EQ(LiveResources(), loaded - 1);

    EXPECT_FALSE(texture->Reload()) << "a successful reload answers false";
    EXPECT_TRUE(texture->IsLoaded());
    EXPECT_NE(texture->GetTexture(), nullptr);
    EXPECT_EQ(LiveResources(), loaded);

    std::filesystem::remove(path);
    EXPECT_FALSE(texture->Reload());
    EXPECT_FALSE(texture->IsLoaded());
}

TEST_F(TextureTest, DestroyingATextureReleasesItsDeviceTexture) {
    const size_t before = LiveResources();
    {
        boost::shared_ptr<Texture2D> texture = Texture2D::LoadFromFile(Write("gone.dds", Dds(8, 8)));
        ASSERT_TRUE(texture);
        EXPECT_EQ(LiveResources(), before + 1);
    }
    EXPECT_EQ(LiveResources(), before);
}

TEST_F(TextureTest, TheDynamicTextureIsLockable) {
    Texture2D texture(graphics, 64, 32, 1, Graphics::SurfaceFormatA8R8G8B8);
    EXPECT_EQ(texture.GetName(), "TexToLock");
    EXPECT_EQ(texture.GetTypeId(), Graphics::ResourceTextureFromMemory);
    EXPECT_FALSE(texture.IsLoaded());
    EXPECT_EQ(texture.GetTextureSize().x, 64.0f);
    EXPECT_EQ(texture.GetTextureSize().y, 32.0f);
    EXPECT_EQ(texture.GetImageSize().x, 0.0f);
    ASSERT_NE(texture.GetTexture(), nullptr);
    D3DSURFACE_DESC desc;
    ASSERT_EQ(texture.GetTexture()->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Usage, DWORD(D3DUSAGE_DYNAMIC));
    EXPECT_EQ(desc.Pool, D3DPOOL_DEFAULT);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture.GetTexture()->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD), D3D_OK);
    EXPECT_GE(locked.Pitch, 64 * 4);
    EXPECT_EQ(texture.GetTexture()->UnlockRect(0), D3D_OK);
    EXPECT_TRUE(texture.Unload()) << "never loaded: nothing to unload";
    EXPECT_NE(texture.GetTexture(), nullptr);
}

TEST_F(TextureTest, ARefusedFormatLeavesTheDynamicTextureEmpty) {
    d3d9::GetNullScript().refusedFormats.push_back({0, D3DRTYPE_SURFACE, D3DFMT_R32F});
    const size_t before = LiveResources();
    Texture2D refused(graphics, 16, 16, 1, Graphics::SurfaceFormatR32F);
    EXPECT_EQ(refused.GetTexture(), nullptr);
    EXPECT_EQ(refused.GetTextureSize().x, 16.0f);
    Texture2D depth(graphics, 16, 16, 1, Graphics::SurfaceFormatD16);
    EXPECT_EQ(depth.GetTexture(), nullptr) << "no colour format";
    EXPECT_EQ(LiveResources(), before);
}

TEST_F(TextureTest, ResourcesOfOneNameHashAlike) {
    Texture2D a(graphics, 4, 4, 1, Graphics::SurfaceFormatA8R8G8B8);
    Texture2D b(graphics, 8, 8, 1, Graphics::SurfaceFormatA8R8G8B8);
    EXPECT_EQ(a.GetNameHash(), b.GetNameHash());
    EXPECT_EQ(a.GetNameHash(), uint32_t(boost::hash<std::string>()("TexToLock")));
}

// The default textures are process-wide, so one test covers their whole life.
TEST_F(TextureTest, DefaultTexturesLoadOnFirstUseAndStay) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::create_directories(Path("game"));
    std::filesystem::current_path(Path("game"));

    EXPECT_EQ(Graphics::GetDefaultTexture(), nullptr) << "no file yet";
    Write("Data/Defaults/default.dds", Dds(8, 8));
    Write("Data/Defaults/default_bump.dds", Dds(4, 4));
    IDirect3DTexture9* texture = Graphics::GetDefaultTexture();
    ASSERT_NE(texture, nullptr) << "the next call tries again";
    IDirect3DTexture9* bump = Graphics::GetDefaultBumpTexture();
    ASSERT_NE(bump, nullptr);
    EXPECT_NE(texture, bump);
    std::filesystem::remove_all(Path("Data"));
    EXPECT_EQ(Graphics::GetDefaultTexture(), texture) << "kept for the whole run";
    EXPECT_EQ(Graphics::GetDefaultBumpTexture(), bump);

    std::filesystem::current_path(previous);
}

}  // namespace
