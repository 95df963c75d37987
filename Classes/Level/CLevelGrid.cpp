// The level's grid: cells, position queries, occupancy, look-ups, world positions and
// the objects placed at run time.
#include <algorithm>
#include <cstdio>
#include <string>

#include "Classes/Level/CLevel.h"
#include "Classes/Level/CLevelObject.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CWayPoint.h"
#include "SceneGraph/EmitterNode.h"

namespace {

// Neighbour offsets in grid units, in the order the path search and the unit moves use.
const int32_t kNeighbours[8][2] = {{-500, -500}, {0, -500},   {500, -500}, {-500, 0},
                                   {500, 0},     {-500, 500}, {0, 500},    {500, 500}};

const int32_t kNearestFreeCellRadius = 19;

}  // namespace

int CLevel::CreateGrid(uint32_t width, uint32_t height) {
    DestroyGrid();
    if (width == 0 || height == 0) return 0;
    width = std::min(width, kMaxGridSide);
    height = std::min(height, kMaxGridSide);
    width_ = width;
    height_ = height;
    rows_.reserve(height);
    for (uint32_t row = 0; row < height; ++row) {
        rows_.emplace_back(new CLevelNode[width]);
        for (uint32_t column = 0; column < width; ++column)
            rows_.back()[column].SetPosition(
                IntVector3(static_cast<int32_t>(column) * 500, static_cast<int32_t>(row) * 500, 0));
    }
    return 1;
}

void CLevel::DestroyGrid() {
    // The sizes keep their last values; without rows no cell is valid.
    rows_.clear();
    search_cells_.clear();
}

int CLevel::IsCellValid(int32_t column, int32_t row) const {
    return HasGrid() && column >= 0 && row >= 0 && static_cast<uint32_t>(column) < width_ &&
                   static_cast<uint32_t>(row) < height_
               ? 1
               : 0;
}

int CLevel::IsPositionValid(int32_t x, int32_t y) const {
    return HasGrid() && x >= 0 && y >= 0 && static_cast<int64_t>(x) < static_cast<int64_t>(width_) * 500 &&
                   static_cast<int64_t>(y) < static_cast<int64_t>(height_) * 500
               ? 1
               : 0;
}

