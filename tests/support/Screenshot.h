#pragma once
// Keeps a frame read back from a device (A8R8G8B8, top row first) as
// $DM_BUILD_DIR/screenshots/<name>, a PNG for a person to look at.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/d3d9/d3d9.h"
#include "tools/databuilder/PngWriter.h"

namespace testsupport {

inline void SaveScreenshot(const std::vector<DWORD>& pixels, int width, int height, const std::string& name) {
    const char* build = std::getenv("DM_BUILD_DIR");
    ASSERT_NE(build, nullptr);
    ASSERT_EQ(pixels.size(), size_t(width) * size_t(height));
    std::vector<uint8_t> rgba;
    rgba.reserve(pixels.size() * 4);
    for (DWORD p : pixels) rgba.insert(rgba.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), 255});
    const std::vector<uint8_t> png = pngwriter::Encode(rgba.data(), width, height, pngwriter::Layout::RGB);
    ASSERT_FALSE(png.empty());
    const std::string folder = std::string(build) + "/screenshots";
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
}

}  // namespace testsupport
