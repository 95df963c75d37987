// The entry point and the extension calls, dispatched to the device behind
// the interface pointer.
#include <cstdlib>
#include <cstring>

#include "platform/d3d9/Extensions.h"
#include "platform/d3d9/common/DeviceBase.h"
#include "platform/d3d9/common/Direct3DBase.h"
#include "platform/d3d9/gl/GLDirect3D.h"
#include "platform/d3d9/null/NullDevice.h"
#include "platform/win32/SdlBridge.h"

namespace d3d9 {

namespace {

Backend InitialBackend() {
    const char* choice = std::getenv("DUNMARCH_D3D9");
    return choice != nullptr && std::strcmp(choice, "null") == 0 ? Backend::Null : Backend::GL;
}

Backend g_backend = InitialBackend();
WindowResolver g_resolver = &GetSdlWindow;

DeviceBase* Device(IDirect3DDevice9* device, const char* call) {
    DeviceBase* base = AsDeviceBase(device);
    if (base == nullptr) {
        ReportFailure("%s: no device", call);
    }
    return base;
}

}  // namespace

void SetBackend(Backend backend) { g_backend = backend; }
Backend GetBackend() { return g_backend; }

void SetWindowResolver(WindowResolver resolver) { g_resolver = resolver != nullptr ? resolver : &GetSdlWindow; }
SDL_Window* ResolveWindow(HWND window) { return g_resolver(window); }

HRESULT CreateProgram(IDirect3DDevice9* device, const char* vertexSource, const char* fragmentSource,
                      ShaderProgram** program, std::string* errors) {
    DeviceBase* base = Device(device, "CreateProgram");
    return base != nullptr ? base->CreateProgram(vertexSource, fragmentSource, program, errors) : D3DERR_INVALIDCALL;
}

HRESULT SetProgram(IDirect3DDevice9* device, ShaderProgram* program) {
    DeviceBase* base = Device(device, "SetProgram");
    return base != nullptr ? base->SetProgram(program) : D3DERR_INVALIDCALL;
}

HRESULT ReadSurface(IDirect3DDevice9* device, IDirect3DSurface9* surface, std::vector<DWORD>* pixels, UINT* width,
                    UINT* height) {
    DeviceBase* base = Device(device, "ReadSurface");
    return base != nullptr ? base->ReadSurface(surface, pixels, width, height) : D3DERR_INVALIDCALL;
}

HRESULT ReadBackBuffer(IDirect3DDevice9* device, std::vector<DWORD>* pixels, UINT* width, UINT* height) {
    DeviceBase* base = Device(device, "ReadBackBuffer");
    return base != nullptr ? base->ReadSurface(base->BackBufferSurface(), pixels, width, height) : D3DERR_INVALIDCALL;
}

void SetPresentCapture(IDirect3DDevice9* device, bool enabled) {
    if (DeviceBase* base = Device(device, "SetPresentCapture")) {
        base->SetPresentCapture(enabled);
    }
}

HRESULT ReadPresentedFrame(IDirect3DDevice9* device, std::vector<DWORD>* pixels, UINT* width, UINT* height) {
    DeviceBase* base = Device(device, "ReadPresentedFrame");
    return base != nullptr ? base->ReadPresentedFrame(pixels, width, height) : D3DERR_INVALIDCALL;
}

std::vector<std::string> GetErrors(IDirect3DDevice9* device) {
    DeviceBase* base = AsDeviceBase(device);
    return base != nullptr ? base->Errors() : std::vector<std::string>();
}

void ClearErrors(IDirect3DDevice9* device) {
    if (DeviceBase* base = AsDeviceBase(device)) {
        base->ClearErrors();
    }
}

}  // namespace d3d9

IDirect3D9* Direct3DCreate9(UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION) {
        d3d9::ReportFailure("Direct3DCreate9: SDK version %u (expected %d)", sdkVersion, D3D_SDK_VERSION);
        return nullptr;
    }
    return d3d9::GetBackend() == d3d9::Backend::Null ? d3d9::CreateNullDirect3D() : d3d9::CreateGLDirect3D();
}
