#pragma once
// The battlefield of one battle: a grid of square cells (500 grid units a side), the
// markers of the map's level file (spawn points, spots, way points and their links),
// the scenery on the cells, the unit list, the missiles and the player's selection.
// Registered as Service<CLevel> by the battle that owns it.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Classes/Level/CLevelNode.h"
#include "Classes/Level/CUnit.h"
#include "Classes/Level/UnitList.h"
#include "Maths/IntVector3.h"
#include "Maths/Vector2.h"
#include "Maths/Vector3.h"

class CGenericObject;
class CLevelObject;
class CMissile;
class CSpawnPoint;
class CWayPoint;
class MemoryStream;
struct LevelSaveRecord;
struct SaveLimits;
struct MapDefinition;
struct WeaponDefinition;

// The overlay's marks blink while this is above 0: 250 ms on, 250 ms off, advanced once
// a frame by the level's step.
extern int32_t BlinkTimer;

class CLevel {
public:
    typedef std::vector<boost::shared_ptr<CSpawnPoint>> Markers;
    typedef std::vector<boost::shared_ptr<CWayPoint>> WayPoints;
    typedef std::vector<boost::shared_ptr<CLevelObject>> PlacedObjects;
    typedef std::vector<boost::shared_ptr<CMissile>> Missiles;

    // Grid positions, Manhattan distances and summed path costs (at most 707 per cell
    // of the grid) stay within int32 up to this many cells a side; larger grids are cut.
    static constexpr uint32_t kMaxGridSide = 1024;

    // Looks the map up in the game dictionary and, with a configuration, reads its
    // level file. An unknown map leaves the level empty.
    explicit CLevel(const std::string& mapName);
    ~CLevel();
    CLevel(const CLevel&) = delete;
    CLevel& operator=(const CLevel&) = delete;

    // ---- level file and scene ----
    // False (and the level as it was) when the file cannot be opened.
    bool ReadLevelFile(const std::string& path);
    // Builds the nodes of the markers, of the cells' scenery and of the map's particle
    // entries, then computes which defender spots the attackers can reach.
    void CreateSceneObjects();
    // Sets each defender spot's path value to whether a path leads from the first
    // attacker entry to it (no walker, still units ignored, no range limit).
    // Nothing without an attacker entry.
    void ComputeReachability();
    // Spawns the battle's keeper at the first keeper place; 0 without one.
    int SpawnKeeper();
    // Units, markers, way points, missiles and placed objects, then the grid.
    void Clear();
    UnitList& GetUnitList() { return unit_list_; }
    const UnitList& GetUnitList() const { return unit_list_; }

    // ---- grid ----
    // Replaces the grid; 0 (and no grid) when a side is 0.
    int CreateGrid(uint32_t width, uint32_t height);
    void DestroyGrid();
    bool HasGrid() const { return !rows_.empty(); }
    uint32_t GetWidth() const { return width_; }
    uint32_t GetHeight() const { return height_; }

    int IsCellValid(int32_t column, int32_t row) const;
    int IsPositionValid(int32_t x, int32_t y) const;
    CLevelNode* GetCell(int32_t column, int32_t row) const;
    CLevelNode* GetCell(const std::pair<int32_t, int32_t>& cell) const { return GetCell(cell.first, cell.second); }
    // The cell of (x / 500, y / 500), dividing toward zero: -499..-1 fall in column or
    // row 0.
    CLevelNode* GetCellAt(int32_t x, int32_t y) const;
    CLevelNode* GetCellAtPoint(const IntVector3& position) const { return GetCellAt(position.x, position.y); }
    CLevelNode* GetCellOf(const CGenericObject* object) const;
    template <class T>
    CLevelNode* GetCellOf(const boost::shared_ptr<T>& object) const {
        return GetCellOf(static_cast<const CGenericObject*>(object.get()));
    }
    template <class T>
    CLevelNode* GetCellOf(const boost::weak_ptr<T>& object) const {
        return GetCellOf(object.lock());
    }
    // The first free, walkable cell other than the given one in squares of radius 1 to
    // 19 around it (rows outer, columns inner, from the lowest offset); null if none.
    CLevelNode* FindNearestFreeCell(const CLevelNode* cell) const;

    // ---- occupancy ----
    void SetUnitCell(const boost::weak_ptr<CUnit>& unit, CLevelNode* oldCell, CLevelNode* newCell);
    // The unit's old cell is the hint or the first of its eight neighbours it occupies.
    void MoveUnitToCell(const boost::weak_ptr<CUnit>& unit, CLevelNode* hint, CLevelNode* newCell);
    void RebuildOccupancy();

