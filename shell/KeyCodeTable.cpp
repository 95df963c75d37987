#include "shell/KeyCodeTable.h"

namespace {

constexpr std::array<uint8_t, 256> BuildKeyCodeTable() {
    std::array<uint8_t, 256> t{};
    for (auto& e : t) e = kNoKeyCode;
    for (int i = 0; i < 10; ++i) t[0x30 + i] = static_cast<uint8_t>(i);
    for (int i = 0; i < 26; ++i) t[0x41 + i] = static_cast<uint8_t>(10 + i);
    t[0x3B] = 35;  // an unassigned virtual key, mapped all the same
    for (int i = 0; i < 12; ++i) t[0x70 + i] = static_cast<uint8_t>(36 + i);
    const struct {
        int vk;
        int numpad;
        uint8_t code;
    } pairs[] = {
        {0x28, 0x62, 48}, {0x26, 0x68, 49}, {0x25, 0x64, 50}, {0x27, 0x66, 51}, {0x23, 0x61, 52},
        {0x24, 0x67, 53}, {0x22, 0x63, 54}, {0x21, 0x69, 55}, {0x2D, 0x60, 61}, {0x2E, 0x6E, 62},
    };
    for (const auto& p : pairs) {
        t[p.vk] = p.code;
        t[p.numpad] = p.code;
    }
    const struct {
        int vk;
        uint8_t code;
    } singles[] = {
        {0x1B, 56}, {0x20, 57}, {0x0D, 58}, {0x08, 59}, {0x09, 60}, {0x11, 63}, {0x10, 64},
        {0x12, 65}, {0x14, 69}, {0x90, 70}, {0x91, 71}, {0xC0, 72}, {0xBD, 73}, {0xBB, 74},
        {0xDB, 75}, {0xDD, 76}, {0xBA, 77}, {0xDE, 78}, {0xBC, 79}, {0xBE, 80}, {0xBF, 81},
        {0xDC, 82}, {0x6F, 83}, {0x6A, 84}, {0x6B, 85}, {0x6D, 86}, {0x2C, 87}, {0x13, 88},
    };
    for (const auto& s : singles) t[s.vk] = s.code;
    return t;
}

}  // namespace

const std::array<uint8_t, 256> KeyCodeTable = BuildKeyCodeTable();
