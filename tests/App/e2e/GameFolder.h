#pragma once
// A game folder of a run's own (support/SampleGameFolder.h) with the game, and
// what the runs check of what the game printed and of the screenshots it wrote
// there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/RunDunmarch.h"
#include "support/SampleGameFolder.h"
#include "support/ScratchDir.h"
#include "support/Screenshot.h"

namespace gamefolder {

// The window a run plays in. On the software renderer a frame costs its pixels,
// and the game stretches its 1024 x 768 screen over any window: the runs that
// check the flow rather than the picture play in a smaller one.
struct Window {
    int width, height;
    std::string Options() const { return " -width=" + std::to_string(width) + " -height=" + std::to_string(height); }
};
constexpr Window kFullWindow{1024, 768};
constexpr Window kHalfWindow{512, 384};
constexpr Window kSmallWindow{256, 192};

inline void Make(const ScratchDir& root, std::initializer_list<const char*> programs = {"dunmarch"}) {
    testsupport::MakeSampleGameFolder(root, programs);
}

// The lines that tell of a fault, the sanitizers' among them.
inline void ExpectNoFault(const std::string& output) {
    for (const char* fault : {"Service expired", "Service already exists", "Program Error", "Assertion failed",
                              "SHADER COMPILER ERROR", "failed!", "not found", "ERROR: AddressSanitizer",
                              "ERROR: LeakSanitizer", "runtime error:", "WARNING: ThreadSanitizer"})
        EXPECT_EQ(testsupport::Count(output, fault), 0) << fault << "\n" << output;
}

// The screenshots in the game folder, in the order taken.
inline std::vector<std::string> Shots(const ScratchDir& root) {
    namespace fs = std::filesystem;
    std::vector<std::string> shots;
    for (const fs::directory_entry& e : fs::directory_iterator(root.File("game")))
        if (e.path().extension() == ".bmp") shots.push_back(e.path().filename().string());
    std::sort(shots.begin(), shots.end());
    return shots;
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

// A screenshot of the game folder, of the window's size, kept as
// build/screenshots/<name> for a person to look at; its pixels, none when it is
// not one.
inline std::vector<uint32_t> Keep(const ScratchDir& root, const std::string& shot, const std::string& name,
                                  Window window = kFullWindow) {
    const size_t count = size_t(window.width) * size_t(window.height);
    const std::vector<uint32_t> pixels = Pixels(root.Read("game/" + shot), window.width, window.height);
    EXPECT_EQ(pixels.size(), count) << shot;
    if (pixels.size() == count)
        testsupport::SaveScreenshot(std::vector<DWORD>(pixels.begin(), pixels.end()), window.width, window.height,
                                    name);
    return pixels;
}

}  // namespace gamefolder
