#pragma once
// The answers of the recording null backend, set by tests before (or while)
// the code under test talks to Direct3D, and what that code asked of the
// Direct3D object. One script serves every null object of the process.
#include <deque>
#include <string>
#include <vector>

#include "platform/d3d9/d3d9.h"

namespace d3d9 {

struct FormatRefusal {
    DWORD usage;
    D3DRESOURCETYPE resourceType;
    D3DFORMAT format;
};

struct NullScript {
    NullScript();

    // Direct3DCreate9 returns null.
    bool refuseCreate = false;
    // Results of the adapter queries (their data come from the fields below).
    HRESULT displayModeResult = D3D_OK;
    HRESULT deviceTypeResult = D3D_OK;
    HRESULT capsResult = D3D_OK;
    D3DCAPS9 caps;  // shader model 3.0, 4 render targets, hardware transform and lighting
    D3DADAPTER_IDENTIFIER9 identifier;
    D3DDISPLAYMODE displayMode = {1024, 768, 60, D3DFMT_X8R8G8B8};
    // CheckDeviceFormat answers D3DERR_NOTAVAILABLE for these (exact usage).
    std::vector<FormatRefusal> refusedFormats;
    // The next n CreateDevice calls fail with D3DERR_NOTAVAILABLE.
    int createDeviceFailures = 0;

    // TestCooperativeLevel answers, in order; once they are used up the device
    // answers D3DERR_DEVICENOTRESET until a Reset succeeds, if one was due, else D3D_OK.
    std::deque<HRESULT> cooperativeLevels;
    HRESULT resetResult = D3D_OK;
    // CreateProgram fails with this text when it is not empty.
    std::string programErrors;

    // What was asked of the Direct3D object, one formatted line per call.
    std::vector<std::string> calls;
    std::vector<D3DPRESENT_PARAMETERS> createdWith;
    std::vector<DWORD> createFlags;
};

NullScript& GetNullScript();
// Back to the defaults above, with nothing asked.
void ResetNullScript();

}  // namespace d3d9
