// The shared device model through the recording null device: Direct3D's
// defaults, states applied lazily at draw time, draw checks, clears.
#include <algorithm>
#include <cstring>
#include <string>

#include "NullDeviceFixture.h"

namespace {

struct ScreenVertex {
    float x, y, z, rhw, u, v;
};

const D3DVERTEXELEMENT9 kPositionT = {0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0};
const D3DVERTEXELEMENT9 kTexcoord = {0, 16, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0};

class D3D9DrawTest : public D3D9NullTest {
protected:
    void SetUp() override {
        D3D9NullTest::SetUp();
        declaration = MakeDeclaration({kPositionT, kTexcoord});
        ASSERT_EQ(device->SetVertexDeclaration(declaration), D3D_OK);
    }
    void TearDown() override {
        if (declaration != nullptr) {
            declaration->Release();
        }
        D3D9NullTest::TearDown();
    }

    HRESULT DrawQuad() {
        ScreenVertex quad[4] = {{0, 0, 1, 1, 0, 0}, {8, 0, 1, 1, 1, 0}, {0, 8, 1, 1, 0, 1}, {8, 8, 1, 1, 1, 1}};
        return device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex));
    }

    std::vector<std::string> Applied() {
        std::vector<std::string> lines;
        for (const std::string& line : null->Log()) {
            if (line.compare(0, 6, "Apply(") == 0) {
                lines.push_back(line);
            }
        }
        return lines;
    }

    IDirect3DVertexDeclaration9* declaration = nullptr;
};