CLevelNode* CLevel::GetCell(int32_t column, int32_t row) const {
    if (!IsCellValid(column, row)) return nullptr;
    return &rows_[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

CLevelNode* CLevel::GetCellAt(int32_t x, int32_t y) const { return GetCell(x / 500, y / 500); }

CLevelNode* CLevel::GetCellOf(const CGenericObject* object) const {
    return object != nullptr ? GetCellAtPoint(object->GetPosition()) : nullptr;
}

CLevelNode* CLevel::FindNearestFreeCell(const CLevelNode* cell) const {
    if (cell == nullptr) return nullptr;
    const IntVector3& centre = cell->GetPosition();
    for (int32_t radius = 1; radius <= kNearestFreeCellRadius; ++radius)
        for (int32_t dy = -radius; dy <= radius; ++dy)
            for (int32_t dx = -radius; dx <= radius; ++dx) {
                const int64_t x = static_cast<int64_t>(centre.x) + 500 * dx;
                const int64_t y = static_cast<int64_t>(centre.y) + 500 * dy;
                if (x < 0 || y < 0 || x > INT32_MAX || y > INT32_MAX) continue;
                if (!IsPositionValid(static_cast<int32_t>(x), static_cast<int32_t>(y))) continue;
                CLevelNode* candidate = GetCellAt(static_cast<int32_t>(x), static_cast<int32_t>(y));
                if (candidate != nullptr && candidate != cell && !candidate->HasOccupant() && candidate->IsWalkable())
                    return candidate;
            }
    return nullptr;
}

void CLevel::SetUnitCell(const boost::weak_ptr<CUnit>& unit, CLevelNode* oldCell, CLevelNode* newCell) {
    const boost::shared_ptr<CUnit> walker = unit.lock();
    if (!walker) return;
    if (oldCell != nullptr) oldCell->SetOccupant(boost::weak_ptr<CUnit>());
    if (newCell != nullptr && walker->IsAlive()) newCell->SetOccupant(unit);
    if (oldCell != nullptr && newCell != nullptr) unit_list_.OnUnitMovedCell(unit, oldCell, newCell);
}

void CLevel::MoveUnitToCell(const boost::weak_ptr<CUnit>& unit, CLevelNode* hint, CLevelNode* newCell) {
    if (hint == nullptr) {
        SetUnitCell(unit, nullptr, newCell);
        return;
    }
    const boost::shared_ptr<CUnit> walker = unit.lock();
    CLevelNode* oldCell = nullptr;
    if (walker && hint->GetOccupant().lock() == walker) {
        oldCell = hint;
    } else if (walker) {
        const IntVector3& at = hint->GetPosition();
        for (const int32_t(&offset)[2] : kNeighbours) {
            CLevelNode* cell = GetCellAt(at.x + offset[0], at.y + offset[1]);
            if (cell != nullptr && cell != hint && cell->GetOccupant().lock() == walker) {
                oldCell = cell;
                break;
            }
        }
    }
    SetUnitCell(unit, oldCell, newCell);
}

void CLevel::RebuildOccupancy() {
    for (const std::unique_ptr<CLevelNode[]>& row : rows_)
        for (uint32_t column = 0; column < width_; ++column) row[column].SetOccupant(boost::weak_ptr<CUnit>());
    for (const boost::shared_ptr<CUnit>& unit : unit_list_.GetUnits())
        if (unit->IsAlive())
            if (CLevelNode* cell = GetCellOf(unit)) cell->SetOccupant(unit);
}

std::vector<boost::weak_ptr<CSpawnPoint>>& CLevel::GetSpawnPoints(int32_t kind) const {
    static std::vector<boost::weak_ptr<CSpawnPoint>> points;
    points.clear();
    for (const boost::shared_ptr<CSpawnPoint>& marker : markers_)
        if (kind == 0 || marker->GetKind() == kind) points.push_back(marker);
    return points;
}

boost::weak_ptr<CSpawnPoint> CLevel::FindSpawnPoint(int32_t kind, int32_t markerId) const {
    for (const boost::shared_ptr<CSpawnPoint>& marker : markers_)
        if (marker->GetKind() == kind && marker->GetNumber() == markerId) return marker;
    return boost::weak_ptr<CSpawnPoint>();
}

boost::shared_ptr<CSpawnPoint> CLevel::FindMarker(int32_t objectId) const {
    for (const boost::shared_ptr<CSpawnPoint>& marker : markers_)
        if (marker->GetId() == objectId) return marker;
    return boost::shared_ptr<CSpawnPoint>();
}

boost::shared_ptr<CWayPoint> CLevel::FindWayPoint(int32_t objectId) const {
    for (const boost::shared_ptr<CWayPoint>& wayPoint : way_points_)
        if (wayPoint->GetId() == objectId) return wayPoint;
    return boost::shared_ptr<CWayPoint>();
}

boost::shared_ptr<CUnit> CLevel::FindUnit(int32_t objectId) const {
    for (const boost::shared_ptr<CUnit>& unit : unit_list_.GetUnits())
        if (unit->GetId() == objectId) return unit;
    return boost::shared_ptr<CUnit>();
}

boost::weak_ptr<CSpawnPoint> CLevel::FindMarkerByObject(const CSpawnPoint* point) const {
    for (const boost::shared_ptr<CSpawnPoint>& marker : markers_)
        if (marker.get() == point) return marker;
    return boost::weak_ptr<CSpawnPoint>();
}

int CLevel::IsKeeperAlive() const {
    const boost::shared_ptr<CUnit> keeper = unit_list_.FindDungeonKeeper().lock();
    return keeper && keeper->IsAlive() ? 1 : 0;
}

Vector3 CLevel::ToWorld(const IntVector3& position) const {
    return ToWorld(
        Vector3(static_cast<float>(position.x), static_cast<float>(position.y), static_cast<float>(position.z)));
}

Vector3 CLevel::ToWorld(const Vector3& position) const {
    const float scale = static_cast<float>(cell_scale_);
    return Vector3(position.x * scale / 500.0f, position.y * scale / 500.0f, position.z * scale / 500.0f);
}

float CLevel::LevelToWorld(int32_t value) { return static_cast<float>(value) * 15.0f / 500.0f; }

void CLevel::AdjustCellScale(int32_t delta) {
    const int64_t scale = static_cast<int64_t>(cell_scale_) + delta;
    cell_scale_ = static_cast<int32_t>(std::max<int64_t>(1, std::min<int64_t>(30, scale)));
}

void CLevel::PlaceObject(const IntVector3& position, const std::string& name, int32_t flag) {
    boost::shared_ptr<CLevelObject> object(new CLevelObject(position.x, position.y, position.z, name, 1, 0, 0));
    object->BuildNode(flag);
    placed_objects_.push_back(object);
}

void CLevel::PlaceObjectAtCell(int32_t column, int32_t row, const std::string& name, int32_t flag) {
    PlaceObject(IntVector3(static_cast<int32_t>(static_cast<uint32_t>(column) * 500u),
                           static_cast<int32_t>(static_cast<uint32_t>(row) * 500u), 0),
                name, flag);
}

void CLevel::RemoveFinishedObjects() {
    placed_objects_.erase(std::remove_if(placed_objects_.begin(), placed_objects_.end(),
                                         [](const boost::shared_ptr<CLevelObject>& object) {
                                             const boost::shared_ptr<sg::Node>& node = object->GetNode();
                                             return node && node->IsType<sg::EmitterNode>() &&
                                                    static_cast<const sg::EmitterNode*>(node.get())->IsFinished();
                                         }),
                          placed_objects_.end());
}

void CLevel::PruneSelectedDefenders() {
    selected_defenders_.erase(std::remove_if(selected_defenders_.begin(), selected_defenders_.end(),
                                             [](const boost::weak_ptr<CUnit>& unit) { return unit.expired(); }),
                              selected_defenders_.end());
}

void CLevel::RemoveSelectedDefender(const boost::weak_ptr<CUnit>& unit) {
    const boost::shared_ptr<CUnit> removed = unit.lock();
    if (!removed) return;
    for (std::vector<boost::weak_ptr<CUnit>>::iterator it = selected_defenders_.begin();
         it != selected_defenders_.end(); ++it)
        if (it->lock() == removed) {
            selected_defenders_.erase(it);
            return;
        }
}

void CLevel::SetSpotHighlightMode(int32_t mode) {
    spot_highlight_mode_ = mode;
    if (mode == 0) ClearSpotHighlights();
}

void CLevel::ClearSpotHighlights() {
    // The spots offered for a teleport go back to showing as free or taken.
    for (const boost::shared_ptr<CSpawnPoint>& marker : markers_)
        if (marker->IsHighlighted() != 0) {
            marker->SetHighlighted(0);
            marker->UpdateVisibility();
        }
}

void CLevel::PrintGrid() const {
    if (!HasGrid()) {
        std::printf("!!! empty level !!!\n");
        return;
    }
    const std::string edge(width_ + 1, '#');
    std::printf("%s\n", edge.c_str());
    for (uint32_t row = 0; row < height_; ++row) std::printf("#\n");
    std::printf("%s\n", edge.c_str());
}
