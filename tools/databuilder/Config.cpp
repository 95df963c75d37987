// config.xml: resource roots, content folders, maps, spells, colours, spawn-point types
// and the web endpoints. The game reads it as a flat run of elements, so the grouping
// elements below use names the reader ignores.
#include <sstream>

#include "tools/catalogue/Config.h"
#include "tools/databuilder/Builder.h"

namespace {

namespace cfg = catalogue::config;

void Root(std::ostringstream& xml, const char* element, const char* path) {
    xml << "  <" << element << " path=\"" << path << "\"/>\n";
}

// First attribute: join to the root (1) or not (0); second: the folder's own name.
void Folder(std::ostringstream& xml, const cfg::Folder& folder) {
    xml << "    <" << folder.element << " joined=\"1\" path=\"" << folder.name << "\"/>\n";
}

void Spells(std::ostringstream& xml, const char* type, const cfg::Spell* spells, size_t count) {
    for (size_t i = 0; i < count; ++i)
        xml << "    <attack type=\"" << type << "\" weapon=\"" << spells[i].weapon << "\" price=\"" << spells[i].price
            << "\" cooldown=\"" << spells[i].cooldown << "\"/>\n";
}

// The reader takes the third attribute as the address, the first and second as extras.
void Triple(std::ostringstream& xml, const char* element, const char* first, const char* second, const char* third) {
    xml << "  <" << element << " title=\"" << second << "\" target=\"" << third << "\" value=\"" << first << "\"/>\n";
}

}  // namespace

DATABUILDER_WRITER(config, 0) {
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    xml << "<config>\n";
    Root(xml, "resource-iphone", cfg::kResourceIphone);
    Root(xml, "resource-iphone4", cfg::kResourceIphone4);
    Root(xml, "resource-ipad", cfg::kResourceIpad);
    Root(xml, "resource-pc", cfg::kResourcePc);
    Root(xml, "resource-mac", cfg::kResourceMac);
    Root(xml, "resource-common", cfg::kResourceCommon);

    xml << "  <folderlist>\n";
    for (const cfg::Folder& folder : cfg::kFolders) Folder(xml, folder);
    xml << "  </folderlist>\n";

    xml << "  <maplist>\n";
    for (const char* map : cfg::kMapNames) xml << "    <map name=\"" << map << "\"/>\n";
    xml << "  </maplist>\n";

    xml << "  <spelllist>\n";
    Spells(xml, "slowdown", cfg::kSlowdown, std::size(cfg::kSlowdown));
    Spells(xml, "firestorm", cfg::kFirestorm, std::size(cfg::kFirestorm));
    Spells(xml, "lightning", cfg::kLightning, std::size(cfg::kLightning));
    xml << "  </spelllist>\n";

    xml << "  <colorlist>\n";
    for (const cfg::NamedColor& c : cfg::kColors)
        xml << "    <color name=\"" << c.name << "\" r=\"" << c.r << "\" g=\"" << c.g << "\" b=\"" << c.b << "\" a=\""
            << c.a << "\"/>\n";
    xml << "  </colorlist>\n";

    xml << "  <spawnpointlist>\n";
    for (const cfg::SpawnPointType& s : cfg::kSpawnPointTypes)
        xml << "    <spawnpointtype type=\"" << s.type << "\" value=\"" << s.value << "\"/>\n";
    xml << "  </spawnpointlist>\n";

    xml << "  <submission url=\"" << cfg::kSubmissionUrl << "\" key=\"" << cfg::kSubmissionKey << "\"/>\n";
    Triple(xml, "website", cfg::kWebsiteUrl, "Dunmarch Lite", "_blank");
    Triple(xml, "bannersite", cfg::kBannerSiteUrl, "Banner", "_blank");
    Triple(xml, "interface", cfg::kInterfaceTexture, "hud", "");
    xml << "</config>\n";

    out.WriteText(cfg::kFileName, xml.str());
}
