#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/d3d9/common/Direct3DBase.h"
#include "platform/d3d9/null/NullDevice.h"
#include "platform/d3d9/null/NullScript.h"

namespace d3d9 {

NullScript::NullScript() {
    caps.DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    caps.VertexShaderVersion = D3DVS_VERSION(3, 0);
    caps.PixelShaderVersion = D3DPS_VERSION(3, 0);
    caps.NumSimultaneousRTs = 4;
    identifier = {};
    std::snprintf(identifier.Driver, sizeof(identifier.Driver), "%s", "null");
    std::snprintf(identifier.Description, sizeof(identifier.Description), "%s", "Recording null device");
}

NullScript& GetNullScript() {
    static NullScript script;
    return script;
}

void ResetNullScript() { GetNullScript() = NullScript(); }

namespace {

const char* ResourceTypeName(D3DRESOURCETYPE type) {
    switch (type) {
        case D3DRTYPE_SURFACE: return "SURFACE";
        case D3DRTYPE_TEXTURE: return "TEXTURE";
        default: return "?";
    }
}

AdapterInfo InfoFromScript() {
    const NullScript& script = GetNullScript();
    AdapterInfo info;
    info.identifier = script.identifier;
    info.displayMode = script.displayMode;
    info.modes.push_back(script.displayMode);
    info.caps = script.caps;
    info.renderTargetFormats = {D3DFMT_A8R8G8B8,    D3DFMT_X8R8G8B8, D3DFMT_A2R10G10B10,
                                D3DFMT_A2B10G10R10, D3DFMT_R16F,     D3DFMT_R32F};
    return info;
}

// Answers from the script as it stands at each call.
class NullDirect3D : public Direct3DBase {
public:
    NullDirect3D() : Direct3DBase(InfoFromScript()) {}

    HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER9* out) override {
        Log("GetAdapterIdentifier(%u)", adapter);
        info_.identifier = GetNullScript().identifier;
        return Direct3DBase::GetAdapterIdentifier(adapter, flags, out);
    }
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* out) override {
        Log("GetAdapterDisplayMode(%u)", adapter);
        const NullScript& script = GetNullScript();
        if (FAILED(script.displayModeResult)) {
            return script.displayModeResult;
        }
        info_.displayMode = script.displayMode;
        return Direct3DBase::GetAdapterDisplayMode(adapter, out);
    }
    HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, D3DFORMAT backBufferFormat,
                            BOOL windowed) override {
        Log("CheckDeviceType(%u, %d, %u, %u, %d)", adapter, static_cast<int>(type),
            static_cast<unsigned>(adapterFormat), static_cast<unsigned>(backBufferFormat), windowed);
        const NullScript& script = GetNullScript();
        if (FAILED(script.deviceTypeResult)) {
            return script.deviceTypeResult;
        }
        return Direct3DBase::CheckDeviceType(adapter, type, adapterFormat, backBufferFormat, windowed);
    }
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override {
        Log("CheckDeviceFormat(0x%x, %s, %u)", static_cast<unsigned>(usage), ResourceTypeName(resourceType),
            static_cast<unsigned>(checkFormat));
        for (const FormatRefusal& refusal : GetNullScript().refusedFormats) {
            if (refusal.usage == usage && refusal.resourceType == resourceType && refusal.format == checkFormat) {
                return D3DERR_NOTAVAILABLE;
            }
        }
        return Direct3DBase::CheckDeviceFormat(adapter, type, adapterFormat, usage, resourceType, checkFormat);
    }
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override {
        Log("GetDeviceCaps(%u)", adapter);
        const NullScript& script = GetNullScript();
        if (FAILED(script.capsResult)) {
            return script.capsResult;
        }
        info_.caps = script.caps;
        return Direct3DBase::GetDeviceCaps(adapter, type, caps);
    }

protected:
    HRESULT DoCreateDevice(HWND, DWORD behaviorFlags, D3DPRESENT_PARAMETERS* params,
                           IDirect3DDevice9** device) override {
        NullScript& script = GetNullScript();
        Log("CreateDevice(0x%x, interval 0x%x)", static_cast<unsigned>(behaviorFlags),
            static_cast<unsigned>(params->PresentationInterval));
        script.createdWith.push_back(*params);
        script.createFlags.push_back(behaviorFlags);
        if (script.createDeviceFailures > 0) {
            --script.createDeviceFailures;
            return D3DERR_NOTAVAILABLE;
        }
        if (params->BackBufferWidth == 0 || params->BackBufferHeight == 0) {
            params->BackBufferWidth = script.displayMode.Width;
            params->BackBufferHeight = script.displayMode.Height;
        }
        *device = new NullDevice(*params, script.caps);
        return D3D_OK;
    }

private:
    void Log(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        char text[256];
        va_list args;
        va_start(args, format);
        std::vsnprintf(text, sizeof(text), format, args);
        va_end(args);
        GetNullScript().calls.emplace_back(text);
    }
};

}  // namespace

IDirect3D9* CreateNullDirect3D() {
    if (GetNullScript().refuseCreate) {
        ReportFailure("Direct3DCreate9: the null backend was told to refuse");
        return nullptr;
    }
    return new NullDirect3D();
}

}  // namespace d3d9
