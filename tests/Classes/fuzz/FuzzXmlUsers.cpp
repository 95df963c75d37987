// Any bytes as each of the game's XML files: the configuration, a clip table, every
// kind of game-data file and map view, and a level file. Each reader either reads
// what it can or refuses the file; none may crash.
#include <cstdint>
#include <string>

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Classes/Level/CLevel.h"
#include "Core/Assert.h"
#include "Graphics/AnimationClips/AnimationClips.h"
#include "tests/support/FuzzInput.h"

namespace {
// The readers' failed checks are part of their answer here, not findings.
void Quiet(const char*, const char*, const char*, int) {}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SetAssertionHandler(&Quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    const std::string path = fuzzinput::WriteInput(data, size);
    if (path.empty()) return 0;

    Config config;
    config.Read(path.c_str());
    (void)Graphics::AnimationClips::LoadFromFile(path);

    GameDictionary dictionary;
    GameDictionary::WeaponTable weapons;
    GameDictionary::AttackerTable attackers;
    GameDictionary::DefenderTable defenders;
    GameDictionary::WaveTable waves;
    GameDictionary::MapTable maps;
    MapDefinition view;
    dictionary.ReadWeapons(path, weapons);
    dictionary.ReadAttackers(path, attackers);
    dictionary.ReadDefenders(path, defenders);
    dictionary.ReadWaves(path, waves);
    dictionary.ReadMaps(path, maps, config);
    dictionary.ReadMapView(path, view);

    CLevel level("");
    level.ReadLevelFile(path);
    return 0;
}
