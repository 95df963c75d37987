#pragma once
// The Direct3D object both backends share: adapter queries answered from what
// the backend found out about its adapter, and the checks of device creation.
#include <vector>

#include "platform/d3d9/common/Resources.h"

namespace d3d9 {

struct AdapterInfo {
    D3DADAPTER_IDENTIFIER9 identifier = {};
    D3DDISPLAYMODE displayMode = {};
    std::vector<D3DDISPLAYMODE> modes;  // X8R8G8B8 modes
    D3DCAPS9 caps = {};
    // Colour formats that can be render targets (of those the substitute stores).
    std::vector<D3DFORMAT> renderTargetFormats;
};

class Direct3DBase : public RefCounted<IDirect3D9> {
public:
    UINT GetAdapterModeCount(UINT adapter, D3DFORMAT format) override;
    HRESULT EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* out) override;
    HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER9* out) override;
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* out) override;
    HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, D3DFORMAT backBufferFormat,
                            BOOL windowed) override;
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) override;

    const AdapterInfo& Info() const { return info_; }

protected:
    explicit Direct3DBase(AdapterInfo info) : info_(std::move(info)) {}
    // params are checked; a zero back-buffer size is the backend's to fill in.
    virtual HRESULT DoCreateDevice(HWND focusWindow, DWORD behaviorFlags, D3DPRESENT_PARAMETERS* params,
                                   IDirect3DDevice9** device) = 0;

    AdapterInfo info_;
};

// One line on stderr about a failure outside any device.
void ReportFailure(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace d3d9
