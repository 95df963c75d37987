#pragma once
// Stand-in until the battle object exists: the few things of CDunmarchGame that the
// world objects and the level read now (the "World" group, the keeper's name), the
// process-wide MapTransform and the shared materials. The battle task replaces this file.
#include <cstdint>
#include <string>

#include <boost/shared_ptr.hpp>

namespace sg {
class Group;
class Material;
}  // namespace sg

// Translation x, y, z, then rotation x, y, z in degrees, from the map view.
struct MapTransformRecord {
    int32_t tx = 0, ty = 0, tz = 0;
    int32_t rx = 0, ry = 0, rz = 0;
};
extern MapTransformRecord MapTransform;

class CDunmarchGame {
public:
    explicit CDunmarchGame(const std::string& mapName);
    ~CDunmarchGame();

    boost::shared_ptr<sg::Group> GetWorldGroup() const { return world_group_; }
    // The first name of the map's "availability" list whose defender definition has
    // the type "DungeonKeeper"; empty without one. One process-wide string, overwritten
    // by every call.
    const std::string& GetKeeperName() const;

private:
    std::string map_name_;
    boost::shared_ptr<sg::Group> world_group_;
};

// Slots 0 to 3; the battle fills 0, 1 and 3, slot 2 stays empty. The stand-in fills none.
boost::shared_ptr<sg::Material> GetSharedMaterial(int32_t index);
