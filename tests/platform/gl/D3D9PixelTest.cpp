// The OpenGL backend read back pixel by pixel, on the conventions ports get
// wrong: clear colour, pre-transformed vertices on exact pixels, texel
// centres, clip depth, cull winding, blending, scissor, render-target rows.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/d3d9/Extensions.h"
#include "platform/dxt/Dxt.h"
#include "platform/d3d9/d3d9.h"
#include "support/GLDeviceFixture.h"

namespace {

constexpr int kWidth = 128;
constexpr int kHeight = 96;

struct Vertex {
    float x, y, z, w;
    D3DCOLOR color;
    float u, v;
};

const char kVertexShader[] = R"(#version 330
layout(location = DM_ATTR_POSITION) in vec4 inPosition;
layout(location = DM_ATTR_COLOR0) in vec4 inColor;
layout(location = DM_ATTR_TEXCOORD0) in vec2 inUV;
out vec4 color;
out vec2 uv;
void main() {
    gl_Position = inPosition;
    color = inColor;
    uv = inUV;
}
)";

const char kFragmentShader[] = R"(#version 330
in vec4 color;
in vec2 uv;
uniform sampler2D tex;
uniform int useTexture;
out vec4 fragColor;
void main() {
    fragColor = useTexture != 0 ? texture(tex, uv) * color : color;
}
)";

bool Near(DWORD actual, DWORD expected, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        int a = static_cast<int>((actual >> shift) & 0xFF);
        int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance) {
            return false;
        }
    }
    return true;
}

class D3D9PixelTest : public testsupport::GLDeviceTest {
protected:
    D3D9PixelTest()
        : GLDeviceTest({"d3d9", kWidth, kHeight, 2, D3DCREATE_MULTITHREADED | D3DCREATE_HARDWARE_VERTEXPROCESSING}) {}

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(GLDeviceTest::SetUp());
        std::string errors;
        ASSERT_EQ(d3d9::CreateProgram(device, kVertexShader, kFragmentShader, &program, &errors), D3D_OK) << errors;
        ASSERT_EQ(d3d9::SetProgram(device, program), D3D_OK);
        UseTexture(false);
        const D3DVERTEXELEMENT9 screen[] = {
            {0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
            {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
            {0, 20, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
            D3DDECL_END(),
        };
        const D3DVERTEXELEMENT9 clip[] = {
            {0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
            {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
            {0, 20, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
            D3DDECL_END(),
        };
        ASSERT_EQ(device->CreateVertexDeclaration(screen, &screenDeclaration), D3D_OK);
        ASSERT_EQ(device->CreateVertexDeclaration(clip, &clipDeclaration), D3D_OK);
        ASSERT_EQ(device->SetVertexDeclaration(screenDeclaration), D3D_OK);
    }

    void TearDown() override {
        ExpectNoDeviceErrors();
        for (IUnknown* object : std::initializer_list<IUnknown*>{screenDeclaration, clipDeclaration}) {
            if (object != nullptr) {
                object->Release();
            }
        }
        if (program != nullptr) {
            program->Release();
        }
        GLDeviceTest::TearDown();
    }

    void UseTexture(bool on) {
        int value = on ? 1 : 0;
        int unit = 0;
        ASSERT_EQ(program->SetInts("useTexture", &value, 1), D3D_OK);
        ASSERT_EQ(program->SetInts("tex", &unit, 1), D3D_OK);
    }

    // A rectangle in screen pixels as a two-triangle strip, drawn from memory.
    HRESULT Rect(float left, float top, float right, float bottom, D3DCOLOR color, float z = 0.5f) {
        Vertex quad[4] = {{left, top, z, 1, color, 0, 0},
                          {right, top, z, 1, color, 1, 0},
                          {left, bottom, z, 1, color, 0, 1},
                          {right, bottom, z, 1, color, 1, 1}};
        return device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
    }

    // Pixels of the rectangle [left, right) x [top, bottom) of the given colour.
    int Count(DWORD color, int left = 0, int top = 0, int right = kWidth, int bottom = kHeight) const {
        int count = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                count += At(x, y) == (color & 0x00FFFFFFu) ? 1 : 0;
            }
        }
        return count;
    }

    d3d9::ShaderProgram* program = nullptr;
    IDirect3DVertexDeclaration9* screenDeclaration = nullptr;
    IDirect3DVertexDeclaration9* clipDeclaration = nullptr;
};

TEST_F(D3D9PixelTest, ClearFillsTheViewportWithTheColour) {
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF336699, 1.0f, 0),
              D3D_OK);
    D3DVIEWPORT9 viewport = {16, 8, 32, 24, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&viewport), D3D_OK);
    // Depth writes off must not stop a depth clear, as in Direct3D.
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    D3DRECT inside = {20, 10, 30, 20};
    ASSERT_EQ(device->Clear(1, &inside, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFF0000, 0.25f, 0), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), D3D_OK);
    ReadBack();
    EXPECT_EQ(At(0, 0), 0x336699u);
    EXPECT_EQ(At(127, 95), 0x336699u);
    EXPECT_EQ(Count(0x00FF00, 16, 8, 48, 32), 32 * 24) << "the second clear covers the whole viewport";
    EXPECT_EQ(Count(0x00FF00), 32 * 24) << "and nothing outside it";

    // The depth clear at 0.25 inside the rectangle stops a draw at 0.5 there.
    ASSERT_EQ(Rect(16, 8, 48, 32, 0xFFFFFFFF), D3D_OK);
    ReadBack();
    EXPECT_EQ(Count(0xFFFFFF), 32 * 24 - 10 * 10);
    EXPECT_EQ(At(25, 15), 0x00FF00u);
}

