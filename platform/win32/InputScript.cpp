#include "platform/win32/InputScript.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

#include "platform/win32/Input.h"
#include "platform/win32/SdlBridge.h"
#include "platform/win32/Time.h"
#include "platform/win32/Window.h"

namespace platform {

namespace {

const int kScreenWidth = 1024;
const int kScreenHeight = 768;

std::string TrimScriptText(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool ParseLong(const std::string& word, long* value) {
    if (word.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(word.c_str(), &end, 10);
    if (errno != 0 || end != word.c_str() + word.size()) return false;
    *value = v;
    return true;
}

std::string LineError(int number, const std::string& what) {
    return "input script: line " + std::to_string(number) + ": " + what;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// X and Y within the virtual screen.
bool ParsePoint(const std::string& x, const std::string& y, int* px, int* py) {
    long vx = 0, vy = 0;
    if (!ParseLong(x, &vx) || !ParseLong(y, &vy)) return false;
    if (vx < 0 || vx >= kScreenWidth || vy < 0 || vy >= kScreenHeight) return false;
    *px = static_cast<int>(vx);
    *py = static_cast<int>(vy);
    return true;
}

// The code points of UTF-8 text; false for text that is not UTF-8.
bool DecodeUtf8(const std::string& text, std::vector<uint32_t>* out) {
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + static_cast<size_t>(extra) >= text.size()) return false;
        uint32_t cp = extra == 0 ? c : (c & (0x3F >> extra));
        for (int k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next >> 6) != 2) return false;
            cp = cp << 6 | (next & 0x3F);
        }
        out->push_back(cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return true;
}

}  // namespace

bool ReadScriptLines(const std::string& text, std::vector<ScriptLine>* lines, std::string* error) {
    std::istringstream in(text);
    int number = 0;
    for (std::string raw; std::getline(in, raw);) {
        ++number;
        const std::string line = TrimScriptText(raw);
        if (line.empty() || line[0] == '#') continue;
        const size_t cut = line.find_first_of(" \t");
        ScriptLine parsed;
        parsed.number = number;
        if (!ParseLong(line.substr(0, cut), &parsed.frame) || parsed.frame < 0) {
            *error = LineError(number, "the frame is not a number from 0: " + line);
            return false;
        }
        const std::string rest = cut == std::string::npos ? std::string() : TrimScriptText(line.substr(cut));
        const size_t end = rest.find_first_of(" \t");
        parsed.command = rest.substr(0, end);
        parsed.arguments = end == std::string::npos ? std::string() : TrimScriptText(rest.substr(end));
        if (parsed.command.empty()) {
            *error = LineError(number, "no command: " + line);
            return false;
        }
        lines->push_back(parsed);
    }
    return true;
}

bool ReadScriptFile(const std::string& path, std::vector<ScriptLine>* lines, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "input script: cannot read " + path;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return ReadScriptLines(text.str(), lines, error);
}

int VirtualKeyByName(const std::string& name) {
    std::string key = name;
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    static const std::pair<const char*, int> kNames[] = {
        {"ESC", 0x1B},  {"ESCAPE", 0x1B},    {"SPACE", 0x20},   {"ENTER", 0x0D}, {"RETURN", 0x0D},
        {"TAB", 0x09},  {"BACKSPACE", 0x08}, {"LEFT", 0x25},    {"UP", 0x26},    {"RIGHT", 0x27},
        {"DOWN", 0x28}, {"SHIFT", 0x10},     {"CONTROL", 0x11}, {"CTRL", 0x11},  {"DELETE", 0x2E}};
    for (const auto& entry : kNames)
        if (key == entry.first) return entry.second;
    if (key.size() == 1 && ((key[0] >= 'A' && key[0] <= 'Z') || (key[0] >= '0' && key[0] <= '9'))) return key[0];
    if (key.size() >= 2 && key[0] == 'F') {
        long n = 0;
        if (ParseLong(key.substr(1), &n) && n >= 1 && n <= 12) return 0x70 + static_cast<int>(n) - 1;
    }
    return 0;
}

bool ParseInputScript(const std::vector<ScriptLine>& lines, std::vector<InputCommand>* commands, std::string* error) {
    long previous = 0;
    for (const ScriptLine& line : lines) {
        InputCommand c;
        c.line = line.number;
        c.frame = line.frame;
        const std::vector<std::string> words = Words(line.arguments);
        const std::string& name = line.command;
        auto fail = [&](const std::string& what) {
            *error = LineError(line.number, what + ": " + name + " " + line.arguments);
            return false;
        };
        if (line.frame < previous) return fail("frames go back");
        previous = line.frame;
        if (name == "click" || name == "tap" || name == "press" || name == "move" || name == "release") {
            c.kind = name == "click"   ? InputCommand::kClick
                     : name == "tap"   ? InputCommand::kTap
                     : name == "press" ? InputCommand::kPress
                     : name == "move"  ? InputCommand::kMove
                                       : InputCommand::kRelease;
            if (words.size() != 2 || !ParsePoint(words[0], words[1], &c.x, &c.y))
                return fail("needs X Y within 1024 x 768");
        } else if (name == "key" || name == "keytap") {
            c.kind = name == "key" ? InputCommand::kKey : InputCommand::kKeyTap;
            if (words.size() != 1 || (c.virtualKey = VirtualKeyByName(words[0])) == 0) return fail("unknown key");
        } else if (name == "type") {
            c.kind = InputCommand::kType;
            c.text = line.arguments;
            std::vector<uint32_t> points;
            if (c.text.empty() || !DecodeUtf8(c.text, &points)) return fail("needs UTF-8 text");
        } else if (name == "wheel") {
            c.kind = InputCommand::kWheel;
            long n = 0;
            if (words.size() != 1 || !ParseLong(words[0], &n) || n == 0 || n < -200 || n > 200)
                return fail("needs a number of notches");
            c.wheel = static_cast<int>(n);
        } else if (name == "shot") {
            c.kind = InputCommand::kShot;
            if (!words.empty()) return fail("takes no arguments");
        } else if (name == "await") {
            c.kind = InputCommand::kAwait;
            size_t at = 0;
            if (at < words.size() && words[at] == "every") {
                if (words.size() < at + 4 || !ParseLong(words[at + 1], &c.every) || c.every <= 0 ||
                    !ParsePoint(words[at + 2], words[at + 3], &c.x, &c.y))
                    return fail("every needs N X Y");
                at += 4;
            }
            if (at < words.size() && words[at] == "within") {
                if (words.size() < at + 2 || !ParseLong(words[at + 1], &c.within) || c.within <= 0)
                    return fail("within needs a number of frames");
                at += 2;
            }
            // The text as written, from its first word on.
            if (at >= words.size()) return fail("needs the text to wait for");
            std::string rest = line.arguments;
            for (size_t k = 0; k < at; ++k) rest = TrimScriptText(rest.substr(rest.find(words[k]) + words[k].size()));
            c.text = rest;
        } else {
            return fail("unknown command");
        }
        commands->push_back(c);
    }
    return true;
}

InputScriptPlayer::InputScriptPlayer(std::vector<InputCommand> commands) : commands_(std::move(commands)) {}

void InputScriptPlayer::OnTraceLine(const char* line) {
    if (next_ < commands_.size()) lines_.push_back(line);
}

void InputScriptPlayer::PointerMessage(HWND window, UINT message, int x, int y) {
    RECT client{0, 0, kScreenWidth, kScreenHeight};
    GetClientRect(window, &client);
    const int cx = x * (client.right - client.left) / kScreenWidth;
    const int cy = y * (client.bottom - client.top) / kScreenHeight;
    WPARAM flags = 0;
    if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) flags |= MK_LBUTTON;
    MSG msg{window, message, flags, MAKELPARAM(cx, cy), 0, POINT{cx, cy}};
    DispatchMessageA(&msg);
}

void InputScriptPlayer::SendButtonDown(HWND window, int x, int y) {
    // The pointer comes to the place first, as a hand would bring it.
    PointerMessage(window, WM_MOUSEMOVE, x, y);
    SetAsyncKeyDown(VK_LBUTTON, true);
    PointerMessage(window, WM_LBUTTONDOWN, x, y);
}

void InputScriptPlayer::SendButtonUp(HWND window, int x, int y) {
    SetAsyncKeyDown(VK_LBUTTON, false);
    PointerMessage(window, WM_LBUTTONUP, x, y);
}

void InputScriptPlayer::SendKeyDown(HWND window, int virtualKey) {
    SetAsyncKeyDown(virtualKey, true);
    MSG down{window, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 1, 0, POINT{0, 0}};
    DispatchMessageA(&down);
    // The characters Windows makes of these keys follow their key-down.
    if (virtualKey == 0x1B || virtualKey == 0x0D || virtualKey == 0x09 || virtualKey == 0x08) {
        MSG ch{window, WM_CHAR, static_cast<WPARAM>(virtualKey), 1, 0, POINT{0, 0}};
        DispatchMessageA(&ch);
    }
}

void InputScriptPlayer::SendKeyUp(HWND window, int virtualKey) {
    SetAsyncKeyDown(virtualKey, false);
    MSG up{window, WM_KEYUP, static_cast<WPARAM>(virtualKey), 1, 0, POINT{0, 0}};
    DispatchMessageA(&up);
}

void InputScriptPlayer::Execute(HWND window, const InputCommand& c) {
    switch (c.kind) {
        case InputCommand::kClick:
            SendButtonDown(window, c.x, c.y);
            deferred_.push_back({WM_LBUTTONUP, 0, c.x, c.y});
            break;
        case InputCommand::kTap:
            SendButtonDown(window, c.x, c.y);
            SendButtonUp(window, c.x, c.y);
            break;
        case InputCommand::kPress: SendButtonDown(window, c.x, c.y); break;
        case InputCommand::kMove: PointerMessage(window, WM_MOUSEMOVE, c.x, c.y); break;
        case InputCommand::kRelease: SendButtonUp(window, c.x, c.y); break;
        case InputCommand::kKey:
            SendKeyDown(window, c.virtualKey);
            deferred_.push_back({WM_KEYUP, c.virtualKey, 0, 0});
            break;
        case InputCommand::kKeyTap:
            SendKeyDown(window, c.virtualKey);
            SendKeyUp(window, c.virtualKey);
            break;
        case InputCommand::kType: {
            std::vector<uint32_t> points;
            DecodeUtf8(c.text, &points);
            for (uint32_t cp : points) {
                MSG ch{window, WM_CHAR, static_cast<WPARAM>(cp), 1, 0, POINT{0, 0}};
                DispatchMessageA(&ch);
            }
            break;
        }
        case InputCommand::kWheel: {
            const WPARAM delta = static_cast<WORD>(static_cast<short>(c.wheel * 120));
            MSG wheel{window, WM_MOUSEWHEEL, delta << 16, 0, 0, POINT{0, 0}};
            DispatchMessageA(&wheel);
            break;
        }
        case InputCommand::kShot: shot_ = true; break;
        case InputCommand::kAwait: break;
    }
}

bool InputScriptPlayer::BeforeFrame(HWND window, long frame) {
    shot_ = false;
    if (frame_ms_ > 0 && IsFakeClockSet()) AdvanceFakeClock(frame_ms_);
    std::vector<Deferred> due;
    due.swap(deferred_);
    for (const Deferred& d : due) {
        if (d.message == WM_LBUTTONUP) SendButtonUp(window, d.x, d.y);
        else SendKeyUp(window, d.key);
    }
    while (next_ < commands_.size()) {
        const InputCommand& c = commands_[next_];
        if (c.frame + offset_ > frame) break;
        if (c.kind == InputCommand::kAwait) {
            if (await_start_ < 0) await_start_ = frame;
            const bool seen = std::any_of(lines_.begin(), lines_.end(), [&](const std::string& line) {
                return line.find(c.text) != std::string::npos;
            });
            if (!seen) {
                const long waited = frame - await_start_;
                if (waited > c.within) {
                    error_ = "input script: line " + std::to_string(c.line) + ": \"" + c.text + "\" not seen within " +
                             std::to_string(c.within) + " frames";
                    return false;
                }
                if (c.every > 0 && waited > 0 && waited % c.every == 0) {
                    InputCommand click = c;
                    click.kind = InputCommand::kClick;
                    Execute(window, click);
                }
                break;
            }
            offset_ = frame - c.frame;
            await_start_ = -1;
        } else {
            Execute(window, c);
        }
        lines_.clear();
        ++next_;
    }
    return true;
}

}  // namespace platform
