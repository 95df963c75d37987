// The run state machine with a fake window, device and application.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/MessageBox.h"
#include "platform/win32/Time.h"
#include "shell/ShellBase.h"
#include "shell/ShellGlobals.h"
#include "shell/ShellHost.h"
#include "shell/ShellOptions.h"
#include "support/ScratchDir.h"

namespace {

using Log = std::vector<std::string>;

struct Script {
    bool initApplication = true;
    bool initOS = true;
    bool initAPI = true;
    bool initView = true;
    int renderFailsAt = -1;  // frame whose RenderScene returns false
    int closeAt = -1;        // frame during which the window is closed
    bool capture = true;
    uint64_t msPerFrame = 0;  // fake clock advance per frame
};

class FakeHost : public ShellHost {
public:
    FakeHost(Log& log, const Script& script) : log_(log), script_(script) {}
    bool InitOS() override { return Note("InitOS", script_.initOS); }
    void ReleaseOS() override { log_.push_back("ReleaseOS"); }
    void ProcessMessages() override {
        log_.push_back("ProcessMessages");
        if (script_.msPerFrame) platform::AdvanceFakeClock(script_.msPerFrame);
    }
    bool InitAPI() override { return Note("InitAPI", script_.initAPI); }
    void ReleaseAPI() override { log_.push_back("ReleaseAPI"); }
    void Present() override { log_.push_back("Present"); }
    void PrintDeviceInfo() override { log_.push_back("PrintDeviceInfo"); }
    bool CaptureBuffer(int, int, unsigned char*) override { return Note("Capture", script_.capture); }

private:
    bool Note(const char* what, bool result) {
        log_.push_back(what);
        return result;
    }
    Log& log_;
    const Script& script_;
};

class FakeApp : public ShellBase {
public:
    FakeApp(Log& log, const Script& script) : log_(log), script_(script) {}
    bool InitApplication() override { return Note("InitApplication", script_.initApplication); }
    bool QuitApplication() override { return Note("QuitApplication", true); }
    bool InitView() override { return Note("InitView", script_.initView); }
    bool ReleaseView() override { return Note("ReleaseView", true); }
    bool RenderScene() override {
        const int frame = frames_++;
        log_.push_back("RenderScene");
        if (frame == script_.closeAt) host_->quit_ = true;  // what WM_CLOSE does
        return frame != script_.renderFailsAt;
    }
    int frames_ = 0;

private:
    bool Note(const char* what, bool result) {
        log_.push_back(what);
        return result;
    }
    Log& log_;
    const Script& script_;
};

class ShellRunTest : public ::testing::Test {
protected:
    ShellRunTest() : host_(log_, script_), app_(log_, script_) {
        g_exitCode = 0;
        g_quitAfterTimeStart = 0;
        host_.Init(&app_);
        // No option file near the test program.
        host_.read_path_ = dir_.File("read/");
        host_.write_path_ = dir_.File("write/");
    }

    // Runs the host to its end; returns how many calls returned true.
    int RunToEnd(const char* commandLine) {
        host_.command_line_.Set(commandLine);
        int calls = 0;
        while (host_.Run()) {
            if (++calls > 10000) {
                ADD_FAILURE() << "run loop does not end";
                break;
            }
        }
        return calls;
    }

    static Log Frames(int count) {
        Log log;
        for (int i = 0; i < count; ++i) log.insert(log.end(), {"RenderScene", "Present", "ProcessMessages"});
        return log;
    }

    static Log Join(std::initializer_list<Log> parts) {
        Log all;
        for (const Log& p : parts) all.insert(all.end(), p.begin(), p.end());
        return all;
    }

