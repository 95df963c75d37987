#pragma once
// The battle on one map: its level, scene, waves, gold and score, the demo recorder
// and the HUD's state. Registered as Service<CDunmarchGame> by the in-game window.
//
// The definition and configuration look-ups are static: they need the dictionary and
// the configuration services, not a battle.
#include <cstdint>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Classes/Battle/FloatingText.h"
#include "Classes/Level/WaveRunner.h"
#include "Maths/CameraBoundary.h"
#include "Maths/Color.h"
#include "Maths/IntVector3.h"
#include "Maths/Vector2.h"
#include "Maths/Vector3.h"

class CInputMonitor;
class MemoryStream;
struct DemoInput;
struct HudButton;
struct HudInfoItem;
struct TouchEvent;
class CLevel;
class CSpawnPoint;
class CUnit;
struct AttackerDefinition;
struct DefenderDefinition;
struct MapDefinition;
struct NamedColor;
struct SpawnPointType;
struct SpellDefinition;
struct WaveDefinition;
struct WeaponDefinition;

namespace Graphics {
class GraphicsDevice;
class Texture2D;
}  // namespace Graphics

namespace sg {
class Camera;
class Group;
class Light;
class Material;
class ModelNode;
class Scene;
}  // namespace sg

// Translation x, y, z, then rotation x, y, z in degrees, from the map view; read by
// every object node.
struct MapTransformRecord {
    int32_t tx = 0, ty = 0, tz = 0;
    int32_t rx = 0, ry = 0, rz = 0;
};
extern MapTransformRecord MapTransform;

// The battle's debug drawing, all off; nothing in the game's flow turns them on.
struct BattleDebugSwitches {
    int32_t text = 0;        // counters and timings
    int32_t viewPoints = 0;  // the camera boundary's view points
    int32_t axes = 0;
    int32_t gridMode = 0;    // 0 none, 1 the grid's outline, 2 every cell
    int32_t occupancy = 0;   // occupied cells (level overlay)
    int32_t brains = 0;      // each unit's brain state (level overlay)
    int32_t pickFrames = 0;  // pick rectangles (level overlay)
};
extern BattleDebugSwitches DebugSwitches;

// 1 while the battle screen is in front: from a successful set-up until Stop or until
// the in-game menu opens.
extern int32_t BattleActive;

class CDunmarchGame {
public:
    enum State { kStarting = 0, kRunning = 1, kOver = 2 };
    enum Result { kUndecided = -1, kVictory = 0, kDefeat = 1 };
    // The battle's fixed step, milliseconds.
    static constexpr int32_t kStepTime = 33;
    // Milliseconds: a paused battle plays on by itself after the pause time-out; a wave
    // begins the start delay after the summary closed, which closes by itself after its
    // time-out; a finished battle may be left after the end delay.
    static constexpr int32_t kPauseTimeout = 1801000;
    static constexpr int32_t kWaveStartDelay = 1000;
    static constexpr int32_t kSummaryTimeout = 30000;
    static constexpr int32_t kEndDelay = 3000;

    // Initial values, an empty camera boundary, and fresh shared materials 0, 1 and 3.
    explicit CDunmarchGame(const std::string& mapName);
    // The tooltip slot first, then the members in reverse order.
    ~CDunmarchGame();
    CDunmarchGame(const CDunmarchGame&) = delete;
    CDunmarchGame& operator=(const CDunmarchGame&) = delete;

    // ---- definitions in the game dictionary; null without the entry or the dictionary ----
    static const MapDefinition* FindMapDefinition(const std::string& name);
    static const WaveDefinition* FindWaveDefinition(int32_t id);
    static const AttackerDefinition* FindAttackerDefinition(const std::string& name);
    static const DefenderDefinition* FindDefenderDefinition(const std::string& name);
    static const WeaponDefinition* FindWeaponDefinition(int32_t id);
    // The first name of the map's "availability" list whose defender is of the type
    // "DungeonKeeper"; empty without one. One process-wide string, overwritten by
    // every call.
    const std::string& GetKeeperName() const;
    // The wave number (from 1) of the map's "availability" entry of that name; 0 without.
    int32_t GetAvailabilityWave(const std::string& name) const;

