// The OpenGL device's render states, texture uploads and samplers, applied
// before each draw.
#include <cstring>
#include <memory>

#include "platform/d3d9/gl/GLDevice.h"
#include "platform/d3d9/gl/GLDevicePrivate.h"
#include "platform/dxt/Dxt.h"

namespace d3d9 {

namespace {

GLenum BlendFactor(DWORD blend) {
    switch (blend) {
        case D3DBLEND_ZERO: return GL_ZERO;
        case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
        case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
        case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
        case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
        case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
        case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
        case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
        case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
        case D3DBLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
        default: return GL_ONE;
    }
}

GLenum BlendEquation(DWORD op) {
    switch (op) {
        case D3DBLENDOP_SUBTRACT: return GL_FUNC_SUBTRACT;
        case D3DBLENDOP_REVSUBTRACT: return GL_FUNC_REVERSE_SUBTRACT;
        case D3DBLENDOP_MIN: return GL_MIN;
        case D3DBLENDOP_MAX: return GL_MAX;
        default: return GL_FUNC_ADD;
    }
}

GLenum CompareFunction(DWORD function) {
    switch (function) {
        case D3DCMP_NEVER: return GL_NEVER;
        case D3DCMP_LESS: return GL_LESS;
        case D3DCMP_EQUAL: return GL_EQUAL;
        case D3DCMP_LESSEQUAL: return GL_LEQUAL;
        case D3DCMP_GREATER: return GL_GREATER;
        case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
        case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
        default: return GL_ALWAYS;
    }
}

GLenum Wrap(DWORD address) {
    switch (address) {
        case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
        case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
        default: return GL_REPEAT;
    }
}

}  // namespace

// --------------------------------------------------------------------- states

void GLDevice::ApplyCull(DWORD mode) {
    if (mode == D3DCULL_NONE) {
        gl_.Disable(GL_CULL_FACE);
        return;
    }
    // Direct3D names the winding culled as seen on the screen; OpenGL the one
    // kept, in window rows, which run the other way in off-screen targets.
    bool keepClockwise = mode == D3DCULL_CCW;
    if (flipped_) {
        keepClockwise = !keepClockwise;
    }
    gl_.Enable(GL_CULL_FACE);
    gl_.CullFace(GL_BACK);
    gl_.FrontFace(keepClockwise ? GL_CW : GL_CCW);
}

void GLDevice::ApplyRenderStates() {
    DeviceState& state = State();
    state.ApplyRenderStates([this, &state](D3DRENDERSTATETYPE s, DWORD value) {
        switch (s) {
            case D3DRS_ZENABLE:
                if (value != D3DZB_FALSE && depth_available_) {
                    gl_.Enable(GL_DEPTH_TEST);
                } else {
                    gl_.Disable(GL_DEPTH_TEST);
                }
                break;
            case D3DRS_FILLMODE:
                gl_.PolygonMode(GL_FRONT_AND_BACK, value == D3DFILL_POINT       ? GL_POINT
                                                   : value == D3DFILL_WIREFRAME ? GL_LINE
                                                                                : GL_FILL);
                break;
            case D3DRS_ZWRITEENABLE: gl_.DepthMask(value != FALSE && depth_available_ ? GL_TRUE : GL_FALSE); break;
            case D3DRS_SRCBLEND:
            case D3DRS_DESTBLEND:
                gl_.BlendFunc(BlendFactor(state.RenderState(D3DRS_SRCBLEND)),
                              BlendFactor(state.RenderState(D3DRS_DESTBLEND)));
                break;
            case D3DRS_CULLMODE: ApplyCull(value); break;
            case D3DRS_ZFUNC: gl_.DepthFunc(CompareFunction(value)); break;
            case D3DRS_ALPHABLENDENABLE:
                if (value != FALSE) {
                    gl_.Enable(GL_BLEND);
                } else {
                    gl_.Disable(GL_BLEND);
                }
                break;
            case D3DRS_BLENDOP: gl_.BlendEquation(BlendEquation(value)); break;
            case D3DRS_SCISSORTESTENABLE:
                if (value != FALSE) {
                    gl_.Enable(GL_SCISSOR_TEST);
                } else {
                    gl_.Disable(GL_SCISSOR_TEST);
                }
                break;
        }
    });
}

// ------------------------------------------------------------------- textures

bool GLDevice::UploadTexture(Texture* texture, const char* call) {
    auto* object = static_cast<GLTextureObject*>(texture->Backend());
    if (object == nullptr) {
        GLuint name = 0;
        gl_.GenTextures(1, &name);
        texture->SetBackend(std::make_unique<GLTextureObject>(this, name));
        object = static_cast<GLTextureObject*>(texture->Backend());
    }
    if (object->allocated && !texture->AnyDirty()) {
        return true;
    }
    if (texture->AnyLocked()) {
        ReportError("%s: a locked texture cannot be used", call);
        return false;
    }
    const FormatInfo& info = texture->Format();
    GLFormat format = FormatFor(info.format);
    gl_.ActiveTexture(GL_TEXTURE0);
    gl_.BindTexture(GL_TEXTURE_2D, object->name);
    bound_textures_[0] = object->name;
    bool first = !object->allocated;
    if (first) {
        gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
        gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(texture->LevelCount()) - 1);
        if (format.alphaOne) {
            gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
        }
        if (format.redOnly) {
            gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_G, GL_ONE);
            gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_B, GL_ONE);
        }
    }
    std::vector<uint8_t> decoded;
    std::vector<uint8_t> unpacked;
    for (UINT i = 0; i < texture->LevelCount(); ++i) {
        Texture::Level& level = texture->LevelAt(i);
        if (!first && !level.dirty) {
            continue;
        }
        const void* data = texture->ReadLevel(i, &unpacked);
        if (info.compressed && data != nullptr) {
            // Compressed data is decoded here; OpenGL receives plain RGBA.
            decoded.assign(static_cast<size_t>(level.width) * level.height * 4, 0);
            dxt::DecompressImage(decoded.data(), static_cast<int>(level.width), static_cast<int>(level.height), data,
                                 SquishFlags(info.format));
            data = decoded.data();
        }
        gl_.TexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), format.internal, static_cast<GLsizei>(level.width),
                       static_cast<GLsizei>(level.height), 0, format.format, format.type, data);
        level.dirty = false;
    }
    object->allocated = true;
    return true;
}

