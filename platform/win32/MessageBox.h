#pragma once
// MessageBoxA: a modal box when someone can answer it, one stderr line
// "caption: text" in headless runs (DUNMARCH_HEADLESS or CI set), so that a
// test never blocks on a box.
#include <string>
#include <vector>

#include "platform/win32/Types.h"

#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_YESNO 0x00000004u
#define MB_ICONERROR 0x00000010u
#define MB_ICONHAND MB_ICONERROR
#define MB_ICONSTOP MB_ICONERROR
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONWARNING 0x00000030u
#define MB_ICONEXCLAMATION MB_ICONWARNING
#define MB_ICONINFORMATION 0x00000040u
#define MB_ICONASTERISK MB_ICONINFORMATION
#define MB_SETFOREGROUND 0x00010000u
#define MB_TOPMOST 0x00040000u

#define IDOK 1
#define IDCANCEL 2
#define IDYES 6
#define IDNO 7

// Shows the box and returns IDOK once it is dismissed (the boxes of this
// program only ever offer OK). The owner window is not used.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

namespace platform {

struct ShownMessageBox {
    std::string text;
    std::string caption;
    UINT type;
};

// While an object of this class lives, boxes are recorded instead of being
// shown or printed. Captures nest; the innermost one records. Thread-safe.
class MessageBoxCapture {
public:
    MessageBoxCapture();
    ~MessageBoxCapture();
    MessageBoxCapture(const MessageBoxCapture&) = delete;
    MessageBoxCapture& operator=(const MessageBoxCapture&) = delete;

    // A copy of the boxes recorded so far, oldest first.
    std::vector<ShownMessageBox> Shown() const;
    void Clear();

private:
    friend int ::MessageBoxA(HWND, LPCSTR, LPCSTR, UINT);
    std::vector<ShownMessageBox> shown_;
    MessageBoxCapture* outer_;
};

// True when boxes go to the standard error stream instead of the screen.
bool IsHeadless();

}  // namespace platform
