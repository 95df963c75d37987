#include "platform/d3d9/common/Direct3DBase.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace d3d9 {

void ReportFailure(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::fputs("d3d9: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    va_end(args);
}

UINT Direct3DBase::GetAdapterModeCount(UINT adapter, D3DFORMAT format) {
    if (adapter != D3DADAPTER_DEFAULT || format != D3DFMT_X8R8G8B8) {
        return 0;
    }
    return static_cast<UINT>(info_.modes.size());
}

HRESULT Direct3DBase::EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* out) {
    if (out == nullptr || adapter != D3DADAPTER_DEFAULT || format != D3DFMT_X8R8G8B8 || mode >= info_.modes.size()) {
        return D3DERR_INVALIDCALL;
    }
    *out = info_.modes[mode];
    return D3D_OK;
}

HRESULT Direct3DBase::GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER9* out) {
    if (out == nullptr || adapter != D3DADAPTER_DEFAULT) {
        return D3DERR_INVALIDCALL;
    }
    *out = info_.identifier;
    return D3D_OK;
}

HRESULT Direct3DBase::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* out) {
    if (out == nullptr || adapter != D3DADAPTER_DEFAULT) {
        return D3DERR_INVALIDCALL;
    }
    *out = info_.displayMode;
    return D3D_OK;
}

HRESULT Direct3DBase::CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                      D3DFORMAT backBufferFormat, BOOL) {
    if (adapter != D3DADAPTER_DEFAULT || type != D3DDEVTYPE_HAL) {
        return D3DERR_INVALIDCALL;
    }
    bool backBufferOk = backBufferFormat == D3DFMT_X8R8G8B8 || backBufferFormat == D3DFMT_A8R8G8B8;
    return adapterFormat == D3DFMT_X8R8G8B8 && backBufferOk ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3DBase::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                                        D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) {
    if (adapter != D3DADAPTER_DEFAULT || type != D3DDEVTYPE_HAL) {
        return D3DERR_INVALIDCALL;
    }
    const FormatInfo* info = FindFormat(checkFormat);
    if (adapterFormat != D3DFMT_X8R8G8B8 || info == nullptr ||
        (resourceType != D3DRTYPE_TEXTURE && resourceType != D3DRTYPE_SURFACE)) {
        return D3DERR_NOTAVAILABLE;
    }
    bool supported;
    if ((usage & D3DUSAGE_RENDERTARGET) != 0) {
        supported = info->renderable && (usage & D3DUSAGE_DEPTHSTENCIL) == 0 &&
                    std::find(info_.renderTargetFormats.begin(), info_.renderTargetFormats.end(), checkFormat) !=
                        info_.renderTargetFormats.end();
    } else if ((usage & D3DUSAGE_DEPTHSTENCIL) != 0) {
        supported = info->depth;
    } else {
        // Compressed textures are decoded on the CPU when they are uploaded.
        supported = !info->depth;
    }
    return supported ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3DBase::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) {
    if (caps == nullptr || adapter != D3DADAPTER_DEFAULT || type != D3DDEVTYPE_HAL) {
        return D3DERR_INVALIDCALL;
    }
    *caps = info_.caps;
    return D3D_OK;
}

HRESULT Direct3DBase::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                                   D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) {
    if (device == nullptr || params == nullptr || adapter != D3DADAPTER_DEFAULT || type != D3DDEVTYPE_HAL) {
        ReportFailure("CreateDevice: needs the default adapter, the HAL device type, parameters and a pointer");
        return D3DERR_INVALIDCALL;
    }
    *device = nullptr;
    const FormatInfo* depth = FindFormat(params->AutoDepthStencilFormat);
    bool backBufferOk = params->BackBufferFormat == D3DFMT_X8R8G8B8 || params->BackBufferFormat == D3DFMT_A8R8G8B8 ||
                        (params->Windowed && params->BackBufferFormat == D3DFMT_UNKNOWN);
    if (!backBufferOk || params->BackBufferCount > 3 ||
        (params->EnableAutoDepthStencil && (depth == nullptr || !depth->depth))) {
        ReportFailure(
            "CreateDevice: unusable presentation parameters (back buffer format %u, %u back buffers, "
            "depth format %u)",
            static_cast<unsigned>(params->BackBufferFormat), params->BackBufferCount,
            static_cast<unsigned>(params->AutoDepthStencilFormat));
        return D3DERR_INVALIDCALL;
    }
    if (params->MultiSampleType != D3DMULTISAMPLE_NONE) {
        ReportFailure("CreateDevice: multisampled back buffers are not available");
        return D3DERR_NOTAVAILABLE;
    }
    return DoCreateDevice(focusWindow, behaviorFlags, params, device);
}

}  // namespace d3d9