TEST_F(D3D9NullTest, StartsWithDirect3DDefaults) {
    EXPECT_EQ(null->CurrentRenderState(D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_TRUE));  // automatic depth buffer
    EXPECT_EQ(null->CurrentRenderState(D3DRS_ZWRITEENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(null->CurrentRenderState(D3DRS_ZFUNC), static_cast<DWORD>(D3DCMP_LESSEQUAL));
    EXPECT_EQ(null->CurrentRenderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
    EXPECT_EQ(null->CurrentRenderState(D3DRS_FILLMODE), static_cast<DWORD>(D3DFILL_SOLID));
    EXPECT_EQ(null->CurrentRenderState(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(FALSE));
    EXPECT_EQ(null->CurrentRenderState(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(null->CurrentRenderState(D3DRS_DESTBLEND), static_cast<DWORD>(D3DBLEND_ZERO));
    EXPECT_EQ(null->CurrentRenderState(D3DRS_BLENDOP), static_cast<DWORD>(D3DBLENDOP_ADD));
    EXPECT_EQ(null->CurrentRenderState(D3DRS_SCISSORTESTENABLE), static_cast<DWORD>(FALSE));
    EXPECT_EQ(null->CurrentSamplerState(3, D3DSAMP_ADDRESSU), static_cast<DWORD>(D3DTADDRESS_WRAP));
    EXPECT_EQ(null->CurrentSamplerState(3, D3DSAMP_MINFILTER), static_cast<DWORD>(D3DTEXF_POINT));
    EXPECT_EQ(null->CurrentSamplerState(3, D3DSAMP_MIPFILTER), static_cast<DWORD>(D3DTEXF_NONE));

    D3DVIEWPORT9 viewport;
    ASSERT_EQ(device->GetViewport(&viewport), D3D_OK);
    EXPECT_EQ(viewport.Width, 64u);
    EXPECT_EQ(viewport.Height, 48u);
    EXPECT_EQ(viewport.MaxZ, 1.0f);
}

TEST_F(D3D9NullTest, DepthTestIsOffWithoutAnAutomaticDepthBuffer) {
    device->Release();
    device = nullptr;
    params.EnableAutoDepthStencil = FALSE;
    ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, 0, &params, &device), D3D_OK);
    EXPECT_EQ(d3d9::AsNullDevice(device)->CurrentRenderState(D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_FALSE));
    IDirect3DSurface9* depth = reinterpret_cast<IDirect3DSurface9*>(1);
    EXPECT_EQ(device->GetDepthStencilSurface(&depth), D3DERR_NOTFOUND);
    EXPECT_EQ(depth, nullptr);
}

TEST_F(D3D9DrawTest, StatesAreAppliedAtTheDrawOnlyWhenTheyDifferFromWhatWasApplied) {
    // Setting a default, or a value that is set back before the draw, applies nothing.
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetSamplerState(2, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    EXPECT_TRUE(Applied().empty()) << "nothing is applied before a draw";

    ASSERT_EQ(DrawQuad(), D3D_OK);
    EXPECT_EQ(Applied(), (std::vector<std::string>{"Apply(D3DRS_SRCBLEND, 5)", "Apply(2, D3DSAMP_ADDRESSU, 3)"}));

    null->ClearLog();
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);  // same as applied
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    ASSERT_EQ(DrawQuad(), D3D_OK);
    EXPECT_EQ(Applied(), std::vector<std::string>{"Apply(D3DRS_CULLMODE, 1)"});
    ASSERT_EQ(null->Draws().size(), 1u);
    EXPECT_EQ(null->Draws()[0].RenderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_NONE));
    EXPECT_EQ(null->Draws()[0].RenderState(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_SRCALPHA));
}

TEST_F(D3D9DrawTest, UnknownStatesAndValuesAreRefused) {
    struct Case {
        DWORD state;
        DWORD value;
    } cases[] = {
        {D3DRS_CULLMODE, 0}, {D3DRS_CULLMODE, 4}, {D3DRS_ZFUNC, 9}, {D3DRS_SRCBLEND, 12}, {D3DRS_BLENDOP, 6}, {9, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(c.state), c.value), D3DERR_INVALIDCALL)
            << c.state << " = " << c.value;
    }
    EXPECT_EQ(device->SetSamplerState(16, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetSamplerState(0, D3DSAMP_ADDRESSU, 5), D3DERR_INVALIDCALL);
    EXPECT_EQ(null->CurrentRenderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
}

TEST_F(D3D9DrawTest, DrawFromMemoryRecordsTheVerticesAndUnbindsStreamZero) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(96, D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT, &buffer, nullptr), D3D_OK);
    ASSERT_EQ(device->SetStreamSource(0, buffer, 0, 24), D3D_OK);
    ASSERT_EQ(DrawQuad(), D3D_OK);

    ASSERT_EQ(null->Draws().size(), 1u);
    const d3d9::DrawRecord& draw = null->Draws()[0];
    EXPECT_EQ(draw.call, "DrawPrimitiveUP");
    EXPECT_EQ(draw.type, D3DPT_TRIANGLESTRIP);
    ASSERT_EQ(draw.vertices.size(), 4 * sizeof(ScreenVertex));
    ScreenVertex last;
    std::memcpy(&last, draw.vertices.data() + 3 * sizeof(ScreenVertex), sizeof(last));
    EXPECT_EQ(last.x, 8.0f);
    EXPECT_EQ(last.v, 1.0f);

    // As in Direct3D, stream 0 is left unset: drawing from it now fails.
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_TRUE(Reported("stream 0 has no vertex buffer"));
    buffer->Release();
}

TEST_F(D3D9DrawTest, BadDrawsAreRefusedWithAnError) {
    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(4 * 24, 0, 0, D3DPOOL_MANAGED, &vertices, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(6 * 2, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices, nullptr), D3D_OK);
    uint16_t* index = nullptr;
    ASSERT_EQ(indices->Lock(0, 0, reinterpret_cast<void**>(&index), 0), D3D_OK);
    const uint16_t pattern[6] = {0, 1, 2, 1, 3, 4};  // index 4 is past the four vertices
    std::memcpy(index, pattern, sizeof(pattern));
    indices->Unlock();

    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_TRUE(Reported("no index buffer"));

    device->SetStreamSource(0, vertices, 0, 24);
    device->SetIndices(indices);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 1), D3D_OK);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3DERR_INVALIDCALL)
        << "index 4 reads beyond the vertex buffer";
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 3, 2), D3DERR_INVALIDCALL)
        << "indices 3..8 of 6";
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, -1, 0, 4, 0, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 2, 1), D3DERR_INVALIDCALL) << "vertices 2..4 of 4";
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(9), 0, 1), D3DERR_INVALIDCALL);

    void* data = nullptr;
    ASSERT_EQ(vertices->Lock(0, 0, &data, 0), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_TRUE(Reported("locked"));
    vertices->Unlock();

    ScreenVertex one[3] = {};
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, nullptr, 24), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, one, 16), D3DERR_INVALIDCALL)
        << "a stride shorter than the declared vertex";

    device->SetVertexDeclaration(nullptr);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, one, 24), D3DERR_INVALIDCALL);
    EXPECT_TRUE(Reported("no vertex declaration"));

    EXPECT_EQ(null->Draws().size(), 2u) << "only the two good draws reached the backend";
    indices->Release();
    vertices->Release();
}