TEST_F(D3D9PixelTest, PreTransformedQuadsCoverExactPixels) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    // Shifted by half a pixel as the 2D layer does: pixels 10..73 x 20..51.
    ASSERT_EQ(Rect(9.5f, 19.5f, 73.5f, 51.5f, 0xFFFF0000), D3D_OK);
    // Edges on pixel centres: Direct3D's top-left rule takes the top row and left
    // column, not the bottom row or right column: pixels 100..119 x 0..9.
    ASSERT_EQ(Rect(100, 0, 120, 10, 0xFF00FF00), D3D_OK);
    ReadBack();
    EXPECT_EQ(Count(0xFF0000), 64 * 32);
    EXPECT_EQ(Count(0xFF0000, 10, 20, 74, 52), 64 * 32);
    EXPECT_EQ(Count(0x00FF00), 20 * 10);
    EXPECT_EQ(Count(0x00FF00, 100, 0, 120, 10), 20 * 10);
}

TEST_F(D3D9PixelTest, TexelsLandOnPixelsTopRowFirst) {
    // A 4x4 texture whose texel (x, y) holds x * 0x40 in red and y * 0x40 in green.
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < 4; ++y) {
        DWORD* row = reinterpret_cast<DWORD*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < 4; ++x) {
            row[x] = 0xFF000000u | static_cast<DWORD>(x * 0x40) << 16 | static_cast<DWORD>(y * 0x40) << 8;
        }
    }
    texture->UnlockRect(0);
    device->SetTexture(0, texture);
    UseTexture(true);
    // Point sampling maps texel to pixel exactly; linear filtering lands on texel
    // centres too (within one step of the window's edge nudge).
    for (DWORD filter : {D3DTEXF_POINT, D3DTEXF_LINEAR}) {
        device->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
        device->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0);
        ASSERT_EQ(Rect(9.5f, 19.5f, 13.5f, 23.5f, 0xFFFFFFFF), D3D_OK);
        ReadBack();
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                DWORD expected = static_cast<DWORD>(x * 0x40) << 16 | static_cast<DWORD>(y * 0x40) << 8;
                EXPECT_TRUE(Near(At(10 + x, 20 + y), expected, filter == D3DTEXF_POINT ? 0 : 1))
                    << "filter " << filter << " texel " << x << "," << y << ": " << std::hex << At(10 + x, 20 + y);
            }
        }
        EXPECT_EQ(At(9, 20), 0x0000FFu);
        EXPECT_EQ(At(14, 23), 0x0000FFu);
    }
    device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(D3D9PixelTest, TexturesFirstUsedTogetherStayOnTheirOwnUnits) {
    // Two fresh textures, bound to units 0 and 1 and uploaded in the same draw:
    // the shader samples unit 0 and must see its own texture, not the last upload.
    IDirect3DTexture9* textures[2] = {};
    const DWORD colours[2] = {0xFF00FF00u, 0xFFFF00FFu};
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(device->CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &textures[i], nullptr), D3D_OK);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(textures[i]->LockRect(0, &locked, nullptr, 0), D3D_OK);
        *static_cast<DWORD*>(locked.pBits) = colours[i];
        textures[i]->UnlockRect(0);
        device->SetTexture(static_cast<DWORD>(i), textures[i]);
    }
    UseTexture(true);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(Rect(0, 0, 8, 8, 0xFFFFFFFF), D3D_OK);
    ReadBack();
    EXPECT_EQ(At(4, 4), colours[0] & 0x00FFFFFFu) << std::hex << At(4, 4);
    for (int i = 0; i < 2; ++i) {
        device->SetTexture(static_cast<DWORD>(i), nullptr);
        textures[i]->Release();
    }
}

