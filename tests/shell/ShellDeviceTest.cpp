// The shell's device layer on the recording null device: the start-up
// refusals, device creation, lost and reset devices, the driver-error quit,
// screenshots of the presented frame and the "-info" dump. The run state
// machine runs for real; only the window is left out.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/d3d9/Extensions.h"
#include "platform/d3d9/null/NullDevice.h"
#include "platform/d3d9/null/NullScript.h"
#include "platform/win32/MessageBox.h"
#include "platform/win32/Time.h"
#include "shell/ShellApp.h"
#include "shell/ShellDevice.h"
#include "shell/ShellGame.h"
#include "shell/ShellGlobals.h"
#include "shell/ShellHost.h"
#include "shell/ShellOptions.h"
#include "support/RunDunmarch.h"
#include "support/ScratchDir.h"

namespace {

using Log = std::vector<std::string>;

// The real device layer without a window.
class WindowlessHost : public ShellHost {
public:
    bool InitOS() override { return true; }
    void ReleaseOS() override {}
    void ProcessMessages() override {}
};

d3d9::NullDevice* CurrentNullDevice() { return g_d3dDevice ? d3d9::AsNullDevice(g_d3dDevice) : nullptr; }

// Records the frames it is asked to run and the device events it receives,
// with what the device had done by then.
class RecordingGame : public ShellGame {
public:
    explicit RecordingGame(Log& log) : log_(log) {}
    bool RunInitialize() override { return true; }
    void RunShutdown() override {}
    void TickFps() override {}
    void RunUpdate() override { log_.push_back("Update"); }
    void UpdateAudio() override {}
    void DrawCursor() override {}
    void RunDraw() override {
        if (draw) draw(frame_);
        ++frame_;
    }
    void OnEvent(int code) override {
        d3d9::NullDevice* device = CurrentNullDevice();
        std::string lastReset = "no reset";
        if (device) {
            for (const std::string& line : device->Log())
                if (line.rfind("Reset(", 0) == 0) lastReset = line;
        }
        char text[32];
        std::snprintf(text, sizeof text, "OnEvent(0x%08x)", code);
        log_.push_back(std::string(text) + " after " + lastReset);
    }

    std::function<void(int frame)> draw;

private:
    Log& log_;
    int frame_ = 0;
};

// One program: application, game and host, run to their end.
struct Program {
    explicit Program(const std::string& folder) : game(new RecordingGame(log)) {
        app.game_ = game;  // kept by InitApplication, deleted with the application
        host.Init(&app);
        host.read_path_ = host.write_path_ = folder;
    }

    void Run(const char* commandLine) {
        host.command_line_.Set(commandLine);
        for (int calls = 0; host.Run(); ++calls) {
            if (calls > 10000) {
                ADD_FAILURE() << "run loop does not end";
                return;
            }
        }
    }

    Log log;
    RecordingGame* game;
    ShellApp app;
    WindowlessHost host;
};

class ShellDeviceTest : public ::testing::Test {
protected:
    ShellDeviceTest() {
        d3d9::ResetNullScript();
        d3d9::SetBackend(d3d9::Backend::Null);
        g_exitCode = 0;
        g_quitAfterTimeStart = 0;
    }
    ~ShellDeviceTest() override {
        d3d9::SetBackend(d3d9::Backend::GL);
        d3d9::ResetNullScript();
        g_exitCode = 0;
    }

    static d3d9::NullScript& Script() { return d3d9::GetNullScript(); }

