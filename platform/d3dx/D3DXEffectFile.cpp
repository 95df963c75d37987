#include "platform/d3dx/D3DXEffectFile.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

namespace d3dx {

namespace {

struct NamedValue {
    const char* name;
    DWORD value;
};

const NamedValue kBooleans[] = {{"true", TRUE}, {"false", FALSE}};
const NamedValue kCompare[] = {{"Never", D3DCMP_NEVER},
                               {"Less", D3DCMP_LESS},
                               {"Equal", D3DCMP_EQUAL},
                               {"LessEqual", D3DCMP_LESSEQUAL},
                               {"Greater", D3DCMP_GREATER},
                               {"NotEqual", D3DCMP_NOTEQUAL},
                               {"GreaterEqual", D3DCMP_GREATEREQUAL},
                               {"Always", D3DCMP_ALWAYS}};
const NamedValue kBlend[] = {{"Zero", D3DBLEND_ZERO},
                             {"One", D3DBLEND_ONE},
                             {"SrcColor", D3DBLEND_SRCCOLOR},
                             {"InvSrcColor", D3DBLEND_INVSRCCOLOR},
                             {"SrcAlpha", D3DBLEND_SRCALPHA},
                             {"InvSrcAlpha", D3DBLEND_INVSRCALPHA},
                             {"DestAlpha", D3DBLEND_DESTALPHA},
                             {"InvDestAlpha", D3DBLEND_INVDESTALPHA},
                             {"DestColor", D3DBLEND_DESTCOLOR},
                             {"InvDestColor", D3DBLEND_INVDESTCOLOR},
                             {"SrcAlphaSat", D3DBLEND_SRCALPHASAT}};
const NamedValue kBlendOp[] = {{"Add", D3DBLENDOP_ADD},
                               {"Subtract", D3DBLENDOP_SUBTRACT},
                               {"RevSubtract", D3DBLENDOP_REVSUBTRACT},
                               {"Min", D3DBLENDOP_MIN},
                               {"Max", D3DBLENDOP_MAX}};
const NamedValue kCull[] = {{"None", D3DCULL_NONE}, {"CW", D3DCULL_CW}, {"CCW", D3DCULL_CCW}};
const NamedValue kFill[] = {{"Point", D3DFILL_POINT}, {"Wireframe", D3DFILL_WIREFRAME}, {"Solid", D3DFILL_SOLID}};
const NamedValue kAddress[] = {
    {"Wrap", D3DTADDRESS_WRAP}, {"Mirror", D3DTADDRESS_MIRROR}, {"Clamp", D3DTADDRESS_CLAMP}};
const NamedValue kFilter[] = {{"None", D3DTEXF_NONE}, {"Point", D3DTEXF_POINT}, {"Linear", D3DTEXF_LINEAR}};

struct ValueTable {
    const NamedValue* values;
    size_t count;
};

template <size_t N>
ValueTable Table(const NamedValue (&values)[N]) {
    return {values, N};
}

struct RenderStateName {
    const char* name;
    D3DRENDERSTATETYPE state;
    ValueTable values;
};

const RenderStateName kRenderStates[] = {
    {"ZEnable", D3DRS_ZENABLE, Table(kBooleans)}, {"ZWriteEnable", D3DRS_ZWRITEENABLE, Table(kBooleans)},
    {"ZFunc", D3DRS_ZFUNC, Table(kCompare)},      {"AlphaBlendEnable", D3DRS_ALPHABLENDENABLE, Table(kBooleans)},
    {"SrcBlend", D3DRS_SRCBLEND, Table(kBlend)},  {"DestBlend", D3DRS_DESTBLEND, Table(kBlend)},
    {"BlendOp", D3DRS_BLENDOP, Table(kBlendOp)},  {"CullMode", D3DRS_CULLMODE, Table(kCull)},
    {"FillMode", D3DRS_FILLMODE, Table(kFill)},   {"ScissorTestEnable", D3DRS_SCISSORTESTENABLE, Table(kBooleans)},
};

struct SamplerStateName {
    const char* name;
    D3DSAMPLERSTATETYPE state;
    ValueTable values;
};

const SamplerStateName kSamplerStates[] = {
    {"AddressU", D3DSAMP_ADDRESSU, Table(kAddress)},  {"AddressV", D3DSAMP_ADDRESSV, Table(kAddress)},
    {"AddressW", D3DSAMP_ADDRESSW, Table(kAddress)},  {"MinFilter", D3DSAMP_MINFILTER, Table(kFilter)},
    {"MagFilter", D3DSAMP_MAGFILTER, Table(kFilter)}, {"MipFilter", D3DSAMP_MIPFILTER, Table(kFilter)},
};

struct TypeName {
    const char* name;
    ParamType type;
    const char* glsl;
};

const TypeName kTypes[] = {
    {"bool", ParamType::Bool, "bool"},         {"int", ParamType::Int, "int"},
    {"float", ParamType::Float, "float"},      {"float2", ParamType::Float2, "vec2"},
    {"float3", ParamType::Float3, "vec3"},     {"float4", ParamType::Float4, "vec4"},
    {"float4x4", ParamType::Float4x4, "mat4"}, {"texture", ParamType::Texture, nullptr},
};

constexpr UINT kMaxArraySize = 256;
constexpr UINT kSamplerUnits = 16;

bool IsIdentifier(const std::string& text) {
    if (text.empty() || !(std::isalpha(static_cast<unsigned char>(text[0])) || text[0] == '_')) {
        return false;
    }
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

bool ParseValue(const ValueTable& table, const std::string& text, DWORD* out) {
    for (size_t i = 0; i < table.count; ++i) {
        if (text == table.values[i].name) {
            *out = table.values[i].value;
            return true;
        }
    }
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    unsigned long value = std::strtoul(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || value > 0xFFFFFFFFul) {
        return false;
    }
    *out = static_cast<DWORD>(value);
    return true;
}

bool ParseFloat(const std::string& text, float* out) {
    if (text == "true" || text == "false") {
        *out = text == "true" ? 1.0f : 0.0f;
        return true;
    }
    errno = 0;
    char* end = nullptr;
    float value = std::strtof(text.c_str(), &end);
    if (text.empty() || errno != 0 || *end != '\0') {
        return false;
    }
    *out = value;
    return true;
}

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> words;
    size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) {
            ++at;
        }
        size_t end = at;
        while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end]))) {
            ++end;
        }
        if (end > at) {
            words.push_back(line.substr(at, end - at));
        }
        at = end;
    }
    return words;
}

