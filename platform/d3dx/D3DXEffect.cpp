#include "platform/d3dx/D3DXEffect.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/d3d9/Extensions.h"
#include "platform/d3d9/common/DeviceBase.h"
#include "platform/d3d9/common/Resources.h"
#include "platform/d3dx/D3DXEffectFile.h"

namespace d3dx {

namespace {

class TextBuffer : public d3d9::RefCounted<ID3DXBuffer> {
public:
    explicit TextBuffer(const std::string& text) : bytes_(text.begin(), text.end()) { bytes_.push_back('\0'); }
    LPVOID GetBufferPointer() override { return bytes_.data(); }
    DWORD GetBufferSize() override { return static_cast<DWORD>(bytes_.size()); }

private:
    std::vector<char> bytes_;
};

struct SamplerState {
    UINT unit;
    D3DSAMPLERSTATETYPE type;
    DWORD value;
};

class Effect : public d3d9::RefCounted<ID3DXEffect> {
public:
    // Null with the messages in errors when a pass does not compile.
    static Effect* Create(IDirect3DDevice9* device, d3d9::DeviceBase* base, const EffectFile& file,
                          std::string* messages);

    D3DXHANDLE GetTechniqueByName(LPCSTR name) override;
    D3DXHANDLE GetParameterByName(D3DXHANDLE parent, LPCSTR name) override;
    HRESULT SetTechnique(D3DXHANDLE technique) override;
    HRESULT Begin(UINT* passes, DWORD flags) override;
    HRESULT BeginPass(UINT pass) override;
    HRESULT CommitChanges() override;
    HRESULT EndPass() override;
    HRESULT End() override;
    HRESULT SetValue(D3DXHANDLE parameter, LPCVOID data, UINT bytes) override;
    HRESULT SetBool(D3DXHANDLE parameter, BOOL value) override;
    HRESULT SetInt(D3DXHANDLE parameter, INT value) override;
    HRESULT SetFloat(D3DXHANDLE parameter, FLOAT value) override;
    HRESULT SetMatrix(D3DXHANDLE parameter, const D3DXMATRIX* matrix) override;
    HRESULT SetMatrixArray(D3DXHANDLE parameter, const D3DXMATRIX* matrices, UINT count) override;
    HRESULT SetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9* texture) override;

protected:
    ~Effect() override;

private:
    struct Param {
        ParameterDecl decl;
        std::vector<float> floats;  // float types
        std::vector<int> ints;      // bool and int
        IDirect3DBaseTexture9* texture = nullptr;
        uint32_t version = 1;  // raised by every change
        bool IsInteger() const { return decl.type == ParamType::Bool || decl.type == ParamType::Int; }
    };
    struct Sampler {
        SamplerDecl decl;
        size_t param;
    };
    struct Program {
        std::string vertex;
        std::string fragment;
        d3d9::ShaderProgram* program = nullptr;
        std::vector<size_t> params;  // non-texture parameters its code uses
        std::vector<uint32_t> sent;  // the version of each it last received
        std::vector<size_t> samplers;
        std::vector<uint32_t> texturesSent;
    };
    struct Pass {
        std::string name;
        std::vector<std::pair<D3DRENDERSTATETYPE, DWORD>> states;
        size_t program;
    };
    struct Technique {
        std::string name;
        std::vector<Pass> passes;
    };

    Effect(IDirect3DDevice9* device, d3d9::DeviceBase* base) : device_(device), base_(base) {}

    Param* FindParam(D3DXHANDLE handle);
    Technique* FindTechnique(D3DXHANDLE handle);
    void Changed(Param* param) { ++param->version; }
    // SetBool, SetInt and SetFloat: the value into the first element of a
    // number parameter, converted to the kind the parameter holds.
    template <class Value>
    HRESULT SetFirst(D3DXHANDLE handle, Value value, const char* call);
    // Sends what changed since the program last received it; every texture
    // when all is set.
    void Upload(Program& program, bool all);
    void SendParam(Program& program, size_t index);
    void SaveState(const Technique& technique);
    void NoteApplied(D3DRENDERSTATETYPE state, DWORD value);
    void NoteApplied(const SamplerState& state);

    IDirect3DDevice9* device_;
    d3d9::DeviceBase* base_;
    std::vector<Param> params_;
    std::vector<Sampler> samplers_;
    std::vector<Program> programs_;
    std::vector<Technique> techniques_;
    Technique* current_ = nullptr;