    // ---- configuration; null without the entry or the configuration ----
    // Entry [level] of the spells of kind 0 to 2.
    static const SpellDefinition* GetSpellDefinition(int32_t kind, int32_t level);
    // The value of the weapon of the spell of that kind at the keeper's weapon level; 0
    // without keeper, entry or weapon.
    int32_t GetSpellValue(int32_t kind) const;
    // Names compared without regard to case; null for a null or empty name.
    static const NamedColor* FindColor(const char* name);
    static const SpawnPointType* FindSpawnPointType(int32_t type);

    // ---- set-up and tear-down ----
    // Before Init: the battle replays "test.dem" of the current folder instead of taking
    // the player's input (and records nothing).
    void SetDemoPlayback(int32_t on) { demo_playback_ = on != 0 ? 1 : 0; }
    // The whole set-up, once: HUD, level, camera and boundary, scene, map models, light,
    // waves, music, the HUD's layout; BattleActive set. 0 before any scene without a map
    // definition or level. continuing: a savegame is loaded right after (the camera is
    // not moved to the keeper).
    int32_t Init(bool continuing);
    // No HUD button pressed or highlighted.
    void InitHud();
    // Gold from the map, and a new level for it, registered as the level service when
    // that slot is free; 0 for an empty name or one without a map definition.
    int32_t LoadLevel(const std::string& mapName);
    // A runner per wave entry of the map whose wave is defined, in order; 0 without map.
    int32_t CreateWaveRunners(const std::string& mapName);
    // BattleActive cleared, the level emptied and no longer the level service.
    void Stop();

    // ---- savegame ----
    // The battle's section: counters, wave runners, camera eye, cooldowns, the level's
    // section and the recording (an empty one for a battle in playback); 1.
    int32_t Save(MemoryStream& stream) const;
    // On a battle set up for the saved map with the continue flag: the section read and
    // the battle rebuilt, a live battle restored (load count + 1) at its saved speed; a
    // paused one keeps its pause time-out. 0 for a section it cannot use: cut short, a
    // count or length negative or beyond the data, another map or spot count, a name
    // the game data does not give, a number out of its range (CheckSection,
    // CLevel::CheckState). The whole section is read and checked before the battle
    // takes any of it; the battle is not to be used after a failure all the same.
    int32_t Load(MemoryStream& stream);

    // ---- camera geometry ----
    // From the eye toward (eye x, camera target height, 0), normalised.
    void UpdateViewDirection();
    // From the eye along the view direction to the ground (z = 0); 1 when it never meets it.
    float GetGroundDistance() const;
    // The set-up's ground distance over today's; 1 when today's is about 0.
    float GetZoomFactor() const;

    // The eye moved, held inside the camera boundary; the view direction stays.
    void PanCamera(const Vector3& delta);
    void PanCamera(float dx, float dy, float dz) { PanCamera(Vector3(dx, dy, dz)); }
    // Unless continuing, the camera goes along x to the level's first keeper place.
    void FocusFirstSpawnPoint(int32_t continuing);

    // ---- the HUD's layout file ----
    // "ingame.xml" of the configured ui folder: items move the table rows named so, the
    // last shift and the named coords are taken. Nothing changes without the file.
    void ReadHudLayout();
    // The tables as a layout file at the path; 0 when it cannot be written.
    int32_t WriteHudLayout(const std::string& path) const;