TEST_F(D3D9PixelTest, ClipSpaceDepthRunsFromZeroToW) {
    device->SetVertexDeclaration(clipDeclaration);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    auto quad = [&](float x0, float x1, float z, D3DCOLOR color) {
        Vertex v[4] = {{x0, 1, z, 1, color, 0, 0},
                       {x1, 1, z, 1, color, 0, 0},
                       {x0, -1, z, 1, color, 0, 0},
                       {x1, -1, z, 1, color, 0, 0}};
        return device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(Vertex));
    };
    // Left half: z = -0.25 lies before Direct3D's near plane and is clipped
    // (OpenGL's own clip space would keep it). Right half: near over far.
    ASSERT_EQ(quad(-1, 0, -0.25f, 0xFFFF0000), D3D_OK);
    ASSERT_EQ(quad(0, 1, 0.25f, 0xFF00FF00), D3D_OK);
    ASSERT_EQ(quad(0, 1, 0.75f, 0xFF0000FF), D3D_OK);
    ReadBack();
    EXPECT_EQ(Count(0xFF0000), 0);
    EXPECT_EQ(Count(0x00FF00, 64, 0, 128, 96), 64 * 96);

    // With the test off the later draw wins; with GREATER the far one passes.
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_GREATER);
    ASSERT_EQ(quad(0, 1, 0.75f, 0xFF0000FF), D3D_OK);
    ReadBack();
    EXPECT_EQ(Count(0x0000FF, 64, 0, 128, 96), 64 * 96);
}

TEST_F(D3D9PixelTest, CullModesNameTheWindingSeenOnTheScreen) {
    // Screen coordinates run down: (10,10) (40,10) (10,40) turns clockwise.
    const Vertex clockwise[3] = {
        {10, 10, 0.5f, 1, 0xFFFFFFFF, 0, 0}, {40, 10, 0.5f, 1, 0xFFFFFFFF, 0, 0}, {10, 40, 0.5f, 1, 0xFFFFFFFF, 0, 0}};
    const Vertex counter[3] = {clockwise[0], clockwise[2], clockwise[1]};
    struct Case {
        DWORD cull;
        bool clockwiseDrawn;
        bool counterDrawn;
    } cases[] = {
        {D3DCULL_CCW, true, false},
        {D3DCULL_CW, false, true},
        {D3DCULL_NONE, true, true},
    };
    for (const Case& c : cases) {
        device->SetRenderState(D3DRS_CULLMODE, c.cull);
        for (int which = 0; which < 2; ++which) {
            device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
            ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, which == 0 ? clockwise : counter, sizeof(Vertex)),
                      D3D_OK);
            ReadBack();
            bool drawn = At(15, 15) == 0xFFFFFFu;
            EXPECT_EQ(drawn, which == 0 ? c.clockwiseDrawn : c.counterDrawn)
                << "cull " << c.cull << (which == 0 ? " clockwise" : " counter-clockwise");
        }
    }
}

