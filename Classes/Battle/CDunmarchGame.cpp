#include "Classes/Battle/CDunmarchGame.h"

#include <strings.h>

#include "Classes/Battle/HudTables.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Classes/Dictionary/GameDictionary/WeaponDefinition.h"
#include "Classes/Level/CLevel.h"
#include "Core/Service.h"
#include "Graphics/Texture2D.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/Light.h"
#include "SceneGraph/Material.h"
#include "SceneGraph/ModelNode.h"
#include "SceneGraph/Scene.h"

MapTransformRecord MapTransform;

namespace {

boost::shared_ptr<sg::Material> g_shared_materials[4];

// Slots 0, 1 and 3, new at every battle: nodes holding the old ones keep them.
void BuildSharedMaterials() {
    boost::shared_ptr<sg::Material> plain(new sg::Material());
    plain->SetBlending(false);
    plain->SetColor(Color(255, 255, 255, 255));

    // Hidden units: see-through and not hiding what stands behind them.
    boost::shared_ptr<sg::Material> hidden(new sg::Material());
    hidden->SetBlending(true);
    hidden->SetBlendMode(2);
    hidden->SetColor(Color(255, 255, 255, 255));
    hidden->SetOpacity(0.5f);
    hidden->SetDepthWrite(false);

    boost::shared_ptr<sg::Material> cutOut(new sg::Material());
    cutOut->SetAlphaTest(true);
    cutOut->SetAlphaReference(0.05f);
    cutOut->SetAlphaFunction(7);
    cutOut->SetDepthWrite(false);

    g_shared_materials[0] = plain;
    g_shared_materials[1] = hidden;
    g_shared_materials[3] = cutOut;
}

const GameDictionary* Dictionary() {
    return Service<GameDictionary>::Exists() ? Service<GameDictionary>::Get() : nullptr;
}

const Config* Configuration() { return Service<Config>::Exists() ? Service<Config>::Get() : nullptr; }

}  // namespace

CDunmarchGame::CDunmarchGame(const std::string& mapName)
    : map_name_(mapName),
      state_(kStarting),
      result_(-1),
      load_count_(0),
      step_counter_(0),
      wave_step_counter_(0),
      elapsed_time_(0),
      speed_mode_(1),
      wave_index_(0),
      score_(0),
      gold_(0),
      warning_pending_(0),
      summary_shown_(0),
      pause_timeout_(0),
      demo_playback_(0),
      demo_save_request_(0),
      defeat_flag_(0),
      wave_gold_(0),
      bonus_gold_(0),
      survival_gold_(0),
      wave_start_delay_(kWaveStartDelay),
      summary_timeout_(kSummaryTimeout),
      end_delay_(0),
      spell_cooldowns_{0, 0, 0},
      demo_start_time_(0),
      camera_target_height_(0.0f),
      last_pointer_phase_(4),
      last_pointer_button_(-1),
      left_held_(0),
      right_held_(0),
      hud_press_active_(0),
      pressed_index_(-1),
      graphics_device_(nullptr),
      field_of_view_(0.0f),
      reference_distance_(0.0f),
      restored_(0) {
    camera_boundary_.Clear();
    BuildSharedMaterials();
}

CDunmarchGame::~CDunmarchGame() {
    GlobalTooltip.reset();
    // The set-up published the world and the scene: no slot may outlive them.
    if (world_ && Service<sg::Group>::Exists() && Service<sg::Group>::Get() == world_.get())
        Service<sg::Group>::Unregister();
    if (scene_ && Service<sg::Scene>::Exists() && Service<sg::Scene>::Get() == scene_.get())
        Service<sg::Scene>::Unregister();
}

const MapDefinition* CDunmarchGame::FindMapDefinition(const std::string& name) {
    const GameDictionary* dictionary = Dictionary();
    return dictionary != nullptr ? dictionary->FindMap(name) : nullptr;
}

const WaveDefinition* CDunmarchGame::FindWaveDefinition(int32_t id) {
    const GameDictionary* dictionary = Dictionary();
    return dictionary != nullptr ? dictionary->FindWave(id) : nullptr;
}