TEST_F(D3D9DrawTest, ARefusalRepeatedEveryFrameIsWrittenOnceAndKeptEachTime) {
    device->SetVertexDeclaration(nullptr);
    testing::internal::CaptureStderr();
    for (int frame = 0; frame < 3; ++frame) EXPECT_EQ(DrawQuad(), D3DERR_INVALIDCALL);
    D3DVIEWPORT9 tooLarge = {0, 0, 4096, 48, 0.0f, 1.0f};
    EXPECT_EQ(device->SetViewport(&tooLarge), D3DERR_INVALIDCALL);
    const std::string written = testing::internal::GetCapturedStderr();

    const std::string refusal = "DrawPrimitiveUP: no vertex declaration";
    size_t lines = 0;
    for (size_t at = written.find(refusal); at != std::string::npos; at = written.find(refusal, at + 1)) ++lines;
    EXPECT_EQ(lines, 1u) << written;
    EXPECT_NE(written.find("SetViewport: (0, 0) 4096x48"), std::string::npos) << "another text is written too";
    const std::vector<std::string> errors = d3d9::GetErrors(device);
    ASSERT_EQ(errors.size(), 4u);
    EXPECT_EQ(errors[2].find(refusal), 0u);
}

TEST_F(D3D9DrawTest, IndexedDrawFromMemoryChecksItsIndices) {
    ScreenVertex vertices[4] = {};
    const uint16_t good[6] = {0, 1, 2, 2, 1, 3};
    const uint16_t bad[6] = {0, 1, 2, 2, 1, 4};
    EXPECT_EQ(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 4, 2, good, D3DFMT_INDEX16, vertices, 24), D3D_OK);
    EXPECT_EQ(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 4, 2, bad, D3DFMT_INDEX16, vertices, 24),
              D3DERR_INVALIDCALL);
    ASSERT_EQ(null->Draws().size(), 1u);
    EXPECT_EQ(null->Draws()[0].indexBytes.size(), 12u);
    EXPECT_EQ(null->Draws()[0].maxIndex, 3u);
}

TEST_F(D3D9NullTest, ClearFillsTheViewportWithinTheScissorRectangle) {
    // A whole clear first (the back buffer keeps one value), then one within the
    // viewport and the scissor rectangle drawn over it.
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF405060, 1.0f, 0), D3D_OK);
    std::vector<DWORD> pixels;
    UINT width = 0;
    UINT height = 0;
    ASSERT_EQ(d3d9::ReadBackBuffer(device, &pixels, &width, &height), D3D_OK);
    ASSERT_EQ(pixels.size(), 64u * 48u);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0xFF405060u), 64 * 48);

    D3DVIEWPORT9 viewport = {8, 4, 32, 16, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&viewport), D3D_OK);
    RECT scissor = {0, 0, 16, 48};
    device->SetScissorRect(&scissor);
    device->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF102030, 1.0f, 0),
              D3D_OK);

    ASSERT_EQ(d3d9::ReadBackBuffer(device, &pixels, &width, &height), D3D_OK);
    ASSERT_EQ(width, 64u);
    ASSERT_EQ(height, 48u);
    auto at = [&](UINT x, UINT y) { return pixels[y * width + x] & 0x00FFFFFFu; };
    EXPECT_EQ(at(8, 4), 0x102030u);
    EXPECT_EQ(at(15, 19), 0x102030u);
    EXPECT_EQ(at(16, 4), 0x405060u) << "right of the scissor rectangle";
    EXPECT_EQ(at(7, 4), 0x405060u) << "left of the viewport";
    EXPECT_EQ(at(8, 20), 0x405060u) << "below the viewport";
}

