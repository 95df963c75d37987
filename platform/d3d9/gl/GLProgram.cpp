#include "platform/d3d9/gl/GLProgram.h"

#include <cstring>

#include "platform/d3d9/gl/GLDevice.h"

namespace d3d9 {

namespace {

// Runs the caller's main, then turns its Direct3D clip position into
// OpenGL's: pixel centres half a pixel over, the target's row order, and
// depth from 0..w to -w..w. Pre-transformed vertices are placed from their
// screen position, as Direct3D does without running vertex processing.
const char kVertexPrologue[] =
    "#version 330 core\n"
    "#define DM_ATTR_POSITION 0\n"
    "#define DM_ATTR_NORMAL 1\n"
    "#define DM_ATTR_TANGENT 2\n"
    "#define DM_ATTR_BINORMAL 3\n"
    "#define DM_ATTR_COLOR0 4\n"
    "#define DM_ATTR_COLOR1 5\n"
    "#define DM_ATTR_BLENDWEIGHT 6\n"
    "#define DM_ATTR_BLENDINDICES 7\n"
    "#define DM_ATTR_TEXCOORD0 8\n"
    "#define DM_ATTR_TEXCOORD1 9\n"
    "#define DM_ATTR_TEXCOORD2 10\n"
    "#define DM_ATTR_TEXCOORD3 11\n"
    "#define DM_ATTR_TEXCOORD4 12\n"
    "#define DM_ATTR_TEXCOORD5 13\n"
    "layout(location = 15) in vec4 dm_PositionT;\n"
    "uniform vec4 dm_PosFixup;\n"
    "uniform vec4 dm_ScreenToClip;\n"
    "void dm_main();\n"
    "void main() {\n"
    "    dm_main();\n"
    "    vec4 p = gl_Position;\n"
    "    if (dm_PosFixup.w > 0.5) {\n"
    "        float w = dm_PositionT.w != 0.0 ? 1.0 / dm_PositionT.w : 1.0;\n"
    "        p = vec4(dm_PositionT.xy * dm_ScreenToClip.xy + dm_ScreenToClip.zw, dm_PositionT.z, 1.0) * w;\n"
    "    }\n"
    "    p.x += p.w * dm_PosFixup.x;\n"
    "    p.y = dm_PosFixup.z * (p.y - p.w * dm_PosFixup.y);\n"
    "    p.z = 2.0 * p.z - p.w;\n"
    "    gl_Position = p;\n"
    "}\n"
    "#define main dm_main\n";

const char kFragmentPrologue[] = "#version 330 core\n";

// The source without its own #version line, numbered from line 1 again.
std::string Body(const char* source) {
    std::string text(source);
    size_t at = text.find("#version");
    if (at != std::string::npos && text.find_first_not_of(" \t\r\n", 0) == at) {
        size_t end = text.find('\n', at);
        text.erase(at, end == std::string::npos ? std::string::npos : end - at);
    }
    return "#line 1\n" + text;
}

bool Compile(const GLFunctions& gl, GLenum type, const std::string& source, GLuint* shader, std::string* log) {
    *shader = gl.CreateShader(type);
    const char* text = source.c_str();
    gl.ShaderSource(*shader, 1, &text, nullptr);
    gl.CompileShader(*shader);
    GLint ok = GL_FALSE;
    GLint length = 0;
    gl.GetShaderiv(*shader, GL_COMPILE_STATUS, &ok);
    gl.GetShaderiv(*shader, GL_INFO_LOG_LENGTH, &length);
    if (length > 1) {
        std::string text(static_cast<size_t>(length), '\0');
        gl.GetShaderInfoLog(*shader, length, nullptr, &text[0]);
        text.resize(std::strlen(text.c_str()));
        *log += (type == GL_VERTEX_SHADER ? "vertex shader: " : "fragment shader: ") + text;
    }
    return ok == GL_TRUE;
}

UINT ComponentsOf(GLenum type) {
    switch (type) {
        case GL_FLOAT_VEC2:
        case GL_INT_VEC2:
        case GL_BOOL_VEC2: return 2;
        case GL_FLOAT_VEC3:
        case GL_INT_VEC3:
        case GL_BOOL_VEC3: return 3;
        case GL_FLOAT_VEC4:
        case GL_INT_VEC4:
        case GL_BOOL_VEC4:
        case GL_FLOAT_MAT2: return 4;
        case GL_FLOAT_MAT3: return 9;
        case GL_FLOAT_MAT4: return 16;
        case GL_FLOAT_MAT2x3:
        case GL_FLOAT_MAT3x2: return 6;
        case GL_FLOAT_MAT2x4:
        case GL_FLOAT_MAT4x2: return 8;
        case GL_FLOAT_MAT3x4:
        case GL_FLOAT_MAT4x3: return 12;
    }
    return 1;
}

bool IsFloatVector(GLenum type) {
    return type == GL_FLOAT || type == GL_FLOAT_VEC2 || type == GL_FLOAT_VEC3 || type == GL_FLOAT_VEC4;
}

bool IsMatrix(GLenum type) {
    switch (type) {
        case GL_FLOAT_MAT2:
        case GL_FLOAT_MAT3:
        case GL_FLOAT_MAT4:
        case GL_FLOAT_MAT2x3:
        case GL_FLOAT_MAT3x2:
        case GL_FLOAT_MAT2x4:
        case GL_FLOAT_MAT4x2:
        case GL_FLOAT_MAT3x4:
        case GL_FLOAT_MAT4x3: return true;
    }
    return false;
}

void SendMatrices(const GLFunctions& gl, GLenum type, GLint location, GLsizei count, GLboolean transpose,
                  const float* data) {
    switch (type) {
        case GL_FLOAT_MAT2: gl.UniformMatrix2fv(location, count, transpose, data); break;
        case GL_FLOAT_MAT3: gl.UniformMatrix3fv(location, count, transpose, data); break;
        case GL_FLOAT_MAT4: gl.UniformMatrix4fv(location, count, transpose, data); break;
        case GL_FLOAT_MAT2x3: gl.UniformMatrix2x3fv(location, count, transpose, data); break;
        case GL_FLOAT_MAT3x2: gl.UniformMatrix3x2fv(location, count, transpose, data); break;
        case GL_FLOAT_MAT2x4: gl.UniformMatrix2x4fv(location, count, transpose, data); break;
        case GL_FLOAT_MAT4x2: gl.UniformMatrix4x2fv(location, count, transpose, data); break;
        case GL_FLOAT_MAT3x4: gl.UniformMatrix3x4fv(location, count, transpose, data); break;
        case GL_FLOAT_MAT4x3: gl.UniformMatrix4x3fv(location, count, transpose, data); break;
    }
}

}  // namespace

GLProgram* GLProgram::Create(GLDevice* device, const GLFunctions& gl, const char* vertexSource,
                             const char* fragmentSource, std::string* errors) {
    GLuint vertex = 0;
    GLuint fragment = 0;
    bool ok = Compile(gl, GL_VERTEX_SHADER, kVertexPrologue + Body(vertexSource), &vertex, errors);
    ok = Compile(gl, GL_FRAGMENT_SHADER, kFragmentPrologue + Body(fragmentSource), &fragment, errors) && ok;
    GLuint program = 0;
    if (ok) {
        program = gl.CreateProgram();
        gl.AttachShader(program, vertex);
        gl.AttachShader(program, fragment);
        gl.LinkProgram(program);
        GLint linked = GL_FALSE;
        GLint length = 0;
        gl.GetProgramiv(program, GL_LINK_STATUS, &linked);
        gl.GetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
        if (length > 1) {
            std::string text(static_cast<size_t>(length), '\0');
            gl.GetProgramInfoLog(program, length, nullptr, &text[0]);
            text.resize(std::strlen(text.c_str()));
            *errors += "link: " + text;
        }
        if (linked != GL_TRUE) {
            gl.DeleteProgram(program);
            program = 0;
            ok = false;
        }
    }
    gl.DeleteShader(vertex);
    gl.DeleteShader(fragment);
    if (!ok) {
        return nullptr;
    }
    GLProgram* made = new GLProgram(device, vertexSource, fragmentSource, program);
    GLint count = 0;
    gl.GetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        char name[256];
        GLsizei length = 0;
        Info info = {};
        gl.GetActiveUniform(program, static_cast<GLuint>(i), sizeof(name), &length, &info.size, &info.type, name);
        info.name.assign(name, static_cast<size_t>(length));
        if (info.name.size() > 3 && info.name.compare(info.name.size() - 3, 3, "[0]") == 0) {
            info.name.resize(info.name.size() - 3);
        }
        info.location = gl.GetUniformLocation(program, info.name.c_str());
        if (info.name == "dm_PosFixup") {
            made->fixup_location_ = info.location;
        } else if (info.name == "dm_ScreenToClip") {
            made->screen_location_ = info.location;
        } else if (info.location >= 0) {
            made->uniforms_.push_back(info);
        }
    }
    return made;
}

