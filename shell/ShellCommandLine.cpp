#include "shell/ShellCommandLine.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "shell/ShellBase.h"
#include "shell/ShellOptions.h"

namespace {

constexpr long kMaxOptionFileSize = 1 << 20;

bool EqualsNoCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
    return *a == *b;
}

bool NameIs(const char* name, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (EqualsNoCase(name, n)) return true;
    return false;
}

}  // namespace

void ShellCommandLine::Set(const char* text) {
    text_ = text ? text : "";
    has_text_ = true;
}

void ShellCommandLine::Prepend(const char* text) {
    if (!has_text_) {
        Set(text);
        return;
    }
    std::string joined = text ? text : "";
    joined += ' ';
    joined += text_;
    text_ = std::move(joined);
}

bool ShellCommandLine::LoadFile(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    // A folder of that name reports a huge size; no option file is that long.
    if (size < 0 || size > kMaxOptionFileSize || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return false;
    }
    // One line of text: each line end read so far becomes a blank.
    std::vector<char> buffer(static_cast<size_t>(size) + 2, '\0');
    size_t length = 0;
    while (length + 1 < buffer.size() &&
           std::fgets(buffer.data() + length, static_cast<int>(buffer.size() - length), file)) {
        if (char* cr = std::strrchr(buffer.data(), '\r')) *cr = ' ';
        if (char* lf = std::strrchr(buffer.data(), '\n')) *lf = ' ';
        // A NUL byte in the file ends the text there; later lines overwrite it.
        length = std::strlen(buffer.data());
    }
    std::fclose(file);
    Prepend(buffer.data());
    return true;
}

void ShellCommandLine::SetFromArguments(int count, const char* const* strings) {
    std::string joined;
    for (int i = 0; i < count; ++i) {
        if (i > 0) joined += ' ';
        if (strings[i]) joined += strings[i];
    }
    Set(joined.c_str());
}

void ShellCommandLine::Parse() {
    if (!has_text_) return;
    pairs_.clear();
    tokens_.assign(text_.size() + 1, '\0');

    const char* text = text_.c_str();
    char* out = tokens_.data();
    size_t w = 0;
    bool inQuotes = false;
    const char* name = nullptr;
    const char* value = nullptr;
    for (size_t i = 0; i <= text_.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            inQuotes = !inQuotes;
            continue;
        }
        // An unclosed quote still ends with the text.
        const bool endsToken = c == '\0' || (!inQuotes && (c == ' ' || c == '\t'));
        if (endsToken) {
            out[w++] = '\0';
            if (name || value) pairs_.push_back(ShellOptionPair{name, value});
            name = value = nullptr;
        } else if (!inQuotes && c == '=') {
            out[w++] = '\0';
            value = out + w;
        } else {
            if (!name) name = out + w;
            out[w++] = c;
        }
    }
}

void ShellCommandLine::Apply(ShellBase& shell) const {
    for (const ShellOptionPair& pair : pairs_) {
        const char* name = pair.name;
        if (!name) continue;
        const char* value = pair.value;
        if (value) {
            const int number = std::atoi(value);
            if (NameIs(name, {"-width"})) shell.SetInt(kIntWindowWidth, number);
            else if (NameIs(name, {"-height"})) shell.SetInt(kIntWindowHeight, number);
            else if (NameIs(name, {"-FSAAMode", "-aa"})) shell.SetInt(kIntFsaaMode, number);
            else if (NameIs(name, {"-fullscreen"})) shell.SetBool(kBoolFullscreen, number != 0);
            else if (NameIs(name, {"-sw"})) shell.SetBool(kBoolSoftwareRendering, number != 0);
            else if (NameIs(name, {"-quitafterframe", "-qaf"})) shell.SetInt(kIntQuitAfterFrame, number);
            else if (NameIs(name, {"-quitaftertime", "-qat"}))
                shell.SetFloat(kFloatQuitAfterTime, static_cast<float>(std::atof(value)));
            else if (NameIs(name, {"-posx"})) shell.SetInt(kIntWindowX, number);
            else if (NameIs(name, {"-posy"})) shell.SetInt(kIntWindowY, number);
            else if (NameIs(name, {"-vsync"})) shell.SetInt(kIntSwapInterval, number);
            else if (NameIs(name, {"-powersaving", "-ps"})) shell.SetBool(kBoolPowerSaving, number != 0);
            else if (NameIs(name, {"-colourbpp", "-colorbpp", "-cbpp"})) shell.SetInt(kIntColourBits, number);
            else if (NameIs(name, {"-rotatekeys"})) shell.SetInt(kIntKeyRotation, number);
            else if (NameIs(name, {"-c"})) {
                const char* minus = std::strchr(value, '-');
                shell.SetInt(kIntCaptureStart, number);
                shell.SetInt(kIntCaptureStop, minus ? std::atoi(minus + 1) : number);
            } else if (NameIs(name, {"-priority"})) shell.SetInt(kIntPriority, number);
            else if (NameIs(name, {"-config"})) shell.SetInt(kIntConfig, number);
        } else {
            if (NameIs(name, {"-version"})) ShellPrint("Version: \"%s\"\n", kShellVersion);
            else if (NameIs(name, {"-info"})) shell.SetBool(kBoolOutputInfo, true);
        }
    }
}

void ShellCommandLine::Release() {
    text_.clear();
    text_.shrink_to_fit();
    has_text_ = false;
    tokens_.clear();
    tokens_.shrink_to_fit();
    pairs_.clear();
    pairs_.shrink_to_fit();
}
