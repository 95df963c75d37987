#pragma once
// The level of the sample map: the grid the level file builds and the markers the game
// and the tests look up by id. The file itself is gamedata::kLevelFile in the "logic"
// folder; its way points, links and scenery are laid out by the level writer.
//
// The level's cell is 15 world units wide (the game's fixed cell scale), so the grid
// that covers the map model's ground has more cells than the model's own 40-unit tiles:
// world = grid x kCellScale / 500, and a position in level cells is world / kCellScale.
// Whole cells only: the grid leaves the ground's last 10 world units along the east
// wall (x 630 to 640) outside.
#include "tools/catalogue/GameData.h"
#include "tools/catalogue/Models.h"

namespace catalogue {
namespace level {

inline constexpr int kCellScale = 15;
inline constexpr int kGridColumns = static_cast<int>(models::kMapWidth) / kCellScale;  // 42
inline constexpr int kGridRows = static_cast<int>(models::kMapDepth) / kCellScale;     // 32

struct Cell {
    int column;
    int row;
};

// In front of the keep at the north end, facing south (direction 0 faces -y).
inline constexpr Cell kKeeperPlace{21, 25};

// The attackers come in through the south gate, facing north.
struct Entry {
    int attackerId;
    Cell cell;
};
inline constexpr Entry kEntries[] = {{gamedata::kEntryWest, {19, 0}}, {gamedata::kEntryEast, {23, 0}}};

// Defender slots; variant 1 gives its defender the boost of config.xml's spawn-point
// type 1.
struct Spot {
    int defenderId;
    Cell cell;
    int variant;
    int facing;
};
inline constexpr Spot kDefenderSpots[] = {
    {1, {16, 5}, 0, 0},  {2, {26, 5}, 0, 0},  {3, {9, 12}, 1, 90}, {4, {33, 12}, 1, 270}, {5, {14, 17}, 0, 0},
    {6, {28, 17}, 0, 0}, {7, {21, 14}, 1, 0}, {8, {17, 22}, 0, 0}, {9, {25, 22}, 0, 0},   {10, {21, 20}, 1, 0},
};

// The map's free effects (the map definition's "particle" entries), placed at the
// centre of a level cell (the map gives x, y and the height in cells): torches inside
// the south gate between each gate tower and the entry next to it, a camp fire on the
// west field off the western route, mist over the eastern route.
struct Effect {
    const char* name;
    Cell cell;
    float height;  // in cells
};
inline constexpr Effect kMapEffects[] = {
    {gamedata::kTorch, {17, 0}, 0.5f},
    {gamedata::kTorch, {25, 0}, 0.5f},
    {gamedata::kCampfire, {3, 11}, 0.0f},
    {gamedata::kMist, {33, 19}, 0.0f},
};
static_assert(
    [] {
        for (const Effect& e : kMapEffects)
            if (e.cell.column < 0 || e.cell.column >= kGridColumns || e.cell.row < 0 || e.cell.row >= kGridRows)
                return false;
        return true;
    }(),
    "a map effect off the level grid");

}  // namespace level
}  // namespace catalogue
