#pragma once
// The level of the sample map: the grid the level file builds and the markers the game
// and the tests look up by id. The file itself is gamedata::kLevelFile in the "logic"
// folder; its way points, links and scenery are laid out by the level writer.
//
// The level's cell is 15 world units wide (the game's fixed cell scale), so the grid
// that covers the map model's ground has more cells than the model's own 40-unit tiles:
// world = grid x kCellScale / 500, and a position in level cells is world / kCellScale.
#include "tools/catalogue/GameData.h"
#include "tools/catalogue/Models.h"

namespace catalogue {
namespace level {

inline constexpr int kCellScale = 15;
inline constexpr int kGridColumns = static_cast<int>(models::kMapColumns * models::kCellWorldSize) / kCellScale;
inline constexpr int kGridRows = static_cast<int>(models::kMapRows * models::kCellWorldSize) / kCellScale;

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
    {1, {16, 5}, 0, 0},    {2, {26, 5}, 0, 0},    {3, {9, 12}, 1, 90},  {4, {33, 12}, 1, 270}, {5, {14, 17}, 0, 0},
    {6, {28, 17}, 0, 0},   {7, {21, 14}, 1, 0},   {8, {17, 22}, 0, 0},  {9, {25, 22}, 0, 0},   {10, {21, 20}, 1, 0},
};

}  // namespace level
}  // namespace catalogue
