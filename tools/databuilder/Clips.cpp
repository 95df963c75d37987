// The animation-clip tables: the frame rate and every clip of the humanoid
// timeline, with the event frames of the attack clips.
#include <set>
#include <sstream>
#include <string>

#include "tools/catalogue/Clips.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/Models.h"
#include "tools/databuilder/Builder.h"

namespace {

namespace models = catalogue::models;
namespace clips = catalogue::clips;

std::string ClipTable(const char* file) {
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        << "<!-- " << file << ": clips of the humanoid timeline (" << models::kHumanoidFrameCount
        << " frames); each clip plays first .. last - 1, event is the frame an attack strikes -->\n"
        << "<animation fps=\"" << models::kHumanoidFps << "\">\n";
    for (const models::Clip& clip : models::kHumanoidClips) {
        xml << "  <clip name=\"" << clip.name << "\" first=\"" << clip.first << "\" last=\"" << clip.last << "\"";
        int event = clips::EventFrame(clip);
        if (event >= 0) xml << " event=\"" << event << "\"";
        xml << "/>\n";
    }
    xml << "</animation>\n";
    return xml.str();
}

}  // namespace

DATABUILDER_WRITER(clips, 30) {
    std::set<std::string> written;
    for (const clips::Table& table : clips::kTables) {
        out.WriteText(catalogue::config::kAnims.Path() + table.file, ClipTable(table.file));
        written.insert(table.file);
    }
    // Stand-in until tools/catalogue/Models.h names the tables above: the
    // table names the models' entries give, so the game data finds its clips.
    auto alias = [&](const models::Humanoid& unit) {
        if (written.insert(unit.clips).second)
            out.WriteText(catalogue::config::kAnims.Path() + unit.clips, ClipTable(unit.clips));
    };
    for (const models::Humanoid& unit : models::kDefenders) alias(unit);
    alias(models::kKeeper);
    for (const models::Humanoid& unit : models::kAttackers) alias(unit);
    alias(models::kHero);
}