// A directive line without its trailing comment.
std::string StripComment(const std::string& line) {
    size_t at = line.find("//");
    return at == std::string::npos ? line : line.substr(0, at);
}

class Parser {
public:
    Parser(EffectFile* out, std::string* messages) : out_(out), messages_(messages) {}

    bool Run(const char* data, size_t size);

private:
    enum class Block { None, Common, Shader, Technique, Pass };

    void Error(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Warning(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Message(const char* kind, const char* format, va_list args);

    void Directive(const std::vector<std::string>& words);
    void Parameter(const std::vector<std::string>& words);
    void Sampler(const std::vector<std::string>& words);
    void State(const std::vector<std::string>& words);
    void PassShader(const std::vector<std::string>& words, bool vertex);
    void EndPass();
    void EndTechnique();
    void CheckReferences();
    bool NameTaken(const std::string& name) const;

    EffectFile* out_;
    std::string* messages_;
    int line_ = 0;
    bool failed_ = false;
    bool version_seen_ = false;
    bool common_seen_ = false;
    Block block_ = Block::None;
    std::string* code_ = nullptr;  // the GLSL being collected
    TechniqueDecl technique_;
    PassDecl pass_;
};

void Parser::Message(const char* kind, const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof(text), format, args);
    char head[64];
    std::snprintf(head, sizeof(head), "effect(%d): %s: ", line_, kind);
    *messages_ += head;
    *messages_ += text;
    *messages_ += "\n";
}

void Parser::Error(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Message("error", format, args);
    va_end(args);
    failed_ = true;
}

void Parser::Warning(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Message("warning", format, args);
    va_end(args);
}

bool Parser::Run(const char* data, size_t size) {
    if (data == nullptr || size == 0) {
        Error("empty effect file");
        return false;
    }
    if (std::memchr(data, '\0', size) != nullptr) {
        Error("not an effect file: binary data");
        return false;
    }
    size_t at = 0;
    while (at < size && !failed_) {
        const char* begin = data + at;
        const char* newline = static_cast<const char*>(std::memchr(begin, '\n', size - at));
        size_t length = newline != nullptr ? static_cast<size_t>(newline - begin) : size - at;
        at += length + (newline != nullptr ? 1 : 0);
        std::string line(begin, length);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        ++line_;

        if (block_ == Block::Common || block_ == Block::Shader) {
            std::vector<std::string> words = Split(line);
            const char* end = block_ == Block::Common ? "endcommon" : "endshader";
            if (words.size() == 1 && words[0] == end) {
                block_ = Block::None;
                code_ = nullptr;
            } else {
                *code_ += line;
                *code_ += "\n";
            }
            continue;
        }
        std::vector<std::string> words = Split(StripComment(line));
        if (words.empty()) {
            continue;
        }
        if (!version_seen_) {
            if (words.size() != 2 || words[0] != "effect") {
                Error("not an effect file: the first line must be 'effect 1'");
            } else if (words[1] != "1") {
                Error("effect file version %s is not supported (expected 1)", words[1].c_str());
            }
            version_seen_ = true;
            continue;
        }
        Directive(words);
    }
    if (!failed_ && !version_seen_) {
        Error("not an effect file: the first line must be 'effect 1'");
    }
    if (!failed_) {
        switch (block_) {
            case Block::Common: Error("'common' without 'endcommon'"); break;
            case Block::Shader: Error("'shader' without 'endshader'"); break;
            case Block::Pass: Error("pass '%s' without 'endpass'", pass_.name.c_str()); break;
            case Block::Technique: Error("technique '%s' without 'endtechnique'", technique_.name.c_str()); break;
            case Block::None: break;
        }
    }
    if (!failed_) {
        CheckReferences();
    }
    return !failed_;
}

bool Parser::NameTaken(const std::string& name) const {
    if (out_->FindParameter(name) != nullptr) {
        return true;
    }
    return std::any_of(out_->samplers.begin(), out_->samplers.end(),
                       [&](const SamplerDecl& s) { return s.name == name; });
}

void Parser::Directive(const std::vector<std::string>& words) {
    const std::string& keyword = words[0];
    if (block_ == Block::Pass) {
        if (keyword == "state") {
            State(words);
        } else if (keyword == "vertex" || keyword == "fragment") {
            PassShader(words, keyword == "vertex");
        } else if (keyword == "endpass" && words.size() == 1) {
            EndPass();
        } else {
            Error("unexpected '%s' in pass '%s'", keyword.c_str(), pass_.name.c_str());
        }
        return;
    }
    if (block_ == Block::Technique) {
        if (keyword == "pass" && words.size() == 2 && IsIdentifier(words[1])) {
            for (const PassDecl& pass : technique_.passes) {
                if (pass.name == words[1]) {
                    Error("pass '%s' appears twice in technique '%s'", words[1].c_str(), technique_.name.c_str());
                    return;
                }
            }
            pass_ = PassDecl();
            pass_.name = words[1];
            pass_.line = line_;
            block_ = Block::Pass;
        } else if (keyword == "endtechnique" && words.size() == 1) {
            EndTechnique();
        } else {
            Error("unexpected '%s' in technique '%s'", keyword.c_str(), technique_.name.c_str());
        }
        return;
    }
    if (keyword == "parameter") {
        Parameter(words);
    } else if (keyword == "sampler") {
        Sampler(words);
    } else if (keyword == "common" && words.size() == 1) {
        if (common_seen_) {
            Error("a second 'common' block");
            return;
        }
        common_seen_ = true;
        out_->commonFirstLine = line_ + 1;
        code_ = &out_->common;
        block_ = Block::Common;
    } else if (keyword == "shader") {
        if (words.size() != 3 || (words[1] != "vertex" && words[1] != "fragment") || !IsIdentifier(words[2])) {
            Error("expected 'shader vertex|fragment <name>'");
            return;
        }
        bool vertex = words[1] == "vertex";
        if (out_->FindShader(words[2], vertex) != nullptr) {
            Error("%s shader '%s' defined twice", words[1].c_str(), words[2].c_str());
            return;
        }
        ShaderDecl shader;
        shader.vertex = vertex;
        shader.name = words[2];
        shader.firstLine = line_ + 1;
        out_->shaders.push_back(shader);
        code_ = &out_->shaders.back().source;
        block_ = Block::Shader;
    } else if (keyword == "technique") {
        if (words.size() != 2 || !IsIdentifier(words[1])) {
            Error("expected 'technique <name>'");
            return;
        }
        for (const TechniqueDecl& technique : out_->techniques) {
            if (technique.name == words[1]) {
                Error("technique '%s' defined twice", words[1].c_str());
                return;
            }
        }
        technique_ = TechniqueDecl();
        technique_.name = words[1];
        technique_.line = line_;
        block_ = Block::Technique;
    } else {
        Error("unexpected '%s'", keyword.c_str());
    }
}

void Parser::Parameter(const std::vector<std::string>& words) {
    // parameter <type>[<n>] <name> [: <semantic>] [= <values>]
    if (words.size() < 3) {
        Error("expected 'parameter <type> <name>'");
        return;
    }
    ParameterDecl decl;
    decl.line = line_;
    std::string type = words[1];
    size_t bracket = type.find('[');
    if (bracket != std::string::npos) {
        std::string count = type.substr(bracket + 1);
        type.resize(bracket);
        DWORD size = 0;
        if (count.empty() || count.back() != ']' ||
            !ParseValue(ValueTable{nullptr, 0}, count.substr(0, count.size() - 1), &size) || size == 0 ||
            size > kMaxArraySize) {
            Error("bad array size in '%s' (1 to %u)", words[1].c_str(), kMaxArraySize);
            return;
        }
        decl.arraySize = size;
    }
    const TypeName* found = nullptr;
    for (const TypeName& t : kTypes) {
        if (type == t.name) {
            found = &t;
        }
    }
    if (found == nullptr) {
        Error("unknown parameter type '%s'", type.c_str());
        return;
    }
    decl.type = found->type;
    if (decl.type == ParamType::Texture && decl.arraySize != 0) {
        Error("texture arrays are not supported");
        return;
    }
    decl.name = words[2];
    if (!IsIdentifier(decl.name)) {
        Error("bad parameter name '%s'", decl.name.c_str());
        return;
    }
    if (NameTaken(decl.name)) {
        Error("'%s' is declared twice", decl.name.c_str());
        return;
    }
    size_t at = 3;
    if (at < words.size() && words[at] == ":") {
        if (at + 1 >= words.size() || !IsIdentifier(words[at + 1])) {
            Error("expected a semantic after ':' for '%s'", decl.name.c_str());
            return;
        }
        decl.semantic = words[at + 1];
        at += 2;
    }
    decl.values.assign(static_cast<size_t>(decl.Components()) * decl.Elements(), 0.0f);
    if (at < words.size()) {
        if (words[at] != "=") {
            Error("unexpected '%s' after parameter '%s'", words[at].c_str(), decl.name.c_str());
            return;
        }
        ++at;
        if (decl.type == ParamType::Texture || decl.arraySize != 0) {
            Error("'%s' cannot have a default value", decl.name.c_str());
            return;
        }
        if (words.size() - at != decl.values.size()) {
            Error("'%s' needs %u default values, %u given", decl.name.c_str(),
                  static_cast<unsigned>(decl.values.size()), static_cast<unsigned>(words.size() - at));
            return;
        }
        for (size_t i = 0; at < words.size(); ++at, ++i) {
            if (!ParseFloat(words[at], &decl.values[i])) {
                Error("bad value '%s' for '%s'", words[at].c_str(), decl.name.c_str());
                return;
            }
        }
    }
    out_->parameters.push_back(decl);
}

void Parser::Sampler(const std::vector<std::string>& words) {
    // sampler <unit> <name> <texture parameter> [<state>=<value> ...]
    if (words.size() < 4) {
        Error("expected 'sampler <unit> <name> <texture parameter>'");
        return;
    }
    SamplerDecl decl;
    decl.line = line_;
    DWORD unit = 0;
    if (!ParseValue(ValueTable{nullptr, 0}, words[1], &unit) || unit >= kSamplerUnits) {
        Error("bad sampler unit '%s' (0 to %u)", words[1].c_str(), kSamplerUnits - 1);
        return;
    }
    decl.unit = unit;
    decl.name = words[2];
    if (!IsIdentifier(decl.name)) {
        Error("bad sampler name '%s'", decl.name.c_str());
        return;
    }
    if (NameTaken(decl.name)) {
        Error("'%s' is declared twice", decl.name.c_str());
        return;
    }
    const ParameterDecl* texture = out_->FindParameter(words[3]);
    if (texture == nullptr || texture->type != ParamType::Texture) {
        Error("sampler '%s' needs a texture parameter declared before it, not '%s'", decl.name.c_str(),
              words[3].c_str());
        return;
    }
    decl.texture = words[3];
    for (size_t i = 4; i < words.size(); ++i) {
        size_t equals = words[i].find('=');
        std::string name = words[i].substr(0, equals);
        const SamplerStateName* state = nullptr;
        for (const SamplerStateName& s : kSamplerStates) {
            if (name == s.name) {
                state = &s;
            }
        }
        DWORD value = 0;
        if (equals == std::string::npos || state == nullptr) {
            Error("unknown sampler state '%s'", words[i].c_str());
            return;
        }
        if (!ParseValue(state->values, words[i].substr(equals + 1), &value)) {
            Error("bad value in '%s'", words[i].c_str());
            return;
        }
        decl.states.emplace_back(state->state, value);
    }
    out_->samplers.push_back(decl);
}

void Parser::State(const std::vector<std::string>& words) {
    if (words.size() != 3) {
        Error("expected 'state <name> <value>'");
        return;
    }
    const RenderStateName* state = nullptr;
    for (const RenderStateName& s : kRenderStates) {
        if (words[1] == s.name) {
            state = &s;
        }
    }
    if (state == nullptr) {
        Error("unknown render state '%s'", words[1].c_str());
        return;
    }
    DWORD value = 0;
    if (!ParseValue(state->values, words[2], &value)) {
        Error("bad value '%s' for render state %s", words[2].c_str(), words[1].c_str());
        return;
    }
    for (auto& entry : pass_.states) {
        if (entry.first == state->state) {
            Warning("render state %s set twice in pass '%s': the later value is used", words[1].c_str(),
                    pass_.name.c_str());
            entry.second = value;
            return;
        }
    }
    pass_.states.emplace_back(state->state, value);
}

void Parser::PassShader(const std::vector<std::string>& words, bool vertex) {
    if (words.size() != 2 || !IsIdentifier(words[1])) {
        Error("expected '%s <shader name>'", words[0].c_str());
        return;
    }
    std::string& slot = vertex ? pass_.vertexShader : pass_.fragmentShader;
    if (!slot.empty()) {
        Error("pass '%s' names its %s shader twice", pass_.name.c_str(), words[0].c_str());
        return;
    }
    slot = words[1];
}

void Parser::EndPass() {
    if (pass_.vertexShader.empty() || pass_.fragmentShader.empty()) {
        Error("pass '%s' needs a vertex and a fragment shader", pass_.name.c_str());
        return;
    }
    technique_.passes.push_back(pass_);
    block_ = Block::Technique;
}

void Parser::EndTechnique() {
    if (technique_.passes.empty()) {
        Error("technique '%s' has no pass", technique_.name.c_str());
        return;
    }
    out_->techniques.push_back(technique_);
    block_ = Block::None;
}

// Shaders may be defined after the techniques that name them.
void Parser::CheckReferences() {
    for (const TechniqueDecl& technique : out_->techniques) {
        for (const PassDecl& pass : technique.passes) {
            line_ = pass.line;
            if (out_->FindShader(pass.vertexShader, true) == nullptr) {
                Error("pass '%s' of technique '%s': no vertex shader '%s'", pass.name.c_str(), technique.name.c_str(),
                      pass.vertexShader.c_str());
            }
            if (out_->FindShader(pass.fragmentShader, false) == nullptr) {
                Error("pass '%s' of technique '%s': no fragment shader '%s'", pass.name.c_str(), technique.name.c_str(),
                      pass.fragmentShader.c_str());
            }
        }
    }
}

const char* GlslType(ParamType type) {
    for (const TypeName& t : kTypes) {
        if (t.type == type) {
            return t.glsl;
        }
    }
    return nullptr;
}

}  // namespace