    ScratchDir dir_;
    Log log_;
    Script script_;
    FakeHost host_;
    FakeApp app_;
};

const Log kStart = {"InitApplication", "InitOS", "InitAPI", "InitView"};
const Log kRelease = {"ReleaseView", "ReleaseAPI", "ReleaseOS", "QuitApplication"};

TEST_F(ShellRunTest, QuitAfterFrameRendersNPlusOneFramesThenReleasesInOrder) {
    // One call per state step: start-up, three frames, then the whole release.
    EXPECT_EQ(RunToEnd("-qaf=2"), 5);
    EXPECT_EQ(log_, Join({kStart, Frames(3), kRelease}));
    EXPECT_EQ(g_exitCode, 0);
}

TEST_F(ShellRunTest, QuitAfterFrameZeroRendersOneFrame) {
    RunToEnd("-qaf=0");
    EXPECT_EQ(log_, Join({kStart, Frames(1), kRelease}));
    EXPECT_EQ(g_exitCode, 0);
}

TEST_F(ShellRunTest, StartupFailuresReleaseOnlyWhatExists) {
    struct Case {
        const char* name;
        void (*setup)(Script&);
        Log expected;
        const char* message;
    } cases[] = {
        {"InitApplication", [](Script& s) { s.initApplication = false; }, {"InitApplication"}, nullptr},
        {"InitOS",
         [](Script& s) { s.initOS = false; },
         {"InitApplication", "InitOS", "QuitApplication"},
         "InitOS failed!\n"},
        {"InitAPI",
         [](Script& s) { s.initAPI = false; },
         {"InitApplication", "InitOS", "InitAPI", "ReleaseOS", "QuitApplication"},
         "InitAPI failed!\n"},
        {"InitView",
         [](Script& s) { s.initView = false; },
         {"InitApplication", "InitOS", "InitAPI", "InitView", "ReleaseAPI", "ReleaseOS", "QuitApplication"},
         "InitView failed!\n"},
    };
    for (const Case& c : cases) {
        Log log;
        Script script;
        c.setup(script);
        FakeHost host(log, script);
        FakeApp app(log, script);
        g_exitCode = 0;
        host.Init(&app);
        host.read_path_ = host.write_path_ = dir_.File("none/");
        host.command_line_.Set("-qaf=5");
        testing::internal::CaptureStderr();
        while (host.Run()) {}
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(log, c.expected) << c.name;
        EXPECT_EQ(app.frames_, 0) << c.name;
        // A failed start-up is not reported as success.
        EXPECT_EQ(g_exitCode, 1) << c.name;
        if (c.message) {
            EXPECT_NE(err.find(c.message), std::string::npos) << c.name << ": " << err;
        }
    }
}

TEST_F(ShellRunTest, FrameLoopEnds) {
    // RenderScene false: no present for that frame.
    script_.renderFailsAt = 1;
    RunToEnd("");
    EXPECT_EQ(log_, Join({kStart, Frames(1), {"RenderScene"}, kRelease}));
    EXPECT_EQ(g_exitCode, 0);
}

TEST_F(ShellRunTest, ClosingTheWindowEndsTheLoopAfterThatFrame) {
    script_.closeAt = 2;
    RunToEnd("");
    EXPECT_EQ(log_, Join({kStart, Frames(3), kRelease}));
    EXPECT_EQ(app_.frames_, 3);
}

TEST_F(ShellRunTest, QuitAfterTimeCountsFromTheEndOfStartup) {
    platform::ScopedFakeClock clock(5000);
    script_.msPerFrame = 1000;
    RunToEnd("-qat=2.5");
    EXPECT_EQ(app_.frames_, 3);  // 1.0 s, 2.0 s, then 3.0 s >= 2.5 s
    EXPECT_EQ(g_quitAfterTimeStart, 5000u);
}

TEST_F(ShellRunTest, QuitAfterTimeZeroAndNegative) {
    platform::ScopedFakeClock clock(100);
    RunToEnd("-qat=0");
    EXPECT_EQ(app_.frames_, 1);

    // A negative value switches the test off.
    Log log;
    Script script;
    script.msPerFrame = 60000;
    FakeHost host(log, script);
    FakeApp app(log, script);
    host.Init(&app);
    host.read_path_ = host.write_path_ = dir_.File("none/");
    host.command_line_.Set("-qat=-1 -qaf=4");
    while (host.Run()) {}
    EXPECT_EQ(app.frames_, 5);
}

TEST_F(ShellRunTest, ScreenshotsOfTheCaptureRange) {
    host_.write_path_ = dir_.Folder();
    RunToEnd("-c=1-2 -qaf=3 -width=4 -height=2");
    EXPECT_EQ(app_.frames_, 4);
    EXPECT_EQ(dir_.Read("ShellBase0000.bmp").size(), 54u + 2 * 12);
    EXPECT_EQ(dir_.Read("ShellBase0001.bmp").size(), 54u + 2 * 12);
    EXPECT_TRUE(dir_.Read("ShellBase0002.bmp").empty());
    const Log expectedFrames = Join({Frames(1), Frames(1), {"Capture"}, Frames(1), {"Capture"}, Frames(1)});
    EXPECT_EQ(log_, Join({kStart, expectedFrames, kRelease}));
}

TEST_F(ShellRunTest, FailedCaptureShowsTheExitMessage) {
    script_.capture = false;
    const std::string appName = app_.GetString(0);  // the program file's name
    platform::MessageBoxCapture boxes;
    testing::internal::CaptureStderr();
    RunToEnd("-c=0 -qaf=0");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Exit message has been set to: \"Screen capture failed.\n\".\n"), std::string::npos) << err;
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Screen capture failed.\n");
    EXPECT_EQ(boxes.Shown()[0].caption, appName);
    EXPECT_EQ(boxes.Shown()[0].type, static_cast<UINT>(MB_SETFOREGROUND | MB_ICONINFORMATION));
    // The option set's strings are freed at the end.
    EXPECT_EQ(app_.GetString(5), nullptr);
    EXPECT_EQ(app_.GetString(0), nullptr);
}