    // ---- look-ups ----
    // Kind 0 every marker, else the markers of that kind, in marker order. One
    // function-static vector, refilled by every call.
    std::vector<boost::weak_ptr<CSpawnPoint>>& GetSpawnPoints(int32_t kind) const;
    boost::weak_ptr<CSpawnPoint> FindSpawnPoint(int32_t kind, int32_t markerId) const;
    boost::shared_ptr<CSpawnPoint> FindMarker(int32_t objectId) const;
    boost::shared_ptr<CWayPoint> FindWayPoint(int32_t objectId) const;
    boost::shared_ptr<CUnit> FindUnit(int32_t objectId) const;
    boost::weak_ptr<CSpawnPoint> FindMarkerByObject(const CSpawnPoint* point) const;
    int IsKeeperAlive() const;

    // ---- world positions ----
    // Each coordinate v becomes v x cell scale / 500.
    Vector3 ToWorld(const IntVector3& position) const;
    Vector3 ToWorld(const Vector3& position) const;
    // value x 15 / 500: one cell is 15 world units.
    static float LevelToWorld(int32_t value);
    // Clamped to 1..30.
    void AdjustCellScale(int32_t delta);
    int32_t GetCellScale() const { return cell_scale_; }

    // ---- placed objects ----
    // A shown object blocking nothing, not on any cell, with its node built at once.
    void PlaceObject(const IntVector3& position, const std::string& name, int32_t flag);
    void PlaceObjectAtCell(int32_t column, int32_t row, const std::string& name, int32_t flag);
    // Drops placed objects whose emitter node has finished.
    void RemoveFinishedObjects();

    // ---- selection; every change of it restarts the HUD's highlights ----
    // No selected defenders (the spot highlight mode off), attacker or spot.
    void ClearSelection();
    boost::weak_ptr<CSpawnPoint> GetSelectedSpot() const { return selected_spot_; }
    // The previous and the new spot refresh their selection effects.
    void SelectSpot(const boost::weak_ptr<CSpawnPoint>& spot);
    boost::weak_ptr<CUnit> GetSelectedAttacker() const { return selected_attacker_; }
    // The previous and the new attacker refresh their selection effects.
    void SetSelectedAttacker(const boost::weak_ptr<CUnit>& unit);
    const std::vector<boost::weak_ptr<CUnit>>& GetSelectedDefenders() const { return selected_defenders_; }
    // Appended; it shows its selection effect.
    void AddSelectedDefender(const boost::weak_ptr<CUnit>& unit);
    // The first entry of the unit leaves the list.
    void RemoveSelectedDefender(const boost::weak_ptr<CUnit>& unit);
    // The highlight mode off, then the list emptied.
    void ClearSelectedDefenders();
    // Entries whose unit no longer exists leave the list, the order kept.
    void PruneSelectedDefenders();
    // The unit alone; a second tap on the only selected defender deselects it.
    void SelectDefender(const boost::weak_ptr<CUnit>& unit);
    // The attacker alone; a second tap deselects it.
    void SelectAttacker(const boost::weak_ptr<CUnit>& unit);
    // The living defenders of the list, or its dead ones when none lives.
    void SelectGroup(const std::vector<boost::weak_ptr<CUnit>>& units);
    // Defender spots without occupant; one function-static vector, refilled by each call.
    std::vector<boost::weak_ptr<CSpawnPoint>>& GetFreeDefenderSpots() const;
    int32_t CountFreeDefenderSpots() const;
    // The unit under the pointer.
    boost::weak_ptr<CUnit> GetHoveredUnit() const { return hovered_unit_; }
    void UpdateHover();
    // Teleport targeting while not 0; 0 also takes the highlight off every spot.
    int32_t GetSpotHighlightMode() const { return spot_highlight_mode_; }
    void SetSpotHighlightMode(int32_t mode);
    // With one defender selected: highlights the defender spots it may teleport to.
    void UpdateSpotHighlights();
    void ClearSpotHighlights();

    // ---- map input and picking ----
    // The map view's pick rectangle of the kind (MapPickGroup) times the zoom factor;
    // (0, 0) without battle, map or entry.
    Vector2 GetPickArea(int32_t kind) const;
    // A press on the map selects a spot, a defender or an attacker, or in teleport
    // targeting moves the selected defender; 1 when the tap was used.
    int OnMapInput(int32_t phase, const Vector2& position);

    // ---- overlay ----
    // Over the scene, in the battle's 2D pass: health or revival bars, the labels of the
    // selected or hovered unit, upgrade pips, arrows at the screen's edge for units out of
    // view (blinking while they fight), and the debug layers behind their switches.
    void DrawOverlay() const;
    // The rectangle of the pick area centred on the world point's screen point.
    void DrawPickFrame(const Vector3& world, const Vector2& area) const;