    ScratchDir dir_;
};

using testsupport::ExpectInOrder;

TEST_F(ShellDeviceTest, RefusalsEndStartUpBeforeTheFirstFrame) {
    struct Case {
        const char* name;
        std::function<void(d3d9::NullScript&)> setup;
        const char* caption;  // null: no box
        const char* text;
    };
    const Case cases[] = {
        {"no Direct3D", [](d3d9::NullScript& s) { s.refuseCreate = true; }, nullptr, nullptr},
        {"no display mode", [](d3d9::NullScript& s) { s.displayModeResult = E_FAIL; }, nullptr, nullptr},
        {"device type", [](d3d9::NullScript& s) { s.deviceTypeResult = D3DERR_NOTAVAILABLE; }, nullptr, nullptr},
        {"no DXT1",
         [](d3d9::NullScript& s) {
             s.refusedFormats.push_back({0, D3DRTYPE_TEXTURE, D3DFMT_DXT1});
         },
         "Resource Error", "Texture Compression DXT1 Not Supported"},
        {"no colour target",
         [](d3d9::NullScript& s) {
             s.refusedFormats.push_back({D3DUSAGE_RENDERTARGET, D3DRTYPE_SURFACE, D3DFMT_A8R8G8B8});
         },
         "General Error", "No Color Render Target Supported"},
        {"no float target",
         [](d3d9::NullScript& s) {
             s.refusedFormats.push_back({D3DUSAGE_RENDERTARGET, D3DRTYPE_SURFACE, D3DFMT_R32F});
         },
         "General Error", "No Floating Point Render Target Supported"},
        {"no caps", [](d3d9::NullScript& s) { s.capsResult = E_FAIL; }, nullptr, nullptr},
        {"vertex shader 1.1", [](d3d9::NullScript& s) { s.caps.VertexShaderVersion = D3DVS_VERSION(1, 1); },
         "Shader Model Error", "Vertex Shader 2.0 version not supported !"},
        {"pixel shader 1.4",
         [](d3d9::NullScript& s) {
             s.caps.VertexShaderVersion = D3DVS_VERSION(2, 0);
             s.caps.PixelShaderVersion = D3DPS_VERSION(1, 4);
         },
         "Shader Model Error", "Pixel Shader 2.0 version not supported !"},
        {"one render target", [](d3d9::NullScript& s) { s.caps.NumSimultaneousRTs = 1; }, "Graphics Card Error",
         "Multiple Render targets not supported"},
        {"creation fails twice", [](d3d9::NullScript& s) { s.createDeviceFailures = 2; }, "General Error",
         "Could not create D3D device context... quiting game"},
    };
    for (const Case& c : cases) {
        d3d9::ResetNullScript();
        c.setup(Script());
        g_exitCode = 0;
        Program program(dir_.Folder());
        platform::MessageBoxCapture boxes;
        testing::internal::CaptureStderr();
        program.Run("-qaf=3");
        const std::string err = testing::internal::GetCapturedStderr();

        EXPECT_NE(err.find("InitAPI failed!\n"), std::string::npos) << c.name << ": " << err;
        EXPECT_EQ(g_exitCode, 1) << c.name;
        EXPECT_TRUE(program.log.empty()) << c.name;  // no frame ran
        EXPECT_EQ(program.host.device_, nullptr) << c.name;
        EXPECT_EQ(program.host.d3d_, nullptr) << c.name;
        const std::vector<platform::ShownMessageBox> shown = boxes.Shown();
        if (!c.caption) {
            EXPECT_TRUE(shown.empty()) << c.name;
            continue;
        }
        ASSERT_EQ(shown.size(), 1u) << c.name;
        EXPECT_EQ(shown[0].caption, c.caption) << c.name;
        EXPECT_EQ(shown[0].text, c.text) << c.name;
        EXPECT_EQ(shown[0].type, static_cast<UINT>(MB_OK)) << c.name;
        // Only a failed creation gets as far as creating.
        EXPECT_EQ(Script().createdWith.size(), std::string(c.name) == "creation fails twice" ? 2u : 0u) << c.name;
    }
}

TEST_F(ShellDeviceTest, ChecksInOrderThenCreatesWithTheWindowSize) {
    // A missing depth texture format is asked about but not required.
    Script().refusedFormats.push_back({D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_TEXTURE, D3DFMT_D24S8});
    Program program(dir_.Folder());
    program.Run("-qaf=0 -width=640 -height=480");
    EXPECT_EQ(g_exitCode, 0);
    EXPECT_EQ(program.log, Log{"Update"});

    char dxt1[64];
    std::snprintf(dxt1, sizeof dxt1, "CheckDeviceFormat(0x0, TEXTURE, %u)", static_cast<unsigned>(D3DFMT_DXT1));
    EXPECT_EQ(Script().calls, (std::vector<std::string>{
                                  "GetAdapterDisplayMode(0)",
                                  "CheckDeviceType(0, 1, 22, 22, 1)",
                                  dxt1,
                                  "CheckDeviceFormat(0x2, TEXTURE, 75)",
                                  "CheckDeviceFormat(0x1, SURFACE, 21)",
                                  "CheckDeviceFormat(0x1, SURFACE, 114)",
                                  "GetDeviceCaps(0)",
                                  "CreateDevice(0x44, interval 0x1)",
                              }));
    ASSERT_EQ(Script().createdWith.size(), 1u);
    const D3DPRESENT_PARAMETERS& p = Script().createdWith[0];
    EXPECT_EQ(p.BackBufferWidth, 640u);
    EXPECT_EQ(p.BackBufferHeight, 480u);
    EXPECT_EQ(p.BackBufferFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(p.BackBufferCount, 2u);
    EXPECT_EQ(p.MultiSampleType, D3DMULTISAMPLE_NONE);
    EXPECT_EQ(p.SwapEffect, D3DSWAPEFFECT_DISCARD);
    EXPECT_EQ(p.hDeviceWindow, nullptr);
    EXPECT_EQ(p.Windowed, TRUE);
    EXPECT_EQ(p.EnableAutoDepthStencil, TRUE);
    EXPECT_EQ(p.AutoDepthStencilFormat, D3DFMT_D24S8);
    EXPECT_EQ(p.Flags, 0u);
    EXPECT_EQ(p.FullScreen_RefreshRateInHz, 0u);
}

TEST_F(ShellDeviceTest, IntervalFlagsAndWindowedFollowOptionsAndCaps) {
    struct Case {
        int swapInterval;
        bool fullscreen;
        DWORD devCaps;
        UINT interval;
        DWORD flags;
    };
    const DWORD mt = D3DCREATE_MULTITHREADED;
    const DWORD hwtl = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    const Case cases[] = {
        {0, false, hwtl, D3DPRESENT_INTERVAL_IMMEDIATE, mt | D3DCREATE_HARDWARE_VERTEXPROCESSING},
        {1, true, hwtl | D3DDEVCAPS_PUREDEVICE, D3DPRESENT_INTERVAL_ONE,
         mt | D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE},
        {2, false, 0, D3DPRESENT_INTERVAL_TWO, mt | D3DCREATE_SOFTWARE_VERTEXPROCESSING},
        // A pure device without hardware vertex processing is not asked for.
        {3, false, D3DDEVCAPS_PUREDEVICE, D3DPRESENT_INTERVAL_THREE, mt | D3DCREATE_SOFTWARE_VERTEXPROCESSING},
        {4, false, hwtl, D3DPRESENT_INTERVAL_FOUR, mt | D3DCREATE_HARDWARE_VERTEXPROCESSING},
        {-1, false, hwtl, D3DPRESENT_INTERVAL_FOUR, mt | D3DCREATE_HARDWARE_VERTEXPROCESSING},
    };
    for (const Case& c : cases) {
        d3d9::ResetNullScript();
        Script().caps.DevCaps = c.devCaps;
        ShellApp app;
        WindowlessHost host;
        host.Init(&app);
        app.options_->swapInterval = c.swapInterval;
        app.options_->fullscreen = c.fullscreen;
        ASSERT_TRUE(host.InitDirect3D()) << c.swapInterval;
        ASSERT_EQ(Script().createdWith.size(), 1u);
        EXPECT_EQ(Script().createdWith[0].PresentationInterval, c.interval) << c.swapInterval;
        EXPECT_EQ(Script().createdWith[0].Windowed, c.fullscreen ? FALSE : TRUE) << c.swapInterval;
        EXPECT_EQ(Script().createFlags[0], c.flags) << c.swapInterval;
        EXPECT_EQ(host.present_params_.PresentationInterval, c.interval) << c.swapInterval;
        host.ReleaseDirect3D();
    }
}

TEST_F(ShellDeviceTest, FailedCreationRetriesOnceWithTheImmediateInterval) {
    Script().createDeviceFailures = 1;
    Program program(dir_.Folder());
    platform::MessageBoxCapture boxes;
    testing::internal::CaptureStderr();
    program.Run("-qaf=0");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(g_exitCode, 0);
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_NE(err.find("Could not create D3D device context with specified presentation interval: 1"),
              std::string::npos)
        << err;
    ASSERT_EQ(Script().createdWith.size(), 2u);
    EXPECT_EQ(Script().createdWith[0].PresentationInterval, static_cast<UINT>(D3DPRESENT_INTERVAL_ONE));
    EXPECT_EQ(Script().createdWith[1].PresentationInterval, static_cast<UINT>(D3DPRESENT_INTERVAL_IMMEDIATE));
    EXPECT_EQ(program.log, Log{"Update"});
}

TEST_F(ShellDeviceTest, LostFramesAreSkippedThenTheResetIsBracketedByTheTwoEvents) {
    Script().cooperativeLevels = {D3D_OK, D3DERR_DEVICELOST, D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET};
    platform::ScopedFakeClock clock(1000);
    Program program(dir_.Folder());
    program.Run("-qaf=4 -width=320 -height=200");
    EXPECT_EQ(g_exitCode, 0);
    EXPECT_EQ(program.log, (Log{
                               "Update",  // frame 0; frames 1 and 2 are lost
                               "OnEvent(0x10000000) after no reset",
                               "OnEvent(0x10000001) after Reset(320x200, interval 0x1) = 0x00000000",
                               "Update",  // frame 3 runs after its reset
                               "Update",
                           }));
    // Each lost frame waits 20 ms; nothing else sleeps.
    EXPECT_EQ(platform::MillisecondsSinceStart(), 1040u);
}

TEST_F(ShellDeviceTest, InternalDriverErrorQuitsAfterOneBox) {
    Script().cooperativeLevels = {D3D_OK, D3DERR_DRIVERINTERNALERROR};
    Program program(dir_.Folder());
    platform::MessageBoxCapture boxes;
    program.Run("-qaf=10");
    // The frame of the error is skipped and no other follows.
    EXPECT_EQ(program.log, Log{"Update"});
    const std::vector<platform::ShownMessageBox> shown = boxes.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Internal Driver Error ... Exiting");
    EXPECT_EQ(shown[0].caption, "Driver Error");
    EXPECT_EQ(shown[0].type, static_cast<UINT>(MB_OK));
    EXPECT_NE(g_exitCode, 0);
    // Shut down in order: the device is gone.
    EXPECT_EQ(program.host.device_, nullptr);
    EXPECT_EQ(g_d3dDevice, nullptr);
}

// The bytes of a screenshot pixel (x, y from the top-left) in a bitmap file.
std::string BitmapPixel(const std::string& file, int width, int height, int x, int y) {
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    return file.substr(54 + stride * static_cast<size_t>(height - 1 - y) + 3 * static_cast<size_t>(x), 3);
}

TEST_F(ShellDeviceTest, ScreenshotsHoldThePresentedFrames) {
    Program program(dir_.Folder());
    // Each frame its own colour, with a marked top-left pixel.
    program.game->draw = [](int frame) {
        const D3DCOLOR colours[] = {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0};
        g_d3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET, colours[frame % 4], 1.0f, 0);
        const D3DRECT corner = {0, 0, 1, 1};
        g_d3dDevice->Clear(1, &corner, D3DCLEAR_TARGET, 0xFFFF0001, 1.0f, 0);
    };
    program.Run("-qaf=3 -c=1-2 -width=5 -height=3");
    EXPECT_EQ(g_exitCode, 0);
    EXPECT_EQ(program.app.GetString(5), nullptr);  // no failure message

    const std::string first = dir_.Read("ShellBase0000.bmp");
    const std::string second = dir_.Read("ShellBase0001.bmp");
    EXPECT_TRUE(dir_.Read("ShellBase0002.bmp").empty());
    // Rows of 15 bytes padded to 16.
    ASSERT_EQ(first.size(), 54u + 3 * 16);
    ASSERT_EQ(second.size(), 54u + 3 * 16);
    EXPECT_EQ(BitmapPixel(first, 5, 3, 0, 0), std::string("\x01\x00\xFF", 3));
    EXPECT_EQ(BitmapPixel(first, 5, 3, 1, 0), "\x60\x50\x40");
    EXPECT_EQ(BitmapPixel(first, 5, 3, 4, 2), "\x60\x50\x40");
    EXPECT_EQ(BitmapPixel(first, 5, 3, 0, 2), "\x60\x50\x40");
    EXPECT_EQ(BitmapPixel(second, 5, 3, 0, 0), std::string("\x01\x00\xFF", 3));
    EXPECT_EQ(BitmapPixel(second, 5, 3, 3, 1), "\x90\x80\x70");
    for (int row = 0; row < 3; ++row) EXPECT_EQ(first[54 + 16 * row + 15], '\0') << row;
}

TEST_F(ShellDeviceTest, CaptureNeedsAPresentedFrameAndKeepsItsTopLeftCorner) {
    ShellApp app;
    WindowlessHost host;
    host.Init(&app);
    app.options_->windowWidth = 2;
    app.options_->windowHeight = 2;
    ASSERT_TRUE(host.InitAPI());
    std::vector<unsigned char> buffer(3 * 12, 0);

    // Frame 0 lies outside the capture range: nothing is kept to save.
    host.device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699, 1.0f, 0);
    host.Present();
    EXPECT_FALSE(host.CaptureBuffer(2, 2, buffer.data()));