TEST_F(ShellRunTest, OptionFileFromTheReadPathElseTheWritePath) {
    ScratchDir read, write;
    struct Case {
        bool inRead, inWrite;
        int expectedWidth;
        std::string loadedFrom;
    } cases[] = {
        {true, true, 640, read.File("ShellCL.txt")},
        {false, true, 640, write.File("ShellCL.txt")},
        {false, false, 640, ""},
    };
    for (const Case& c : cases) {
        std::remove(read.File("ShellCL.txt").c_str());
        std::remove(write.File("ShellCL.txt").c_str());
        if (c.inRead) read.Write("ShellCL.txt", "-width=800\r\n-height=500 -qaf=0\r\n");
        if (c.inWrite) write.Write("ShellCL.txt", "-width=800\n-height=500\n-qaf=0");
        Log log;
        Script script;
        FakeHost host(log, script);
        FakeApp app(log, script);
        host.Init(&app);
        host.read_path_ = read.Folder();
        host.write_path_ = write.Folder();
        host.command_line_.Set("-width=640 -qaf=0");
        testing::internal::CaptureStderr();
        while (host.Run()) {}
        const std::string err = testing::internal::GetCapturedStderr();
        // The command line comes after the file, so its value wins.
        EXPECT_EQ(app.options_->windowWidth, c.expectedWidth);
        if (c.loadedFrom.empty()) {
            EXPECT_EQ(err.find("Loaded command-line options"), std::string::npos) << err;
            EXPECT_EQ(app.options_->windowHeight, 768);
        } else {
            EXPECT_NE(err.find("Loaded command-line options from " + c.loadedFrom + ".\n"), std::string::npos) << err;
            EXPECT_EQ(err.find("Loaded command-line options", err.find("Loaded") + 1), std::string::npos) << err;
            EXPECT_EQ(app.options_->windowHeight, 500);
        }
    }
}

TEST_F(ShellRunTest, InfoWritesTheShellAndDeviceInformation) {
    testing::internal::CaptureStderr();
    RunToEnd("-info -qaf=0 -qat=1.5");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("SDK version: 2.06.26.0649\n"), std::string::npos) << err;
    EXPECT_NE(err.find("Command-line: -info -qaf=0 -qat=1.5\n"), std::string::npos) << err;
    EXPECT_NE(err.find("Power saving: On\nFSAAMode requested: 0\nFullscreen: No\n"), std::string::npos) << err;
    EXPECT_NE(err.find("Quit after frame:   0\nQuit after time:    1.500000\n"), std::string::npos) << err;
    EXPECT_EQ(err.find("Colour buffer size requested"), std::string::npos) << err;
    EXPECT_EQ(log_[3], "PrintDeviceInfo");  // after InitOS and InitAPI
}

}  // namespace
