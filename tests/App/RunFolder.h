#pragma once
// What the run tests of the real game share: a game folder of the test's own
// (programs copied, the sample data linked) with a scratch per-user data
// folder, and the pixels of the screenshots the game writes there.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/RunDunmarch.h"
#include "support/ScratchDir.h"

namespace runfolder {

// root/game holds the programs and links to the sample data, so screenshots
// land there; root/user is the per-user data folder; root/Data links the
// build's served files.
inline void MakeGameFolder(ScratchDir& root, std::initializer_list<const char*> programs) {
    namespace fs = std::filesystem;
    const std::string game = testsupport::BuildDir() + "/game";
    ASSERT_TRUE(fs::exists(game + "/config.xml")) << "build the sample_data target";
    fs::create_directories(root.File("game"));
    fs::create_directories(root.File("user"));
    for (const char* program : programs) {
        ASSERT_TRUE(fs::exists(game + "/" + program)) << program;
        fs::copy_file(game + "/" + program, root.File("game/") + program);
    }
    for (const char* entry : {"config.xml", "res-pc", "res-common"})
        fs::create_symlink(game + "/" + entry, root.File("game/") + entry);
    if (fs::exists(testsupport::BuildDir() + "/Data"))
        fs::create_directory_symlink(testsupport::BuildDir() + "/Data", root.File("Data"));
}

// The pixels of a 24-bit screenshot (rows bottom first, blue, green, red) as
// 0x00RRGGBB, top row first; none when it is not one of that size.
inline std::vector<uint32_t> Pixels(const std::string& bmp, int width, int height) {
    std::vector<uint32_t> pixels;
    const size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
    if (bmp.size() < 54 + stride * height) return pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t at = 54 + size_t(height - 1 - y) * stride + size_t(x) * 3;
            pixels.push_back(uint32_t(uint8_t(bmp[at + 2])) << 16 | uint32_t(uint8_t(bmp[at + 1])) << 8 |
                             uint8_t(bmp[at]));
        }
    return pixels;
}

}  // namespace runfolder