    // ---- teleport ----
    // 1 when the spot's cell exists and holds no unit, or a defender.
    int CanTeleportTo(const boost::weak_ptr<CUnit>& unit, const boost::weak_ptr<CSpawnPoint>& spot) const;
    // The defender moves to the spot, swapping places with the spot's own defender;
    // paid from the battle's gold. Nothing at all when a check fails.
    void Teleport(const boost::weak_ptr<CUnit>& unit, const boost::weak_ptr<CSpawnPoint>& spot);

    // ---- step ----
    // One battle step of the level: the blink timer when advanceBlink, the spot
    // highlights, the unit under the pointer, then, unless frozen, the missiles (a finished one leaves at once, the next still moves this
    // step), a new path-search token and the units.
    void Update(int32_t dt, int32_t frozen, int32_t advanceBlink);

    // ---- missiles ----
    // A missile of the weapon (the source's own when none) appended to the missiles;
    // none without a weapon.
    boost::shared_ptr<CMissile> CreateMissile(const boost::weak_ptr<CUnit>& source,
                                              const boost::weak_ptr<CUnit>& target, const WeaponDefinition* weapon,
                                              int32_t flag);

    // ---- path search and line of sight ----
    // A* over the eight-connected grid; 1 with the path (goal end first, the start left
    // out) or 0 with an empty path. Not reentrant.
    int FindPath(const CUnit* unit, CLevelNode* start, CLevelNode* goal, std::vector<CLevelNode*>& path,
                 int32_t stopBeforeGoal, int32_t ignoreStillUnits, int32_t range);
    // Zeroes the search values of every cell and empties the search lists (in constant
    // time: a new search number makes every cell's values read as zero).
    void ClearSearchState();
    int HasLineOfSight(const CLevelNode* a, const CLevelNode* b) const;
    // Grid units; walks x then y in steps of 500 along the line, every cell met must
    // exist and let sight through.
    int IsLineClear(const IntVector3& p, const IntVector3& q) const;

    // ---- members read by the battle, the drawing and the tools ----
    const Markers& GetMarkers() const { return markers_; }
    const WayPoints& GetWayPoints() const { return way_points_; }
    const PlacedObjects& GetPlacedObjects() const { return placed_objects_; }
    Missiles& GetMissiles() { return missiles_; }
    const MapDefinition* GetMapDefinition() const { return map_definition_; }

    // ---- savegame ----
    // Spots, missiles, units, every cell's occupant id, the highlight mode and the
    // selection; 1.
    int SaveState(MemoryStream& stream) const;
    // The section into the record, the cells as many as this level's grid has; the unit
    // list takes its saved next id and path-search token at once. 0 when the section is
    // cut short or damaged: a count or length negative or beyond what is left, or a
    // spot count other than this level's.
    int LoadState(LevelSaveRecord& record, MemoryStream& stream);
    // 1 when the record can be restored on this level: each name one the game data
    // gives (unit definitions, weapons, effect files, the units' animation clips), each
    // id one the record or the level holds (unit ids unique and below the next id),
    // each number within what the game writes. The battle's section gives the limits.
    int CheckState(const LevelSaveRecord& record, const SaveLimits& limits) const;
    // On a level fresh from its level file: the scene objects, the units made again
    // and restored (their brains once all exist), the spots' highlights and occupants,
    // the missiles, the cells and the selection. 0 without a battle.
    int RestoreState(LevelSaveRecord& record);

    // Debug: the grid's outline on the standard output.
    void PrintGrid() const;

private:
    void DropPoints();
    // The search cells from the grid's walkability (CLevelPath.cpp).
    void MakeSearchCells();

    Markers markers_;
    Missiles missiles_;
    UnitList unit_list_;
    // One array of width_ cells per row; empty while no grid exists.
    std::vector<std::unique_ptr<CLevelNode[]>> rows_;
    int32_t spot_highlight_mode_;
    std::vector<boost::weak_ptr<CUnit>> selected_defenders_;
    boost::weak_ptr<CUnit> selected_attacker_;
    boost::weak_ptr<CUnit> hovered_unit_;
    boost::weak_ptr<CSpawnPoint> selected_spot_;
    uint32_t width_;
    uint32_t height_;
    int32_t cell_scale_;
    const MapDefinition* map_definition_;
    WayPoints way_points_;
    PlacedObjects placed_objects_;
    // The path search's own copy of the grid's walkability: one byte per cell, a
    // blocked border around the grid.
    std::vector<uint8_t> search_cells_;
    // CLevelNode's count of walkability changes when search_cells_ was made.
    uint64_t search_cells_made_at_;
};
