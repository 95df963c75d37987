// dunmarch-battle [--frames N] [--until-end] [--dt MS] [--trace]
//
// Starts the game in the current folder as the game tests do (the application on the
// recording null device through the shell's device globals), loads the English texts,
// starts a new battle on the first map and runs frames of a fixed length on the fake
// clock: the in-game window's update, the audio device's, and its draw inside the
// renderer's scene. It never sleeps. Prints a line per wave begun and ended and a final
// line; --trace adds, per step, the gold, the score and every unit. Exit 1 when no battle
// starts.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "App/CGame.h"
#include "Audio/AudioDevice.h"
#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/GameWindow.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CUnit.h"
#include "Core/FrameClock.h"
#include "Core/Language.h"
#include "Core/Service.h"
#include "Graphics/GraphicsDevice.h"
#include "particles/CSEntityParticle.h"
#include "platform/d3d9/Extensions.h"
#include "platform/d3d9/null/NullDevice.h"
#include "platform/win32/Time.h"
#include "shell/ShellGlobals.h"

namespace {

// --until-end stops after this much battle time whatever happens (the brains may never
// end a wave).
const long kBattleTimeCap = 30L * 60 * 1000;

struct Options {
    long frames = 0;
    bool untilEnd = false;
    int dt = 33;
    bool trace = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--frames" && i + 1 < argc) options.frames = std::atol(argv[++i]);
        else if (arg == "--dt" && i + 1 < argc) options.dt = std::atoi(argv[++i]);
        else if (arg == "--until-end") options.untilEnd = true;
        else if (arg == "--trace") options.trace = true;
        else return false;
    }
    return options.dt > 0 && options.frames >= 0;
}

void Trace(const CDunmarchGame& battle) {
    std::printf("step %u gold %d score %d", battle.GetStepCounter(), battle.GetGold(), battle.GetScore());
    if (battle.GetLevel())
        for (const boost::shared_ptr<CUnit>& unit : battle.GetLevel()->GetUnitList().GetUnits())
            std::printf(" | %d (%d, %d) %d", unit->GetId(), unit->GetPosition().x, unit->GetPosition().y,
                        unit->GetHitPoints());
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: dunmarch-battle [--frames N] [--until-end] [--dt MS] [--trace]\n");
        return 2;
    }
    BindEmitterNodeHosts();

    // The recording null device the size of the virtual screen.
    d3d9::SetBackend(d3d9::Backend::Null);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS params = {};
    params.BackBufferWidth = 1024;
    params.BackBufferHeight = 768;
    params.BackBufferFormat = D3DFMT_X8R8G8B8;
    params.BackBufferCount = 1;
    params.SwapEffect = D3DSWAPEFFECT_DISCARD;
    params.Windowed = TRUE;
    params.EnableAutoDepthStencil = TRUE;
    params.AutoDepthStencilFormat = D3DFMT_D24S8;
    IDirect3DDevice9* device = nullptr;
    if (d3d == nullptr || d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, D3DCREATE_MULTITHREADED,
                                            &params, &device) != D3D_OK) {
        std::fprintf(stderr, "dunmarch-battle: no null Direct3D device\n");
        return 1;
    }
    d3d9::NullDevice* null = d3d9::AsNullDevice(device);
    g_d3d = d3d;
    g_d3dDevice = device;

    platform::ScopedFakeClock clock(1000);
    ResetFrameClock();
    int status = 0;
    {
        Morvane::CGame game;
        game.RunInitialize();
        const LanguageInfo* english = FindLanguage(kEnglish);
        LoadLanguageFile(kEnglish, game.GetConfig().Paths.LanguagePath + english->file);
        Morvane::GameWindow* window = game.GetGameWindow();
        SelectedMapIndex = 0;
        if (window == nullptr || window->StartGame(0) != 1 || !window->GetBattle()) {
            std::fprintf(stderr, "dunmarch-battle: no battle started\n");
            status = 1;
        } else {
            const CDunmarchGame& battle = *window->GetBattle();
            std::printf("battle on %s: %zu waves, gold %d\n", battle.GetMapName().c_str(),
                        battle.GetWaveRunners().size(), battle.GetGold());
            int32_t waveIndex = battle.GetWaveIndex();
            int32_t startDelay = battle.GetWaveStartDelay();
            bool wasOver = battle.IsOver();
            const long frames = options.untilEnd ? kBattleTimeCap / options.dt : options.frames;
            // The set-up's own time is not the battle's.
            ResetFrameClock();
            for (long frame = 0; frame < frames; ++frame) {
                // Exactly dt, whatever else moved the clock since the last frame.
                ResetFrameClock();
                clock.Advance(static_cast<uint64_t>(options.dt));
                TickFrameClock();
                const uint32_t before = battle.GetStepCounter();
                window->Update();
                if (Service<Audio::AudioDevice>::Exists()) Service<Audio::AudioDevice>::Get()->Update();
                Graphics::GraphicsDevice* graphics = Service<Graphics::GraphicsDevice>::Get();
                graphics->BeginScene();
                window->Draw();
                graphics->EndScene();
                if (null != nullptr) null->ClearLog();

                if (startDelay > 0 && battle.GetWaveStartDelay() == 0 && battle.IsRunning())
                    std::printf("wave %d begun at step %u\n", battle.GetWaveIndex() + 1,
                                battle.GetStepCounter() - static_cast<uint32_t>(battle.GetWaveStepCounter()));
                // A victory takes the index back to the last wave played.
                if (battle.GetWaveIndex() > waveIndex)
                    std::printf("wave %d ended at step %u, gold %d\n", waveIndex + 1, battle.GetStepCounter(),
                                battle.GetGold());
                else if (!wasOver && battle.IsOver() && battle.GetResult() == CDunmarchGame::kVictory)
                    std::printf("wave %d ended at step %u, gold %d\n", battle.GetWaveIndex() + 1,
                                battle.GetStepCounter(), battle.GetGold());
                wasOver = battle.IsOver();
                waveIndex = battle.GetWaveIndex();
                startDelay = battle.GetWaveStartDelay();
                if (options.trace && battle.GetStepCounter() != before) Trace(battle);
                if (options.untilEnd && battle.IsOver()) break;
            }
            std::printf("end: state %d result %d wave %d gold %d score %d steps %u\n", battle.GetState(),
                        battle.GetResult(), battle.GetWaveIndex(), battle.GetGold(), battle.GetScore(),
                        battle.GetStepCounter());
        }
        game.RunShutdown();
    }
    device->Release();
    d3d->Release();
    return status;
}