    app.options_->captureStart = app.options_->captureStop = 0;
    const D3DRECT right = {1, 0, 2, 2};
    host.device_->Clear(1, &right, D3DCLEAR_TARGET, 0xFFCC0000, 1.0f, 0);
    host.Present();
    // A larger buffer (3 x 3, rows of 12 bytes) takes the 2 x 2 frame in its top-left corner.
    ASSERT_TRUE(host.CaptureBuffer(3, 3, buffer.data()));
    const std::vector<unsigned char> expected = {
        0,    0,    0,    0, 0, 0,    0, 0, 0, 0, 0, 0,  // bottom row: beyond the frame
        0x99, 0x66, 0x33, 0, 0, 0xCC, 0, 0, 0, 0, 0, 0,  //
        0x99, 0x66, 0x33, 0, 0, 0xCC, 0, 0, 0, 0, 0, 0,  // top row
    };
    EXPECT_EQ(buffer, expected);
    host.ReleaseAPI();
}

TEST_F(ShellDeviceTest, NewDeviceIsClearedToBlackAndReleasedWithItsObject) {
    ShellApp app;
    WindowlessHost host;
    host.Init(&app);
    ASSERT_TRUE(host.InitAPI());
    d3d9::NullDevice* device = d3d9::AsNullDevice(host.device_);
    ASSERT_NE(device, nullptr);
    // Colour, depth and stencil, before anything draws.
    ASSERT_FALSE(device->Log().empty());
    EXPECT_EQ(device->Log().front(), "Clear(0, 0x7, 0xff000000, 1, 0)");
    EXPECT_TRUE(d3d9::GetErrors(host.device_).empty());
    host.ReleaseAPI();
    EXPECT_EQ(host.device_, nullptr);
    EXPECT_EQ(host.d3d_, nullptr);
}

