// Resources of the shared device model: creation rules, locks and their
// bounds, the bytes they keep, reference counts and vertex declarations.
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "NullDeviceFixture.h"

namespace {

using D3D9ResourcesTest = D3D9NullTest;

TEST_F(D3D9ResourcesTest, BufferLocksStayInsideTheBufferAndKeepTheBytes) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(
        device->CreateVertexBuffer(64, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT, &buffer, nullptr),
        D3D_OK);
    struct Case {
        UINT offset;
        UINT size;
        HRESULT result;
    } cases[] = {
        {0, 0, D3D_OK},                        // the whole buffer
        {16, 0, D3D_OK},                       // from 16 to the end
        {60, 4, D3D_OK},                       // the last four bytes
        {60, 8, D3DERR_INVALIDCALL},           // four past the end
        {65, 0, D3DERR_INVALIDCALL},           // starts past the end
        {8, 0xFFFFFFF8u, D3DERR_INVALIDCALL},  // wraps around
    };
    for (const Case& c : cases) {
        void* data = reinterpret_cast<void*>(1);
        EXPECT_EQ(buffer->Lock(c.offset, c.size, &data, 0), c.result) << c.offset << "+" << c.size;
        if (c.result == D3D_OK) {
            EXPECT_NE(data, nullptr);
            EXPECT_EQ(buffer->Unlock(), D3D_OK);
        } else {
            EXPECT_EQ(data, nullptr);
        }
    }
    EXPECT_EQ(buffer->Unlock(), D3DERR_INVALIDCALL) << "not locked";

    uint8_t* bytes = nullptr;
    ASSERT_EQ(buffer->Lock(8, 4, reinterpret_cast<void**>(&bytes), D3DLOCK_DISCARD), D3D_OK);
    std::memcpy(bytes, "abcd", 4);
    buffer->Unlock();
    ASSERT_EQ(buffer->Lock(0, 0, reinterpret_cast<void**>(&bytes), 0), D3D_OK);
    EXPECT_EQ(std::memcmp(bytes + 8, "abcd", 4), 0);
    buffer->Unlock();
    EXPECT_TRUE(null->Contains("IDirect3DVertexBuffer9::Lock(8, 4, 0x2000)"));
    buffer->Release();
}

TEST_F(D3D9ResourcesTest, DiscardOnAStaticBufferIsReportedAndIgnored) {
    IDirect3DIndexBuffer9* buffer = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(12, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &buffer, nullptr),
              D3D_OK);
    void* data = nullptr;
    EXPECT_EQ(buffer->Lock(0, 0, &data, D3DLOCK_DISCARD), D3D_OK);
    buffer->Unlock();
    EXPECT_TRUE(Reported("D3DLOCK_DISCARD on a buffer without D3DUSAGE_DYNAMIC"));
    buffer->Release();
}

