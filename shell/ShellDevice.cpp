// The Direct3D 9 device layer of the shell: creation with its capability
// checks, the per-frame test and reset, presenting, the screen capture and the
// device dump of "-info".
#include "shell/ShellDevice.h"

#include <algorithm>
#include <vector>

#include "platform/Trace.h"
#include "platform/d3d9/Extensions.h"
#include "platform/win32/MessageBox.h"
#include "platform/win32/Time.h"
#include "platform/win32/Window.h"
#include "shell/ShellApp.h"
#include "shell/ShellGame.h"
#include "shell/ShellGlobals.h"
#include "shell/ShellHost.h"
#include "shell/ShellOptions.h"

namespace {

// A refusal the user must see; start-up ends after it.
bool Refuse(const char* text, const char* caption) {
    MessageBoxA(nullptr, text, caption, MB_OK);
    return false;
}

// Right after the device exists. A new back buffer holds whatever memory the
// driver gave it (Windows hands out zeroed video memory, software OpenGL does
// not): black it, so that a frame nothing draws on shows black and screenshots
// never carry leftover process memory.
void OnDeviceCreated(IDirect3DDevice9* device) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF000000u, 1.0f, 0);
}

}  // namespace

UINT PresentationIntervalFor(int swapInterval) {
    switch (swapInterval) {
        case 0: return D3DPRESENT_INTERVAL_IMMEDIATE;
        case 1: return D3DPRESENT_INTERVAL_ONE;
        case 2: return D3DPRESENT_INTERVAL_TWO;
        case 3: return D3DPRESENT_INTERVAL_THREE;
        default: return D3DPRESENT_INTERVAL_FOUR;
    }
}

const char* D3DFormatName(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_R8G8B8: return "R8G8B8";
        case D3DFMT_A8R8G8B8: return "A8R8G8B8";
        case D3DFMT_X8R8G8B8: return "X8R8G8B8";
        case D3DFMT_R5G6B5: return "R5G6B5";
        case D3DFMT_X1R5G5B5: return "X1R5G5B5";
        case D3DFMT_A1R5G5B5: return "A1R5G5B5";
        case D3DFMT_A4R4G4B4: return "A4R4G4B4";
        case D3DFMT_R3G3B2: return "R3G3B2";
        case D3DFMT_A8: return "A8";
        case D3DFMT_A8R3G3B2: return "A8R3G3B2";
        case D3DFMT_X4R4G4B4: return "X4R4G4B4";
        case D3DFMT_A8P8: return "A8P8";
        case D3DFMT_P8: return "P8";
        case D3DFMT_L8: return "L8";
        case D3DFMT_A8L8: return "A8L8";
        case D3DFMT_A4L4: return "A4L4";
        case D3DFMT_D16_LOCKABLE: return "D16_LOCKABLE";
        case D3DFMT_D32: return "D32";
        case D3DFMT_D15S1: return "D15S1";
        case D3DFMT_D24S8: return "D24S8";
        case D3DFMT_D24X8: return "D24X8";
        case D3DFMT_D24X4S4: return "D24X4S4";
        case D3DFMT_D16: return "D16";
        case D3DFMT_L16: return "L16";
        case D3DFMT_D32F_LOCKABLE: return "D32F_LOCKABLE";
        case D3DFMT_D24FS8: return "D24FS8";
        case D3DFMT_D32_LOCKABLE: return "D32_LOCKABLE";
        case D3DFMT_S8_LOCKABLE: return "S8_LOCKABLE";
        case D3DFMT_VERTEXDATA: return "VERTEXDATA";
        case D3DFMT_INDEX16: return "INDEX16";
        case D3DFMT_INDEX32: return "INDEX32";
        case D3DFMT_R16F: return "R16F";
        case D3DFMT_G16R16F: return "G16FR16F";
        case D3DFMT_A16B16G16R16F: return "A16B16G16R16F";
        case D3DFMT_R32F: return "R32F";
        case D3DFMT_G32R32F: return "G32R32F";
        case D3DFMT_A32B32G32R32F: return "A32B32G32R32F";
        case D3DFMT_A1: return "A1";
        case D3DFMT_DXT1: return "DXT1";
        case D3DFMT_DXT2: return "DXT2";
        case D3DFMT_DXT3: return "DXT3";
        case D3DFMT_DXT4: return "DXT4";
        case D3DFMT_DXT5: return "DXT5";
        case D3DFMT_YUY2: return "YUY2";
        case D3DFMT_UYVY: return "UYVY";
        default: return "Unknown";
    }
}