TEST_F(ShellDeviceTest, InfoDumpsAdapterModeAndSurfaces) {
    Script().identifier.VendorId = 0x10DE;
    Script().identifier.DeviceId = 5;
    Script().identifier.SubSysId = 7;
    Script().identifier.DriverVersion.QuadPart = (LONGLONG(3) << 32) | 9;
    Program program(dir_.Folder());
    testing::internal::CaptureStderr();
    program.Run("-info -qaf=0 -width=800 -height=600");
    const std::string err = testing::internal::GetCapturedStderr();
    ExpectInOrder(err, {
                           "D3D version: 32\n",
                           "\nAdapter Identifier:\n  Driver: null\n  Description: Recording null device\n"
                           "  Driver Version: 9\n  VendorID: 10de\n  DeviceID: 5\n  SubSysID: 7\n"
                           "  Device Identifier: 7\n",
                           "\nDisplay Mode of device:\n  Format: X8R8G8B8\n  Width:  1024\n  Height: 768\n"
                           "  Refesh: 60\n\n",
                           "Window Width:  800\nWindow Height: 600\nIs Rotated: No\n\n",
                           "Backbuffer No.: 1\n\n",
                           "Backbuffer surface:\n  Format: X8R8G8B8\n  MultiSample type: NONE\n"
                           "  Memory pool: DEFAULT\n  Usage:  RENDERTARGET \n  Width:  800\n  Height: 600\n\n",
                           "Depth stencil surface:\n  Format: D24S8\n",
                       });
}

