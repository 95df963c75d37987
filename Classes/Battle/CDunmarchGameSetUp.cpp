// The battle's level and waves from its map, its tear-down, its camera geometry and the
// HUD's layout file "ingame.xml".
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/HudTables.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/MapDefinition.h"
#include "Classes/Level/CLevel.h"
#include "Core/Service.h"
#include "IO/File.h"
#include "IO/XmlReader.h"
#include "Maths/Plane.h"

int32_t BattleActive = 0;

namespace {

struct LayoutItem {
    int32_t x = 0, y = 0, tx = 0, ty = 0, tw = 0, th = 0, ox = 0, oy = 0;
};

void Place(HudButton& button, const LayoutItem& item) {
    button.x = item.x, button.y = item.y, button.tx = item.tx, button.ty = item.ty;
    button.tw = item.tw, button.th = item.th, button.ox = item.ox, button.oy = item.oy;
}

void Place(HudInfoItem& info, const LayoutItem& item) {
    info.x = item.x, info.y = item.y, info.tx = item.tx, info.ty = item.ty;
    info.tw = item.tw, info.th = item.th, info.ox = item.ox, info.oy = item.oy;
}

template <class Row>
void PlaceRows(Row* rows, const char* const* names, int count, const std::map<std::string, LayoutItem>& items) {
    for (int i = 0; i < count; ++i) {
        const std::map<std::string, LayoutItem>::const_iterator it = items.find(names[i]);
        if (it != items.end()) Place(rows[i], it->second);
    }
}

void WriteItem(FILE* file, const char* name, const HudButton& b, bool offsets) {
    if (offsets)
        std::fprintf(file,
                     "    <item name=\"%s\" x=\"%d\" y=\"%d\" tx=\"%d\" ty=\"%d\" tw=\"%d\" th=\"%d\" ox=\"%d\" "
                     "oy=\"%d\"/>\n",
                     name, b.x, b.y, b.tx, b.ty, b.tw, b.th, b.ox, b.oy);
    else
        std::fprintf(file, "    <item name=\"%s\" x=\"%d\" y=\"%d\" tx=\"%d\" ty=\"%d\" tw=\"%d\" th=\"%d\"/>\n", name,
                     b.x, b.y, b.tx, b.ty, b.tw, b.th);
}

}  // namespace

int32_t CDunmarchGame::LoadLevel(const std::string& mapName) {
    const MapDefinition* map = mapName.empty() ? nullptr : FindMapDefinition(mapName);
    if (map == nullptr) return 0;
    gold_ = map->stats.gold;
    level_.reset(new CLevel(mapName));
    if (!Service<CLevel>::Exists()) Service<CLevel>::Register(level_.get());
    return 1;
}

int32_t CDunmarchGame::CreateWaveRunners(const std::string& mapName) {
    const MapDefinition* map = FindMapDefinition(mapName);
    if (map == nullptr) return 0;
    for (const MapWave& wave : map->waves)
        if (const WaveDefinition* definition = FindWaveDefinition(wave.id))
            wave_runners_.push_back(
                WaveRunner(wave.id, wave.gold, wave.bonusPercent, wave.survivalPercent, definition->entries));
    return 1;
}

void CDunmarchGame::Stop() {
    BattleActive = 0;
    if (level_) level_->Clear();
    // The slot is left alone when it holds another level.
    if (Service<CLevel>::Exists() && (!level_ || Service<CLevel>::Get() == level_.get())) Service<CLevel>::Unregister();
}

void CDunmarchGame::UpdateViewDirection() {
    view_direction_ = Vector3(camera_eye_.x, camera_target_height_, 0.0f) - camera_eye_;
    view_direction_.Normalize();
}

float CDunmarchGame::GetGroundDistance() const {
    const Plane ground(0.0f, 0.0f, 1.0f, 0.0f);
    Vector3 hit;
    if (!ground.IntersectLine(camera_eye_, camera_eye_ + view_direction_, hit)) return 1.0f;
    return (hit - camera_eye_).Length();
}

