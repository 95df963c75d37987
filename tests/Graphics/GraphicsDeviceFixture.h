#pragma once
// What the effect, graphics-device and renderer tests share: a game folder of
// their own holding chosen effect files (the process works in it while the
// test runs), and a recording null device the size of the virtual screen.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Graphics/ParticleHooks.h"
#include "platform/d3d9/common/DeviceBase.h"
#include "support/NullDeviceFixture.h"
#include "tools/catalogue/Effects.h"

// A temporary game folder that is the working folder while it lives.
class GameFolder {
public:
    GameFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "dm-effects-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data()) != nullptr) {
            path_ = buffer.data();
        }
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }
    ~GameFolder() {
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
        std::filesystem::remove_all(path_, ec);
    }
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    void Write(const std::string& relPath, const std::string& text) const {
        std::filesystem::path file = std::filesystem::path(path_) / relPath;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }
    // The four effect files of the sample data.
    void WriteShippedEffects() const {
        for (const catalogue::effects::File& file : catalogue::effects::kFiles) {
            Write(file.path, file.text);
        }
    }

private:
    std::string path_;
    std::filesystem::path previous_;
};

// Stands for the particle library on the device's and the scene's particle
// hooks: counts what they ask of it, and records the frame calls and the flush
// in the null device's log (when given one).
class ParticleRecorder {
public:
    explicit ParticleRecorder(d3d9::DeviceBase* base) : base_(base) {
        active_ = this;
        Graphics::ParticleHooks hooks;
        hooks.createDeviceBuffers = [](Graphics::GraphicsDevice*) { ++active_->created; };
        hooks.releaseDeviceBuffers = [] { ++active_->released; };
        hooks.updateCamera = [] { active_->Note("ParticlesUpdateCamera"); };
        hooks.beginFrame = [] { active_->Note("ParticlesBeginFrame"); };
        hooks.flush = [] { active_->Note("ParticlesFlush"); };
        Graphics::SetParticleHooks(hooks);
    }
    ~ParticleRecorder() {
        Graphics::SetParticleHooks(Graphics::ParticleHooks());
        active_ = nullptr;
    }
    ParticleRecorder(const ParticleRecorder&) = delete;
    ParticleRecorder& operator=(const ParticleRecorder&) = delete;

    int created = 0;
    int released = 0;
    std::vector<std::string> calls;  // the frame calls and flushes, in order

private:
    void Note(const char* call) {
        calls.push_back(call);
        if (base_ != nullptr) base_->Record("%s", call);
    }

    static inline ParticleRecorder* active_ = nullptr;
    d3d9::DeviceBase* base_;
};

class NullDeviceTest : public testsupport::NullDeviceTest {
protected:
    NullDeviceTest() : testsupport::NullDeviceTest(1024, 768, D3DCREATE_MULTITHREADED) { params.BackBufferCount = 2; }

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(testsupport::NullDeviceTest::SetUp());
        base = d3d9::AsDeviceBase(device);
    }

    // The log lines that start with one of the prefixes, in order.
    std::vector<std::string> LogLines(std::initializer_list<std::string> prefixes) const {
        std::vector<std::string> lines;
        for (const std::string& line : null->Log()) {
            for (const std::string& prefix : prefixes) {
                if (line.compare(0, prefix.size(), prefix) == 0) {
                    lines.push_back(line);
                    break;
                }
            }
        }
        return lines;
    }

    GameFolder folder;
    d3d9::DeviceBase* base = nullptr;
};
