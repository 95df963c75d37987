#include "shell/ShellHost.h"

#include <vector>

#include "platform/win32/InputScript.h"
#include "platform/win32/MessageBox.h"
#include "platform/win32/Process.h"
#include "platform/win32/Time.h"
#include "shell/ShellBase.h"
#include "shell/ShellGlobals.h"
#include "shell/ShellOptions.h"

namespace {

const char kOptionFileName[] = "ShellCL.txt";

// A start-up step (or the input script) failed: the program must not report success.
void NoteStartupFailure() {
    if (g_exitCode == 0) g_exitCode = 1;
}

// The program file's folder (with its trailing separator) and its name. The
// path may use either separator.
void SplitProgramPath(const std::string& path, std::string* folder, std::string* name) {
    const size_t cut = path.find_last_of("/\\");
    if (cut == std::string::npos) {
        folder->clear();
        *name = path;
    } else {
        *folder = path.substr(0, cut + 1);
        *name = path.substr(cut + 1);
    }
}

}  // namespace

void ShellHost::Init(ShellBase* app) {
    app_ = app;
    app->host_ = this;
    start_tick_ = GetTickCount();
    key_rotation_[0] = 2;
    key_rotation_[1] = 0;
    key_rotation_[2] = 3;
    key_rotation_[3] = 1;

    app->options_->windowWidth = 1024;
    app->options_->windowHeight = 768;
    std::vector<char> path(10240, '\0');
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length > 0 && length < path.size()) {
        std::string name;
        SplitProgramPath(std::string(path.data(), length), &read_path_, &name);
        write_path_ = read_path_;
        app->SetString(kStringApplicationName, name.c_str());
    }
    window_ = nullptr;
    dc_ = nullptr;
    pointer_position_[0] = pointer_position_[1] = 0.0f;
    pointer_inside_ = false;
    pointer_code_ = kPointerNone;
    quit_ = false;
    state_ = kRunLoadOptions;
}

void ShellHost::Release() {
    read_path_.clear();
    write_path_.clear();
    command_line_.Release();
}

bool ShellHost::Run() {
    ShellOptions& options = *app_->options_;
    switch (state_) {
        case kRunLoadOptions: {
            // The program folder first, the write path only when that fails.
            for (const std::string* folder : {&read_path_, &write_path_}) {
                const std::string path = *folder + kOptionFileName;
                if (command_line_.LoadFile(path.c_str())) {
                    ShellPrint("Loaded command-line options from %s.\n", path.c_str());
                    break;
                }
            }
            command_line_.Parse();
            if (app_->InitApplication()) {
                state_ = kRunStartUp;
            } else {
                NoteStartupFailure();
                state_ = kRunExit;
            }
            return true;
        }
        case kRunStartUp:
            command_line_.Apply(*app_);
            if (options.outputInfo) app_->PrintShellInfo();
            if (!InitOS()) {
                ShellPrint("InitOS failed!\n");
                NoteStartupFailure();
                state_ = kRunQuitApplication;
                return true;
            }
            if (!InitAPI()) {
                ShellPrint("InitAPI failed!\n");
                NoteStartupFailure();
                quit_ = true;
                state_ = kRunReleaseWindow;
                return true;
            }
            if (options.outputInfo) PrintDeviceInfo();
            if (!app_->InitView()) {
                ShellPrint("InitView failed!\n");
                NoteStartupFailure();
                quit_ = true;
                state_ = kRunReleaseDevice;
                return true;
            }
            if (g_quitAfterTimeStart == 0) g_quitAfterTimeStart = GetTickCount();
            state_ = kRunFrame;
            return true;
        case kRunFrame: RunFrame(); return true;
        default: break;
    }

    // The release states run on into each other within one call.
    if (state_ == kRunReleaseView) {
        app_->ReleaseView();
        state_ = kRunReleaseDevice;
    }
    if (state_ == kRunReleaseDevice) {
        ReleaseAPI();
        state_ = kRunReleaseWindow;
    }
    if (state_ == kRunReleaseWindow) {
        ReleaseOS();
        if (!quit_ && options.initRepeats > 0) {
            --options.initRepeats;
            state_ = kRunStartUp;
            return true;
        }
        state_ = kRunQuitApplication;
    }
    if (state_ == kRunQuitApplication) {
        app_->QuitApplication();
        state_ = kRunExit;
    }
    // kRunExit: the exit message, then the end.
    if (options.exitMessage && options.applicationName) {
        const std::string text = *options.exitMessage;
        const std::string caption = *options.applicationName;
        MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_SETFOREGROUND | MB_ICONINFORMATION);
    }
    options.applicationName.reset();
    options.exitMessage.reset();
    return false;
}

bool ShellHost::CapturesThisFrame() const {
    return app_->options_->InCaptureRange(app_->options_->frameCounter) ||
           (g_inputScript != nullptr && g_inputScript->ShotRequested());
}

void ShellHost::RunFrame() {
    ShellOptions& options = *app_->options_;
    // The script's messages of this frame reach the window procedure first,
    // as if the last message pump had brought them.
    if (g_inputScript != nullptr && !g_inputScript->BeforeFrame(window_, options.frameCounter)) {
        ShellPrint("%s\n", g_inputScript->Error().c_str());
        NoteStartupFailure();
        state_ = kRunReleaseView;
        return;
    }
    if (!app_->RenderScene()) {
        state_ = kRunReleaseView;
        return;
    }
    Present();
    ProcessMessages();
    activation_ = 0;  // taken by the frame, without further effect

    const int frame = options.frameCounter;
    if (CapturesThisFrame()) {
        unsigned char* buffer = nullptr;
        if (!app_->CaptureScreen(options.windowWidth, options.windowHeight, &buffer)) {
            app_->SetString(kStringExitMessage, "Screen capture failed.\n");
        } else if (app_->SaveScreenshot("ShellBase", buffer) != 0) {
            app_->SetString(kStringExitMessage, "Screen-shot save failed.\n");
        }
        delete[] buffer;
    }

    if (quit_) {
        state_ = kRunReleaseView;
    } else if (options.quitAfterFrame >= 0 && frame >= options.quitAfterFrame) {
        state_ = kRunReleaseView;
    } else if (options.quitAfterTime >= 0.0f &&
               options.quitAfterTime <= (GetTickCount() - g_quitAfterTimeStart) * 0.001) {
        state_ = kRunReleaseView;
    } else {
        ++options.frameCounter;
    }
}
