#pragma once
// The recording null device: the Direct3D interface on the CPU. Buffers and
// textures keep their bytes, clears fill the back buffer, and every call,
// lazily applied state and draw is logged for tests to inspect.
#include <string>
#include <vector>

#include "platform/d3d9/common/DeviceBase.h"

namespace d3d9 {

// One draw as the device saw it when it happened.
struct DrawRecord {
    std::string call;  // "DrawPrimitive", "DrawIndexedPrimitiveUP" ...
    D3DPRIMITIVETYPE type;
    UINT primitiveCount;
    UINT startVertex;
    INT baseVertex;
    UINT startIndex;
    UINT minIndex;
    UINT maxIndex;
    IDirect3DVertexDeclaration9* declaration;
    IDirect3DVertexBuffer9* stream0;
    UINT stream0Offset;
    UINT stream0Stride;
    IDirect3DIndexBuffer9* indices;
    IDirect3DBaseTexture9* textures[kSamplers];
    ShaderProgram* program;
    IDirect3DSurface9* renderTarget0;
    D3DVIEWPORT9 viewport;
    RECT scissor;
    DWORD renderStates[16];  // in the order of kRenderStates
    // The vertex bytes of a draw from memory, or those a non-indexed draw
    // read from stream 0.
    std::vector<uint8_t> vertices;
    std::vector<uint8_t> indexBytes;

    DWORD RenderState(D3DRENDERSTATETYPE state) const;
};

class NullDevice : public DeviceBase {
public:
    NullDevice(const D3DPRESENT_PARAMETERS& params, const D3DCAPS9& caps);
    ~NullDevice() override;

    // The log: one line per call ("SetRenderState(D3DRS_CULLMODE, 1)"), and
    // one "Apply(...)" line per state a draw applied.
    const std::vector<std::string>& Log() const { return log_; }
    void ClearLog();
    // Lines that start with the prefix.
    size_t Count(const std::string& prefix) const;
    bool Contains(const std::string& line) const;
    const std::vector<DrawRecord>& Draws() const { return draws_; }
    UINT PresentCount() const { return presents_; }

    DWORD CurrentRenderState(D3DRENDERSTATETYPE state) { return State().RenderState(state); }
    DWORD CurrentSamplerState(UINT sampler, D3DSAMPLERSTATETYPE type) { return State().SamplerState(sampler, type); }
    // Default-pool resources alive, which a real Reset would refuse to outlive.
    UINT LiveDefaultPoolResources() const;

protected:
    HRESULT DoTestCooperativeLevel() override;
    HRESULT DoReset(D3DPRESENT_PARAMETERS* params) override;
    HRESULT DoPresent() override;
    HRESULT DoClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    HRESULT DoDraw(const DrawCall& call) override;
    HRESULT DoReadSurface(Surface* surface, std::vector<DWORD>* pixels) override;
    ProgramBase* DoCreateProgram(const char* vertexSource, const char* fragmentSource, std::string* errors) override;
    void StatesReset() override;
    void OnRecord(const char* text) override;

private:
    std::vector<std::string> log_;
    std::vector<DrawRecord> draws_;
    bool overflowed_ = false;
    bool lost_ = false;
    bool needs_reset_ = false;
    UINT presents_ = 0;
};

// The null device behind an interface pointer; null for a GL device.
NullDevice* AsNullDevice(IDirect3DDevice9* device);

IDirect3D9* CreateNullDirect3D();

}  // namespace d3d9