TEST_F(D3D9PixelTest, AlphaBlendingMixesSourceAndDestination) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    ASSERT_EQ(Rect(0, 0, 64, 96, 0x80FF0000), D3D_OK);
    // Additive, as the particles draw.
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    ASSERT_EQ(Rect(64, 0, 128, 96, 0x00404000), D3D_OK);
    ReadBack();
    EXPECT_TRUE(Near(At(10, 10), 0x80007F, 1)) << std::hex << At(10, 10);
    EXPECT_TRUE(Near(At(100, 10), 0x4040FF, 1)) << std::hex << At(100, 10);
}

TEST_F(D3D9PixelTest, ScissorClipsDrawsAndClears) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    RECT scissor = {20, 30, 50, 40};
    device->SetScissorRect(&scissor);
    ASSERT_EQ(Rect(0, 0, 128, 96, 0xFFFF0000), D3D_OK);
    device->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
    ASSERT_EQ(Rect(0, 0, 128, 96, 0xFF00FF00), D3D_OK);
    ReadBack();
    EXPECT_EQ(Count(0x00FF00), 30 * 10);
    EXPECT_EQ(Count(0x00FF00, 20, 30, 50, 40), 30 * 10);

    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0), D3D_OK);
    ReadBack();
    EXPECT_EQ(Count(0x0000FF), 30 * 10) << "a clear keeps within the scissor rectangle";
    EXPECT_EQ(Count(0xFF0000), 128 * 96 - 30 * 10);
}

TEST_F(D3D9PixelTest, RenderTargetTexturesKeepRowsAndWindingAndSampleBack) {
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(
        device->CreateTexture(32, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target, nullptr),
        D3D_OK);
    IDirect3DSurface9* surface = nullptr;
    IDirect3DSurface9* backBuffer = nullptr;
    ASSERT_EQ(target->GetSurfaceLevel(0, &surface), D3D_OK);
    ASSERT_EQ(device->GetRenderTarget(0, &backBuffer), D3D_OK);

    // Into the texture: red on the top rows, and a clockwise triangle under the
    // default culling, which must survive in a target whose rows run the other way.
    ASSERT_EQ(device->SetRenderTarget(0, surface), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(Rect(0, 0, 32, 8, 0xFFFF0000), D3D_OK);
    const Vertex clockwise[3] = {
        {0, 16, 0.5f, 1, 0xFF00FF00, 0, 0}, {32, 16, 0.5f, 1, 0xFF00FF00, 0, 0}, {0, 32, 0.5f, 1, 0xFF00FF00, 0, 0}};
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, clockwise, sizeof(Vertex)), D3D_OK);
    std::vector<DWORD> texels;
    UINT width = 0;
    UINT height = 0;
    ASSERT_EQ(d3d9::ReadSurface(device, surface, &texels, &width, &height), D3D_OK);
    ASSERT_EQ(texels.size(), 32u * 32u);
    EXPECT_EQ(texels[0] & 0xFFFFFF, 0xFF0000u) << "row 0 is the top row";
    EXPECT_EQ(texels[7 * 32 + 31] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(texels[8 * 32] & 0xFFFFFF, 0u);
    EXPECT_EQ(texels[20 * 32 + 2] & 0xFFFFFF, 0x00FF00u) << "the clockwise triangle was drawn";

    // Back on the window, the texture is drawn the right way up.
    ASSERT_EQ(device->SetRenderTarget(0, backBuffer), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0);
    device->SetTexture(0, target);
    UseTexture(true);
    ASSERT_EQ(Rect(-0.5f, -0.5f, 31.5f, 31.5f, 0xFFFFFFFF), D3D_OK);
    ReadBack();
    EXPECT_EQ(At(5, 2), 0xFF0000u);
    EXPECT_EQ(At(5, 12), 0u);
    EXPECT_EQ(At(2, 20), 0x00FF00u);
    EXPECT_EQ(At(40, 2), 0x0000FFu);

    device->SetTexture(0, nullptr);
    backBuffer->Release();
    surface->Release();
    target->Release();
}

