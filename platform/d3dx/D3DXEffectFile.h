#pragma once
// The effect file: a text container of parameters, samplers and techniques
// whose passes carry render states and GLSL 330 shaders.
//
//   // a comment (outside shader code)
//   effect 1                                  first line: the format and its version
//   parameter <type> <name> [: <semantic>] [= <value> ...]
//   sampler <unit> <name> <texture parameter> [<state>=<value> ...]
//   common                                    GLSL shared by every shader of the file
//   ...
//   endcommon
//   shader vertex|fragment <name>             one stage's GLSL, with its main()
//   ...
//   endshader
//   technique <name>
//     pass <name>
//       state <render state> <value>
//       vertex <shader name>
//       fragment <shader name>
//     endpass
//   endtechnique
//
// Types: bool, int, float, float2, float3, float4, float4x4 and texture; an
// array is written type[n] (defaults are not given for arrays). A value list
// gives every component (true/false for bool). Without one, values start at 0.
//
// Samplers read the texture parameter on the given sampler unit (0 to 15) and
// become GLSL sampler2D uniforms of their name. The states they list (AddressU,
// AddressV, AddressW: Wrap, Mirror, Clamp; MinFilter, MagFilter, MipFilter:
// None, Point, Linear) are set when a pass that uses the sampler begins; the
// states they do not list stay as the device has them.
//
// Render states: ZEnable, ZWriteEnable, AlphaBlendEnable, ScissorTestEnable
// (true/false); ZFunc (Never, Less, Equal, LessEqual, Greater, NotEqual,
// GreaterEqual, Always); SrcBlend, DestBlend (Zero, One, SrcColor, InvSrcColor,
// SrcAlpha, InvSrcAlpha, DestAlpha, InvDestAlpha, DestColor, InvDestColor,
// SrcAlphaSat); BlendOp (Add, Subtract, RevSubtract, Min, Max); CullMode (None,
// CW, CCW); FillMode (Point, Wireframe, Solid). A number is taken as the value
// itself.
//
// Each shader stage is compiled as: the uniform declarations of every
// non-texture parameter and every sampler, the common code, then the shader.
// A pass uses a parameter or sampler when its name appears in its shaders or
// in the common functions they call.
// Vertex inputs sit at the device's fixed locations (DM_ATTR_POSITION ...,
// platform/d3d9/Extensions.h).
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "platform/d3d9/d3d9.h"

namespace d3dx {

enum class ParamType { Bool, Int, Float, Float2, Float3, Float4, Float4x4, Texture };

struct ParameterDecl {
    std::string name;
    std::string semantic;
    ParamType type = ParamType::Float;
    UINT arraySize = 0;         // 0: not an array
    std::vector<float> values;  // every component, defaults applied
    int line = 0;

    UINT Components() const;  // per element
    UINT Elements() const { return arraySize == 0 ? 1 : arraySize; }
};

struct SamplerDecl {
    UINT unit = 0;
    std::string name;
    std::string texture;  // a texture parameter
    std::vector<std::pair<D3DSAMPLERSTATETYPE, DWORD>> states;
    int line = 0;
};

struct ShaderDecl {
    bool vertex = true;
    std::string name;
    std::string source;
    int firstLine = 0;  // file line of the source's first line
};

struct PassDecl {
    std::string name;
    std::vector<std::pair<D3DRENDERSTATETYPE, DWORD>> states;
    std::string vertexShader;
    std::string fragmentShader;
    int line = 0;
};

struct TechniqueDecl {
    std::string name;
    std::vector<PassDecl> passes;
    int line = 0;
};

struct EffectFile {
    std::vector<ParameterDecl> parameters;
    std::vector<SamplerDecl> samplers;
    std::string common;
    int commonFirstLine = 0;
    std::vector<ShaderDecl> shaders;
    std::vector<TechniqueDecl> techniques;

    const ParameterDecl* FindParameter(const std::string& name) const;
    const ShaderDecl* FindShader(const std::string& name, bool vertex) const;
};

// Reads the file. Problems are appended to messages, one line each:
// "effect(<line>): error: <what>" or "effect(<line>): warning: <what>".
// False when there was an error (out is then incomplete).
bool ParseEffectFile(const char* data, size_t size, EffectFile* out, std::string* messages);

// The GLSL source of one stage as the device compiles it.
std::string StageSource(const EffectFile& file, const ShaderDecl& shader);

// The identifiers (letters, digits, underscores) that occur in a source, sorted.
std::vector<std::string> Identifiers(const std::string& source);

// The identifiers a stage pair uses: those of its own sources, of the common
// code's declarations, and of the common functions it calls (directly or
// through other common functions). Sorted.
std::vector<std::string> UsedIdentifiers(const std::string& common, const std::string& sources);

}  // namespace d3dx