    // ---- the battle step ----
    // One fixed step of dt ms. Paused (or a pending warning while running) only keeps the
    // score and the frozen level and scene current; last marks the frame's last sub-step.
    void Update(int32_t dt, bool paused, bool last);
    // Once a frame: while paused the pause time-out runs down with the frame time, and
    // at its end the battle plays on at normal speed.
    void TickPauseTimeout();
    void BeginWave(int32_t index);
    void EndWave(int32_t index);
    // kDefeat when the keeper is gone (or the defeat flag is set), kVictory when every
    // wave is over, else kUndecided.
    int32_t CheckResult() const;
    void EndBattle();
    // The wave's entries above the gold held now are dropped.
    void StartWaveRunner(int32_t index);
    // Worth of the defenders, the dead included and the keeper left out, plus gold.
    void UpdateScore();
    void ResetSpellCooldowns();
    // The first defender of the map's availability list available from wave n + 1.
    std::string GetNextDefenderUnlock(const std::string& mapName, int32_t n) const;
    // Closes the summary box and clears the summary flag.
    void CloseSummary(int32_t record);
    // Reached by the step of a replay at the demo's last frame; there is nothing to do.
    void OnDemoEnded() {}

    // ---- input ----
    // Routes one pointer event: camera drag and zoom (right button), the boxes, the HUD
    // buttons' press and release, the map, and leaving a finished battle. While a demo
    // plays (demo) live input only moves the camera.
    void OnPointerInput(const TouchEvent& event, bool demo);
    // As a released HUD button: 0 buys defender index at the selected spot; 1 to 6 the
    // action of that id on the first selected defender; 7 to 9 a spell at the selected
    // attacker. Anything else does nothing.
    void SelectButton(int32_t group, int32_t index);
    // Running, no summary and no warning: paused, normal, double, paused...
    void CycleSpeed();
    // After a load: the previous speed mode applied afresh.
    void ReapplySpeedMode();
    // Posts EvInGameMenuPressed; the battle screen is no longer in front.
    void OpenInGameMenu();
    // One recorded action through the same checks as a live one; other types ignored.
    void ApplyRecordedInput(const DemoInput& input);
    // The demo player's inputs due at the step counter; none without a player.
    std::vector<DemoInput> GetDueInputs() const;
    // The first row whose rectangle holds the point, edges included; -1 for none.
    static int32_t HitTestButtons(const HudButton* buttons, int32_t count, const Vector2& point);
    static int32_t HitTestInfoItems(const HudInfoItem* items, int32_t count, const Vector2& point);
    // Which button group the HUD offers; all false without a level.
    bool HasSelectedSpot() const;
    bool HasSelectedDefenders() const;
    bool HasSelectedAttacker() const;
    // Called by the level whenever its selection changes: the group now offered flashes.
    void RestartHighlights();
    // Selected defenders that no longer exist leave the selection.
    void PruneSelection();
    // Closes the modified-data warning.
    void CloseWarning();
    // Zooms the camera toward (z > 0) or away from its target.
    void ZoomCamera(float z);

    // ---- the HUD's actions: checks, prices and orders ----
    // Each check answers 1 when the action is possible; tooExpensive is set to 1 only when
    // the gold alone is missing. Null out-flags are allowed.
    int32_t CanBuy(const std::string& name, const boost::shared_ptr<CSpawnPoint>& spot, int32_t* tooExpensive) const;
    int32_t CanHeal(const boost::shared_ptr<CUnit>& unit, int32_t* tooExpensive, int32_t* resurrection) const;
    int32_t CanTeleport(const boost::shared_ptr<CUnit>& unit, int32_t* tooExpensive) const;
    // A defender waiting to hide counts as hidden.
    int32_t CanHide(const boost::shared_ptr<CUnit>& unit, int32_t* tooExpensive, int32_t* hidden) const;
    int32_t CanUpgrade(const boost::shared_ptr<CUnit>& unit, int32_t stat, int32_t* tooExpensive,
                       int32_t* nonDamageWeapon) const;
    int32_t CanSell(const boost::shared_ptr<CUnit>& unit) const;
    int32_t CanCast(int32_t kind, const boost::shared_ptr<CUnit>& target, int32_t* tooExpensive) const;
    int32_t CanHealAll(const std::vector<boost::weak_ptr<CUnit>>& units, int32_t* tooExpensive,
                       int32_t* resurrection) const;
    int32_t CanHideAll(const std::vector<boost::weak_ptr<CUnit>>& units, int32_t* tooExpensive, int32_t* hidden) const;
    int32_t CanSellAll(const std::vector<boost::weak_ptr<CUnit>>& units) const;