TEST_F(D3D9PixelTest, UpdatedBuffersAndTexturesAreUploadedAgain) {
    // A DXT1 texture of one colour, decoded at upload.
    uint8_t rgba[16 * 4];
    for (int i = 0; i < 16; ++i) {
        rgba[i * 4 + 0] = 0xFF;
        rgba[i * 4 + 1] = 0x00;
        rgba[i * 4 + 2] = 0xFF;
        rgba[i * 4 + 3] = 0xFF;
    }
    uint8_t block[8];
    dxt::CompressImage(rgba, 4, 4, block, squish::kDxt1);
    IDirect3DTexture9* dxt = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &dxt, nullptr), D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(dxt->LockRect(0, &locked, nullptr, 0), D3D_OK);
    std::memcpy(locked.pBits, block, sizeof(block));
    dxt->UnlockRect(0);

    // The video texture: dynamic, rewritten with discard between frames.
    IDirect3DTexture9* video = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &video, nullptr),
              D3D_OK);
    auto fill = [&](DWORD color) {
        ASSERT_EQ(video->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD), D3D_OK);
        for (int i = 0; i < 16; ++i) {
            static_cast<DWORD*>(locked.pBits)[i] = color;
        }
        video->UnlockRect(0);
    };

    // A dynamic vertex buffer drawn, rewritten with discard, and drawn again.
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(4 * sizeof(Vertex), D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT,
                                         &buffer, nullptr),
              D3D_OK);
    auto write = [&](float left, float right) {
        Vertex* v = nullptr;
        ASSERT_EQ(buffer->Lock(0, 0, reinterpret_cast<void**>(&v), D3DLOCK_DISCARD), D3D_OK);
        v[0] = {left, 0, 0.5f, 1, 0xFFFFFFFF, 0, 0};
        v[1] = {right, 0, 0.5f, 1, 0xFFFFFFFF, 1, 0};
        v[2] = {left, 16, 0.5f, 1, 0xFFFFFFFF, 0, 1};
        v[3] = {right, 16, 0.5f, 1, 0xFFFFFFFF, 1, 1};
        buffer->Unlock();
    };
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    UseTexture(true);
    device->SetStreamSource(0, buffer, 0, sizeof(Vertex));
    device->SetTexture(0, dxt);
    write(0, 16);
    ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    device->SetTexture(0, video);
    fill(0xFF00FF00);
    write(32, 48);
    ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    fill(0xFF0000FF);
    write(64, 80);
    ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    ReadBack();
    EXPECT_EQ(At(8, 8), 0xFF00FFu) << "decoded DXT1";
    EXPECT_EQ(At(40, 8), 0x00FF00u);
    EXPECT_EQ(At(72, 8), 0x0000FFu);
    EXPECT_EQ(At(40, 20), 0u);

    device->SetTexture(0, nullptr);
    device->SetStreamSource(0, nullptr, 0, 0);
    buffer->Release();
    video->Release();
    dxt->Release();
}

