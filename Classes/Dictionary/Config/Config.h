#pragma once
// The record read from "config.xml": where the data lives (resource roots and one
// folder per kind of content), the playable maps, the spells, named colours, spawn-point
// types and the web endpoints. Filled once at start-up, read-only afterwards.
#include <cstdint>
#include <string>
#include <vector>

#include "Maths/Color.h"

struct SpellDefinition {
    int32_t weapon;
    int32_t price;     // gold
    int32_t cooldown;  // seconds
};

struct NamedColor {
    std::string name;
    Color color;
};

struct SpawnPointType {
    int32_t type;
    int32_t value;
};

struct StringTriple {
    std::string first;
    std::string second;
    std::string third;
};

class Config {
public:
    // Folder values end with their separator: file names are appended directly.
    struct PathSet {
        std::string ResourcesIphonePath;
        std::string ResourcesIphone4Path;
        std::string ResourcesIpadPath;
        std::string ResourcesPcPath;  // the graphics root of this platform
        std::string ResourcesMacPath;
        std::string ResourcesCommonPath;
        std::string UiPath;
        std::string UiTexturePath;
        std::string TexturesPath;
        std::string FontsPath;
        std::string MeshesPath;
        std::string AnimsPath;
        std::string ParticlesPath;
        std::string MapViewsPath;
        std::string LogicPath;
        std::string SoundsPath;
        std::string VideosPath;
        std::string LanguagePath;
        std::string DefendersPath;
        std::string AttackersPath;
        std::string WeaponsPath;
        std::string MapsPath;
        std::string WavesPath;
    };

    enum SpellKind { kSlowdown = 0, kFirestorm = 1, kLightning = 2, kSpellKinds = 3 };

    // Fills the record from the file, element by element in document order. A folder
    // element before the root it needs fails an assertion and is joined to the empty
    // root. A missing, empty or malformed file is reported on stderr and gives false;
    // whatever was read before the fault stays.
    bool Read(const char* fileName);

    PathSet Paths;
    std::vector<std::string> Maps;
    std::vector<SpellDefinition> Spells[kSpellKinds];
    std::vector<NamedColor> Colors;
    std::vector<SpawnPointType> SpawnPointTypes;
    std::string Submission[2];
    StringTriple Website;
    StringTriple BannerSite;
    StringTriple Interface;
};