// A surface with a given description, to show every usage part of the dump.
class DescribedSurface : public IDirect3DSurface9 {
public:
    explicit DescribedSurface(const D3DSURFACE_DESC& desc) : desc_(desc) {}
    ~DescribedSurface() override = default;
    ULONG AddRef() override { return ++references; }
    ULONG Release() override { return --references; }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override {
        *desc = desc_;
        return D3D_OK;
    }
    ULONG references = 1;

private:
    D3DSURFACE_DESC desc_;
};

TEST_F(ShellDeviceTest, SurfaceInfoNamesAndReleases) {
    ShellApp app;
    WindowlessHost host;
    host.Init(&app);
    D3DSURFACE_DESC desc = {};
    desc.Format = D3DFMT_G16R16F;
    desc.Usage = D3DUSAGE_RENDERTARGET | D3DUSAGE_DYNAMIC | D3DUSAGE_DONOTCLIP | D3DUSAGE_WRITEONLY;
    desc.Pool = D3DPOOL_SCRATCH;
    desc.MultiSampleType = static_cast<D3DMULTISAMPLE_TYPE>(4);
    desc.Width = 3;
    desc.Height = 9;
    DescribedSurface surface(desc);
    testing::internal::CaptureStderr();
    host.PrintSurfaceInfo("Some surface", &surface);
    host.PrintSurfaceInfo("Missing surface", nullptr);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err,
              "Some surface:\n  Format: G16FR16F\n  MultiSample type: 4 Samples\n  Memory pool: SCRATCH\n"
              "  Usage:  RENDERTARGET DYNAMIC DONOTCLIP WRITEONLY \n  Width:  3\n  Height: 9\n\n"
              "Missing surface: Null pointer\n");
    EXPECT_EQ(surface.references, 0u);
}