const char* D3DPoolName(DWORD pool) {
    static const char* const kNames[] = {"DEFAULT", "MANAGED", "SYSTEMMEM", "SCRATCH"};
    return pool < 4 ? kNames[pool] : "Unknown";
}

const char* D3DMultiSampleName(DWORD type) {
    static const char* const kSamples[] = {"2 Samples",  "3 Samples",  "4 Samples",  "5 Samples",  "6 Samples",
                                           "7 Samples",  "8 Samples",  "9 Samples",  "10 Samples", "11 Samples",
                                           "12 Samples", "13 Samples", "14 Samples", "15 Samples", "16 Samples"};
    if (type == 0) return "NONE";
    if (type >= 2 && type <= 16) return kSamples[type - 2];
    return "Unknown";
}

bool ShellHost::InitAPI() {
    const bool offscreen = app_->options_->offscreenBitmap;
    if (offscreen && !CreateOffscreenBitmap()) {
        ReleaseOffscreenBitmap();
        return false;
    }
    if (!InitDirect3D()) {
        // Nothing releases a half-made device later: the run loop skips
        // ReleaseAPI after a failed start-up.
        ReleaseDirect3D();
        if (offscreen) ReleaseOffscreenBitmap();
        return false;
    }
    if (offscreen) SelectOffscreenBitmap();
    SetForegroundWindow(window_);
    return true;
}

void ShellHost::ReleaseAPI() {
    ReleaseDirect3D();
    if (app_->options_->offscreenBitmap) ReleaseOffscreenBitmap();
}

bool ShellHost::InitDirect3D() {
    const ShellOptions& o = *app_->options_;
    d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d_) return false;

    D3DDISPLAYMODE mode;
    if (FAILED(d3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode))) return false;
    if (FAILED(d3d_->CheckDeviceType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, mode.Format,
                                     o.fullscreen ? FALSE : TRUE))) {
        return false;
    }
    auto supports = [this](DWORD usage, D3DRESOURCETYPE type, D3DFORMAT format) {
        return SUCCEEDED(
            d3d_->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, usage, type, format));
    };
    if (!supports(0, D3DRTYPE_TEXTURE, D3DFMT_DXT1)) {
        return Refuse("Texture Compression DXT1 Not Supported", "Resource Error");
    }
    supports(D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_TEXTURE, D3DFMT_D24S8);  // asked, not required
    if (!supports(D3DUSAGE_RENDERTARGET, D3DRTYPE_SURFACE, D3DFMT_A8R8G8B8)) {
        return Refuse("No Color Render Target Supported", "General Error");
    }
    if (!supports(D3DUSAGE_RENDERTARGET, D3DRTYPE_SURFACE, D3DFMT_R32F)) {
        return Refuse("No Floating Point Render Target Supported", "General Error");
    }

    D3DCAPS9 caps;
    if (FAILED(d3d_->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps))) return false;
    if (caps.VertexShaderVersion < D3DVS_VERSION(2, 0)) {
        return Refuse("Vertex Shader 2.0 version not supported !", "Shader Model Error");
    }
    if (caps.PixelShaderVersion < D3DPS_VERSION(2, 0)) {
        return Refuse("Pixel Shader 2.0 version not supported !", "Shader Model Error");
    }
    if (caps.NumSimultaneousRTs < 2) {
        return Refuse("Multiple Render targets not supported", "Graphics Card Error");
    }

    present_params_ = {};
    present_params_.BackBufferWidth = static_cast<UINT>(o.windowWidth);
    present_params_.BackBufferHeight = static_cast<UINT>(o.windowHeight);
    present_params_.BackBufferFormat = D3DFMT_X8R8G8B8;
    present_params_.BackBufferCount = 2;
    present_params_.MultiSampleType = D3DMULTISAMPLE_NONE;
    present_params_.MultiSampleQuality = 0;
    present_params_.SwapEffect = D3DSWAPEFFECT_DISCARD;
    present_params_.hDeviceWindow = nullptr;  // the focus window
    present_params_.Windowed = o.fullscreen ? FALSE : TRUE;
    present_params_.EnableAutoDepthStencil = TRUE;
    present_params_.AutoDepthStencilFormat = D3DFMT_D24S8;
    present_params_.Flags = 0;
    present_params_.FullScreen_RefreshRateInHz = 0;
    present_params_.PresentationInterval = PresentationIntervalFor(o.swapInterval);

    DWORD flags = D3DCREATE_MULTITHREADED;
    if (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) {
        flags |= D3DCREATE_HARDWARE_VERTEXPROCESSING;
        if (caps.DevCaps & D3DDEVCAPS_PUREDEVICE) flags |= D3DCREATE_PUREDEVICE;
    } else {
        flags |= D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    }

    if (FAILED(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_, flags, &present_params_, &device_))) {
        ShellPrint("Could not create D3D device context with specified presentation interval: %d",
                   static_cast<int>(present_params_.PresentationInterval));
        present_params_.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
        device_ = nullptr;
        if (FAILED(
                d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_, flags, &present_params_, &device_))) {
            device_ = nullptr;
            return Refuse("Could not create D3D device context... quiting game", "General Error");
        }
    }
    OnDeviceCreated(device_);
    PlatformTrace("Direct3D device created: %ux%u", present_params_.BackBufferWidth, present_params_.BackBufferHeight);
    return true;
}