TEST_F(D3D9PixelTest, IndexedDrawsHonourBaseVertexAndStartIndex) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    // Two quads in one buffer: vertices 0..3 red at the left, 4..7 green at the right.
    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    ASSERT_EQ(
        device->CreateVertexBuffer(8 * sizeof(Vertex), D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT, &vertices, nullptr),
        D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(12 * 2, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &indices, nullptr),
              D3D_OK);
    Vertex* v = nullptr;
    ASSERT_EQ(vertices->Lock(0, 0, reinterpret_cast<void**>(&v), 0), D3D_OK);
    for (int quad = 0; quad < 2; ++quad) {
        float left = quad == 0 ? 0.0f : 64.0f;
        D3DCOLOR color = quad == 0 ? 0xFFFF0000 : 0xFF00FF00;
        v[quad * 4 + 0] = {left, 0, 0.5f, 1, color, 0, 0};
        v[quad * 4 + 1] = {left + 32, 0, 0.5f, 1, color, 0, 0};
        v[quad * 4 + 2] = {left, 32, 0.5f, 1, color, 0, 0};
        v[quad * 4 + 3] = {left + 32, 32, 0.5f, 1, color, 0, 0};
    }
    vertices->Unlock();
    uint16_t* index = nullptr;
    ASSERT_EQ(indices->Lock(0, 0, reinterpret_cast<void**>(&index), 0), D3D_OK);
    const uint16_t pattern[12] = {9, 9, 9, 9, 9, 9, 0, 1, 2, 1, 3, 2};  // the quad sits at index 6
    std::memcpy(index, pattern, sizeof(pattern));
    indices->Unlock();
    device->SetStreamSource(0, vertices, 0, sizeof(Vertex));
    device->SetIndices(indices);
    ASSERT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 4, 0, 4, 6, 2), D3D_OK);  // the green quad

    // The same pattern from memory, with vertices 4..7 given and indices 4..7.
    const uint16_t fromMemory[6] = {4, 5, 6, 5, 7, 6};
    Vertex blue[8];
    for (int i = 0; i < 8; ++i) {
        blue[i] = v[i % 4];
        blue[i].x += 32;
        blue[i].y += 48;
        blue[i].color = 0xFF0000FF;
    }
    ASSERT_EQ(
        device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 4, 4, 2, fromMemory, D3DFMT_INDEX16, blue, sizeof(Vertex)),
        D3D_OK);
    ReadBack();
    EXPECT_EQ(Count(0x00FF00), 32 * 32);
    EXPECT_EQ(Count(0x00FF00, 64, 0, 96, 32), 32 * 32);
    EXPECT_EQ(Count(0xFF0000), 0);
    EXPECT_EQ(Count(0x0000FF, 32, 48, 64, 80), 32 * 32);
    indices->Release();
    vertices->Release();
}

TEST_F(D3D9PixelTest, MatrixUniformsReachTheVertexShader) {
    const char vertexShader[] = R"(#version 330
layout(location = DM_ATTR_POSITION) in vec4 inPosition;
layout(location = DM_ATTR_COLOR0) in vec4 inColor;
uniform mat4 g_WVPXf;
out vec4 color;
void main() {
    // Direct3D's row-major matrix read as is is the transpose in GLSL's
    // terms, so M * v here is Direct3D's v * M.
    gl_Position = g_WVPXf * inPosition;
    color = inColor;
}
)";
    const char fragmentShader[] = R"(#version 330
in vec4 color;
out vec4 fragColor;
void main() { fragColor = color; }
)";
    d3d9::ShaderProgram* transform = nullptr;
    std::string errors;
    ASSERT_EQ(d3d9::CreateProgram(device, vertexShader, fragmentShader, &transform, &errors), D3D_OK) << errors;
    EXPECT_TRUE(transform->HasUniform("g_WVPXf"));
    EXPECT_FALSE(transform->HasUniform("dm_PosFixup")) << "the device's own uniforms stay hidden";
    // Row-major, translation in the last row: halve, then move right by 0.5.
    const float matrix[16] = {0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1, 0, 0.5f, 0, 0, 1};
    ASSERT_EQ(transform->SetMatrices("g_WVPXf", matrix, 1, false), D3D_OK);
    EXPECT_EQ(transform->SetMatrices("g_Missing", matrix, 1, false), D3DERR_NOTFOUND);
    ASSERT_EQ(d3d9::SetProgram(device, transform), D3D_OK);
    device->SetVertexDeclaration(clipDeclaration);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    Vertex full[4] = {{-1, 1, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                      {1, 1, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                      {-1, -1, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                      {1, -1, 0.5f, 1, 0xFFFFFFFF, 0, 0}};
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, full, sizeof(Vertex)), D3D_OK);
    ReadBack();
    // x from 0 to 1 in clip space: pixels 64..127; y from -0.5 to 0.5: rows 24..71.
    EXPECT_EQ(Count(0xFFFFFF), 64 * 48);
    EXPECT_EQ(Count(0xFFFFFF, 64, 24, 128, 72), 64 * 48);
    d3d9::SetProgram(device, program);
    transform->Release();
}

