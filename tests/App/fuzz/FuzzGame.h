#pragma once
// The game as the fuzz targets of its files run it: made once per process on the
// recording null device, in a scratch game folder that links the sample data of the
// fuzz build (build-fuzz/game), loaded as the loading screen loads it, with the
// in-game window ready for a battle on the first map. Its battles write their files
// (savegame, recordings, high scores) into that folder. Header only.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "App/CGame.h"
#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/GameWindow.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Loading/PreloadAssets.h"
#include "Core/Assert.h"
#include "Core/FrameClock.h"
#include "platform/d3d9/null/NullDevice.h"
#include "platform/win32/Time.h"
#include "shell/ShellGlobals.h"
#include "support/FuzzDevice.h"
#include "support/FuzzInput.h"

namespace fuzzgame {

namespace fs = std::filesystem;

// The game folder of the build this program belongs to: the first folder above the
// program's own that holds game/config.xml.
inline fs::path BuildGameFolder() {
    std::error_code ec;
    fs::path at = fs::read_symlink("/proc/self/exe", ec).parent_path();
    for (; !at.empty() && at != at.root_path(); at = at.parent_path())
        if (fs::exists(at / "game" / "config.xml")) return at / "game";
    std::fprintf(stderr, "fuzz: no game/config.xml above the program: build the sample_data target\n");
    std::abort();
}

// No file may bring the game to a failed assertion: here it is a finding.
inline void AbortOnAssertion(const char* condition, const char* message, const char* file, int line) {
    std::fprintf(stderr, "Assertion failed: %s && \"%s\" (%s:%d)\n", condition, message, file, line);
    std::abort();
}

class Game {
public:
    Game() {
        const fs::path data = BuildGameFolder();
        const fs::path folder = fs::path(fuzzinput::ScratchFolder()) / "game";
        fs::create_directories(folder);
        for (const char* entry : {"config.xml", "res-pc", "res-common"})
            if (!fs::exists(folder / entry)) fs::create_symlink(data / entry, folder / entry);
        const fs::path shared = data.parent_path() / "Data";
        if (fs::exists(shared) && !fs::exists(folder.parent_path() / "Data"))
            fs::create_directory_symlink(shared, folder.parent_path() / "Data");
        fs::current_path(folder);
        setenv("XDG_DATA_HOME", (folder.parent_path() / "user").c_str(), 1);
        SetAssertionHandler(&AbortOnAssertion);

        device_ = fuzzinput::NullDevice(1024, 768, &d3d_);
        null_ = d3d9::AsNullDevice(device_);
        g_d3d = d3d_;
        g_d3dDevice = device_;
        ResetFrameClock();
        game_.reset(new Morvane::CGame);
        game_->RunInitialize();
        PreloadAssets();
        window_ = game_->GetGameWindow();
        if (window_ == nullptr) std::abort();
        SelectedMapIndex = 0;
    }

    Morvane::GameWindow& Window() { return *window_; }

    // Frames of a battle step each, as the in-game window runs them (a replay's input
    // included); the null device's log dropped as it grows.
    void Frames(int frames) {
        for (int i = 0; i < frames && window_->GetBattle(); ++i) {
            clock_.Advance(CDunmarchGame::kStepTime);
            TickFrameClock();
            window_->Update();
            if (null_ != nullptr && i % 32 == 0) null_->ClearLog();
        }
    }

    // The file's bytes; empty when it cannot be read.
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static void Write(const std::string& path, const uint8_t* data, size_t size) {
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

    // A battle on the first map with a defender bought on each of the first free spots
    // once it runs, stepped that far.
    CDunmarchGame* DefendedBattle(int steps) {
        if (window_->StartGame(0) != 1 || !window_->GetBattle()) return nullptr;
        CDunmarchGame& battle = *window_->GetBattle();
        Frames(40);
        int button = 0;
        const std::vector<boost::weak_ptr<CSpawnPoint>> spots = battle.GetLevel()->GetFreeDefenderSpots();
        for (const boost::weak_ptr<CSpawnPoint>& spot : spots)
            if (const boost::shared_ptr<CSpawnPoint> place = spot.lock()) battle.BuyDefender(place, button++ % 3);
        Frames(steps - 40);
        return window_->GetBattle().get();
    }

private:
    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    d3d9::NullDevice* null_ = nullptr;
    platform::ScopedFakeClock clock_{1000};
    std::unique_ptr<Morvane::CGame> game_;
    Morvane::GameWindow* window_ = nullptr;
};

// Made at the first use and kept to the end of the process.
inline Game& TheGame() {
    static Game* game = new Game;
    return *game;
}

}  // namespace fuzzgame