    // Each runs its check again, records itself, then acts and pays.
    void BuyDefender(const boost::shared_ptr<CSpawnPoint>& spot, int32_t button);
    void HealUnit(const boost::shared_ptr<CUnit>& unit);
    // Teleport targeting on or off; the teleport is paid when a spot is picked.
    void ToggleTeleportMode(const boost::shared_ptr<CUnit>& unit);
    // A hide order is paid when given; cancelling it, or unhiding, is free.
    void ToggleHide(const boost::shared_ptr<CUnit>& unit);
    void UpgradeUnit(const boost::shared_ptr<CUnit>& unit, int32_t stat);
    void SellUnit(const boost::shared_ptr<CUnit>& unit);
    // Kind 0 slowdown, 1 firestorm, 2 lightning: the keeper's missile at the target.
    void CastSpell(int32_t kind, const boost::shared_ptr<CUnit>& target);
    // The single action on each unit of the list whose single check passes, in order.
    void HealAll(const std::vector<boost::weak_ptr<CUnit>>& units);
    void HideAll(const std::vector<boost::weak_ptr<CUnit>>& units);
    void SellAll(const std::vector<boost::weak_ptr<CUnit>>& units);

    // Prices in gold; 0 without unit or definition.
    static int32_t GetBuyPrice(const std::string& name);
    static int32_t GetSellValue(const boost::shared_ptr<CUnit>& unit);
    static int32_t GetHealPrice(const boost::shared_ptr<CUnit>& unit);
    static int32_t GetTeleportPrice(const boost::shared_ptr<CUnit>& unit);
    static int32_t GetHidePrice(const boost::shared_ptr<CUnit>& unit);
    static int32_t GetUpgradePrice(const boost::shared_ptr<CUnit>& unit, int32_t stat);
    int32_t GetSpellPrice(int32_t kind) const;
    int32_t GetSellValueAll(const std::vector<boost::weak_ptr<CUnit>>& units) const;
    static int32_t GetHealPriceAll(const std::vector<boost::weak_ptr<CUnit>>& units);
    static int32_t GetHidePriceAll(const std::vector<boost::weak_ptr<CUnit>>& units);
    // Cool-down of the spell kind as percent of its full length; 0 without an entry.
    float GetCooldownPercent(int32_t kind) const;
    int32_t GetCooldown(int32_t kind) const { return GetSpellCooldown(kind); }
    // The recorder gets {step counter, type, x, y} while the battle is not over.
    void RecordInput(int32_t type, int32_t x, int32_t y);

    // ---- debug operations; nothing in the game's flow calls them ----
    // Once per battle: the recording into a ".dem" file of the current folder, when
    // there is one and no demo plays.
    void SaveDemoOnce();
    // The recording's inputs on the standard output.
    void DumpInputs() const;
    // The ids of the living attackers on the standard output, between two rules.
    void PrintAttackers() const;
    // Each flips one debug switch; the grid cycles through none, outline and every cell.
    // The occupancy layer also hides the scenery of the grid while it is on, so that the
    // cells' markers stand clear.
    void ToggleOccupancyDebug();
    void ToggleDebugText();
    void ToggleViewPointsDebug();
    void ToggleAxesDebug();
    void CycleGridDebug();
    void ToggleBrainsDebug();
    void TogglePickFramesDebug();

    // ---- drawing ----
    // The HUD pass inside the 2D layer's Begin and End: nothing without the main font.
    void DrawBattle();
    // "TextAttack" and the wave's number, centred, in the title font.
    void DrawWaveTitle(int32_t yOffset, int32_t waveIndex) const;
    // Once a frame: shows the tooltip of what the pointer rested on for a second, hides it
    // when the pointer moves. Never during demo playback.
    void UpdateTooltip();
    // The text the summary box shows while it is open.
    std::wstring BuildSummaryText() const;
    // The scene, culled, sorted and drawn, then the 2D pass; nothing without a level or
    // before the first step.
    void Draw();

    // ---- speed modes ----
    // Paused: the scene stops and the pause time-out starts at 1801 s.
    void Pause();
    void PlayNormal();
    void PlayDouble();