float CDunmarchGame::GetZoomFactor() const {
    const float distance = GetGroundDistance();
    return std::fabs(distance) > 0.0001f ? reference_distance_ / distance : 1.0f;
}

void CDunmarchGame::ReadHudLayout() {
    if (!Service<Config>::Exists()) return;
    const std::string path = Service<Config>::Get()->Paths.UiPath + "ingame.xml";
    if (!IO::FileExists(path)) return;
    const std::unique_ptr<irr::io::IrrXMLReader> reader(CreateXmlReader(path));
    if (!reader) return;
    std::map<std::string, LayoutItem> items;
    std::map<std::string, HudCoords> coords;
    HudShiftRecord shift = HudShift;
    while (reader->read()) {
        if (reader->getNodeType() != irr::io::EXN_ELEMENT) continue;
        const std::string element = reader->getNodeName();
        auto number = [&](const char* name) { return reader->getAttributeValueAsInt(name); };
        const char* name = reader->getAttributeValueSafe("name");
        if (element == "item") {
            LayoutItem& item = items[name];
            item = {number("x"),  number("y"),  number("tx"), number("ty"),
                    number("tw"), number("th"), number("ox"), number("oy")};
        } else if (element == "shift") {
            shift.ox = number("ox");
            shift.oy = number("oy");
        } else if (element == "coords") {
            coords[name] = HudCoords{number("tx"), number("ty"), number("tw"), number("th")};
        }
    }
    PlaceRows(SpeedButtons, SpeedButtonItems, kSpeedButtonCount, items);
    PlaceRows(SpellButtons, SpellButtonItems, kSpellButtonCount, items);
    PlaceRows(ActionButtons, ActionButtonItems, kActionButtonCount, items);
    PlaceRows(InfoItems, InfoItemItems, kInfoItemCount, items);
    for (HudButton& button : DefenderButtons) {
        const std::map<std::string, LayoutItem>::const_iterator it = items.find(button.unitId);
        if (it != items.end()) Place(button, it->second);
    }
    HudShift = shift;
    for (int i = 0; i < kHudCoordsCount; ++i) {
        const std::map<std::string, HudCoords>::const_iterator it = coords.find(HudCoordsNames[i]);
        if (it != coords.end()) HudCoordsTable[i] = it->second;
    }
}

int32_t CDunmarchGame::WriteHudLayout(const std::string& path) const {
    FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) return 0;
    std::fprintf(file, "<window>\n");
    for (int i = 0; i < kSpeedButtonCount; ++i) WriteItem(file, SpeedButtonItems[i], SpeedButtons[i], true);
    for (const HudButton& button : DefenderButtons) WriteItem(file, button.unitId.c_str(), button, false);
    for (int i = 0; i < kActionButtonCount; ++i) WriteItem(file, ActionButtonItems[i], ActionButtons[i], true);
    for (int i = 0; i < kSpellButtonCount; ++i) WriteItem(file, SpellButtonItems[i], SpellButtons[i], false);
    std::fprintf(file, "    <shift ox=\"%d\" oy=\"%d\"/>\n", HudShift.ox, HudShift.oy);
    for (int i = 0; i < kInfoItemCount; ++i) {
        const HudInfoItem& info = InfoItems[i];
        std::fprintf(file,
                     "    <item name=\"%s\" x=\"%d\" y=\"%d\" tx=\"%d\" ty=\"%d\" tw=\"%d\" th=\"%d\" ox=\"%d\" "
                     "oy=\"%d\" />\n",
                     InfoItemItems[i], info.x, info.y, info.tx, info.ty, info.tw, info.th, info.ox, info.oy);
    }
    for (int i = 0; i < kHudCoordsCount; ++i) {
        const HudCoords& c = HudCoordsTable[i];
        std::fprintf(file, "    <coords name=\"%s\" tx=\"%d\" ty=\"%d\" tw=\"%d\" th=\"%d\"/>\n", HudCoordsNames[i],
                     c.tx, c.ty, c.tw, c.th);
    }
    std::fprintf(file, "</window>\n");
    return std::fclose(file) == 0 ? 1 : 0;
}