void ShellHost::ReleaseDirect3D() {
    // The process globals must not outlive what they point to.
    if (g_d3dDevice == device_) g_d3dDevice = nullptr;
    if (g_d3d == d3d_) g_d3d = nullptr;
    if (device_) {
        device_->Release();
        PlatformTrace("Direct3D device released");
    }
    device_ = nullptr;
    if (d3d_) d3d_->Release();
    d3d_ = nullptr;
}

void PresentFrame(IDirect3DDevice9* device, bool capture) {
    // A copy of the frame is kept only when it will be saved.
    d3d9::SetPresentCapture(device, capture);
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

bool ReadPresentedFrameRows(IDirect3DDevice9* device, int width, int height, unsigned char* rows) {
    if (!device || width <= 0 || height <= 0) return false;
    std::vector<DWORD> pixels;
    UINT frameWidth = 0, frameHeight = 0;
    if (FAILED(d3d9::ReadPresentedFrame(device, &pixels, &frameWidth, &frameHeight))) return false;
    // The frame comes top row first.
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    const int rowCount = std::min(height, static_cast<int>(frameHeight));
    const int columns = std::min(width, static_cast<int>(frameWidth));
    for (int y = 0; y < rowCount; ++y) {
        const DWORD* source = pixels.data() + static_cast<size_t>(y) * frameWidth;
        unsigned char* row = rows + stride * static_cast<size_t>(height - 1 - y);
        for (int x = 0; x < columns; ++x) {
            const DWORD argb = source[x];
            row[3 * x + 0] = static_cast<unsigned char>(argb);
            row[3 * x + 1] = static_cast<unsigned char>(argb >> 8);
            row[3 * x + 2] = static_cast<unsigned char>(argb >> 16);
        }
    }
    return true;
}

void ShellHost::Present() {
    if (!device_) return;
    PresentFrame(device_, CapturesThisFrame());
    PlatformTrace("frame presented");
}

bool ShellHost::CaptureBuffer(int width, int height, unsigned char* buffer) {
    return ReadPresentedFrameRows(device_, width, height, buffer);
}

void* ShellHost::ApiGetPointer(int index) const { return index == 0 ? device_ : nullptr; }

bool ShellApp::CheckDevice() {
    IDirect3DDevice9* device = g_d3dDevice;
    if (!device) return false;
    switch (device->TestCooperativeLevel()) {
        case D3DERR_DEVICELOST: Sleep(20); return true;
        case D3DERR_DRIVERINTERNALERROR:
            MessageBoxA(nullptr, "Internal Driver Error ... Exiting", "Driver Error", MB_OK);
            host_->quit_ = true;
            // The program ends because of a failure: it must not report success.
            if (g_exitCode == 0) g_exitCode = 1;
            return true;
        case D3DERR_DEVICENOTRESET:
            if (game_) game_->OnEvent(kEventDeviceResetting);
            device->Reset(&host_->present_params_);
            if (game_) game_->OnEvent(kEventDeviceReset);
            return false;
        default: return false;
    }
}

void ShellHost::PrintDeviceInfo() {
    if (!d3d_ || !device_) return;
    const ShellOptions& o = *app_->options_;
    ShellPrint("D3D version: %i\n", D3D_SDK_VERSION);

    D3DADAPTER_IDENTIFIER9 id;
    if (SUCCEEDED(d3d_->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &id))) {
        ShellPrint("\n");
        ShellPrint("Adapter Identifier:\n");
        ShellPrint("  %s: %s\n", "Driver", id.Driver);
        ShellPrint("  %s: %s\n", "Description", id.Description);
        ShellPrint("  Driver Version: %u\n", static_cast<unsigned>(id.DriverVersion.LowPart));
        ShellPrint("  VendorID: %x\n", static_cast<unsigned>(id.VendorId));
        ShellPrint("  DeviceID: %u\n", static_cast<unsigned>(id.DeviceId));
        ShellPrint("  SubSysID: %u\n", static_cast<unsigned>(id.SubSysId));
        ShellPrint("  Device Identifier: %u\n", static_cast<unsigned>(id.SubSysId));
    }

    D3DDISPLAYMODE mode;
    if (SUCCEEDED(d3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode))) {
        ShellPrint("\n");
        ShellPrint("Display Mode of device:\n");
        ShellPrint("  Format: %s\n", D3DFormatName(mode.Format));
        ShellPrint("  Width:  %u\n", mode.Width);
        ShellPrint("  Height: %u\n", mode.Height);
        ShellPrint("  Refesh: %u\n", mode.RefreshRate);
        ShellPrint("\n");
    }

    ShellPrint("Window Width:  %u\n", static_cast<unsigned>(o.windowWidth));
    ShellPrint("Window Height: %u\n", static_cast<unsigned>(o.windowHeight));
    ShellPrint("Is Rotated: %s\n", app_->GetBool(kBoolRotated) ? "Yes" : "No");
    ShellPrint("\n");

    int highest = -1;
    for (int index = 2; index >= 0; --index) {
        IDirect3DSurface9* surface = nullptr;
        if (SUCCEEDED(device_->GetBackBuffer(0, static_cast<UINT>(index), D3DBACKBUFFER_TYPE_MONO, &surface))) {
            if (surface) surface->Release();
            highest = index;
            break;
        }
    }
    ShellPrint("Backbuffer No.: %i\n", highest);
    ShellPrint("\n");

    IDirect3DSurface9* backBuffer = nullptr;
    if (FAILED(device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer))) backBuffer = nullptr;
    PrintSurfaceInfo("Backbuffer surface", backBuffer);
    IDirect3DSurface9* depth = nullptr;
    if (FAILED(device_->GetDepthStencilSurface(&depth))) depth = nullptr;
    PrintSurfaceInfo("Depth stencil surface", depth);
}

