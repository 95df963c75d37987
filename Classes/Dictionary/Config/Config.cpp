#include "Classes/Dictionary/Config/Config.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "Core/Assert.h"
#include "IO/File.h"
#include "IO/XmlReader.h"

namespace {

typedef irr::io::IrrXMLReader XmlReader;

const char kRootMissing[] = "IPHONE OR IPAD RESOURCES PATH EMPTY OR DOESNT EXISTS";

// Attributes are addressed by position; a missing one reads as empty text or 0.
std::string Text(const XmlReader& xml, int index) {
    const char* value = xml.getAttributeValue(index);
    return value ? value : "";
}

std::string Text(const XmlReader& xml, const char* name) {
    const char* value = xml.getAttributeValue(name);
    return value ? value : "";
}

// The reader's float parse truncated toward zero; values past the int range are held
// at its ends rather than overflowing the conversion.
int32_t ToInt(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0f) return INT32_MAX;
    if (value <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(value);
}

int32_t Int(const XmlReader& xml, int index) {
    return xml.getAttributeValue(index) ? ToInt(xml.getAttributeValueAsFloat(index)) : 0;
}

int32_t Int(const XmlReader& xml, const char* name) {
    return xml.getAttributeValue(name) ? ToInt(xml.getAttributeValueAsFloat(name)) : 0;
}

struct RootElement {
    const char* name;
    std::string Config::PathSet::*member;
};

const RootElement kRoots[] = {
    {"resource-iphone", &Config::PathSet::ResourcesIphonePath},
    {"resource-iphone4", &Config::PathSet::ResourcesIphone4Path},
    {"resource-ipad", &Config::PathSet::ResourcesIpadPath},
    {"resource-pc", &Config::PathSet::ResourcesPcPath},
    {"resource-mac", &Config::PathSet::ResourcesMacPath},
    {"resource-common", &Config::PathSet::ResourcesCommonPath},
};

// Which root a folder must wait for, and which it is joined to.
enum RootKind { kGraphicsRoot, kCommonRoot };

struct FolderElement {
    const char* name;
    std::string Config::PathSet::*member;
    RootKind required;
    RootKind joined;
};

const FolderElement kFolders[] = {
    {"ui", &Config::PathSet::UiPath, kGraphicsRoot, kGraphicsRoot},
    {"uitexture", &Config::PathSet::UiTexturePath, kGraphicsRoot, kGraphicsRoot},
    {"videos", &Config::PathSet::VideosPath, kGraphicsRoot, kGraphicsRoot},
    {"textures", &Config::PathSet::TexturesPath, kGraphicsRoot, kGraphicsRoot},
    {"fonts", &Config::PathSet::FontsPath, kGraphicsRoot, kGraphicsRoot},
    {"meshes", &Config::PathSet::MeshesPath, kGraphicsRoot, kGraphicsRoot},
    {"mapviews", &Config::PathSet::MapViewsPath, kGraphicsRoot, kGraphicsRoot},
    {"logic", &Config::PathSet::LogicPath, kCommonRoot, kCommonRoot},
    {"sounds", &Config::PathSet::SoundsPath, kCommonRoot, kCommonRoot},
    {"maps", &Config::PathSet::MapsPath, kCommonRoot, kCommonRoot},
    {"waves", &Config::PathSet::WavesPath, kCommonRoot, kCommonRoot},
    {"defenders", &Config::PathSet::DefendersPath, kCommonRoot, kCommonRoot},
    {"attackers", &Config::PathSet::AttackersPath, kCommonRoot, kCommonRoot},
    {"weapons", &Config::PathSet::WeaponsPath, kCommonRoot, kCommonRoot},
    {"anims", &Config::PathSet::AnimsPath, kCommonRoot, kCommonRoot},
    {"particles", &Config::PathSet::ParticlesPath, kCommonRoot, kCommonRoot},
    // The language files need the graphics root set, yet sit under the common one.
    {"language", &Config::PathSet::LanguagePath, kGraphicsRoot, kCommonRoot},
};

const char* const kSpellTypes[Config::kSpellKinds] = {"slowdown", "firestorm", "lightning"};

void ReadTriple(const XmlReader& xml, StringTriple& triple) {
    triple.first = Text(xml, 2);
    triple.second = Text(xml, 0);
    triple.third = Text(xml, 1);
}

}  // namespace

