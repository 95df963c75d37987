// A busy battle frame against the comparison quad, drawn by turns on one device at
// 1024 x 768: the sample battle with every defender spot filled, 40 attackers spread
// along the routes, the defenders' missiles in flight, the whole HUD (top bar, the
// selected defender's action buttons with prices, the speed buttons) and a tooltip,
// drawn as the in-game window draws it (scene, then the 2D pass), against a frame of
// one full-screen blended textured quad. Each side draws kFrames frames and reads the
// last one back, so all its drawing is finished inside the measurement. Prints the
// median of the turns' battle / quad ratios (goal: at most 2.5) and the heap
// allocations a battle frame makes once the first has been drawn (goal: none; counted
// at the global operator new). Run with SDL_VIDEODRIVER=offscreen when there is no
// display.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "App/CGame.h"
#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CTooltip.h"
#include "Classes/Battle/GameWindow.h"
#include "Classes/Battle/HudTables.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Classes/Loading/GlobalFonts.h"
#include "Core/FrameClock.h"
#include "Core/Language.h"
#include "Core/Service.h"
#include "Graphics/GraphicsDevice.h"
#include "bench/support/BenchWindow.h"
#include "bench/support/ByTurns.h"
#include "bench/support/QuadFrame.h"
#include "particles/CSEntityParticle.h"
#include "particles/ParticleDevice.h"
#include "platform/win32/Time.h"
#include "shell/ShellGlobals.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/GLDevice.h"
#include "tools/catalogue/GameData.h"

namespace gd = catalogue::gamedata;

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kFrames = 10;
constexpr int kAttackers = 40;

class BattleFrame {
public:
    // False with the reason in `error`.
    bool Open(SDL_Window* window, std::string& error) {
        if (testsupport::CreateGLDevice(window, testsupport::WindowedParameters(kWidth, kHeight, 2),
                                        D3DCREATE_HARDWARE_VERTEXPROCESSING, &d3d_, &device_) != D3D_OK) {
            error = "no Direct3D device";
            return false;
        }
        g_d3d = d3d_;
        g_d3dDevice = device_;
        // The game's frames run on a fake clock of 33 ms, as the battle driver runs them.
        clock_.reset(new platform::ScopedFakeClock(1000));
        ResetFrameClock();
        BindEmitterNodeHosts();
        BindParticleHooks();
        game_.reset(new Morvane::CGame);
        game_->RunInitialize();
        LoadLanguageFile(kEnglish, game_->GetConfig().Paths.LanguagePath + FindLanguage(kEnglish)->file);
        LoadGlobalFonts();
        SelectedMapIndex = 0;
        window_ = game_->GetGameWindow();
        if (window_ == nullptr || window_->StartGame(0) != 1 || !window_->GetBattle()) {
            error = "no battle starts";
            return false;
        }
        if (!Populate(error)) return false;
        if (!quad_.Open(device_, kWidth, kHeight)) {
            error = "the quad's program does not build";
            return false;
        }
        // The first frames make what the draw makes on first use, and the software
        // renderer compiles its shader variants for both kinds of frame.
        for (int frame = 0; frame < 3; ++frame) {
            Frame(nullptr);
            quad_.Frame();
        }
        return true;
    }

    // The battle at its busiest: every spot filled, the attackers sent in one by one
    // so that they spread along the routes, the battle run and drawn until missiles fly;
    // then the first defender selected and a tooltip shown.
    bool Populate(std::string& error) {
        CDunmarchGame& battle = *window_->GetBattle();
        ResetFrameClock();
        const auto step = [&] {
            ResetFrameClock();
            clock_->Advance(33);
            TickFrameClock();
            window_->Update();
            Frame(nullptr);
        };
        step();  // scene objects and the keeper
        // A player would click the modified-data warning away (this build's data need not
        // carry the stamp's checksum).
        battle.CloseWarning();
        CLevel& level = *battle.GetLevel();
        UnitList& units = level.GetUnitList();
        size_t kind = 0;
        const size_t kinds = sizeof(gd::kPurchasableDefenders) / sizeof(gd::kPurchasableDefenders[0]);
        for (const boost::weak_ptr<CSpawnPoint>& spot : level.GetSpawnPoints(CSpawnPoint::kDefenderSlot))
            units.SpawnUnit(gd::kPurchasableDefenders[kind++ % kinds], spot, CUnit::kDefender, false, true);
        int sent = 0;
        for (int frame = 0; frame < 900 && (sent < kAttackers || level.GetMissiles().size() < 3); ++frame) {
            if (sent < kAttackers && frame % 6 == 0) {
                units.SpawnUnitAt(sent % 3 == 2 ? gd::kOrcArcher : gd::kOrcWarrior, 0, CUnit::kAttacker, false, true);
                ++sent;
            }
            step();
        }
        if (level.GetMissiles().empty()) {
            error = "no missile in flight";
            return false;
        }
        for (const boost::shared_ptr<CUnit>& unit : units.GetUnits())
            if (unit->GetSide() == CUnit::kDefender && unit->IsAlive()) {
                level.SelectDefender(unit);
                break;
            }
        if (GlobalTooltip)
            GlobalTooltip->Show(
                GetLocalizedText(SpeedButtons[0].tooltipKey),
                Vector2(static_cast<float>(SpeedButtons[0].x), static_cast<float>(SpeedButtons[0].y + 60)));
        std::printf("battle frame: %d units (%d attackers alive), %zu missiles in flight\n", units.GetCount(),
                    units.CountLivingAttackers(), level.GetMissiles().size());
        return true;
    }