    // ---- gold and floating texts ----
    // Negative amounts pay.
    void AddGold(int32_t amount);
    void AddFloatingText(const std::string& text, const IntVector3& position);
    void AddFloatingText(const std::string& text, const IntVector3& position, const Color& color);

    // ---- what the units, the level and the HUD read ----
    const std::string& GetMapName() const { return map_name_; }
    int32_t GetState() const { return state_; }
    bool IsRunning() const { return state_ == kRunning; }
    bool IsOver() const { return state_ == kOver; }
    int32_t GetResult() const { return result_; }
    int32_t GetLoadCount() const { return load_count_; }
    uint32_t GetStepCounter() const { return step_counter_; }
    int32_t GetWaveStepCounter() const { return wave_step_counter_; }
    int32_t GetSpeedMode() const { return speed_mode_; }
    int32_t GetWaveIndex() const { return wave_index_; }
    int32_t GetScore() const { return score_; }
    int32_t GetGold() const { return gold_; }
    int32_t IsRestored() const { return restored_; }
    bool IsPlayingDemo() const { return demo_playback_ != 0 && player_; }
    // The tick count at the first step of a replay; 0 before.
    uint32_t GetDemoStartTime() const { return demo_start_time_; }
    const boost::shared_ptr<CLevel>& GetLevel() const { return level_; }
    const boost::shared_ptr<CInputMonitor>& GetInputMonitor() const { return recorder_; }
    const boost::shared_ptr<CInputMonitor>& GetDemoPlayer() const { return player_; }
    // The scene root "World": every object node hangs under it. Empty until set-up.
    const boost::shared_ptr<sg::Group>& GetWorldGroup() const { return world_; }
    const boost::shared_ptr<sg::Scene>& GetScene() const { return scene_; }
    const boost::shared_ptr<sg::Camera>& GetCamera() const { return camera_; }
    const boost::shared_ptr<Graphics::Texture2D>& GetInterfaceTexture() const { return hud_texture_; }
    const std::vector<FloatingText>& GetFloatingTexts() const { return floating_texts_; }
    const CameraBoundary& GetCameraBoundary() const { return camera_boundary_; }
    int32_t GetWaveStartDelay() const { return wave_start_delay_; }
    int32_t GetSummaryTimeout() const { return summary_timeout_; }
    bool IsSummaryShown() const { return summary_shown_ != 0; }
    int32_t GetEndDelay() const { return end_delay_; }
    int32_t GetPauseTimeout() const { return pause_timeout_; }
    int32_t GetElapsedTime() const { return elapsed_time_; }
    int32_t GetWaveGold() const { return wave_gold_; }
    int32_t GetBonusGold() const { return bonus_gold_; }
    int32_t GetSurvivalGold() const { return survival_gold_; }
    const std::string& GetNewlyAvailableDefender() const { return newly_available_defender_; }
    int32_t GetSpellCooldown(int32_t kind) const { return kind >= 0 && kind < 3 ? spell_cooldowns_[kind] : 0; }
    const std::vector<WaveRunner>& GetWaveRunners() const { return wave_runners_; }
    const Vector3& GetCameraEye() const { return camera_eye_; }
    const Vector3& GetViewDirection() const { return view_direction_; }

private:
    // The battle's own part of a savegame section as read, before it is checked.
    struct SavedBattle {
        std::string mapName;
        int32_t state = 0, result = 0, loadCount = 0;
        uint32_t steps = 0;
        int32_t elapsed = 0, speedMode = 0, waveIndex = 0;
        std::vector<WaveRunner> runners;
        Vector3 eye;
        int32_t score = 0, gold = 0, warningPending = 0, summaryShown = 0, pauseTimeout = 0, demoPlayback = 0;
        int32_t demoSaveRequest = 0, defeatFlag = 0, waveGold = 0, bonusGold = 0, survivalGold = 0;
        std::string newlyAvailableDefender;
        int32_t waveStartDelay = 0, summaryTimeout = 0, endDelay = 0;
        int32_t cooldowns[3] = {0, 0, 0};
    };
    // Each value within what this battle could have written, the runners those its
    // set-up made as far as they could have come.
    bool CheckSection(const SavedBattle& saved) const;
    void TakeSection(const SavedBattle& saved);

