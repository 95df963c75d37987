// The frame's input: pointer code to touch event, key states and handlers,
// the gamepad poll.
#include "shell/Gamepad.h"
#include "shell/InputState.h"
#include "shell/ShellApp.h"
#include "shell/ShellHost.h"
#include "shell/TouchEvent.h"

namespace {

struct TouchMapping {
    int code;
    int32_t phase;
    int32_t button;
};

constexpr TouchMapping kTouchMappings[] = {
    {kPointerLeftPress, kTouchPress, kTouchLeft},          {kPointerLeftDrag, kTouchDrag, kTouchLeft},
    {kPointerLeftRepeat, kTouchRepeatedPress, kTouchLeft}, {kPointerLeftRelease, kTouchRelease, kTouchLeft},
    {kPointerLeftCancel, kTouchCancel, kTouchLeft},        {kPointerRightPress, kTouchPress, kTouchRight},
    {kPointerRightDrag, kTouchDrag, kTouchRight},          {kPointerRightRepeat, kTouchRepeatedPress, kTouchRight},
    {kPointerRightRelease, kTouchRelease, kTouchRight},    {kPointerRightCancel, kTouchCancel, kTouchRight},
};

const TouchMapping* FindTouchMapping(int code) {
    for (const TouchMapping& m : kTouchMappings)
        if (m.code == code) return &m;
    return nullptr;
}

// Codes delivered once: releases, cancels and the middle button, which has no
// touch event and must not stay pending.
bool IsOneShotCode(int code) {
    return code == kPointerLeftRelease || code == kPointerRightRelease || code == kPointerLeftCancel ||
           code == kPointerRightCancel || code == kPointerMiddle;
}

int ProgramKeyCode(WPARAM virtualKey) {
    if (virtualKey > 255) return kNoKeyCode;
    return KeyCodeTable[virtualKey];
}

}  // namespace

bool ShellApp::TranslatePointerInput() {
    TouchEvents.clear();
    ShellHost& host = *host_;
    // A press that a later code (its release, a drag) replaced before this
    // frame is reported first; the later code waits for the next frame.
    const int pressCode = host.unreported_press_;
    host.unreported_press_ = kPointerNone;
    const TouchMapping* press =
        host.pointer_inside_ && pressCode != host.pointer_code_ ? FindTouchMapping(pressCode) : nullptr;
    const TouchMapping* m = press ? press : FindTouchMapping(host.pointer_code_);
    if (host.pointer_inside_ && m) {
        TouchEvent e{};
        e.position = Vector2(host.pointer_position_[0], host.pointer_position_[1]);
        e.phase = m->phase;
        e.button = m->button;
        TouchEvents.push_back(e);
    }
    if (!press && IsOneShotCode(host.pointer_code_)) host.pointer_code_ = kPointerNone;
    PollGamepad();
    return true;
}

void ShellHost::OnKeyDown(WPARAM virtualKey) {
    shell_key_ = -1;
    const int code = ProgramKeyCode(virtualKey);
    if (code != kNoKeyCode) PressKey(code);
}

void ShellHost::OnKeyUp(WPARAM virtualKey) {
    const int code = ProgramKeyCode(virtualKey);
    if (code != kNoKeyCode) ReleaseKey(code);
}