    // One frame as the in-game window draws it, presented; with `pixels`, read back first.
    void Frame(std::vector<DWORD>* pixels) {
        Graphics::GraphicsDevice* graphics = Service<Graphics::GraphicsDevice>::Get();
        graphics->BeginScene();
        window_->Draw();
        graphics->EndScene();
        if (pixels != nullptr) d3d9::ReadBackBuffer(device_, pixels, nullptr, nullptr);
        device_->Present(nullptr, nullptr, nullptr, nullptr);
    }

    void BattleFrames() {
        const long before = testsupport::Allocations();
        for (int frame = 0; frame < kFrames; ++frame) Frame(frame + 1 == kFrames ? &pixels_ : nullptr);
        allocations_ += testsupport::Allocations() - before;
        battle_frames_ += kFrames;
        benchmark::DoNotOptimize(pixels_.data());
    }

    void QuadFrames() {
        for (int frame = 0; frame < kFrames; ++frame) quad_.Frame(frame + 1 == kFrames ? &pixels_ : nullptr);
        benchmark::DoNotOptimize(pixels_.data());
    }

    std::string Error() const {
        const std::vector<std::string> errors = d3d9::GetErrors(device_);
        return errors.empty() ? std::string() : errors.front();
    }

    double AllocationsPerFrame() const {
        return battle_frames_ > 0 ? double(allocations_) / double(battle_frames_) : 0.0;
    }

private:
    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    std::unique_ptr<platform::ScopedFakeClock> clock_;
    std::unique_ptr<Morvane::CGame> game_;
    Morvane::GameWindow* window_ = nullptr;
    benchsupport::QuadFrame quad_;
    std::vector<DWORD> pixels_;
    long allocations_ = 0;
    long battle_frames_ = 0;
};

// Made once by main; the program ends without taking it down (the driver, the game and
// its services stay until exit).
BattleFrame* g_battle = nullptr;
benchsupport::ByTurns g_turns;

void BM_QuadFrames(benchmark::State& state) {
    for (auto _ : state) g_battle->QuadFrames();
    state.counters["frames"] = kFrames;
}

void BM_BattleFrames(benchmark::State& state) {
    for (auto _ : state) g_battle->BattleFrames();
    state.counters["frames"] = kFrames;
}

// Both by turns within each iteration; the ratio comes from here.
void BM_ByTurns(benchmark::State& state) {
    for (auto _ : state) g_turns.Turn([] { g_battle->QuadFrames(); }, [] { g_battle->BattleFrames(); });
    state.counters["ratio"] = g_turns.MedianRatio();
}

BENCHMARK(BM_QuadFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BattleFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ByTurns)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5.0);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (chdir(DM_BENCH_GAME_DIR) != 0) {
        std::fprintf(stderr, "no game folder %s (build the sample_data target)\n", DM_BENCH_GAME_DIR);
        return 1;
    }
    SDL_Window* window = benchsupport::OpenBenchWindow("bench_battleframe", kWidth, kHeight);
    if (window == nullptr) return 1;
    g_battle = new BattleFrame();
    std::string error;
    if (!g_battle->Open(window, error)) {
        std::fprintf(stderr, "bench_battleframe: %s\n", error.c_str());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    if (!g_battle->Error().empty()) {
        std::fprintf(stderr, "bench_battleframe: %s\n", g_battle->Error().c_str());
        return 1;
    }
    if (g_turns.Turns() > 0) {
        std::printf("battle frame / quad frame, by turns: median %.3f of %zu turns (%.3f to %.3f; goal: at most 2.5)\n",
                    g_turns.MedianRatio(), g_turns.Turns(), g_turns.MinRatio(), g_turns.MaxRatio());
        std::printf("battle frame %.2f ms, quad frame %.2f ms (means of the turns)\n",
                    g_turns.SecondSeconds() * 1000.0 / kFrames, g_turns.FirstSeconds() * 1000.0 / kFrames);
    }
    std::printf("heap allocations per battle frame after the first: %.2f (goal: 0)\n", g_battle->AllocationsPerFrame());
    return 0;
}