const AttackerDefinition* CDunmarchGame::FindAttackerDefinition(const std::string& name) {
    const GameDictionary* dictionary = Dictionary();
    return dictionary != nullptr ? dictionary->FindAttacker(name) : nullptr;
}

const DefenderDefinition* CDunmarchGame::FindDefenderDefinition(const std::string& name) {
    const GameDictionary* dictionary = Dictionary();
    return dictionary != nullptr ? dictionary->FindDefender(name) : nullptr;
}

const WeaponDefinition* CDunmarchGame::FindWeaponDefinition(int32_t id) {
    const GameDictionary* dictionary = Dictionary();
    return dictionary != nullptr ? dictionary->FindWeapon(id) : nullptr;
}

const std::string& CDunmarchGame::GetKeeperName() const {
    static std::string name;
    name.clear();
    const MapDefinition* map = FindMapDefinition(map_name_);
    if (map == nullptr) return name;
    for (const MapAvailability& entry : map->availability) {
        const DefenderDefinition* defender = FindDefenderDefinition(entry.defender);
        if (defender != nullptr && defender->type == kUnitDungeonKeeper) {
            name = entry.defender;
            break;
        }
    }
    return name;
}

int32_t CDunmarchGame::GetAvailabilityWave(const std::string& name) const {
    const MapDefinition* map = FindMapDefinition(map_name_);
    if (map == nullptr) return 0;
    for (const MapAvailability& entry : map->availability)
        if (entry.defender == name) return entry.value;
    return 0;
}

const SpellDefinition* CDunmarchGame::GetSpellDefinition(int32_t kind, int32_t level) {
    const Config* config = Configuration();
    if (config == nullptr || kind < 0 || kind >= Config::kSpellKinds || level < 0) return nullptr;
    const std::vector<SpellDefinition>& spells = config->Spells[kind];
    return static_cast<size_t>(level) < spells.size() ? &spells[static_cast<size_t>(level)] : nullptr;
}

int32_t CDunmarchGame::GetSpellValue(int32_t kind) const {
    // The battle's own level once set up; the registered one before.
    const CLevel* level = level_ ? level_.get() : Service<CLevel>::Exists() ? Service<CLevel>::Get() : nullptr;
    if (level == nullptr) return 0;
    const boost::shared_ptr<CUnit> keeper = level->GetUnitList().FindDungeonKeeper().lock();
    if (!keeper) return 0;
    const SpellDefinition* spell = GetSpellDefinition(kind, keeper->GetUpgradeLevel(1));
    const WeaponDefinition* weapon = spell != nullptr ? FindWeaponDefinition(spell->weapon) : nullptr;
    return weapon != nullptr ? weapon->value : 0;
}

const NamedColor* CDunmarchGame::FindColor(const char* name) {
    const Config* config = Configuration();
    if (config == nullptr || name == nullptr || *name == 0) return nullptr;
    for (const NamedColor& color : config->Colors)
        if (strcasecmp(color.name.c_str(), name) == 0) return &color;
    return nullptr;
}

const SpawnPointType* CDunmarchGame::FindSpawnPointType(int32_t type) {
    const Config* config = Configuration();
    if (config == nullptr) return nullptr;
    for (const SpawnPointType& entry : config->SpawnPointTypes)
        if (entry.type == type) return &entry;
    return nullptr;
}

void CDunmarchGame::AddGold(int32_t amount) {
    // Wraps like the rest of the game's int32 arithmetic instead of overflowing.
    gold_ = static_cast<int32_t>(static_cast<uint32_t>(gold_) + static_cast<uint32_t>(amount));
}

void CDunmarchGame::AddFloatingText(const std::string& text, const IntVector3& position) {
    floating_texts_.push_back(FloatingText(text, position));
}

void CDunmarchGame::AddFloatingText(const std::string& text, const IntVector3& position, const Color& color) {
    floating_texts_.push_back(FloatingText(text, position, color));
}

boost::shared_ptr<sg::Material> GetSharedMaterial(int32_t index) {
    if (index < 0 || index > 3) return boost::shared_ptr<sg::Material>();
    return g_shared_materials[index];
}

int32_t GetOppositeSide(int32_t side) { return side == 1 ? 2 : side == 2 ? 1 : 0; }
