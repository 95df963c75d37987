#pragma once
// Scripted input for headless runs and tests (not a game feature). A script is
// lines "frame command arguments"; the same line reader serves every driver
// script. The input commands become the window messages the window procedure
// handles, at virtual-screen positions (1024 x 768) scaled to the client area:
//
//   F click X Y      press at frame F, release at F + 1
//   F tap X Y        press and release within frame F, as a touchpad's tap
//   F press X Y      the left button goes down there
//   F move X Y       the pointer moves (a drag while the button is down)
//   F release X Y    the left button goes up there
//   F key NAME       key down, key up at F + 1 (Esc, Space, Enter, Tab,
//                    Backspace, Left, Right, Up, Down, F1..F12, A..Z, 0..9)
//   F keytap NAME    key down and key up within frame F
//   F type TEXT      the characters of the rest of the line
//   F wheel N        N wheel notches (negative: towards the user)
//   F shot           a screenshot of frame F
//   F await [every N X Y] [within M] TEXT
//                    holds the script until a trace line holding TEXT is
//                    written (clicking X Y every N frames meanwhile); later
//                    frames count from the frame it was seen in. More than M
//                    frames of waiting (default 3000) fail the run.
//
// Blank lines and lines starting with '#' are skipped.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/Types.h"

namespace platform {

struct ScriptLine {
    int number = 0;  // in the file, from 1
    long frame = 0;
    std::string command;
    std::string arguments;  // the rest of the line, trimmed
};

// False at the first line whose frame is no number from 0 or that has no
// command; the error names the line.
bool ReadScriptLines(const std::string& text, std::vector<ScriptLine>* lines, std::string* error);
// The file's lines; a file that cannot be read is an error too.
bool ReadScriptFile(const std::string& path, std::vector<ScriptLine>* lines, std::string* error);

struct InputCommand {
    enum Kind { kClick, kPress, kMove, kRelease, kKey, kType, kWheel, kShot, kAwait, kTap, kKeyTap };
    Kind kind = kShot;
    int line = 0;
    long frame = 0;
    int x = 0, y = 0;  // virtual screen; for await, where it clicks
    int virtualKey = 0;
    int wheel = 0;
    std::string text;  // type: the characters; await: what a trace line must hold
    long every = 0;    // await: click every N frames (0: never)
    long within = 3000;
};

// The commands of the lines, in order; false at the first line that does not
// parse (unknown command, missing or bad arguments, a frame before the
// previous line's), the error naming the line.
bool ParseInputScript(const std::vector<ScriptLine>& lines, std::vector<InputCommand>* commands, std::string* error);

// The virtual key of a key name of the script, 0 for none.
int VirtualKeyByName(const std::string& name);

// Plays the commands into a window, frame by frame.
class InputScriptPlayer {
public:
    explicit InputScriptPlayer(std::vector<InputCommand> commands);

    // Each frame then advances the fake clock (platform::SetFakeClock) by ms.
    void SetFrameTime(uint32_t ms) { frame_ms_ = ms; }

    // Dispatches the frame's messages to the window procedure of the window.
    // False once an await has waited past its bound (Error says which).
    bool BeforeFrame(HWND window, long frame);
    // The frame BeforeFrame was last called for asks for a screenshot.
    bool ShotRequested() const { return shot_; }
    // Every trace line, printed or not, comes here.
    void OnTraceLine(const char* line);
    bool Finished() const { return next_ >= commands_.size() && deferred_.empty(); }
    const std::string& Error() const { return error_; }

private:
    void Execute(HWND window, const InputCommand& command);
    void PointerMessage(HWND window, UINT message, int x, int y);
    void SendButtonDown(HWND window, int x, int y);
    void SendButtonUp(HWND window, int x, int y);
    void SendKeyDown(HWND window, int virtualKey);
    void SendKeyUp(HWND window, int virtualKey);

    std::vector<InputCommand> commands_;
    size_t next_ = 0;
    long offset_ = 0;  // added to the script's frames after an await
    long await_start_ = -1;
    std::vector<std::string> lines_;  // trace lines since the last command ran
    // Releases and key-ups for the next frame: (message, key or 0, x, y).
    struct Deferred {
        UINT message;
        int key, x, y;
    };
    std::vector<Deferred> deferred_;
    bool shot_ = false;
    uint32_t frame_ms_ = 0;
    std::string error_;
};

}  // namespace platform
