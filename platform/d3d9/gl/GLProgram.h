#pragma once
// A GLSL 330 program wrapped so that it draws with Direct3D's conventions: the
// vertex shader's main runs inside one that converts the clip position and
// places pre-transformed vertices.
#include <string>
#include <vector>

#include "platform/d3d9/common/Resources.h"
#include "platform/d3d9/gl/GLFunctions.h"

namespace d3d9 {

class GLDevice;

class GLProgram : public ProgramBase {
public:
    // Null on failure, with the compiler's or linker's text in errors.
    static GLProgram* Create(GLDevice* device, const GLFunctions& gl, const char* vertexSource,
                             const char* fragmentSource, std::string* errors);
    ~GLProgram() override;

    bool HasUniform(const char* name) const override;
    GLuint Name() const { return name_; }

    // Sends the values set since the last draw (the program is in use).
    void SendUniforms(const GLFunctions& gl);
    // The conversion of this draw: Direct3D clip space to OpenGL's for the
    // bound target, and screen to clip space for pre-transformed vertices.
    void SendFixup(const GLFunctions& gl, const float fixup[4], const float screenToClip[4]);

    struct Info {
        std::string name;
        GLint location;
        GLenum type;
        GLint size;
    };

protected:
    UINT MatrixFloats(const char* name) const override;

private:
    GLProgram(GLDevice* device, std::string vertexSource, std::string fragmentSource, GLuint name);
    const Info* Find(const char* name) const;

    GLDevice* device_;
    GLuint name_;
    std::vector<Info> uniforms_;
    GLint fixup_location_ = -1;
    GLint screen_location_ = -1;
    float sent_fixup_[4] = {0, 0, 0, 0};
    float sent_screen_[4] = {0, 0, 0, 0};
    bool fixup_sent_ = false;
    // Values of the other kind than the uniform's, converted for sending.
    std::vector<float> converted_floats_;
    std::vector<int> converted_ints_;
};

}  // namespace d3d9