    void RunWaves(int32_t dt, bool last);
    void ReflagSpeedButtons();
    // The right button: a press starts a drag, a move pans (zooms with Shift), a release
    // ends it.
    void DragCamera(int32_t phase, const Vector2& position, int32_t w, int32_t h);
    // The HUD buttons' part of a running battle's left-button event; true when handled.
    bool OnHudButtons(int32_t phase, const Vector2& point, bool demo);
    // The action of a released action button on the selection.
    void RunAction(int32_t id);
    // The keeper of the unit list; empty without level or keeper.
    boost::shared_ptr<CUnit> GetKeeper() const;
    Vector2 ScreenSize() const;
    void DrawIcon(const HudButton& button, bool second, const Color& colour) const;
    void DrawBevel(const HudButton& button, bool bright) const;
    void DrawPrice(const HudButton& button, int32_t price, const Color& colour) const;
    void DrawFlash(const HudButton& button) const;
    // The button's available field from its check; when available its icon, bevel, price
    // and flash.
    void DrawButton(HudButton& button, int32_t possible, int32_t tooExpensive, int32_t second, int32_t price,
                    bool alwaysAffordable) const;
    void DrawButtonGroup();
    void DrawEndPanel(int32_t w, int32_t h) const;
    void DrawDebugText(const WaveRunner& runner, int32_t w, int32_t h) const;
    void DrawDebugLines() const;

    // Tests set what the battle's set-up and steps set.
    friend struct BattleTestAccess;

    std::string map_name_;
    int32_t state_;
    int32_t result_;
    int32_t load_count_;
    uint32_t step_counter_;
    int32_t wave_step_counter_;
    int32_t elapsed_time_;
    int32_t speed_mode_;
    int32_t wave_index_;
    std::vector<WaveRunner> wave_runners_;
    int32_t score_;
    int32_t gold_;
    int32_t warning_pending_;
    int32_t summary_shown_;
    int32_t pause_timeout_;
    int32_t demo_playback_;
    int32_t demo_save_request_;
    int32_t defeat_flag_;
    int32_t wave_gold_;
    int32_t bonus_gold_;
    int32_t survival_gold_;
    std::string newly_available_defender_;
    int32_t wave_start_delay_;
    int32_t summary_timeout_;
    int32_t end_delay_;
    int32_t spell_cooldowns_[3];
    boost::shared_ptr<CLevel> level_;
    boost::shared_ptr<CInputMonitor> recorder_;
    boost::shared_ptr<CInputMonitor> player_;
    uint32_t demo_start_time_;
    Vector3 camera_eye_;
    float camera_target_height_;
    boost::shared_ptr<sg::Camera> camera_;
    boost::shared_ptr<sg::Scene> scene_;
    boost::shared_ptr<sg::Group> world_;
    boost::shared_ptr<sg::ModelNode> map_models_[2];
    boost::shared_ptr<sg::Light> light_;
    Vector3 view_direction_;
    CameraBoundary camera_boundary_;
    boost::shared_ptr<Graphics::Texture2D> hud_texture_;
    std::vector<FloatingText> floating_texts_;
    int32_t last_pointer_phase_;
    int32_t last_pointer_button_;
    int32_t left_held_;
    int32_t right_held_;
    int32_t hud_press_active_;
    int32_t pressed_index_;
    Vector2 last_drag_position_;
    Graphics::GraphicsDevice* graphics_device_;
    float field_of_view_;
    float reference_distance_;
    int32_t restored_;
    Vector3 view_points_[6];
};

// Shared material slots 0 to 3 (slot 2 stays empty); an empty pointer for any other index.
boost::shared_ptr<sg::Material> GetSharedMaterial(int32_t index);

// 2 for 1, 1 for 2, 0 for anything else.
int32_t GetOppositeSide(int32_t side);
