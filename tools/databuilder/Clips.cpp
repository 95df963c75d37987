// The animation-clip tables: the frame rate and every clip of the humanoid
// timeline, with the event frames of the attack clips.
#include <algorithm>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

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
    namespace fs = std::filesystem;
    const std::string folder = catalogue::config::kAnims.Path();
    for (const char* table : clips::kTables) out.WriteText(folder + table, ClipTable(table));
    // The folder is this writer's alone: tables of an earlier naming are removed so
    // they are neither shipped nor checked.
    std::error_code error;
    std::vector<fs::path> stale;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(out.GameDir()) / folder, error)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".xml" && std::none_of(std::begin(clips::kTables), std::end(clips::kTables),
                                                               [&](const char* table) { return name == table; }))
            stale.push_back(entry.path());
    }
    for (const fs::path& path : stale) fs::remove(path, error);
}