UINT ParameterDecl::Components() const {
    switch (type) {
        case ParamType::Bool:
        case ParamType::Int:
        case ParamType::Float: return 1;
        case ParamType::Float2: return 2;
        case ParamType::Float3: return 3;
        case ParamType::Float4: return 4;
        case ParamType::Float4x4: return 16;
        case ParamType::Texture: return 0;
    }
    return 0;
}

const ParameterDecl* EffectFile::FindParameter(const std::string& name) const {
    for (const ParameterDecl& decl : parameters) {
        if (decl.name == name) {
            return &decl;
        }
    }
    return nullptr;
}

const ShaderDecl* EffectFile::FindShader(const std::string& name, bool vertex) const {
    for (const ShaderDecl& decl : shaders) {
        if (decl.name == name && decl.vertex == vertex) {
            return &decl;
        }
    }
    return nullptr;
}

bool ParseEffectFile(const char* data, size_t size, EffectFile* out, std::string* messages) {
    *out = EffectFile();
    Parser parser(out, messages);
    return parser.Run(data, size);
}

std::string StageSource(const EffectFile& file, const ShaderDecl& shader) {
    std::string source;
    for (const ParameterDecl& decl : file.parameters) {
        const char* type = GlslType(decl.type);
        if (type == nullptr) {
            continue;
        }
        source += "uniform ";
        source += type;
        source += " " + decl.name;
        if (decl.arraySize != 0) {
            source += "[" + std::to_string(decl.arraySize) + "]";
        }
        source += ";\n";
    }
    for (const SamplerDecl& decl : file.samplers) {
        source += "uniform sampler2D " + decl.name + ";\n";
    }
    // #line keeps the compiler's line numbers those of the effect file.
    if (!file.common.empty()) {
        source += "#line " + std::to_string(file.commonFirstLine) + "\n" + file.common;
    }
    source += "#line " + std::to_string(shader.firstLine) + "\n" + shader.source;
    return source;
}