TEST_F(D3D9NullTest, ClearRefusesDepthOrStencilThatIsNotThere) {
    device->SetDepthStencilSurface(nullptr);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3D_OK);
    EXPECT_EQ(device->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);

    IDirect3DSurface9* depth16 = nullptr;
    ASSERT_EQ(device->CreateDepthStencilSurface(64, 48, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE, &depth16, nullptr),
              D3D_OK);
    device->SetDepthStencilSurface(depth16);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0), D3DERR_INVALIDCALL) << "D16 has no stencil";
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.5f, 0), D3DERR_INVALIDCALL);
    depth16->Release();
}

TEST_F(D3D9NullTest, SceneBracketsAndPresentFollowDirect3DRules) {
    EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL) << "inside the scene";
    EXPECT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(null->PresentCount(), 1u);
}

TEST_F(D3D9NullTest, ANewRenderTargetBringsAViewportOfItsSize) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(
        device->CreateTexture(32, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr),
        D3D_OK);
    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    IDirect3DSurface9* backBuffer = nullptr;
    ASSERT_EQ(device->GetRenderTarget(0, &backBuffer), D3D_OK);

    ASSERT_EQ(device->SetRenderTarget(0, level), D3D_OK);
    D3DVIEWPORT9 viewport;
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 32u);
    EXPECT_EQ(viewport.Height, 16u);
    D3DVIEWPORT9 tooLarge = {0, 0, 64, 48, 0.0f, 1.0f};
    EXPECT_EQ(device->SetViewport(&tooLarge), D3DERR_INVALIDCALL);

    EXPECT_EQ(device->SetRenderTarget(0, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetRenderTarget(4, level), D3DERR_INVALIDCALL);
    IDirect3DSurface9* depth = nullptr;
    device->GetDepthStencilSurface(&depth);
    EXPECT_EQ(device->SetRenderTarget(1, depth), D3DERR_INVALIDCALL) << "a depth surface is no render target";
    depth->Release();

    ASSERT_EQ(device->SetRenderTarget(0, backBuffer), D3D_OK);
    EXPECT_EQ(device->SetViewport(&tooLarge), D3D_OK);
    backBuffer->Release();
    level->Release();
    texture->Release();
}

TEST_F(D3D9NullTest, BackBuffersAreCountedByProbing) {
    IDirect3DSurface9* surface = nullptr;
    EXPECT_EQ(device->GetBackBuffer(0, 2, D3DBACKBUFFER_TYPE_MONO, &surface), D3DERR_INVALIDCALL);
    EXPECT_EQ(surface, nullptr);
    ASSERT_EQ(device->GetBackBuffer(0, 1, D3DBACKBUFFER_TYPE_MONO, &surface), D3D_OK);
    D3DSURFACE_DESC desc;
    surface->GetDesc(&desc);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(desc.Usage, static_cast<DWORD>(D3DUSAGE_RENDERTARGET));
    EXPECT_EQ(desc.Pool, D3DPOOL_DEFAULT);
    EXPECT_EQ(desc.Width, 64u);
    surface->Release();
}

TEST_F(D3D9NullTest, ProgramsKeepTheirUniformsAndScriptedCompileErrorsComeBack) {
    d3d9::ShaderProgram* program = nullptr;
    std::string errors;
    ASSERT_EQ(d3d9::CreateProgram(device, "void main(){}", "void main(){}", &program, &errors), D3D_OK);
    const float tint[4] = {1.0f, 0.5f, 0.25f, 1.0f};
    EXPECT_EQ(program->SetFloats("g_TintColor", tint, 4), D3D_OK);
    EXPECT_EQ(d3d9::SetProgram(device, program), D3D_OK);
    EXPECT_TRUE(null->Contains("SetFloats(g_TintColor, [1, 0.5, 0.25, 1], 4)"));
    const d3d9::UniformValue* value = static_cast<d3d9::ProgramBase*>(program)->Uniform("g_TintColor");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->floats[2], 0.25f);
    program->Release();  // the device still holds it
    EXPECT_EQ(d3d9::SetProgram(device, nullptr), D3D_OK);

    d3d9::GetNullScript().programErrors = "error: line 3: no such type";
    EXPECT_EQ(d3d9::CreateProgram(device, "x", "y", &program, &errors), E_FAIL);
    EXPECT_EQ(program, nullptr);
    EXPECT_EQ(errors, "error: line 3: no such type");
}

}  // namespace