void ShellHost::PrintSurfaceInfo(const char* name, IDirect3DSurface9* surface) {
    if (!surface) {
        ShellPrint("%s: Null pointer\n", name);
        return;
    }
    D3DSURFACE_DESC desc = {};
    surface->GetDesc(&desc);
    ShellPrint("%s:\n", name);
    ShellPrint("  Format: %s\n", D3DFormatName(desc.Format));
    ShellPrint("  MultiSample type: %s\n", D3DMultiSampleName(desc.MultiSampleType));
    ShellPrint("  Memory pool: %s\n", D3DPoolName(desc.Pool));
    ShellPrint("  Usage:  %s%s%s%s%s\n", (desc.Usage & D3DUSAGE_RENDERTARGET) ? "RENDERTARGET " : "", "",
               (desc.Usage & D3DUSAGE_DYNAMIC) ? "DYNAMIC " : "", (desc.Usage & D3DUSAGE_DONOTCLIP) ? "DONOTCLIP " : "",
               (desc.Usage & D3DUSAGE_WRITEONLY) ? "WRITEONLY " : "");
    ShellPrint("  Width:  %i\n", static_cast<int>(desc.Width));
    ShellPrint("  Height: %i\n", static_cast<int>(desc.Height));
    ShellPrint("\n");
    surface->Release();
}

void ShellHost::PrintDisplayModes() {
    if (!d3d_) return;
    ShellPrint("D3DADAPTER_DEFAULT Display Modes for X8R8G8B8 format\n");
    const UINT count = d3d_->GetAdapterModeCount(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8);
    for (UINT i = 0; i < count; ++i) {
        D3DDISPLAYMODE mode;
        if (FAILED(d3d_->EnumAdapterModes(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8, i, &mode))) continue;
        ShellPrint("Mode %d Width = %d Height = %d Format = %d Refresh = %d\n", static_cast<int>(i),
                   static_cast<int>(mode.Width), static_cast<int>(mode.Height), static_cast<int>(mode.Format),
                   static_cast<int>(mode.RefreshRate));
    }
}

bool ShellHost::IsIntelAdapter() {
    if (!intel_adapter_known_ && d3d_) {
        D3DADAPTER_IDENTIFIER9 id;
        intel_adapter_ = SUCCEEDED(d3d_->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &id)) && id.VendorId == 0x8086;
        intel_adapter_known_ = true;
    }
    return intel_adapter_;
}

bool ShellHost::SwitchOnOnce() {
    if (!switched_on_) {
        switched_on_ = true;
        switch_flag1_ = true;
        switch_flag2_ = false;
    }
    return switch_flag1_;
}

bool ShellHost::SwitchOffOnce() {
    if (!switched_off_) {
        switched_off_ = true;
        switch_flag1_ = false;
        switch_flag2_ = true;
    }
    return switch_flag1_;
}
