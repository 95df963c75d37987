#pragma once
// A game on the sample data and the recording null device: the process works
// in the generated game folder, the per-user data folder is a scratch folder,
// and the shell's device globals point at a null device the size of the
// virtual screen; the audio device opens the loopback output. The trace lines,
// printed or not, are collected with what the null device had logged by then.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "App/CGame.h"
#include "Classes/Battle/GameWindow.h"
#include "Classes/Loading/PreloadAssets.h"
#include "platform/Trace.h"
#include "platform/d3d9/Extensions.h"
#include "platform/d3d9/null/NullDevice.h"
#include "platform/win32/MessageBox.h"
#include "shell/ShellGlobals.h"
#include "Audio/LoopbackAudio.h"
#include "support/NullDeviceFixture.h"
#include "support/SampleGameFolder.h"
#include "support/ScratchDir.h"

namespace gamefixture {

// What the current test wants to hear of the trace lines.
inline std::function<void(const char*)>& Hook() {
    static std::function<void(const char*)> hook;
    return hook;
}

inline void Forward(const char* line) {
    if (Hook()) Hook()(line);
}

}  // namespace gamefixture

class GameTest : public testsupport::NullDeviceTest {
protected:
    GameTest() : NullDeviceTest(1024, 768, D3DCREATE_MULTITHREADED) { params.BackBufferCount = 1; }

    struct Event {
        std::string name;
        size_t logLines;  // null device log lines before it
    };

    void SetUp() override {
        const char* build = std::getenv("DM_BUILD_DIR");
        ASSERT_NE(build, nullptr);
        game_dir_ = std::string(build) + "/game";
        ASSERT_TRUE(std::filesystem::exists(game_dir_ + "/config.xml")) << "build the sample_data target";
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(game_dir_);
        if (const char* old = std::getenv("XDG_DATA_HOME")) old_data_home_.reset(new std::string(old));
        setenv("XDG_DATA_HOME", user_data_.Folder().c_str(), 1);

        ASSERT_NO_FATAL_FAILURE(NullDeviceTest::SetUp());
        g_d3d = d3d;
        g_d3dDevice = device;

        gamefixture::Hook() = [this](const char* event) { events_.push_back(Event{event, null->Log().size()}); };
        SetPlatformTraceListener(&gamefixture::Forward);
        game_.reset(new Morvane::CGame);
    }

    void TearDown() override {
        if (GetGame() != nullptr) game_->RunShutdown();
        game_.reset();
        SetPlatformTraceListener(nullptr);
        gamefixture::Hook() = nullptr;
        g_d3d = nullptr;
        g_d3dDevice = nullptr;
        if (old_data_home_) setenv("XDG_DATA_HOME", old_data_home_->c_str(), 1);
        else unsetenv("XDG_DATA_HOME");
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
        NullDeviceTest::TearDown();
    }

    // What the loading screen loads before the menus (the models and clip tables of every
    // definition among them), here straight through on this thread: the data files the
    // battles' data stamps look for have then all been read.
    static void RunLoading() { PreloadAssets(); }

    // A game folder "game" in the scratch folder, linking the sample data (and the
    // data folder beside it), becomes the current folder: the game's own files
    // (savegame, recordings) go there, never into the build.
    void EnterScratchGameFolder(const ScratchDir& scratch) const {
        testsupport::MakeSampleGameFolder(scratch, {}, {"config.xml", "res-pc", "res-common"}, game_dir_);
        std::filesystem::current_path(scratch.File("game"));
    }

    std::vector<std::string> EventNames() const {
        std::vector<std::string> names;
        for (const Event& e : events_) names.push_back(e.name);
        return names;
    }

    // The index of the first log line at or after `from` that starts with the prefix.
    size_t FindLine(const std::string& prefix, size_t from = 0) const {
        const std::vector<std::string>& log = null->Log();
        for (size_t i = from; i < log.size(); ++i)
            if (log[i].compare(0, prefix.size(), prefix) == 0) return i;
        return std::string::npos;
    }

    std::string game_dir_;
    std::filesystem::path previous_;
    ScratchDir user_data_;
    std::unique_ptr<std::string> old_data_home_;
    platform::MessageBoxCapture boxes_;
    Audio::LoopbackAudio audio_output_;
    std::vector<Event> events_;
    std::unique_ptr<Morvane::CGame> game_;
};

// The game started in a scratch game folder that links the sample data, loaded as the game loads it, with the
// in-game window ready for a battle on the first map: battles there may write their files freely.
class ScratchGameTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        EnterScratchGameFolder(scratch_);
        game_->RunInitialize();
        RunLoading();
        window_ = game_->GetGameWindow();
        ASSERT_NE(nullptr, window_);
        SelectedMapIndex = 0;
    }

    ScratchDir scratch_;
    Morvane::GameWindow* window_ = nullptr;
};