bool Config::Read(const char* fileName) {
    XmlReader* xml = CreateXmlReader(fileName);
    DM_ASSERT(xml, "Could not open file for reading");
    if (!xml) return false;

    std::string graphics_resources_path;
    int elements = 0;
    while (xml->read()) {
        if (xml->getNodeType() != irr::io::EXN_ELEMENT) continue;
        ++elements;
        const char* name = xml->getNodeName();
        if (!name) continue;

        bool matched = false;
        for (const RootElement& root : kRoots) {
            if (std::strcmp(name, root.name) != 0) continue;
            Paths.*root.member = Text(*xml, 0);
            if (root.member == &PathSet::ResourcesPcPath) graphics_resources_path = Paths.ResourcesPcPath;
            matched = true;
            break;
        }
        if (matched) continue;

        for (const FolderElement& folder : kFolders) {
            if (std::strcmp(name, folder.name) != 0) continue;
            const std::string text = Text(*xml, 1);
            const bool joinRoot = Int(*xml, 0) != 0;
            if (folder.required == kGraphicsRoot) DM_ASSERT(!graphics_resources_path.empty(), kRootMissing);
            else DM_ASSERT(!Paths.ResourcesCommonPath.empty(), kRootMissing);
            const std::string& root =
                folder.joined == kGraphicsRoot ? graphics_resources_path : Paths.ResourcesCommonPath;
            Paths.*folder.member = joinRoot ? root + text : text;
            matched = true;
            break;
        }
        if (matched) continue;

        if (std::strcmp(name, "map") == 0) {
            Maps.push_back(Text(*xml, 0));
        } else if (std::strcmp(name, "attack") == 0) {
            const std::string type = Text(*xml, "type");
            const SpellDefinition spell = {Int(*xml, "weapon"), Int(*xml, "price"), Int(*xml, "cooldown")};
            for (int kind = 0; kind < kSpellKinds; ++kind)
                if (type == kSpellTypes[kind]) Spells[kind].push_back(spell);
        } else if (std::strcmp(name, "color") == 0) {
            NamedColor named;
            named.name = Text(*xml, "name");
            // Each channel keeps its low byte; a missing one (alpha too) is 0.
            named.color = Color(static_cast<uint8_t>(Int(*xml, "r")), static_cast<uint8_t>(Int(*xml, "g")),
                                static_cast<uint8_t>(Int(*xml, "b")), static_cast<uint8_t>(Int(*xml, "a")));
            Colors.push_back(named);
        } else if (std::strcmp(name, "spawnpointtype") == 0) {
            SpawnPointTypes.push_back({Int(*xml, 0), Int(*xml, 1)});
        } else if (std::strcmp(name, "submission") == 0) {
            Submission[0] = Text(*xml, 0);
            Submission[1] = Text(*xml, 1);
        } else if (std::strcmp(name, "website") == 0) {
            ReadTriple(*xml, Website);
        } else if (std::strcmp(name, "bannersite") == 0) {
            ReadTriple(*xml, BannerSite);
        } else if (std::strcmp(name, "interface") == 0) {
            ReadTriple(*xml, Interface);
        }
    }
    delete xml;

    // Without its configuration every loader would look in the current folder: say so.
    if (elements == 0) {
        std::fprintf(stderr, "%s: %s; every data folder is left empty\n", fileName,
                     IO::FileExists(fileName) ? "no elements could be read" : "file not found");
        return false;
    }
    return true;
}
