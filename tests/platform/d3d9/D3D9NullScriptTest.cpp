// Scripted answers of the null backend: adapter refusals and capabilities,
// failed device creation, lost devices and resets.
#include "NullDeviceFixture.h"

namespace {

using D3D9ScriptTest = D3D9NullTest;

TEST_F(D3D9ScriptTest, AdapterAnswersComeFromTheScript) {
    d3d9::NullScript& script = d3d9::GetNullScript();
    EXPECT_EQ(
        d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_DXT1),
        D3D_OK);
    script.refusedFormats.push_back({0, D3DRTYPE_TEXTURE, D3DFMT_DXT1});
    EXPECT_EQ(
        d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_DXT1),
        D3DERR_NOTAVAILABLE);

    script.caps.PixelShaderVersion = D3DPS_VERSION(1, 4);
    D3DCAPS9 caps;
    ASSERT_EQ(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_LT(caps.PixelShaderVersion, D3DPS_VERSION(2, 0));
    EXPECT_GE(caps.VertexShaderVersion, D3DVS_VERSION(2, 0));

    script.displayModeResult = D3DERR_NOTAVAILABLE;
    D3DDISPLAYMODE mode;
    EXPECT_EQ(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(script.calls.back(), "GetAdapterDisplayMode(0)");
}

TEST_F(D3D9ScriptTest, FormatTableWithoutRefusals) {
    struct Case {
        DWORD usage;
        D3DRESOURCETYPE type;
        D3DFORMAT format;
        HRESULT result;
    } cases[] = {
        {0, D3DRTYPE_TEXTURE, D3DFMT_DXT1, D3D_OK},
        {0, D3DRTYPE_SURFACE, D3DFMT_A8R8G8B8, D3D_OK},
        {D3DUSAGE_RENDERTARGET, D3DRTYPE_SURFACE, D3DFMT_A8R8G8B8, D3D_OK},
        {D3DUSAGE_RENDERTARGET, D3DRTYPE_SURFACE, D3DFMT_R32F, D3D_OK},
        {D3DUSAGE_RENDERTARGET, D3DRTYPE_SURFACE, D3DFMT_DXT5, D3DERR_NOTAVAILABLE},
        {D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_TEXTURE, D3DFMT_D24S8, D3D_OK},
        {D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_A8R8G8B8, D3DERR_NOTAVAILABLE},
        {0, D3DRTYPE_TEXTURE, D3DFMT_P8, D3DERR_NOTAVAILABLE},
        {0, D3DRTYPE_VERTEXBUFFER, D3DFMT_A8R8G8B8, D3DERR_NOTAVAILABLE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, c.usage, c.type, c.format),
            c.result)
            << "usage " << c.usage << " type " << c.type << " format " << c.format;
    }
    EXPECT_EQ(d3d->CheckDeviceType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, TRUE), D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, TRUE),
              D3DERR_NOTAVAILABLE);
}

TEST_F(D3D9ScriptTest, CreateDeviceCanBeMadeToFail) {
    d3d9::NullScript& script = d3d9::GetNullScript();
    script.createDeviceFailures = 1;
    IDirect3DDevice9* second = reinterpret_cast<IDirect3DDevice9*>(1);
    params.PresentationInterval = D3DPRESENT_INTERVAL_TWO;
    EXPECT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, 0, &params, &second), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(second, nullptr);
    params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, 0, &params, &second), D3D_OK);
    second->Release();
    ASSERT_EQ(script.createdWith.size(), 3u);  // the fixture's, the failed one, this one
    EXPECT_EQ(script.createdWith[1].PresentationInterval, static_cast<UINT>(D3DPRESENT_INTERVAL_TWO));
    EXPECT_EQ(script.createdWith[2].PresentationInterval, static_cast<UINT>(D3DPRESENT_INTERVAL_IMMEDIATE));

    script.refuseCreate = true;
    EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
    script.refuseCreate = false;
    EXPECT_EQ(Direct3DCreate9(31), nullptr) << "only SDK version 32";
}

TEST_F(D3D9ScriptTest, ALostDeviceWaitsUntilItCanBeResetAndResetRestoresDefaults) {
    d3d9::NullScript& script = d3d9::GetNullScript();
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);

    script.cooperativeLevels = {D3DERR_DEVICELOST, D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET};
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Reset(&params), D3DERR_DEVICELOST) << "cannot reset while lost";
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET) << "until a reset";

    params.BackBufferWidth = 32;
    params.BackBufferHeight = 24;
    ASSERT_EQ(device->Reset(&params), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(null->CurrentRenderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
    EXPECT_EQ(texture->Release(), 0u) << "Reset unbound the texture";
    D3DVIEWPORT9 viewport;
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 32u);
    IDirect3DSurface9* backBuffer = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
    D3DSURFACE_DESC desc;
    backBuffer->GetDesc(&desc);
    EXPECT_EQ(desc.Height, 24u);
    backBuffer->Release();
}

TEST_F(D3D9ScriptTest, AScriptedResetFailureKeepsTheDeviceWaiting) {
    d3d9::NullScript& script = d3d9::GetNullScript();
    script.cooperativeLevels = {D3DERR_DEVICENOTRESET};
    script.resetResult = D3DERR_INVALIDCALL;
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(device->Reset(&params), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    script.resetResult = D3D_OK;
    EXPECT_EQ(device->Reset(&params), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    script.cooperativeLevels = {D3DERR_DRIVERINTERNALERROR};
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DRIVERINTERNALERROR);
}

TEST_F(D3D9ScriptTest, DefaultPoolResourcesAreCountedForResets) {
    EXPECT_EQ(null->LiveDefaultPoolResources(), 0u);
    IDirect3DVertexBuffer9* buffer = nullptr;
    IDirect3DTexture9* managed = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(16, D3DUSAGE_DYNAMIC, 0, D3DPOOL_DEFAULT, &buffer, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &managed, nullptr), D3D_OK);
    EXPECT_EQ(null->LiveDefaultPoolResources(), 1u);
    buffer->Release();
    managed->Release();
    EXPECT_EQ(null->LiveDefaultPoolResources(), 0u);
}

}  // namespace
