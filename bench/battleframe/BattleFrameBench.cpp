// A busy battle frame against the comparison quad, drawn by turns on one device at
// 1024 x 768: the sample battle with every defender spot filled, 40 attackers spread
// along the routes, the defenders' missiles in flight, the whole HUD (top bar, the
// selected defender's action buttons with prices, the speed buttons) and a tooltip,
// drawn as the in-game window draws it (scene, then the 2D pass), against a frame of
// one full-screen blended textured quad. Each side draws 10 frames and reads the
// last one back, so all its drawing is finished inside the measurement. Prints the
// median of the turns' battle / quad ratios (goal: at most 2.5) and the heap
// allocations a battle frame makes once the first has been drawn (goal: none; counted
// at the global operator new). Run with SDL_VIDEODRIVER=offscreen when there is no
// display.
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
#include "bench/support/FramesByTurns.h"
#include "particles/CSEntityParticle.h"
#include "particles/ParticleDevice.h"
#include "platform/win32/Time.h"
#include "shell/ShellGlobals.h"
#include "tools/catalogue/GameData.h"

namespace gd = catalogue::gamedata;

namespace {

constexpr int kAttackers = 40;

class BattleFrame : public benchsupport::FramesByTurns {
public:
    BattleFrame()
        : FramesByTurns(
              {"bench_battleframe", DM_BENCH_GAME_DIR, "battle frame", "BM_BattleFrames", 2.5, 10, 1024, 768}) {}

protected:
    bool Build(std::string& error) override {
        g_d3d = d3d();
        g_d3dDevice = device();
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
        return Populate(error);
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

    // One frame as the in-game window draws it.
    void Frame(std::vector<DWORD>* pixels) override {
        Graphics::GraphicsDevice* graphics = Service<Graphics::GraphicsDevice>::Get();
        graphics->BeginScene();
        window_->Draw();
        graphics->EndScene();
        if (pixels != nullptr) d3d9::ReadBackBuffer(device(), pixels, nullptr, nullptr);
        device()->Present(nullptr, nullptr, nullptr, nullptr);
    }

private:
    std::unique_ptr<platform::ScopedFakeClock> clock_;
    std::unique_ptr<Morvane::CGame> game_;
    Morvane::GameWindow* window_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    // Left alive until exit: the driver, the game and its services stay until then.
    return (new BattleFrame())->Main(argc, argv);
}