    // Between Begin and End.
    bool begun_ = false;
    bool in_pass_ = false;
    Technique* running_ = nullptr;
    Program* pass_program_ = nullptr;
    std::vector<std::pair<D3DRENDERSTATETYPE, DWORD>> saved_render_;
    std::vector<SamplerState> saved_sampler_;
    d3d9::ShaderProgram* saved_program_ = nullptr;
    std::vector<std::pair<D3DRENDERSTATETYPE, DWORD>> applied_render_;
    std::vector<SamplerState> applied_sampler_;
};

Effect* Effect::Create(IDirect3DDevice9* device, d3d9::DeviceBase* base, const EffectFile& file,
                       std::string* messages) {
    Effect* effect = new Effect(device, base);
    for (const ParameterDecl& decl : file.parameters) {
        Param param;
        param.decl = decl;
        if (param.IsInteger()) {
            for (float value : decl.values) {
                param.ints.push_back(static_cast<int>(value));
            }
        } else {
            param.floats = decl.values;
        }
        effect->params_.push_back(param);
    }
    for (const SamplerDecl& decl : file.samplers) {
        size_t param = 0;
        while (effect->params_[param].decl.name != decl.texture) {
            ++param;
        }
        effect->samplers_.push_back({decl, param});
    }

    bool failed = false;
    for (const TechniqueDecl& techniqueDecl : file.techniques) {
        Technique technique;
        technique.name = techniqueDecl.name;
        for (const PassDecl& passDecl : techniqueDecl.passes) {
            size_t index = 0;
            while (index < effect->programs_.size() && (effect->programs_[index].vertex != passDecl.vertexShader ||
                                                        effect->programs_[index].fragment != passDecl.fragmentShader)) {
                ++index;
            }
            if (index == effect->programs_.size()) {
                const ShaderDecl* vertex = file.FindShader(passDecl.vertexShader, true);
                const ShaderDecl* fragment = file.FindShader(passDecl.fragmentShader, false);
                Program program;
                program.vertex = passDecl.vertexShader;
                program.fragment = passDecl.fragmentShader;
                std::string log;
                d3d9::CreateProgram(device, StageSource(file, *vertex).c_str(), StageSource(file, *fragment).c_str(),
                                    &program.program, &log);
                if (!log.empty()) {
                    *messages += "technique '" + technique.name + "', pass '" + passDecl.name + "': " + log;
                    if (log.back() != '\n') {
                        *messages += "\n";
                    }
                }
                if (program.program == nullptr) {
                    if (log.empty()) {
                        *messages += "technique '" + technique.name + "', pass '" + passDecl.name +
                                     "': the shaders do not compile\n";
                    }
                    failed = true;
                } else {
                    std::vector<std::string> used = UsedIdentifiers(file.common, vertex->source + fragment->source);
                    auto uses = [&](const std::string& name) {
                        return std::binary_search(used.begin(), used.end(), name) &&
                               program.program->HasUniform(name.c_str());
                    };
                    for (size_t i = 0; i < effect->params_.size(); ++i) {
                        if (effect->params_[i].decl.type != ParamType::Texture && uses(effect->params_[i].decl.name)) {
                            program.params.push_back(i);
                            program.sent.push_back(0);
                        }
                    }
                    for (size_t i = 0; i < effect->samplers_.size(); ++i) {
                        const SamplerDecl& sampler = effect->samplers_[i].decl;
                        if (uses(sampler.name)) {
                            int unit = static_cast<int>(sampler.unit);
                            program.program->SetInts(sampler.name.c_str(), &unit, 1);
                            program.samplers.push_back(i);
                            program.texturesSent.push_back(0);
                        }
                    }
                }
                effect->programs_.push_back(program);
            }
            technique.passes.push_back({passDecl.name, passDecl.states, index});
        }
        effect->techniques_.push_back(technique);
    }
    if (failed) {
        effect->Release();
        return nullptr;
    }
    effect->current_ = effect->techniques_.empty() ? nullptr : &effect->techniques_[0];
    return effect;
}

Effect::~Effect() {
    for (Param& param : params_) {
        if (param.texture != nullptr) {
            param.texture->Release();
        }
    }
    for (Program& program : programs_) {
        if (program.program != nullptr) {
            program.program->Release();
        }
    }
    if (saved_program_ != nullptr) {
        saved_program_->Release();
    }
}

Effect::Param* Effect::FindParam(D3DXHANDLE handle) {
    for (Param& param : params_) {
        if (handle == reinterpret_cast<D3DXHANDLE>(&param)) {
            return &param;
        }
    }
    return nullptr;
}

Effect::Technique* Effect::FindTechnique(D3DXHANDLE handle) {
    for (Technique& technique : techniques_) {
        if (handle == reinterpret_cast<D3DXHANDLE>(&technique)) {
            return &technique;
        }
    }
    return nullptr;
}

D3DXHANDLE Effect::GetTechniqueByName(LPCSTR name) {
    for (Technique& technique : techniques_) {
        if (name != nullptr && technique.name == name) {
            return reinterpret_cast<D3DXHANDLE>(&technique);
        }
    }
    return nullptr;
}

D3DXHANDLE Effect::GetParameterByName(D3DXHANDLE parent, LPCSTR name) {
    if (parent != nullptr || name == nullptr) {
        return nullptr;
    }
    for (Param& param : params_) {
        if (param.decl.name == name) {
            return reinterpret_cast<D3DXHANDLE>(&param);
        }
    }
    return nullptr;
}

HRESULT Effect::SetTechnique(D3DXHANDLE handle) {
    Technique* technique = FindTechnique(handle);
    if (technique == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    current_ = technique;
    base_->Record("ID3DXEffect::SetTechnique(%s)", technique->name.c_str());
    return D3D_OK;
}

void Effect::SaveState(const Technique& technique) {
    auto saveRender = [&](D3DRENDERSTATETYPE state) {
        for (const auto& saved : saved_render_) {
            if (saved.first == state) {
                return;
            }
        }
        saved_render_.emplace_back(state, base_->State().RenderState(state));
    };
    auto saveSampler = [&](UINT unit, D3DSAMPLERSTATETYPE type) {
        for (const SamplerState& saved : saved_sampler_) {
            if (saved.unit == unit && saved.type == type) {
                return;
            }
        }
        saved_sampler_.push_back({unit, type, base_->State().SamplerState(unit, type)});
    };
    saved_render_.clear();
    saved_sampler_.clear();
    for (const Pass& pass : technique.passes) {
        for (const auto& state : pass.states) {
            saveRender(state.first);
        }
        for (size_t sampler : programs_[pass.program].samplers) {
            for (const auto& state : samplers_[sampler].decl.states) {
                saveSampler(samplers_[sampler].decl.unit, state.first);
            }
        }
    }
    saved_program_ = base_->Program();
    if (saved_program_ != nullptr) {
        saved_program_->AddRef();
    }
}

HRESULT Effect::Begin(UINT* passes, DWORD flags) {
    if (begun_ || current_ == nullptr || flags != 0) {
        return D3DERR_INVALIDCALL;
    }
    running_ = current_;
    SaveState(*running_);
    applied_render_.clear();
    applied_sampler_.clear();
    begun_ = true;
    if (passes != nullptr) {
        *passes = static_cast<UINT>(running_->passes.size());
    }
    base_->Record("ID3DXEffect::Begin(%s, %u passes)", running_->name.c_str(),
                  static_cast<unsigned>(running_->passes.size()));
    return D3D_OK;
}

void Effect::NoteApplied(D3DRENDERSTATETYPE state, DWORD value) {
    for (auto& applied : applied_render_) {
        if (applied.first == state) {
            applied.second = value;
            return;
        }
    }
    applied_render_.emplace_back(state, value);
}

void Effect::NoteApplied(const SamplerState& state) {
    for (SamplerState& applied : applied_sampler_) {
        if (applied.unit == state.unit && applied.type == state.type) {
            applied.value = state.value;
            return;
        }
    }
    applied_sampler_.push_back(state);
}

HRESULT Effect::BeginPass(UINT index) {
    if (!begun_ || in_pass_ || index >= running_->passes.size()) {
        return D3DERR_INVALIDCALL;
    }
    const Pass& pass = running_->passes[index];
    Program& program = programs_[pass.program];
    base_->Record("ID3DXEffect::BeginPass(%u)", index);
    in_pass_ = true;
    pass_program_ = &program;
    d3d9::SetProgram(device_, program.program);
    for (const auto& state : pass.states) {
        device_->SetRenderState(state.first, state.second);
        NoteApplied(state.first, state.second);
    }
    for (size_t sampler : program.samplers) {
        const SamplerDecl& decl = samplers_[sampler].decl;
        for (const auto& state : decl.states) {
            device_->SetSamplerState(decl.unit, state.first, state.second);
            NoteApplied(SamplerState{decl.unit, state.first, state.second});
        }
    }
    Upload(program, true);
    return D3D_OK;
}

void Effect::SendParam(Program& program, size_t index) {
    const Param& param = params_[program.params[index]];
    const char* name = param.decl.name.c_str();
    if (param.decl.type == ParamType::Float4x4) {
        program.program->SetMatrices(name, param.floats.data(), param.decl.Elements(), false);
    } else if (param.IsInteger()) {
        program.program->SetInts(name, param.ints.data(), static_cast<UINT>(param.ints.size()));
    } else {
        program.program->SetFloats(name, param.floats.data(), static_cast<UINT>(param.floats.size()));
    }
    program.sent[index] = param.version;
}

void Effect::Upload(Program& program, bool all) {
    for (size_t i = 0; i < program.params.size(); ++i) {
        if (program.sent[i] != params_[program.params[i]].version) {
            SendParam(program, i);
        }
    }
    for (size_t i = 0; i < program.samplers.size(); ++i) {
        const Sampler& sampler = samplers_[program.samplers[i]];
        const Param& texture = params_[sampler.param];
        if (all || program.texturesSent[i] != texture.version) {
            device_->SetTexture(sampler.decl.unit, texture.texture);
            program.texturesSent[i] = texture.version;
        }
    }
}

HRESULT Effect::CommitChanges() {
    if (!in_pass_) {
        return D3DERR_INVALIDCALL;
    }
    base_->Record("ID3DXEffect::CommitChanges()");
    Upload(*pass_program_, false);
    return D3D_OK;
}

HRESULT Effect::EndPass() {
    if (!in_pass_) {
        return D3DERR_INVALIDCALL;
    }
    base_->Record("ID3DXEffect::EndPass()");
    in_pass_ = false;
    return D3D_OK;
}

HRESULT Effect::End() {
    if (!begun_) {
        return D3DERR_INVALIDCALL;
    }
    base_->Record("ID3DXEffect::End()");
    // Only what still holds the pass's value goes back: a state the caller
    // changed inside the pass is the caller's.
    for (const auto& applied : applied_render_) {
        if (base_->State().RenderState(applied.first) != applied.second) {
            continue;
        }
        for (const auto& saved : saved_render_) {
            if (saved.first == applied.first && saved.second != applied.second) {
                device_->SetRenderState(saved.first, saved.second);
            }
        }
    }
    for (const SamplerState& applied : applied_sampler_) {
        if (base_->State().SamplerState(applied.unit, applied.type) != applied.value) {
            continue;
        }
        for (const SamplerState& saved : saved_sampler_) {
            if (saved.unit == applied.unit && saved.type == applied.type && saved.value != applied.value) {
                device_->SetSamplerState(saved.unit, saved.type, saved.value);
            }
        }
    }
    if (pass_program_ != nullptr && base_->Program() == pass_program_->program) {
        d3d9::SetProgram(device_, saved_program_);
    }
    if (saved_program_ != nullptr) {
        saved_program_->Release();
        saved_program_ = nullptr;
    }
    begun_ = false;
    in_pass_ = false;
    running_ = nullptr;
    pass_program_ = nullptr;
    return D3D_OK;
}

HRESULT Effect::SetValue(D3DXHANDLE handle, LPCVOID data, UINT bytes) {
    Param* param = FindParam(handle);
    if (param == nullptr || data == nullptr || bytes == 0 || param->decl.type == ParamType::Texture) {
        return D3DERR_INVALIDCALL;
    }
    if (param->IsInteger()) {
        std::memcpy(param->ints.data(), data, std::min<size_t>(bytes, param->ints.size() * sizeof(int)));
    } else {
        size_t size = std::min<size_t>(bytes, param->floats.size() * sizeof(float));
        std::memcpy(param->floats.data(), data, size);
        if (base_->Recording()) {
            std::string text;
            for (size_t i = 0; i < size / sizeof(float) && i < 4; ++i) {
                char number[32];
                std::snprintf(number, sizeof(number), i == 0 ? "%g" : ", %g", static_cast<double>(param->floats[i]));
                text += number;
            }
            base_->Record("ID3DXEffect::SetValue(%s, [%s])", param->decl.name.c_str(), text.c_str());
        }
        Changed(param);
        return D3D_OK;
    }
    base_->Record("ID3DXEffect::SetValue(%s, %u bytes)", param->decl.name.c_str(), bytes);
    Changed(param);
    return D3D_OK;
}

template <class Value>
HRESULT Effect::SetFirst(D3DXHANDLE handle, Value value, const char* call) {
    Param* param = FindParam(handle);
    if (param == nullptr || param->decl.type == ParamType::Texture) {
        return D3DERR_INVALIDCALL;
    }
    if (param->IsInteger()) {
        param->ints[0] = static_cast<int>(value);
    } else {
        param->floats[0] = static_cast<float>(value);
    }
    if constexpr (std::is_integral<Value>::value) {
        base_->Record("ID3DXEffect::%s(%s, %d)", call, param->decl.name.c_str(), static_cast<int>(value));
    } else {
        base_->Record("ID3DXEffect::%s(%s, %g)", call, param->decl.name.c_str(), static_cast<double>(value));
    }
    Changed(param);
    return D3D_OK;
}

HRESULT Effect::SetBool(D3DXHANDLE handle, BOOL value) { return SetFirst(handle, value != FALSE ? 1 : 0, "SetBool"); }

HRESULT Effect::SetInt(D3DXHANDLE handle, INT value) { return SetFirst(handle, value, "SetInt"); }

HRESULT Effect::SetFloat(D3DXHANDLE handle, FLOAT value) { return SetFirst(handle, value, "SetFloat"); }

HRESULT Effect::SetMatrix(D3DXHANDLE handle, const D3DXMATRIX* matrix) { return SetMatrixArray(handle, matrix, 1); }

HRESULT Effect::SetMatrixArray(D3DXHANDLE handle, const D3DXMATRIX* matrices, UINT count) {
    Param* param = FindParam(handle);
    if (param == nullptr || matrices == nullptr || param->decl.type != ParamType::Float4x4) {
        return D3DERR_INVALIDCALL;
    }
    // Matrices beyond the array's size are dropped.
    UINT stored = std::min(count, param->decl.Elements());
    for (UINT i = 0; i < stored; ++i) {
        std::memcpy(&param->floats[static_cast<size_t>(i) * 16], matrices[i].m, sizeof(float) * 16);
    }
    base_->Record("ID3DXEffect::SetMatrixArray(%s, %u)", param->decl.name.c_str(), count);
    Changed(param);
    return D3D_OK;
}

HRESULT Effect::SetTexture(D3DXHANDLE handle, IDirect3DBaseTexture9* texture) {
    Param* param = FindParam(handle);
    if (param == nullptr || param->decl.type != ParamType::Texture) {
        return D3DERR_INVALIDCALL;
    }
    if (texture != nullptr) {
        texture->AddRef();
    }
    if (param->texture != nullptr) {
        param->texture->Release();
    }
    param->texture = texture;
    base_->Record("ID3DXEffect::SetTexture(%s, %p)", param->decl.name.c_str(), static_cast<void*>(texture));
    Changed(param);
    return D3D_OK;
}

}  // namespace

}  // namespace d3dx

HRESULT D3DXCreateEffect(IDirect3DDevice9* device, LPCVOID data, UINT dataLength, const D3DXMACRO* defines,
                         ID3DXInclude* include, DWORD /*flags*/, ID3DXEffectPool* pool, ID3DXEffect** effect,
                         ID3DXBuffer** errors) {
    if (errors != nullptr) {
        *errors = nullptr;
    }
    if (effect == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *effect = nullptr;
    d3d9::DeviceBase* base = d3d9::AsDeviceBase(device);
    if (base == nullptr || data == nullptr || defines != nullptr || include != nullptr || pool != nullptr) {
        return D3DERR_INVALIDCALL;
    }
    std::string messages;
    d3dx::EffectFile file;
    d3dx::Effect* made = nullptr;
    if (d3dx::ParseEffectFile(static_cast<const char*>(data), dataLength, &file, &messages)) {
        made = d3dx::Effect::Create(device, base, file, &messages);
    }
    if (errors != nullptr && !messages.empty()) {
        *errors = new d3dx::TextBuffer(messages);
    }
    base->Record("D3DXCreateEffect() = %s", made != nullptr ? "ok" : "failed");
    if (made == nullptr) {
        return E_FAIL;
    }
    *effect = made;
    return D3D_OK;
}
