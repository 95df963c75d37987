#pragma once
// What the OpenGL device's files share: the texture object behind a Texture and
// the OpenGL layout of each stored format.
#include "platform/d3d9/gl/GLDevice.h"

namespace d3d9 {

class GLTextureObject : public BackendObject {
public:
    GLTextureObject(GLDevice* device, GLuint name) : device_(device), name(name) {}
    ~GLTextureObject() override { device_->QueueDeleteTexture(name); }
    GLDevice* device_;
    GLuint name;
    bool allocated = false;
};

struct GLFormat {
    GLint internal;
    GLenum format;
    GLenum type;
    bool alphaOne;  // no alpha stored: sampling reads 1
    bool redOnly;   // one channel: green and blue read 1, as Direct3D does
};

inline GLFormat FormatFor(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8R8G8B8: return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, false, false};
        case D3DFMT_X8R8G8B8: return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, true, false};
        case D3DFMT_A2R10G10B10: return {GL_RGB10_A2, GL_BGRA, GL_UNSIGNED_INT_2_10_10_10_REV, false, false};
        case D3DFMT_A2B10G10R10: return {GL_RGB10_A2, GL_RGBA, GL_UNSIGNED_INT_2_10_10_10_REV, false, false};
        case D3DFMT_R16F: return {GL_R16F, GL_RED, GL_HALF_FLOAT, false, true};
        case D3DFMT_R32F: return {GL_R32F, GL_RED, GL_FLOAT, false, true};
        case D3DFMT_D16: return {GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT, false, false};
        case D3DFMT_D24X8: return {GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, false, false};
        case D3DFMT_D24S8: return {GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8, false, false};
        default:  // compressed formats arrive decoded
            return {GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, false, false};
    }
}

}  // namespace d3d9
