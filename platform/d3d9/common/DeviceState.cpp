#include "platform/d3d9/common/DeviceState.h"

#include <cstring>

namespace d3d9 {

const D3DRENDERSTATETYPE kRenderStates[] = {
    D3DRS_ZENABLE,  D3DRS_FILLMODE, D3DRS_ZWRITEENABLE,     D3DRS_SRCBLEND, D3DRS_DESTBLEND,
    D3DRS_CULLMODE, D3DRS_ZFUNC,    D3DRS_ALPHABLENDENABLE, D3DRS_BLENDOP,  D3DRS_SCISSORTESTENABLE,
};
const UINT kRenderStateCount = sizeof(kRenderStates) / sizeof(kRenderStates[0]);

const D3DSAMPLERSTATETYPE kSamplerStates[] = {
    D3DSAMP_ADDRESSU, D3DSAMP_ADDRESSV, D3DSAMP_ADDRESSW, D3DSAMP_MAGFILTER, D3DSAMP_MINFILTER, D3DSAMP_MIPFILTER,
};
const UINT kSamplerStateCount = sizeof(kSamplerStates) / sizeof(kSamplerStates[0]);

const char* RenderStateName(DWORD state) {
    switch (state) {
        case D3DRS_ZENABLE: return "D3DRS_ZENABLE";
        case D3DRS_FILLMODE: return "D3DRS_FILLMODE";
        case D3DRS_ZWRITEENABLE: return "D3DRS_ZWRITEENABLE";
        case D3DRS_SRCBLEND: return "D3DRS_SRCBLEND";
        case D3DRS_DESTBLEND: return "D3DRS_DESTBLEND";
        case D3DRS_CULLMODE: return "D3DRS_CULLMODE";
        case D3DRS_ZFUNC: return "D3DRS_ZFUNC";
        case D3DRS_ALPHABLENDENABLE: return "D3DRS_ALPHABLENDENABLE";
        case D3DRS_BLENDOP: return "D3DRS_BLENDOP";
        case D3DRS_SCISSORTESTENABLE: return "D3DRS_SCISSORTESTENABLE";
    }
    return nullptr;
}

const char* SamplerStateName(DWORD type) {
    switch (type) {
        case D3DSAMP_ADDRESSU: return "D3DSAMP_ADDRESSU";
        case D3DSAMP_ADDRESSV: return "D3DSAMP_ADDRESSV";
        case D3DSAMP_ADDRESSW: return "D3DSAMP_ADDRESSW";
        case D3DSAMP_MAGFILTER: return "D3DSAMP_MAGFILTER";
        case D3DSAMP_MINFILTER: return "D3DSAMP_MINFILTER";
        case D3DSAMP_MIPFILTER: return "D3DSAMP_MIPFILTER";
    }
    return nullptr;
}

DeviceState::DeviceState() {
    std::memset(render_, 0, sizeof(render_));
    std::memset(sampler_, 0, sizeof(sampler_));
    SetDefaults(false);
    ForgetApplied();
}

void DeviceState::SetDefaults(bool autoDepthStencil) {
    render_[D3DRS_ZENABLE] = autoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
    render_[D3DRS_FILLMODE] = D3DFILL_SOLID;
    render_[D3DRS_ZWRITEENABLE] = TRUE;
    render_[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    render_[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    render_[D3DRS_CULLMODE] = D3DCULL_CCW;
    render_[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    render_[D3DRS_ALPHABLENDENABLE] = FALSE;
    render_[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
    render_[D3DRS_SCISSORTESTENABLE] = FALSE;
    for (UINT s = 0; s < kSamplers; ++s) {
        sampler_[s][D3DSAMP_ADDRESSU] = D3DTADDRESS_WRAP;
        sampler_[s][D3DSAMP_ADDRESSV] = D3DTADDRESS_WRAP;
        sampler_[s][D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
        sampler_[s][D3DSAMP_MAGFILTER] = D3DTEXF_POINT;
        sampler_[s][D3DSAMP_MINFILTER] = D3DTEXF_POINT;
        sampler_[s][D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
    }
}

bool DeviceState::SetRenderState(DWORD state, DWORD value) {
    if (RenderStateName(state) == nullptr) {
        return false;
    }
    render_[state] = value;
    return true;
}

bool DeviceState::SetSamplerState(DWORD sampler, DWORD type, DWORD value) {
    if (sampler >= kSamplers || SamplerStateName(type) == nullptr) {
        return false;
    }
    sampler_[sampler][type] = value;
    return true;
}

bool DeviceState::SamplerStatesPending(UINT sampler) const {
    for (UINT i = 0; i < kSamplerStateCount; ++i) {
        D3DSAMPLERSTATETYPE type = kSamplerStates[i];
        if (!sampler_applied_[sampler][type] || sampler_applied_value_[sampler][type] != sampler_[sampler][type]) {
            return true;
        }
    }
    return false;
}

void DeviceState::MarkAllApplied() {
    std::memcpy(render_applied_value_, render_, sizeof(render_));
    std::memcpy(sampler_applied_value_, sampler_, sizeof(sampler_));
    for (UINT i = 0; i < kRenderSlots; ++i) {
        render_applied_[i] = true;
    }
    for (UINT s = 0; s < kSamplers; ++s) {
        for (UINT i = 0; i < kSamplerSlots; ++i) {
            sampler_applied_[s][i] = true;
        }
    }
}

void DeviceState::ForgetApplied() {
    std::memset(render_applied_value_, 0, sizeof(render_applied_value_));
    std::memset(sampler_applied_value_, 0, sizeof(sampler_applied_value_));
    for (UINT i = 0; i < kRenderSlots; ++i) {
        render_applied_[i] = false;
    }
    for (UINT s = 0; s < kSamplers; ++s) {
        for (UINT i = 0; i < kSamplerSlots; ++i) {
            sampler_applied_[s][i] = false;
        }
    }
}

}  // namespace d3d9