GLuint GLDevice::SamplerFor(UINT sampler) {
    DeviceState& state = State();
    state.ApplySamplerStates(sampler, [](D3DSAMPLERSTATETYPE, DWORD) {});
    DWORD key[6];
    for (UINT i = 0; i < kSamplerStateCount; ++i) {
        key[i] = state.SamplerState(sampler, kSamplerStates[i]);
    }
    for (const SamplerObject& object : samplers_) {
        if (std::memcmp(object.key, key, sizeof(key)) == 0) {
            return object.name;
        }
    }
    SamplerObject made;
    std::memcpy(made.key, key, sizeof(key));
    gl_.GenSamplers(1, &made.name);
    DWORD mag = state.SamplerState(sampler, D3DSAMP_MAGFILTER);
    DWORD min = state.SamplerState(sampler, D3DSAMP_MINFILTER);
    DWORD mip = state.SamplerState(sampler, D3DSAMP_MIPFILTER);
    GLenum minFilter;
    if (mip == D3DTEXF_NONE) {
        minFilter = min == D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST;
    } else if (mip == D3DTEXF_POINT) {
        minFilter = min == D3DTEXF_LINEAR ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    } else {
        minFilter = min == D3DTEXF_LINEAR ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    }
    gl_.SamplerParameteri(made.name, GL_TEXTURE_MAG_FILTER, mag == D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
    gl_.SamplerParameteri(made.name, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
    gl_.SamplerParameteri(made.name, GL_TEXTURE_WRAP_S,
                          static_cast<GLint>(Wrap(state.SamplerState(sampler, D3DSAMP_ADDRESSU))));
    gl_.SamplerParameteri(made.name, GL_TEXTURE_WRAP_T,
                          static_cast<GLint>(Wrap(state.SamplerState(sampler, D3DSAMP_ADDRESSV))));
    gl_.SamplerParameteri(made.name, GL_TEXTURE_WRAP_R,
                          static_cast<GLint>(Wrap(state.SamplerState(sampler, D3DSAMP_ADDRESSW))));
    samplers_.push_back(made);
    return made.name;
}

bool GLDevice::ApplyTextures(const char* call) {
    // Uploads go through unit 0, so all of them happen before any unit is bound.
    for (UINT s = 0; s < kSamplers; ++s) {
        Texture* texture = BoundTexture(s);
        if (texture != nullptr && !UploadTexture(texture, call)) {
            return false;
        }
    }
    for (UINT s = 0; s < kSamplers; ++s) {
        Texture* texture = BoundTexture(s);
        GLuint name = 0;
        if (texture != nullptr) {
            name = static_cast<GLTextureObject*>(texture->Backend())->name;
        }
        if (bound_textures_[s] != name) {
            gl_.ActiveTexture(GL_TEXTURE0 + s);
            gl_.BindTexture(GL_TEXTURE_2D, name);
            bound_textures_[s] = name;
        }
        if (texture != nullptr && (bound_samplers_[s] == 0 || State().SamplerStatesPending(s))) {
            GLuint sampler = SamplerFor(s);
            if (bound_samplers_[s] != sampler) {
                gl_.BindSampler(s, sampler);
                bound_samplers_[s] = sampler;
            }
        }
    }
    return true;
}

}  // namespace d3d9
