#pragma once
// Windows virtual-key codes to the program's key codes.
#include <array>
#include <cstdint>

constexpr int kKeyCodeCount = 89;
constexpr uint8_t kNoKeyCode = 255;

// 256 entries; kNoKeyCode for keys the program does not know.
extern const std::array<uint8_t, 256> KeyCodeTable;
