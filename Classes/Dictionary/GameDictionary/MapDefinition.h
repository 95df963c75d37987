#pragma once
// A map of the game data (folder "maps") with its view (folder "mapviews").
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "Maths/Vector3.h"

struct MapFiles {
    std::string mesh;
    std::string meshA;  // optional second model; empty for none
    std::string data;   // the level file in the "logic" folder
    std::string view;   // the view file in the "mapviews" folder, lower case
    std::string music;  // empty for none
};

// Screen size of the pick rectangle of one pick group.
struct PickArea {
    int32_t width = 0;
    int32_t height = 0;
};

enum MapPickGroup { kPickUnits = 1, kPickDeadUnits = 2, kPickSpawnPoints = 4 };

struct MapViewDefinition {
    enum { kPointCount = 6 };
    // 0..2 rotation about X, Y, Z in degrees; 3..5 translation; 6..8 unused.
    int32_t transformation[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    // Field of view in degrees, eye y, eye z, y of the looked-at ground point.
    float camera[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    std::vector<Vector3> points;            // the camera boundary's corners; six once a view was read
    std::map<int32_t, PickArea> pickAreas;  // by MapPickGroup
};

struct MapStats {
    int32_t gold = 0;  // the player's gold at the start
    std::string text;
};

struct MapAvailability {
    std::string defender;
    int32_t value = 0;  // the wave number (from 1) from which it can be bought
};

struct MapParticle {
    std::string name;
    Vector3 position;  // cells
};

struct MapWave {
    int32_t id = 0;
    int32_t gold = 0;
    int32_t bonusPercent = 0;
    int32_t survivalPercent = 0;
};

struct MapLight {
    // Red, green, blue 0..255 and a fourth number nothing reads.
    int32_t ambient[4] = {0, 0, 0, 0};
    int32_t diffuse[4] = {0, 0, 0, 0};
    int32_t specular[4] = {0, 0, 0, 0};
    Vector3 direction;
    float lmFactors[2] = {0.0f, 0.0f};
};

struct MapDefinition {
    std::string name;
    MapFiles files;
    MapViewDefinition view;
    MapStats stats;
    std::vector<MapAvailability> availability;
    std::vector<MapParticle> particles;
    std::vector<MapWave> waves;
    MapLight light;
};
