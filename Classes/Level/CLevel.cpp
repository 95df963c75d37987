// The level object, its construction from the map's level file, its scene objects and
// its clearing. The grid is in CLevelGrid.cpp, the path search in CLevelPath.cpp.
#include "Classes/Level/CLevel.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Classes/Level/CLevelObject.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CWayPoint.h"
#include "Classes/Level/LevelServices.h"
#include "Classes/Battle/CDunmarchGame.h"
#include "Core/Assert.h"
#include "Core/Service.h"
#include "IO/File.h"
#include "IO/XmlReader.h"

namespace {

// Marker types of the level file.
enum MarkerType {
    kMarkerKeeper = 0,
    kMarkerAttackerEntry = 1,
    kMarkerDefenderSpot = 2,
    kMarkerWayPoint = 3,
    kMarkerLastWayPoint = 4,
    kMarkerScenery = 5,
};

// A number as the level file writes it: decimal text, a fraction truncated, held to
// the int32 range; absent or not a number reads 0.
int32_t ParseInt32(const char* text) {
    if (text == nullptr) return 0;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

int32_t TruncateFloatToInt32(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0f) return INT32_MAX;
    if (value <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// Attribute by position; one the element does not have reads 0.
int32_t IntAttribute(irr::io::IrrXMLReader& reader, int index) {
    if (index < 0 || static_cast<unsigned>(index) >= reader.getAttributeCount()) return 0;
    return ParseInt32(reader.getAttributeValue(index));
}

// The centre of a column or row in grid units, held to int32 (a marker that far out
// lies outside every grid and is dropped after reading).
int32_t CellCentre(int32_t cell) {
    const int64_t centre = static_cast<int64_t>(cell) * 500 + 250;
    return static_cast<int32_t>(std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, centre)));
}

std::string LowerCasePath(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

CLevel::CLevel(const std::string& mapName)
    : spot_highlight_mode_(0),
      width_(0),
      height_(0),
      cell_scale_(15),
      map_definition_(nullptr),
      search_cells_made_at_(0) {
    if (Service<GameDictionary>::Exists()) map_definition_ = Service<GameDictionary>::Get()->FindMap(mapName);
    if (map_definition_ != nullptr && Service<Config>::Exists())
        ReadLevelFile(LowerCasePath(Service<Config>::Get()->Paths.LogicPath + map_definition_->files.data));
}

CLevel::~CLevel() {
    DestroyGrid();
    DropPoints();
}

bool CLevel::ReadLevelFile(const std::string& path) {
    const bool opened = IO::FileExists(path);
    DM_ASSERT(opened, "Could not open file for reading");
    if (!opened) return false;
    const std::unique_ptr<irr::io::IrrXMLReader> reader(CreateXmlReader(path));
    if (!reader) return false;

    int32_t linkSource = -1;
    // Spawn points and way points count together; scenery takes no index. A second
    // file goes on after the points already there.
    int32_t nextIndex = 0;
    for (const boost::shared_ptr<CSpawnPoint>& marker : markers_) nextIndex = std::max(nextIndex, marker->GetId() + 1);
    for (const boost::shared_ptr<CWayPoint>& point : way_points_) nextIndex = std::max(nextIndex, point->GetId() + 1);
    std::vector<std::pair<boost::shared_ptr<CSpawnPoint>, int32_t>> sideIds;

    while (reader->read()) {
        if (reader->getNodeType() != irr::io::EXN_ELEMENT) continue;
        const std::string element = reader->getNodeName();
        if (element == "Grid") {
            // A negative side is no side.
            const int32_t width = IntAttribute(*reader, 0);
            const int32_t height = IntAttribute(*reader, 1);
            CreateGrid(width > 0 ? static_cast<uint32_t>(width) : 0u, height > 0 ? static_cast<uint32_t>(height) : 0u);
        } else if (element == "Marker") {
            const int32_t defenderId = ParseInt32(reader->getAttributeValue("defenderId"));
            const int32_t count = static_cast<int32_t>(reader->getAttributeCount());
            const int32_t id = IntAttribute(*reader, 0);
            const int32_t type = IntAttribute(*reader, 1);
            const int32_t column = IntAttribute(*reader, 2);
            const int32_t row = IntAttribute(*reader, 3);
            if (type == kMarkerKeeper || type == kMarkerAttackerEntry || type == kMarkerDefenderSpot) {
                int32_t facing = 0;
                int32_t variant = 0;
                int32_t kind = CSpawnPoint::kKeeperPlace;
                if (type == kMarkerKeeper) {
                    if (count >= 5) facing = IntAttribute(*reader, 4);
                } else {
                    kind = type == kMarkerAttackerEntry ? CSpawnPoint::kAttackerEntry : CSpawnPoint::kDefenderSlot;
                    if (type == kMarkerDefenderSpot && count >= 5) variant = IntAttribute(*reader, 4);
                    if (count >= 6) facing = IntAttribute(*reader, 5);
                }
                boost::shared_ptr<CSpawnPoint> point(
                    new CSpawnPoint(this, id, nextIndex++, CellCentre(column), CellCentre(row), facing, kind, variant));
                markers_.push_back(point);
                if (type == kMarkerAttackerEntry)
                    sideIds.push_back(std::make_pair(point, ParseInt32(reader->getAttributeValue("attackerId"))));
                else if (type == kMarkerDefenderSpot) sideIds.push_back(std::make_pair(point, defenderId));
            } else if (type == kMarkerWayPoint || type == kMarkerLastWayPoint) {
                way_points_.push_back(boost::shared_ptr<CWayPoint>(
                    new CWayPoint(this, id, nextIndex++, CellCentre(column), CellCentre(row), 0)));
            } else if (type == kMarkerScenery) {
                // Outside the grid, or before any grid, the object is not placed.
                if (CLevelNode* cell = GetCell(column, row)) {
                    const char* name = count > 8 ? reader->getAttributeValue(8) : nullptr;
                    cell->SetObject(CellCentre(column), CellCentre(row), name != nullptr ? name : "",
                                    IntAttribute(*reader, 5), IntAttribute(*reader, 6), IntAttribute(*reader, 7));
                }
            } else {
                DM_ASSERT(false, "Unknown marker type - check your config or update source code");
            }
        } else if (element == "MarkerFrom") {
            linkSource = IntAttribute(*reader, 0);
        } else if (element == "LinkTo") {
            const int32_t target = IntAttribute(*reader, 0);
            boost::shared_ptr<CLevelPoint> from;
            for (const boost::shared_ptr<CSpawnPoint>& marker : markers_)
                if (marker->GetNumber() == linkSource) {
                    from = marker;
                    break;
                }
            if (!from)
                for (const boost::shared_ptr<CWayPoint>& wayPoint : way_points_)
                    if (wayPoint->GetNumber() == linkSource) {
                        from = wayPoint;
                        break;
                    }
            boost::shared_ptr<CWayPoint> to;
            for (const boost::shared_ptr<CWayPoint>& wayPoint : way_points_)
                if (wayPoint->GetNumber() == target) {
                    to = wayPoint;
                    break;
                }
            if (from && to) {
                from->AddLink(to);
            } else {
                std::printf("%d -> %d\n", linkSource, target);
                DM_ASSERT(from && to, "Link between markers that do not exist");
            }
        }
    }

    // Points that do not stand on a cell of the grid (column or row -1 included, whose
    // centre the cell look-up would fold into 0) are dropped with the links to them.
    // A level without a grid keeps them all.
    auto outside = [this](const boost::shared_ptr<CLevelPoint>& point) {
        if (!HasGrid() || IsPositionValid(point->GetPosition().x, point->GetPosition().y)) return false;
        std::printf("Marker %d at (%d, %d) lies outside the grid: skipped\n", point->GetNumber(),
                    point->GetPosition().x, point->GetPosition().y);
        point->ClearLinks();
        return true;
    };
    markers_.erase(std::remove_if(markers_.begin(), markers_.end(), outside), markers_.end());
    way_points_.erase(std::remove_if(way_points_.begin(), way_points_.end(), outside), way_points_.end());
    auto dropLinks = [this](CLevelPoint& point) {
        CLevelPoint::Links kept;
        for (const boost::shared_ptr<CWayPoint>& link : point.GetLinks())
            if (std::find(way_points_.begin(), way_points_.end(), link) != way_points_.end()) kept.push_back(link);
        if (kept.size() == point.GetLinks().size()) return;
        point.ClearLinks();
        for (const boost::shared_ptr<CWayPoint>& link : kept) point.AddLink(link);
    };
    for (const boost::shared_ptr<CSpawnPoint>& marker : markers_) dropLinks(*marker);
    for (const boost::shared_ptr<CWayPoint>& wayPoint : way_points_) dropLinks(*wayPoint);

    // The file's ids only served the links: spawn points take the side's id.
    for (const boost::shared_ptr<CSpawnPoint>& marker : markers_) marker->SetNumber(-1);
    for (const auto& entry : sideIds) entry.first->SetNumber(entry.second);
    return true;
}

void CLevel::CreateSceneObjects() {
    for (const boost::shared_ptr<CSpawnPoint>& marker : markers_) marker->BuildNode();
    for (uint32_t row = 0; row < rows_.size(); ++row)
        for (uint32_t column = 0; column < width_; ++column)
            if (CLevelObject* object = rows_[row][column].GetObject()) object->BuildNode(0);
    if (map_definition_ != nullptr)
        for (const MapParticle& particle : map_definition_->particles)
            PlaceObject(IntVector3(TruncateFloatToInt32(particle.position.x * 500.0f),
                                   TruncateFloatToInt32(particle.position.y * 500.0f),
                                   TruncateFloatToInt32(particle.position.z * 500.0f)),
                        particle.name, 1);
    ComputeReachability();
}

void CLevel::ComputeReachability() {
    boost::shared_ptr<CSpawnPoint> entry;
    for (const boost::shared_ptr<CSpawnPoint>& marker : markers_)
        if (marker->GetKind() == CSpawnPoint::kAttackerEntry) {
            entry = marker;
            break;
        }
    if (!entry) return;
    std::vector<CLevelNode*> path;
    for (const boost::shared_ptr<CSpawnPoint>& marker : markers_)
        if (marker->GetKind() == CSpawnPoint::kDefenderSlot)
            marker->SetPathValue(FindPath(nullptr, GetCellOf(entry), GetCellOf(marker), path, 0, 1, 0));
}

int CLevel::SpawnKeeper() {
    boost::weak_ptr<CSpawnPoint> place;
    for (const boost::shared_ptr<CSpawnPoint>& marker : markers_)
        if (marker->GetKind() == CSpawnPoint::kKeeperPlace) {
            place = marker;
            break;
        }
    if (place.expired()) return 0;
    const std::string name = Battle() != nullptr ? Battle()->GetKeeperName() : "";
    unit_list_.SpawnUnit(name, place, CUnit::kDefender, false, true);
    return 1;
}

void CLevel::Clear() {
    unit_list_.Clear();
    DropPoints();
    missiles_.clear();
    placed_objects_.clear();
    DestroyGrid();
}

void CLevel::DropPoints() {
    // Routes may loop; links are shared pointers, so a loop would keep its points alive.
    for (const boost::shared_ptr<CSpawnPoint>& marker : markers_) marker->ClearLinks();
    for (const boost::shared_ptr<CWayPoint>& wayPoint : way_points_) wayPoint->ClearLinks();
    markers_.clear();
    way_points_.clear();
}