TEST_F(ShellDeviceTest, NameTables) {
    const struct {
        D3DFORMAT format;
        const char* name;
    } formats[] = {{D3DFMT_R8G8B8, "R8G8B8"},       {D3DFMT_D32F_LOCKABLE, "D32F_LOCKABLE"},
                   {D3DFMT_INDEX32, "INDEX32"},     {D3DFMT_A32B32G32R32F, "A32B32G32R32F"},
                   {D3DFMT_DXT3, "DXT3"},           {D3DFMT_UYVY, "UYVY"},
                   {D3DFMT_A2R10G10B10, "Unknown"}, {D3DFMT_UNKNOWN, "Unknown"}};
    for (const auto& f : formats) EXPECT_STREQ(D3DFormatName(f.format), f.name) << f.name;
    EXPECT_STREQ(D3DMultiSampleName(0), "NONE");
    EXPECT_STREQ(D3DMultiSampleName(1), "Unknown");
    EXPECT_STREQ(D3DMultiSampleName(2), "2 Samples");
    EXPECT_STREQ(D3DMultiSampleName(16), "16 Samples");
    EXPECT_STREQ(D3DMultiSampleName(17), "Unknown");
    EXPECT_STREQ(D3DPoolName(1), "MANAGED");
    EXPECT_STREQ(D3DPoolName(2), "SYSTEMMEM");
    EXPECT_STREQ(D3DPoolName(4), "Unknown");
}

TEST_F(ShellDeviceTest, UnreferencedOperations) {
    Script().identifier.VendorId = 0x8086;
    ShellApp app;
    WindowlessHost host;
    host.Init(&app);
    ASSERT_TRUE(host.InitAPI());
    EXPECT_TRUE(host.IsIntelAdapter());
    // Read once: a later answer of the adapter is not asked for.
    Script().identifier.VendorId = 0x1002;
    EXPECT_TRUE(host.IsIntelAdapter());

    // Each switch acts on its first call only.
    EXPECT_TRUE(host.SwitchOnOnce());
    EXPECT_FALSE(host.SwitchOffOnce());
    EXPECT_FALSE(host.SwitchOnOnce());
    EXPECT_TRUE(host.switch_flag2_);

    testing::internal::CaptureStderr();
    host.PrintDisplayModes();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "D3DADAPTER_DEFAULT Display Modes for X8R8G8B8 format\n"
              "Mode 0 Width = 1024 Height = 768 Format = 22 Refresh = 60\n");
    host.ReleaseAPI();
}

}  // namespace