TEST_F(D3D9ResourcesTest, CreationRulesOfDirect3D) {
    IDirect3DTexture9* texture = nullptr;
    struct Case {
        UINT width, height, levels;
        DWORD usage;
        D3DFORMAT format;
        D3DPOOL pool;
        HRESULT result;
    } cases[] = {
        {256, 128, 0, 0, D3DFMT_DXT5, D3DPOOL_MANAGED, D3D_OK},
        {512, 256, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, D3D_OK},
        {1024, 768, 1, D3DUSAGE_RENDERTARGET, D3DFMT_R32F, D3DPOOL_DEFAULT, D3D_OK},
        {64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DERR_INVALIDCALL},
        {64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_DXT1, D3DPOOL_DEFAULT, D3DERR_INVALIDCALL},
        {64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_UNKNOWN, D3DPOOL_DEFAULT, D3DERR_INVALIDCALL},
        {64, 64, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DERR_INVALIDCALL},
        {64, 64, 1, 0, D3DFMT_D24S8, D3DPOOL_DEFAULT, D3DERR_INVALIDCALL},
        {64, 64, 8, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DERR_INVALIDCALL},  // at most 7 levels
        {0, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DERR_INVALIDCALL},
        {100000, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DERR_INVALIDCALL},
    };
    for (const Case& c : cases) {
        texture = reinterpret_cast<IDirect3DTexture9*>(1);
        HRESULT result =
            device->CreateTexture(c.width, c.height, c.levels, c.usage, c.format, c.pool, &texture, nullptr);
        EXPECT_EQ(result, c.result) << c.width << "x" << c.height << " format " << c.format;
        if (SUCCEEDED(result)) {
            texture->Release();
        } else {
            EXPECT_EQ(texture, nullptr);
        }
    }
    // A full chain down to 1 x 1.
    ASSERT_EQ(device->CreateTexture(256, 128, 0, 0, D3DFMT_DXT5, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 9u);
    D3DSURFACE_DESC desc;
    ASSERT_EQ(texture->GetLevelDesc(8, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 1u);
    EXPECT_EQ(desc.Height, 1u);
    EXPECT_EQ(texture->GetLevelDesc(9, &desc), D3DERR_INVALIDCALL);
    texture->Release();
}

TEST_F(D3D9ResourcesTest, TextureLocksFollowPoolUsageAndBounds) {
    IDirect3DTexture9* video = nullptr;
    IDirect3DTexture9* target = nullptr;
    IDirect3DTexture9* blocks = nullptr;
    ASSERT_EQ(device->CreateTexture(512, 256, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &video, nullptr),
              D3D_OK);
    ASSERT_EQ(
        device->CreateTexture(64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target, nullptr),
        D3D_OK);
    ASSERT_EQ(device->CreateTexture(16, 16, 0, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &blocks, nullptr), D3D_OK);

    D3DLOCKED_RECT locked;
    ASSERT_EQ(video->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD), D3D_OK);
    EXPECT_EQ(locked.Pitch, 512 * 4);
    EXPECT_EQ(video->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL) << "already locked";
    EXPECT_EQ(video->UnlockRect(0), D3D_OK);
    EXPECT_EQ(video->UnlockRect(0), D3DERR_INVALIDCALL);

    EXPECT_EQ(target->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL) << "render targets are not lockable";
    EXPECT_EQ(locked.pBits, nullptr);

    struct Case {
        RECT rect;
        HRESULT result;
    } cases[] = {
        {{4, 8, 12, 16}, D3D_OK},
        {{0, 0, 16, 16}, D3D_OK},
        {{2, 0, 6, 4}, D3DERR_INVALIDCALL},    // not on a 4x4 block
        {{8, 8, 20, 16}, D3DERR_INVALIDCALL},  // past the right edge
        {{8, 8, 4, 16}, D3DERR_INVALIDCALL},   // empty
        {{-4, 0, 4, 4}, D3DERR_INVALIDCALL},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(blocks->LockRect(0, &locked, &c.rect, 0), c.result) << c.rect.left << "," << c.rect.top;
        if (c.result == D3D_OK) {
            EXPECT_EQ(locked.Pitch, 4 * 8) << "four blocks of eight bytes per row";
            blocks->UnlockRect(0);
        }
    }
    // The block at (4, 8) starts two block rows and one block in.
    D3DLOCKED_RECT whole;
    ASSERT_EQ(blocks->LockRect(0, &whole, nullptr, 0), D3D_OK);
    blocks->UnlockRect(0);
    RECT at = {4, 8, 8, 12};
    ASSERT_EQ(blocks->LockRect(0, &locked, &at, 0), D3D_OK);
    EXPECT_EQ(static_cast<uint8_t*>(locked.pBits) - static_cast<uint8_t*>(whole.pBits), 2 * 32 + 8);
    blocks->UnlockRect(0);
    EXPECT_EQ(blocks->LockRect(5, &locked, nullptr, 0), D3DERR_INVALIDCALL) << "16x16 has five levels";

    video->Release();
    target->Release();
    blocks->Release();
}

TEST_F(D3D9ResourcesTest, ManagedLevelsAreKeptPackedAndLockedWhole) {
    // Level 0 of each: 64x64 of four bytes. A picture of large flat areas packs well,
    // noise does not; only a managed texture's levels are packed.
    std::mt19937 random(64);
    std::vector<DWORD> flat(64 * 64), noise(64 * 64);
    for (size_t i = 0; i < flat.size(); ++i) {
        flat[i] = 0xFF000000u | static_cast<DWORD>(i / 512) << 16;
        noise[i] = static_cast<DWORD>(random());
    }
    struct Case {
        const char* what;
        D3DPOOL pool;
        DWORD usage;
        const std::vector<DWORD>& pixels;
        bool packed;
    } cases[] = {
        {"managed, flat", D3DPOOL_MANAGED, 0, flat, true},
        {"managed, noise", D3DPOOL_MANAGED, 0, noise, false},
        {"dynamic, flat", D3DPOOL_DEFAULT, D3DUSAGE_DYNAMIC, flat, false},
    };
    for (const Case& c : cases) {
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(device->CreateTexture(64, 64, 0, c.usage, D3DFMT_A8R8G8B8, c.pool, &texture, nullptr), D3D_OK);
        d3d9::Texture* kept = static_cast<d3d9::Texture*>(texture);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        std::memcpy(locked.pBits, c.pixels.data(), c.pixels.size() * 4);
        texture->UnlockRect(0);
        EXPECT_EQ(!kept->LevelAt(0).packed.empty(), c.packed) << c.what;
        EXPECT_EQ(kept->LevelAt(0).bytes.empty(), c.packed) << c.what;
        if (c.packed) {
            EXPECT_LT(kept->LevelAt(0).packed.size(), 64u * 64u * 4u / 8u) << c.what;
        }

        // A lock gives the level back whole; what it writes is kept in turn.
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        EXPECT_EQ(std::memcmp(locked.pBits, c.pixels.data(), c.pixels.size() * 4), 0) << c.what;
        static_cast<DWORD*>(locked.pBits)[100] = 0x12345678u;
        texture->UnlockRect(0);
        RECT row = {0, 1, 64, 2};
        ASSERT_EQ(texture->LockRect(0, &locked, &row, 0), D3D_OK);
        EXPECT_EQ(static_cast<DWORD*>(locked.pBits)[36], 0x12345678u) << c.what;
        EXPECT_EQ(static_cast<DWORD*>(locked.pBits)[0], c.pixels[64]) << c.what;
        texture->UnlockRect(0);
        // Levels too small to gain stay as they are.
        ASSERT_EQ(texture->LockRect(4, &locked, nullptr, 0), D3D_OK);
        texture->UnlockRect(4);
        EXPECT_TRUE(kept->LevelAt(4).packed.empty()) << c.what;
        texture->Release();
    }
}

TEST_F(D3D9ResourcesTest, TheDeviceHoldsWhatIsBoundAndLevelSurfacesHoldTheirTexture) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    EXPECT_EQ(texture->Release(), 1u) << "the device's reference remains";
    D3DSURFACE_DESC desc;
    EXPECT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);

    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    EXPECT_EQ(texture->AddRef(), 3u) << "device, surface and this";
    texture->Release();
    ASSERT_EQ(device->SetTexture(0, nullptr), D3D_OK);
    // Only the surface keeps the texture now; releasing it frees both.
    EXPECT_EQ(level->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Width, 8u);
    EXPECT_EQ(level->Release(), 0u);
}

