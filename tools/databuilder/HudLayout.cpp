// "ingame.xml" in the ui folder: the HUD's layout, one "item" per button and information
// box with its screen place, the shift, and one "coords" per named sheet rectangle, all
// from the HUD sheet's catalogue.
#include <sstream>

#include "tools/catalogue/Config.h"
#include "tools/catalogue/Textures.h"
#include "tools/databuilder/Builder.h"

namespace {

namespace cfg = catalogue::config;
namespace tex = catalogue::textures;

std::string HudLayoutXml() {
    std::ostringstream xml;
    xml << "<window>\n";
    for (const tex::HudRegion& r : tex::kHudRegions)
        if (r.item)
            xml << "    <item name=\"" << r.name << "\" x=\"" << r.x << "\" y=\"" << r.y << "\" tx=\"" << r.tx
                << "\" ty=\"" << r.ty << "\" tw=\"" << r.tw << "\" th=\"" << r.th << "\" ox=\"" << r.ox << "\" oy=\""
                << r.oy << "\"/>\n";
    xml << "    <shift ox=\"" << tex::kHudShiftX << "\" oy=\"" << tex::kHudShiftY << "\"/>\n";
    for (const tex::HudRegion& r : tex::kHudRegions)
        if (!r.item)
            xml << "    <coords name=\"" << r.name << "\" tx=\"" << r.tx << "\" ty=\"" << r.ty << "\" tw=\"" << r.tw
                << "\" th=\"" << r.th << "\"/>\n";
    xml << "</window>\n";
    return xml.str();
}

}  // namespace

DATABUILDER_WRITER(hudlayout, 30) { out.WriteText(cfg::kUi.Path() + tex::kHudLayout, HudLayoutXml()); }
