// Any bytes as "settings.dat" in the per-user data folder: loading keeps what the
// file supplies, and the settings then save and load again.
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "Game/GameSettings.h"
#include "tests/support/FuzzInput.h"

namespace {
std::string SettingsPath() { return fuzzinput::ScratchFolder() + "/Dunmarch_DATA/settings.dat"; }
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("XDG_DATA_HOME", fuzzinput::ScratchFolder().c_str(), 1);
    GameSettings settings;
    settings.SetPlayerName("Player One");
    settings.SetEmail("player@example.org");
    settings.SetSoundVolume(0.75f);
    if (settings.Save()) {
        std::ifstream in(SettingsPath(), std::ios::binary);
        fuzzinput::AddSeed("settings.dat",
                           std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzinput::WriteNamed("Dunmarch_DATA/settings.dat", data, size);
    GameSettings settings;
    if (settings.Load()) {
        settings.Save();
        GameSettings again;
        again.Load();
    }
    return 0;
}
