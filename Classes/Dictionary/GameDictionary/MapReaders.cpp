// Waves, maps and map-view files.
#include <cctype>
#include <string>

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/DictionaryTables.h"
#include "Classes/Dictionary/GameDictionary/DictionaryXml.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"

using dictionary::EnumText;
using dictionary::Insert;
using dictionary::LookUp;

namespace {

const EnumText kPickAreaNames[] = {
    {"spawnpoints", kPickSpawnPoints}, {"units", kPickUnits}, {"deadunits", kPickDeadUnits}};

std::string ToLower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

void ReadColor(DictionaryXml& xml, int32_t (&color)[4]) {
    for (int i = 0; i < 4; ++i) color[i] = xml.Int(i);
}

}  // namespace

bool GameDictionary::ReadWaves(const std::string& path, WaveTable& table) {
    DictionaryXml xml(path, skipped_);
    if (!xml.IsOpen()) return false;
    RecordTracker record("wave");
    WaveDefinition wave;
    while (xml.Next()) {
        if (xml.IsEnd("wave")) {
            record.Closed();
            Insert(table, wave.id, wave, xml, "wave");
        } else if (xml.IsStart("wave")) {
            record.Opened();
            wave.id = xml.Int(0);
            wave.entries.clear();
        } else if (xml.IsStart("warrior")) {
            WaveEntry entry;
            if (!xml.Text(0, entry.name)) {
                xml.Note("a <warrior> without an attacker name is skipped");
                continue;
            }
            entry.time = xml.Int(1);
            entry.count = xml.Int(2);
            entry.spawnPoint = xml.Int(3);
            entry.goldThreshold = xml.Int(4);
            wave.entries.push_back(entry);
        }
    }
    record.Finish(xml);
    return true;
}

bool GameDictionary::ReadMaps(const std::string& path, MapTable& table, const Config& config) {
    DictionaryXml xml(path, skipped_);
    if (!xml.IsOpen()) return false;
    RecordTracker record("map");
    MapDefinition map;
    bool keyed = false;
    while (xml.Next()) {
        if (xml.IsEnd("map")) {
            record.Closed();
            if (keyed) Insert(table, map.name, map, xml, "map");
            else xml.Note("a <map> record without a name is not inserted");
            continue;
        }
        if (!xml.AtStart()) continue;
        if (xml.IsStart("map")) {
            record.Opened();
            keyed = xml.Text(0, map.name);
            // Each map starts its own lists, so a second map of a file does not carry
            // the availability, particles and waves of the one before.
            map.availability.clear();
            map.particles.clear();
            map.waves.clear();
        } else if (xml.IsStart("files")) {
            xml.Text("mesh", map.files.mesh);
            xml.Text("meshA", map.files.meshA);
            xml.Text("data", map.files.data);
            const bool hasView = xml.Text("view", map.files.view);
            xml.Text("music", map.files.music);
            map.files.view = ToLower(map.files.view);
            // Without a view name there is no file to open; the map keeps its view fields.
            if (hasView && !map.files.view.empty()) ReadMapView(config.Paths.MapViewsPath + map.files.view, map);
            else xml.Note("<files> names no view; the map keeps the view it had");
        } else if (xml.IsStart("stats")) {
            map.stats.gold = xml.Int(0);
            map.stats.text = xml.OptionalText(1);
        } else if (xml.IsStart("availability")) {
            MapAvailability entry;
            if (!xml.Text(0, entry.defender)) {
                xml.Note("an <availability> without a defender id is skipped");
                continue;
            }
            entry.value = xml.Int(1);
            map.availability.push_back(entry);
        } else if (xml.IsStart("particle")) {
            MapParticle particle;
            if (!xml.Text(0, particle.name)) {
                xml.Note("a <particle> without a file name is skipped");
                continue;
            }
            particle.position = Vector3(xml.Float(1), xml.Float(2), xml.Float(3));
            map.particles.push_back(particle);
        } else if (xml.IsStart("wave")) {
            MapWave wave;
            wave.id = xml.Int(0);
            wave.gold = xml.Int(1);
            wave.bonusPercent = xml.Int(2);
            wave.survivalPercent = xml.Int(3);
            map.waves.push_back(wave);
        } else if (xml.IsStart("ambient")) {
            ReadColor(xml, map.light.ambient);
        } else if (xml.IsStart("diffuse")) {
            ReadColor(xml, map.light.diffuse);
        } else if (xml.IsStart("specular")) {
            ReadColor(xml, map.light.specular);
        } else if (xml.IsStart("direction")) {
            map.light.direction = Vector3(xml.Float(0), xml.Float(1), xml.Float(2));
        } else if (xml.IsStart("lmfactors")) {
            map.light.lmFactors[0] = xml.Float(0);
            map.light.lmFactors[1] = xml.Float(1);
        }
    }
    record.Finish(xml);
    return true;
}

bool GameDictionary::ReadMapView(const std::string& path, MapDefinition& map) {
    DictionaryXml xml(path, skipped_);
    if (!xml.IsOpen()) return false;
    MapViewDefinition& view = map.view;
    if (view.points.size() < MapViewDefinition::kPointCount) view.points.resize(MapViewDefinition::kPointCount);
    int point = 0;
    while (xml.Next()) {
        if (!xml.AtStart()) continue;
        if (xml.IsStart("transformation")) {
            for (int i = 0; i < 9; ++i) view.transformation[i] = xml.Int(i);
        } else if (xml.IsStart("camera")) {
            for (int i = 0; i < 4; ++i) view.camera[i] = xml.Float(i);
        } else if (xml.IsStart("point")) {
            if (point < MapViewDefinition::kPointCount)
                view.points[point] = Vector3(static_cast<float>(xml.Int(0)), static_cast<float>(xml.Int(1)),
                                             static_cast<float>(xml.Int(2)));
            else xml.Note("<point> " + std::to_string(point + 1) + " is beyond the six corners; ignored");
            ++point;
        } else if (xml.IsStart("pickarea")) {
            std::string name;
            if (!xml.Text(0, name)) continue;
            int32_t group = 0;
            if (!LookUp(kPickAreaNames, name, group)) {
                xml.Note("<pickarea> unknown name \"" + name + "\" ignored");
                continue;
            }
            PickArea& area = view.pickAreas[group];
            area.width = xml.Int(1);
            area.height = xml.Int(2);
        }
    }
    if (xml.ElementCount() == 0) xml.Note("holds no view element");
    return true;
}