TEST_F(D3D9PixelTest, SeparateDepthSurfacesServeOffScreenTargets) {
    IDirect3DTexture9* target = nullptr;
    IDirect3DSurface9* depth = nullptr;
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(
        device->CreateTexture(32, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &target, nullptr),
        D3D_OK);
    ASSERT_EQ(device->CreateDepthStencilSurface(32, 32, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE, &depth, nullptr),
              D3D_OK);
    target->GetSurfaceLevel(0, &surface);
    ASSERT_EQ(device->SetRenderTarget(0, surface), D3D_OK);
    ASSERT_EQ(device->SetDepthStencilSurface(depth), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), D3D_OK);
    ASSERT_EQ(Rect(0, 0, 32, 32, 0xFFFF0000, 0.25f), D3D_OK);
    ASSERT_EQ(Rect(0, 0, 32, 32, 0xFF00FF00, 0.75f), D3D_OK);
    std::vector<DWORD> texels;
    ASSERT_EQ(d3d9::ReadSurface(device, surface, &texels, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(texels[16 * 32 + 16], 0xFFFF0000u) << "the nearer draw stays; X8 reads alpha as opaque";

    // The window's own back buffer cannot be paired with a separate depth surface.
    IDirect3DSurface9* backBuffer = nullptr;
    device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
    device->SetRenderTarget(0, backBuffer);
    EXPECT_EQ(Rect(0, 0, 8, 8, 0xFFFFFFFF), D3DERR_INVALIDCALL);
    d3d9::ClearErrors(device);
    device->SetDepthStencilSurface(nullptr);
    EXPECT_EQ(Rect(0, 0, 8, 8, 0xFFFFFFFF), D3D_OK) << "no depth buffer at all is fine";
    backBuffer->Release();
    surface->Release();
    depth->Release();
    target->Release();
}

TEST_F(D3D9PixelTest, ResourcesMadeOnAnotherThreadAreUploadedWhenDrawn) {
    // Large enough that its level is kept packed once unlocked: the upload unpacks it.
    IDirect3DTexture9* texture = nullptr;
    std::thread loader([&] {
        ASSERT_EQ(device->CreateTexture(64, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (int i = 0; i < 64 * 64; ++i) {
            static_cast<DWORD*>(locked.pBits)[i] = 0xFFFFFF00u;
        }
        texture->UnlockRect(0);
    });
    loader.join();
    ASSERT_NE(texture, nullptr);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->SetTexture(0, texture);
    UseTexture(true);
    ASSERT_EQ(Rect(0, 0, 16, 16, 0xFFFFFFFF), D3D_OK);
    ReadBack();
    EXPECT_EQ(At(8, 8), 0xFFFF00u);
    device->SetTexture(0, nullptr);
    // Released on another thread: its OpenGL texture goes at the next call here.
    std::thread([&] { texture->Release(); }).join();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
}

TEST_F(D3D9PixelTest, ResetKeepsTheDeviceDrawing) {
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    D3DPRESENT_PARAMETERS params = {};
    params.BackBufferFormat = D3DFMT_X8R8G8B8;
    params.Windowed = TRUE;
    params.EnableAutoDepthStencil = TRUE;
    params.AutoDepthStencilFormat = D3DFMT_D24S8;
    params.PresentationInterval = D3DPRESENT_INTERVAL_ONE;
    ASSERT_EQ(device->Reset(&params), D3D_OK);
    EXPECT_EQ(params.BackBufferWidth, static_cast<UINT>(kWidth)) << "the window's size fills a zero size";
    // Reset unbound everything, program and declaration included.
    EXPECT_EQ(Rect(0, 0, 8, 8, 0xFFFFFFFF), D3DERR_INVALIDCALL);
    d3d9::ClearErrors(device);
    d3d9::SetProgram(device, program);
    device->SetVertexDeclaration(screenDeclaration);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    const Vertex counter[3] = {
        {10, 10, 0.5f, 1, 0xFFFFFFFF, 0, 0}, {10, 40, 0.5f, 1, 0xFFFFFFFF, 0, 0}, {40, 10, 0.5f, 1, 0xFFFFFFFF, 0, 0}};
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, counter, sizeof(Vertex)), D3D_OK);
    ReadBack();
    EXPECT_EQ(At(15, 15), 0u) << "culling is back to its default";
}

TEST_F(D3D9PixelTest, BadCallsReportAndDrawNothing) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(d3d9::SetProgram(device, nullptr), D3D_OK);
    EXPECT_EQ(Rect(0, 0, 128, 96, 0xFFFFFFFF), D3DERR_INVALIDCALL);
    ASSERT_EQ(d3d9::SetProgram(device, program), D3D_OK);
    device->SetVertexDeclaration(nullptr);
    EXPECT_EQ(Rect(0, 0, 128, 96, 0xFFFFFFFF), D3DERR_INVALIDCALL);
    device->SetVertexDeclaration(screenDeclaration);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    ReadBack();
    EXPECT_EQ(Count(0), kWidth * kHeight);
    EXPECT_EQ(d3d9::GetErrors(device).size(), 3u);

    d3d9::ShaderProgram* broken = nullptr;
    std::string errors;
    EXPECT_EQ(d3d9::CreateProgram(device, kVertexShader, "void main() { undeclared = 1.0; }", &broken, &errors),
              E_FAIL);
    EXPECT_EQ(broken, nullptr);
    EXPECT_NE(errors.find("undeclared"), std::string::npos) << errors;
    d3d9::ClearErrors(device);
}

