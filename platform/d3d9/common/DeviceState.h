#pragma once
// The render and sampler states of a device: Direct3D's defaults, the values
// set, and what a backend last applied. Backends apply states lazily, at draw
// time, and only those whose value differs from what they applied before.
#include "platform/d3d9/d3d9.h"

namespace d3d9 {

constexpr UINT kSamplers = 16;
constexpr UINT kStreams = 4;
constexpr UINT kRenderTargets = 4;

// The render states the substitute knows, in application order.
extern const D3DRENDERSTATETYPE kRenderStates[];
extern const UINT kRenderStateCount;
extern const D3DSAMPLERSTATETYPE kSamplerStates[];
extern const UINT kSamplerStateCount;

// Null for a state the substitute does not know.
const char* RenderStateName(DWORD state);
const char* SamplerStateName(DWORD type);

class DeviceState {
public:
    DeviceState();

    // Direct3D's defaults; the depth test is on only with an automatic depth buffer.
    void SetDefaults(bool autoDepthStencil);

    DWORD RenderState(D3DRENDERSTATETYPE state) const { return render_[state]; }
    DWORD SamplerState(UINT sampler, D3DSAMPLERSTATETYPE type) const { return sampler_[sampler][type]; }
    // Both return false for an unknown state or sampler (nothing stored).
    bool SetRenderState(DWORD state, DWORD value);
    bool SetSamplerState(DWORD sampler, DWORD type, DWORD value);

    // Calls apply(state, value) for every known render state whose value
    // differs from the value applied last (or was never applied), then records
    // it as applied.
    template <class Apply>
    void ApplyRenderStates(Apply apply) {
        for (UINT i = 0; i < kRenderStateCount; ++i) {
            D3DRENDERSTATETYPE state = kRenderStates[i];
            if (!render_applied_[state] || render_applied_value_[state] != render_[state]) {
                apply(state, render_[state]);
                render_applied_[state] = true;
                render_applied_value_[state] = render_[state];
            }
        }
    }
    template <class Apply>
    void ApplySamplerStates(UINT sampler, Apply apply) {
        for (UINT i = 0; i < kSamplerStateCount; ++i) {
            D3DSAMPLERSTATETYPE type = kSamplerStates[i];
            if (!sampler_applied_[sampler][type] || sampler_applied_value_[sampler][type] != sampler_[sampler][type]) {
                apply(type, sampler_[sampler][type]);
                sampler_applied_[sampler][type] = true;
                sampler_applied_value_[sampler][type] = sampler_[sampler][type];
            }
        }
    }
    bool SamplerStatesPending(UINT sampler) const;

    // The backend's state matches the values now held (nothing to apply).
    void MarkAllApplied();
    // The backend's state is unknown: the next application sends everything.
    void ForgetApplied();
    void ForgetAppliedRenderState(D3DRENDERSTATETYPE state) { render_applied_[state] = false; }

private:
    static constexpr UINT kRenderSlots = 256;
    static constexpr UINT kSamplerSlots = 14;

    DWORD render_[kRenderSlots];
    DWORD render_applied_value_[kRenderSlots];
    bool render_applied_[kRenderSlots];
    DWORD sampler_[kSamplers][kSamplerSlots];
    DWORD sampler_applied_value_[kSamplers][kSamplerSlots];
    bool sampler_applied_[kSamplers][kSamplerSlots];
};

}  // namespace d3d9
