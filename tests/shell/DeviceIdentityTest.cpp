// The device identity text and the web link.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysinfo.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "platform/d3d9/Extensions.h"
#include "platform/d3d9/null/NullScript.h"
#include "platform/win32/ShellExecute.h"
#include "shell/DeviceIdentity.h"
#include "shell/ShellGlobals.h"

namespace {

TEST(DeviceIdentityTest, BrandsLoseLeadingBlanksAndRunsOfBlanks) {
    struct Case {
        const char* raw;
        const char* compact;
    } cases[] = {
        {"   Intel(R)  Core(TM)    i7 CPU   ", "Intel(R) Core(TM) i7 CPU "},
        {"AMD Ryzen 7", "AMD Ryzen 7"},
        {"     ", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompactBrandString(c.raw), c.compact) << '"' << c.raw << '"';
    }
}

TEST(DeviceIdentityTest, MemoryIsRoundedUpToWholeMegabytesPastAKilobyte) {
    const uint64_t twoGigabytes = 2048ull * 1048576;
    EXPECT_EQ(MegabytesText(twoGigabytes), "2048");
    EXPECT_EQ(MegabytesText(twoGigabytes + 1024), "2049");
    EXPECT_EQ(MegabytesText(twoGigabytes + 1023), "2048");
    EXPECT_EQ(MegabytesText(0), "0");
    // Beyond what 32 bits hold: 64 GB.
    EXPECT_EQ(MegabytesText(65536ull * 1048576), "65536");
}

TEST(DeviceIdentityTest, MemoryComesFromTheFullSizeQuery) {
    struct sysinfo info;
    ASSERT_EQ(sysinfo(&info), 0);
    std::string text = "unchanged";
    GetMemoryMegabytes(text);
    EXPECT_EQ(text, MegabytesText(static_cast<uint64_t>(info.totalram) * info.mem_unit));
}

TEST(DeviceIdentityTest, AdapterPartsComeFromTheDirect3DObject) {
    std::string description = "x";
    std::string vendorId = "x";
    std::string deviceId = "x";
    g_d3d = nullptr;
    GetAdapterIdentity(description, vendorId, deviceId);
    EXPECT_EQ(description + vendorId + deviceId, "");

    d3d9::ResetNullScript();
    d3d9::NullScript& script = d3d9::GetNullScript();
    std::snprintf(script.identifier.Description, sizeof(script.identifier.Description), "%s", "Radeon HD 4850");
    script.identifier.VendorId = 0x1002;
    script.identifier.DeviceId = 37954;
    d3d9::SetBackend(d3d9::Backend::Null);
    g_d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(g_d3d, nullptr);
    GetAdapterIdentity(description, vendorId, deviceId);
    EXPECT_EQ(description, "Radeon HD 4850");
    EXPECT_EQ(vendorId, "1002");
    EXPECT_EQ(deviceId, "37954");
    g_d3d->Release();
    g_d3d = nullptr;
    d3d9::SetBackend(d3d9::Backend::GL);
    d3d9::ResetNullScript();
}

TEST(DeviceIdentityTest, WithoutDirect3DTheIdentityStillHasSixParts) {
    g_d3d = nullptr;
    std::string vendor;
    std::string brand;
    std::string memory;
    GetProcessorIdentity(vendor, brand);
    GetMemoryMegabytes(memory);
    const std::string& identity = GetDeviceIdentityString();
    EXPECT_EQ(identity, vendor + " " + brand + "    " + memory);
    EXPECT_EQ(&identity, &GetDeviceIdentityString()) << "computed once and kept";
#if defined(__x86_64__)
    EXPECT_EQ(vendor.size(), 12u);
    EXPECT_FALSE(brand.empty());
    EXPECT_NE(brand[0], ' ');
#endif
}

class OpenUrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/openurlXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        // An opener that writes each argument it gets on a line of its own.
        opener = folder + "/opener";
        std::ofstream script(opener);
        script << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > " << folder << "/args\n";
        script.close();
        chmod(opener.c_str(), 0755);
        SetUrlOpener(opener.c_str());
    }
    void TearDown() override {
        SetUrlOpener(nullptr);
        std::remove((folder + "/args").c_str());
        std::remove(opener.c_str());
        std::remove((folder + "/pwned").c_str());
        rmdir(folder.c_str());
    }

    // What the opener received, once it has run.
    std::string Arguments() {
        for (int i = 0; i < 500; ++i) {
            std::ifstream file(folder + "/args");
            std::stringstream text;
            text << file.rdbuf();
            if (!text.str().empty()) {
                return text.str();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::string();
    }

    std::string folder;
    std::string opener;
};

TEST_F(OpenUrlTest, WebAddressesReachTheOpenerAsOneArgumentWithoutAShell) {
    std::string address = "https://example.org/score?a=1&b=$(touch${IFS}" + folder + "/pwned);c|`id`";
    EXPECT_TRUE(OpenUrl(address));
    EXPECT_EQ(Arguments(), address + "\n");
    struct stat info;
    EXPECT_NE(stat((folder + "/pwned").c_str(), &info), 0) << "nothing ran the address as a command";
}

TEST_F(OpenUrlTest, OtherAddressesAreRefused) {
    for (const char* address :
         {"file:///etc/passwd", "javascript:alert(1)", "notepad.exe", "", "http://a b", "http://a\nb", "-e http://x"}) {
        EXPECT_FALSE(OpenUrl(address)) << address;
    }
    EXPECT_TRUE(OpenUrl("HTTP://EXAMPLE.ORG/"));
    EXPECT_EQ(Arguments(), "HTTP://EXAMPLE.ORG/\n");
    SetUrlOpener("/nonexistent/opener");
    EXPECT_FALSE(OpenUrl("http://example.org/")) << "no program to open it with";
}

// The standard error of the process, into a file while the object lives.
class StderrToFile {
public:
    explicit StderrToFile(const std::string& path) : path_(path) {
        std::fflush(stderr);
        saved_ = dup(2);
        const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(file, 2);
        close(file);
    }
    ~StderrToFile() {
        std::fflush(stderr);
        dup2(saved_, 2);
        close(saved_);
    }
    // What was written so far, once it holds the text or after two seconds.
    std::string WaitFor(const std::string& text) const {
        std::string written;
        for (int i = 0; i < 200; ++i) {
            std::ifstream file(path_);
            written.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
            if (written.find(text) != std::string::npos) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return written;
    }

private:
    std::string path_;
    int saved_;
};

TEST_F(OpenUrlTest, AStartedOpenerIsSuccessAndItsFailureIsOneLine) {
    // Whatever the opener then does, the caller is told at once that it started;
    // a failing opener leaves one line naming it on the standard error.
    struct Case {
        const char* script;
        const char* line;  // empty: none
    } cases[] = {
        {"#!/bin/sh\nexit 3\n", ": exited with status 3, the web page was not opened\n"},
        {"#!/bin/sh\nkill -9 $$\n", ": ended by signal 9, the web page was not opened\n"},
        {"#!/bin/sh\nexit 0\n", ""},
        {"#!/bin/sh\nsleep 1\n", ""},
    };
    for (const Case& c : cases) {
        std::ofstream(opener) << c.script;
        StderrToFile errors(folder + "/stderr");
        const auto before = std::chrono::steady_clock::now();
        EXPECT_TRUE(OpenUrl("https://example.org/")) << c.script;
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(500)) << c.script;
        if (*c.line != '\0') {
            EXPECT_EQ(opener + c.line, errors.WaitFor(c.line)) << c.script;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            EXPECT_EQ("", errors.WaitFor("")) << c.script;
        }
    }
    std::remove((folder + "/stderr").c_str());
}

}  // namespace