GLProgram::GLProgram(GLDevice* device, std::string vertexSource, std::string fragmentSource, GLuint name)
    : ProgramBase(device, std::move(vertexSource), std::move(fragmentSource)), device_(device), name_(name) {}

GLProgram::~GLProgram() {
    if (Device() != nullptr) {
        device_->QueueDeleteProgram(name_);
    }
}

const GLProgram::Info* GLProgram::Find(const char* name) const {
    for (const Info& info : uniforms_) {
        if (info.name == name) {
            return &info;
        }
    }
    return nullptr;
}

bool GLProgram::HasUniform(const char* name) const { return name != nullptr && Find(name) != nullptr; }

UINT GLProgram::MatrixFloats(const char* name) const {
    const Info* info = Find(name);
    return info != nullptr && IsMatrix(info->type) ? ComponentsOf(info->type) : 16;
}

void GLProgram::SendUniforms(const GLFunctions& gl) {
    for (auto& entry : Uniforms()) {
        UniformValue& value = entry.second;
        if (!value.dirty) {
            continue;
        }
        value.dirty = false;
        if (value.backendSlot < 0) {
            const Info* found = Find(entry.first.c_str());
            value.backendSlot = found != nullptr ? static_cast<int>(found - uniforms_.data()) : -1;
            if (value.backendSlot < 0) {
                continue;
            }
        }
        const Info* info = &uniforms_[static_cast<size_t>(value.backendSlot)];
        UINT components = ComponentsOf(info->type);
        if (IsMatrix(info->type)) {
            if (value.kind != UniformValue::Kind::Ints) {
                GLsizei count = static_cast<GLsizei>(value.floats.size() / components);
                count = count < info->size ? count : info->size;
                SendMatrices(gl, info->type, info->location, count, value.transpose ? GL_TRUE : GL_FALSE,
                             value.floats.data());
            }
            continue;
        }
        if (IsFloatVector(info->type)) {
            // Integers set on a float uniform are converted in a buffer kept for it:
            // nothing is allocated per draw once it has grown.
            const std::vector<float>* source = &value.floats;
            if (value.kind == UniformValue::Kind::Ints) {
                converted_floats_.assign(value.ints.begin(), value.ints.end());
                source = &converted_floats_;
            }
            const std::vector<float>& floats = *source;
            GLsizei count = static_cast<GLsizei>(floats.size() / components);
            count = count < info->size ? count : info->size;
            if (count == 0) {
                continue;
            }
            switch (components) {
                case 1: gl.Uniform1fv(info->location, count, floats.data()); break;
                case 2: gl.Uniform2fv(info->location, count, floats.data()); break;
                case 3: gl.Uniform3fv(info->location, count, floats.data()); break;
                default: gl.Uniform4fv(info->location, count, floats.data()); break;
            }
            continue;
        }
        // Integers, booleans and samplers.
        const std::vector<int>* source = &value.ints;
        if (value.kind != UniformValue::Kind::Ints) {
            converted_ints_.clear();
            for (float f : value.floats) {
                converted_ints_.push_back(static_cast<int>(f));
            }
            source = &converted_ints_;
        }
        const std::vector<int>& ints = *source;
        GLsizei count = static_cast<GLsizei>(ints.size() / components);
        count = count < info->size ? count : info->size;
        if (count == 0) {
            continue;
        }
        switch (components) {
            case 1: gl.Uniform1iv(info->location, count, ints.data()); break;
            case 2: gl.Uniform2iv(info->location, count, ints.data()); break;
            case 3: gl.Uniform3iv(info->location, count, ints.data()); break;
            default: gl.Uniform4iv(info->location, count, ints.data()); break;
        }
    }
}

void GLProgram::SendFixup(const GLFunctions& gl, const float fixup[4], const float screenToClip[4]) {
    if (fixup_sent_ && std::memcmp(fixup, sent_fixup_, sizeof(sent_fixup_)) == 0 &&
        std::memcmp(screenToClip, sent_screen_, sizeof(sent_screen_)) == 0) {
        return;
    }
    std::memcpy(sent_fixup_, fixup, sizeof(sent_fixup_));
    std::memcpy(sent_screen_, screenToClip, sizeof(sent_screen_));
    fixup_sent_ = true;
    if (fixup_location_ >= 0) {
        gl.Uniform4f(fixup_location_, fixup[0], fixup[1], fixup[2], fixup[3]);
    }
    if (screen_location_ >= 0) {
        gl.Uniform4f(screen_location_, screenToClip[0], screenToClip[1], screenToClip[2], screenToClip[3]);
    }
}

}  // namespace d3d9
