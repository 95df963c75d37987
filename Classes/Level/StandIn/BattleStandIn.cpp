#include "Classes/Level/StandIn/BattleStandIn.h"

#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Core/Service.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/Material.h"

MapTransformRecord MapTransform;

CDunmarchGame::CDunmarchGame(const std::string& mapName) : map_name_(mapName), world_group_(new sg::Group("World")) {}

CDunmarchGame::~CDunmarchGame() = default;

const std::string& CDunmarchGame::GetKeeperName() const {
    static std::string name;
    name.clear();
    if (!Service<GameDictionary>::Exists()) return name;
    const GameDictionary* dictionary = Service<GameDictionary>::Get();
    const MapDefinition* map = dictionary->FindMap(map_name_);
    if (map == nullptr) return name;
    for (const MapAvailability& entry : map->availability) {
        const DefenderDefinition* defender = dictionary->FindDefender(entry.defender);
        if (defender != nullptr && defender->type == kUnitDungeonKeeper) {
            name = entry.defender;
            break;
        }
    }
    return name;
}

boost::shared_ptr<sg::Material> GetSharedMaterial(int32_t) { return boost::shared_ptr<sg::Material>(); }