TEST_F(D3D9PixelTest, PresentSwapsAndAKeptCopyServesScreenshots) {
    d3d9::SetPresentCapture(device, true);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF204060, 1.0f, 0);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK) << "never lost";
    std::vector<DWORD> frame;
    UINT width = 0;
    UINT height = 0;
    ASSERT_EQ(d3d9::ReadPresentedFrame(device, &frame, &width, &height), D3D_OK);
    ASSERT_EQ(frame.size(), static_cast<size_t>(kWidth) * kHeight);
    EXPECT_EQ(frame[0], 0xFF204060u);
}

TEST(D3D9GLAdapterTest, CapabilitiesComeFromOpenGL) {
    d3d9::SetBackend(d3d9::Backend::GL);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DCAPS9 caps;
    ASSERT_EQ(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_GE(caps.VertexShaderVersion, D3DVS_VERSION(2, 0));
    EXPECT_GE(caps.PixelShaderVersion, D3DPS_VERSION(2, 0));
    EXPECT_GE(caps.NumSimultaneousRTs, 2u);
    EXPECT_EQ(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_RENDERTARGET,
                                     D3DRTYPE_SURFACE, D3DFMT_R32F),
              D3D_OK);
    D3DADAPTER_IDENTIFIER9 id;
    ASSERT_EQ(d3d->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &id), D3D_OK);
    EXPECT_GT(std::strlen(id.Description), 0u) << "the OpenGL renderer string";
    D3DDISPLAYMODE mode;
    EXPECT_EQ(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), D3D_OK);

    // A window that was not made for OpenGL is refused, not crashed on.
    SDL_Window* plain = SDL_CreateWindow("plain", 0, 0, 32, 32, SDL_WINDOW_HIDDEN);
    ASSERT_NE(plain, nullptr);
    d3d9::SetWindowResolver(&testsupport::SdlWindowOf);
    D3DPRESENT_PARAMETERS params = {};
    params.BackBufferFormat = D3DFMT_X8R8G8B8;
    params.Windowed = TRUE;
    IDirect3DDevice9* device = reinterpret_cast<IDirect3DDevice9*>(1);
    EXPECT_NE(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, reinterpret_cast<HWND>(plain), 0, &params, &device),
              D3D_OK);
    EXPECT_EQ(device, nullptr);
    EXPECT_NE(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, 0, &params, &device), D3D_OK);
    d3d9::SetWindowResolver(nullptr);
    SDL_DestroyWindow(plain);
    d3d->Release();
}

}  // namespace
