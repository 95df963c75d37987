#pragma once
// Plays input scripts (platform/win32/InputScript.h) into a game the test
// owns, in the shell's frame order: the script's messages go through the
// shell's window procedure (a real window on SDL's offscreen driver), then the
// shell renders the scene (touches, update, audio, draw, cursor, key copy) and
// pumps the message queue. Frames take a fixed time on a fake clock. The test
// forwards every trace line to OnTraceLine; the driver keeps the ones the
// script may await, with the frame they came in.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/InputScript.h"
#include "platform/win32/SdlBridge.h"
#include "platform/win32/Time.h"
#include "shell/InputState.h"
#include "shell/ShellApp.h"
#include "shell/ShellGame.h"
#include "shell/ShellGlobals.h"
#include "shell/ShellHost.h"
#include "shell/TouchEvent.h"

namespace testsupport {

class FrameDriver {
public:
    explicit FrameDriver(ShellGame* game, uint32_t frameMs = 33) : clock_(1000), frame_ms_(frameMs) {
        host_.Init(&app_);
        host_.command_line_.Set("");
        host_.command_line_.Parse();
        host_.command_line_.Apply(app_);
        opened_ = host_.InitOS();
        app_.game_ = game;
        // RequestQuit reaches this shell.
        previous_app_ = g_shellApp;
        g_shellApp = &app_;
        ResetAsyncKeys();
    }
    ~FrameDriver() {
        app_.game_ = nullptr;  // the test's
        g_shellApp = previous_app_;
        if (host_.window_) host_.ReleaseOS();
        app_.host_ = nullptr;
        ResetAsyncKeys();
        TouchEvents.clear();
    }
    FrameDriver(const FrameDriver&) = delete;
    FrameDriver& operator=(const FrameDriver&) = delete;

    bool Opened() const { return opened_; }

    // The script's frames count from the next frame.
    ::testing::AssertionResult Play(const std::string& script) {
        std::vector<platform::ScriptLine> lines;
        std::vector<platform::InputCommand> commands;
        std::string error;
        if (!platform::ReadScriptLines(script, &lines, &error) ||
            !platform::ParseInputScript(lines, &commands, &error))
            return ::testing::AssertionFailure() << error;
        player_.reset(new platform::InputScriptPlayer(commands));
        player_->SetFrameTime(frame_ms_);
        base_ = frame_;
        return ::testing::AssertionSuccess();
    }

    // One frame; a failed await fails it.
    ::testing::AssertionResult Frame() {
        if (player_ && !player_->BeforeFrame(host_.window_, frame_ - base_))
            return ::testing::AssertionFailure() << player_->Error();
        if (!player_) platform::AdvanceFakeClock(frame_ms_);
        app_.RenderScene();
        host_.ProcessMessages();
        ++frame_;
        return ::testing::AssertionSuccess();
    }

    // Frames until the script is done (its last frame included) or `limit` frames.
    ::testing::AssertionResult RunScript(long limit) {
        for (long n = 0; n < limit; ++n) {
            const bool done = !player_ || player_->Finished();
            ::testing::AssertionResult result = Frame();
            if (!result || done) return result;
        }
        return ::testing::AssertionFailure() << "the script did not end within " << limit << " frames";
    }

    void OnTraceLine(const char* line) {
        lines_.emplace_back(frame_, line);
        if (player_) player_->OnTraceLine(line);
    }

    // Frames count from the driver's start; `Frame()` runs frame `CurrentFrame()`.
    long CurrentFrame() const { return frame_; }
    const std::vector<std::pair<long, std::string>>& Lines() const { return lines_; }
    // The frame a line holding the text first came in after `from`, -1 when none did.
    long FrameOf(const std::string& text, long from = 0) const {
        for (const auto& line : lines_)
            if (line.first >= from && line.second.find(text) != std::string::npos) return line.first;
        return -1;
    }

    ShellHost& Host() { return host_; }

private:
    platform::ScopedFakeClock clock_;
    uint32_t frame_ms_;
    ShellApp app_;
    ShellHost host_;
    bool opened_ = false;
    ShellApp* previous_app_ = nullptr;
    std::unique_ptr<platform::InputScriptPlayer> player_;
    long frame_ = 0;
    long base_ = 0;
    std::vector<std::pair<long, std::string>> lines_;
};

}  // namespace testsupport