TEST_F(D3D9ResourcesTest, ResourcesOutliveTheirDeviceAsPlainMemory) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(16, 0, 0, D3DPOOL_MANAGED, &buffer, nullptr), D3D_OK);
    device->SetStreamSource(0, buffer, 0, 16);
    EXPECT_EQ(device->Release(), 0u);
    device = nullptr;
    void* data = nullptr;
    EXPECT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    EXPECT_EQ(buffer->Release(), 0u);
}

TEST_F(D3D9ResourcesTest, AnotherThreadMayCreateAndFillResources) {
    IDirect3DTexture9* texture = nullptr;
    std::thread loader([&] {
        if (device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr) != D3D_OK) {
            return;
        }
        D3DLOCKED_RECT locked;
        if (texture->LockRect(0, &locked, nullptr, 0) == D3D_OK) {
            static_cast<DWORD*>(locked.pBits)[0] = 0xFF00FF00u;
            texture->UnlockRect(0);
        }
    });
    loader.join();
    ASSERT_NE(texture, nullptr);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(static_cast<DWORD*>(locked.pBits)[0], 0xFF00FF00u);
    texture->UnlockRect(0);
    texture->Release();

    // Drawing needs the thread that made the device.
    std::thread other([&] { EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL); });
    other.join();
}

TEST_F(D3D9ResourcesTest, DeclarationsAreChecked) {
    const D3DVERTEXELEMENT9 position = {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0};
    const D3DVERTEXELEMENT9 end = D3DDECL_END();
    struct Case {
        std::vector<D3DVERTEXELEMENT9> elements;
        const char* why;
    } cases[] = {
        {{position, {0, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0}, end}, "repeats"},
        {{{0, 0, 9, 0, D3DDECLUSAGE_POSITION, 0}, end}, "unknown type"},
        {{{0, 0, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 6}, end}, "unknown usage"},
        {{{7, 0, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0}, end}, "stream 7"},
        {{end}, "no elements"},
        {std::vector<D3DVERTEXELEMENT9>(70, position), "no D3DDECL_END"},
    };
    for (const Case& c : cases) {
        IDirect3DVertexDeclaration9* declaration = reinterpret_cast<IDirect3DVertexDeclaration9*>(1);
        EXPECT_EQ(device->CreateVertexDeclaration(c.elements.data(), &declaration), D3DERR_INVALIDCALL) << c.why;
        EXPECT_EQ(declaration, nullptr);
        EXPECT_TRUE(Reported(c.why)) << c.why;
    }
    // The skinned model vertex of the renderer.
    IDirect3DVertexDeclaration9* skinned = MakeDeclaration({
        position,
        {0, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 0},
        {0, 24, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_TANGENT, 0},
        {0, 36, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_BINORMAL, 0},
        {0, 48, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
        {0, 56, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_BLENDWEIGHT, 0},
        {0, 64, D3DDECLTYPE_UBYTE4, 0, D3DDECLUSAGE_BLENDINDICES, 0},
    });
    ASSERT_NE(skinned, nullptr);
    EXPECT_EQ(static_cast<d3d9::VertexDeclaration*>(skinned)->StreamExtent(0), 68u);
    skinned->Release();
}

}  // namespace
