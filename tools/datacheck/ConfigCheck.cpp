// config.xml through Config::Read; the record is registered as the game registers it,
// so later checks find their folders in Service<Config>.
#include <string>

#include "Classes/Dictionary/Config/Config.h"
#include "Core/Service.h"
#include "IO/File.h"
#include "tools/datacheck/Check.h"

namespace {

Config g_config;

struct FolderView {
    const char* element;
    const std::string Config::PathSet::*member;
};

const FolderView kFolders[] = {
    {"ui", &Config::PathSet::UiPath},
    {"uitexture", &Config::PathSet::UiTexturePath},
    {"videos", &Config::PathSet::VideosPath},
    {"textures", &Config::PathSet::TexturesPath},
    {"fonts", &Config::PathSet::FontsPath},
    {"meshes", &Config::PathSet::MeshesPath},
    {"mapviews", &Config::PathSet::MapViewsPath},
    {"language", &Config::PathSet::LanguagePath},
    {"logic", &Config::PathSet::LogicPath},
    {"sounds", &Config::PathSet::SoundsPath},
    {"maps", &Config::PathSet::MapsPath},
    {"waves", &Config::PathSet::WavesPath},
    {"defenders", &Config::PathSet::DefendersPath},
    {"attackers", &Config::PathSet::AttackersPath},
    {"weapons", &Config::PathSet::WeaponsPath},
    {"anims", &Config::PathSet::AnimsPath},
    {"particles", &Config::PathSet::ParticlesPath},
};

const char* const kSpellNames[Config::kSpellKinds] = {"slowdown", "firestorm", "lightning"};

}  // namespace

DATACHECK(config, 0) {
    if (!IO::FileExists("config.xml")) {
        report.Fail("config.xml is missing");
        return;
    }
    if (!g_config.Read("config.xml")) report.Fail("config.xml did not read completely");
    if (!Service<Config>::Exists()) Service<Config>::Register(&g_config);

    const Config::PathSet& paths = g_config.Paths;
    report.Line("roots: pc \"%s\", common \"%s\"", paths.ResourcesPcPath.c_str(), paths.ResourcesCommonPath.c_str());
    if (paths.ResourcesPcPath.empty()) report.Fail("no \"resource-pc\" root");
    if (paths.ResourcesCommonPath.empty()) report.Fail("no \"resource-common\" root");
    for (const FolderView& folder : kFolders) {
        const std::string& value = paths.*folder.member;
        report.Line("%-10s %s", folder.element, value.c_str());
        if (value.empty()) report.Fail("folder \"%s\" is not set", folder.element);
    }

    std::string maps;
    for (const std::string& map : g_config.Maps) maps += (maps.empty() ? "" : ", ") + map;
    report.Line("maps (%zu): %s", g_config.Maps.size(), maps.c_str());
    if (g_config.Maps.empty()) report.Fail("no map");

    for (int kind = 0; kind < Config::kSpellKinds; ++kind) {
        std::string levels;
        for (const SpellDefinition& spell : g_config.Spells[kind])
            levels += " {weapon " + std::to_string(spell.weapon) + ", " + std::to_string(spell.price) + " gold, " +
                      std::to_string(spell.cooldown) + " s}";
        report.Line("spell %-9s %zu levels:%s", kSpellNames[kind], g_config.Spells[kind].size(), levels.c_str());
        if (g_config.Spells[kind].empty()) report.Fail("no level of spell \"%s\"", kSpellNames[kind]);
    }

    report.Line("colours: %zu, spawn-point types: %zu", g_config.Colors.size(), g_config.SpawnPointTypes.size());
    report.Line("website \"%s\", banner site \"%s\", interface \"%s\"", g_config.Website.first.c_str(),
                g_config.BannerSite.first.c_str(), g_config.Interface.first.c_str());
    if (g_config.Interface.first.empty()) report.Fail("no interface texture");
}