std::vector<std::string> Identifiers(const std::string& source) {
    std::set<std::string> found;
    size_t at = 0;
    while (at < source.size()) {
        unsigned char c = static_cast<unsigned char>(source[at]);
        if (std::isalpha(c) || c == '_') {
            size_t end = at;
            while (end < source.size() &&
                   (std::isalnum(static_cast<unsigned char>(source[end])) || source[end] == '_')) {
                ++end;
            }
            found.insert(source.substr(at, end - at));
            at = end;
        } else if (std::isdigit(c)) {
            // numbers (1.0e5, 0x1F) are not identifiers
            while (at < source.size() && (std::isalnum(static_cast<unsigned char>(source[at])) || source[at] == '.')) {
                ++at;
            }
        } else {
            ++at;
        }
    }
    return std::vector<std::string>(found.begin(), found.end());
}

}  // namespace d3dx

namespace d3dx {

namespace {

struct CommonChunk {
    std::string name;  // the function's name; empty for a declaration
    std::vector<std::string> identifiers;
};

// The common code cut at brace depth 0: functions (ending in '}') and
// declarations (ending in ';').
std::vector<CommonChunk> CommonChunks(const std::string& common) {
    std::vector<CommonChunk> chunks;
    int depth = 0;
    size_t start = 0;
    for (size_t i = 0; i < common.size(); ++i) {
        char c = common[i];
        if (c == '/' && i + 1 < common.size() && common[i + 1] == '/') {
            i = common.find('\n', i);
            if (i == std::string::npos) {
                break;
            }
            continue;
        }
        bool ends = false;
        bool function = false;
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            --depth;
            ends = depth == 0;
            function = true;
        } else if (c == ';' && depth == 0) {
            ends = true;
        }
        if (!ends) {
            continue;
        }
        std::string text = common.substr(start, i + 1 - start);
        CommonChunk chunk;
        chunk.identifiers = Identifiers(text);
        size_t paren = text.find('(');
        if (function && paren != std::string::npos) {
            std::vector<std::string> head = Split(text.substr(0, paren));
            if (!head.empty() && IsIdentifier(head.back())) {
                chunk.name = head.back();
            }
        }
        chunks.push_back(chunk);
        start = i + 1;
    }
    return chunks;
}

}  // namespace

std::vector<std::string> UsedIdentifiers(const std::string& common, const std::string& sources) {
    std::vector<std::string> own = Identifiers(sources);
    std::set<std::string> used(own.begin(), own.end());
    std::vector<CommonChunk> chunks = CommonChunks(common);
    std::vector<bool> taken(chunks.size(), false);
    bool grew = true;
    while (grew) {
        grew = false;
        for (size_t i = 0; i < chunks.size(); ++i) {
            if (taken[i] || (!chunks[i].name.empty() && used.count(chunks[i].name) == 0)) {
                continue;
            }
            taken[i] = true;
            grew = true;
            used.insert(chunks[i].identifiers.begin(), chunks[i].identifiers.end());
        }
    }
    return std::vector<std::string>(used.begin(), used.end());
}

}  // namespace d3dx
