// Every catalogued particle effect through the effect cache as the game loads it, with
// its textures through the world texture loader on the recording null device: its
// format version, blocks, entries and textures. Every effect the game data, the maps
// and their level files name must be catalogued (under the lower-case name the game
// opens it by) and every catalogued one must be there and load whole.
#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CLevelObject.h"
#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Graphics/Texture2D.h"
#include "IO/File.h"
#include "particles/CSArchive.h"
#include "particles/CSTexture.h"
#include "particles/ParticleEffectCache.h"
#include "tools/catalogue/ParticleEffects.h"
#include "tools/datacheck/Check.h"
#include "tools/datacheck/DictionaryInService.h"
#include "tools/datacheck/NullGraphics.h"
#include "tools/datacheck/ScopedService.h"

namespace {

namespace fx = catalogue::particles;
using TextureLoader = Content::ContentLoader<Graphics::Texture2D>;

// Every effect the game data and the levels name, with who names it.
void CheckNamed(const Config& config, const GameDictionary& dictionary, datacheck::Report& report) {
    std::set<std::string> reported;
    auto named = [&](const std::string& name, const std::string& by) {
        if (name.empty()) return;
        const std::string opened = datacheck::Lower(name);
        if (fx::Find(opened.c_str()) == nullptr && reported.insert(opened).second)
            report.Fail("%s names the effect \"%s\", which the catalogue lacks", by.c_str(), name.c_str());
    };
    for (const auto& [id, weapon] : dictionary.GetWeapons())
        for (const std::string& name : weapon.particles.names) named(name, "weapon " + std::to_string(id));
    for (const std::string& mapName : config.Maps) {
        const MapDefinition* map = dictionary.FindMap(mapName);
        if (map == nullptr) continue;
        for (const MapParticle& particle : map->particles) named(particle.name, "map \"" + mapName + "\"");
        CLevel level(mapName);
        if (!level.HasGrid()) continue;
        for (uint32_t row = 0; row < level.GetHeight(); ++row)
            for (uint32_t column = 0; column < level.GetWidth(); ++column) {
                const CLevelObject* object = level.GetCell(column, row)->GetObject();
                if (object != nullptr && datacheck::EndsWith(datacheck::Lower(object->GetName()), ".prt"))
                    named(object->GetName(), "the level of \"" + mapName + "\"");
            }
    }
}

// The effect loaded through the cache: its blocks, and its textures, each of which must load.
void CheckEffect(const fx::Effect& record, const std::string& path, datacheck::Report& report) {
    if (!IO::FileExists(path)) {
        report.Fail("effect %s is missing", record.name);
        return;
    }
    int32_t version = 0;
    {
        CSArchive archive(path.c_str());
        uint32_t word = 0;
        if (archive.ReadUInt32(word)) version = ParticleEffectVersion(word);
    }
    CParticlesMesh* effect = LoadParticleEffect(path.c_str());
    if (effect->m_arrEntries.empty()) report.Fail("effect %s does not read", record.name);
    if (version != record.version)
        report.Fail("effect %s is format version %d, catalogued as %d", record.name, version, record.version);
    int textures = 0, models = 0;
    for (const CParticleParams* block : effect->m_arrParticleParams) {
        models += static_cast<int>(block->ObjectList.GetCount());
        for (uint32_t i = 0; i < block->TextureList.GetCount(); ++i) {
            ++textures;
            const CSTexture* texture = block->TextureList[i];
            if (texture == nullptr || !texture->GetTexture())
                report.Fail("effect %s: texture \"%s\" of \"%s\" does not load", record.name,
                            i < block->TextureNames.size() ? block->TextureNames[i].c_str() : "XXXDefault.bmp",
                            block->Name.c_str());
        }
    }
    CSVector4 low, high;
    effect->GetBoundingBox(low, high);
    report.Line(
        "%-20s version %d, %s, %zu emitters, %zu particle blocks, %zu entries, %d textures, %d models, "
        "box (%g, %g, %g)-(%g, %g, %g)",
        record.name, version, record.run == fx::Run::Looping ? "looping" : "one-shot", effect->m_arrEmiterParams.size(),
        effect->m_arrParticleParams.size(), effect->m_arrEntries.size(), textures, models, low.x, low.y, low.z, high.x,
        high.y, high.z);
    effect->Release();
}

}  // namespace

DATACHECK(particles, 50) {
    if (!Service<Config>::Exists()) {
        report.Fail("no configuration");
        return;
    }
    const Config& config = *Service<Config>::Get();
    const datacheck::DictionaryInService dictionary(config);
    CheckNamed(config, dictionary.Get(), report);

    datacheck::NullGraphics graphics;
    if (!graphics.Ready()) {
        report.Fail("no null Direct3D device for the textures");
        return;
    }
    TextureLoader world(config.Paths.TexturesPath);
    const datacheck::ScopedService<TextureLoader> publish(&world);
    for (const fx::Effect& record : fx::kEffects) CheckEffect(record, config.Paths.ParticlesPath + record.name, report);
    report.Line("effects: %zu catalogued", std::size(fx::kEffects));
    // The effects hold textures of this loader on this device.
    PurgeParticleCaches();
}
