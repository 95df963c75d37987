// The level file of Harrowmere: the grid over the map model's walled field, the keeper's
// place before the keep, two entries in the south gate, defender slots along the field
// and branching way-point routes that meet before the keep:
//
//   west entry -> W1 | C1        W1 -> W2 -> W3 -> K
//   east entry -> E1 | C1        E1 -> E2 -> E3 -> K
//   C1 -> C2 -> K                K: the last way point, then the keeper
//
// An attacker searches its path only within 7500 level units (15 cells, Manhattan) of
// where it stands: every hop between points stays within
// 11 cells (13 from a cell beside it), so no attacker is left without a way on.
//
// Scenery: the keep itself (part of the map model) as invisible cells that block
// movement and sight, towers inside the gate, groves and scattered trees (blocking both),
// low rock ridges and crates (blocking movement only), braziers before the keep (effects
// that block movement) and a drifting mist that blocks nothing.
#include <sstream>
#include <string>
#include <vector>

#include "tools/catalogue/Config.h"
#include "tools/catalogue/GameData.h"
#include "tools/catalogue/Level.h"
#include "tools/catalogue/Models.h"
#include "tools/databuilder/Builder.h"
#include "tools/databuilder/XmlAttr.h"

namespace {

namespace cfg = catalogue::config;
namespace gd = catalogue::gamedata;
namespace cl = catalogue::level;
namespace cm = catalogue::models;

// Marker ids of the file: they only serve the links.
const int kKeeperId = 100;
const int kFirstEntryId = 101;
const int kFirstSpotId = 201;

struct WayPoint {
    int id;
    int type;  // 3, or 4 for the last one
    cl::Cell cell;
};
enum { W1 = 301, W2, W3, C1, C2, E1, E2, E3, K };
const WayPoint kWayPoints[] = {
    {W1, 3, {15, 6}}, {W2, 3, {11, 13}}, {W3, 3, {13, 22}}, {C1, 3, {21, 8}},  {C2, 3, {21, 17}},
    {E1, 3, {27, 6}}, {E2, 3, {31, 13}}, {E3, 3, {29, 22}}, {K, 4, {21, 23}},
};

struct Link {
    int from;
    std::vector<int> to;
};
const Link kLinks[] = {
    {kFirstEntryId, {W1, C1}}, {kFirstEntryId + 1, {E1, C1}}, {W1, {W2}}, {W2, {W3}}, {C1, {C2}},
    {E1, {E2}},                {E2, {E3}},                    {W3, {K}},  {C2, {K}},  {E3, {K}},
};

struct Scenery {
    cl::Cell cell;
    int visible, blocksMovement, blocksSight;
    std::string name;
};

std::vector<Scenery> SceneryList() {
    std::vector<Scenery> list;
    const std::string tree = cm::kScenery[0], rock = cm::kScenery[1], crate = cm::kScenery[2], tower = cm::kScenery[3];
    // The keep's footprint (x 272..368, y 392..468 world units).
    for (int row = 26; row < cl::kGridRows; ++row)
        for (int column = 18; column <= 24; ++column) list.push_back({{column, row}, 0, 1, 1, ""});
    list.push_back({{16, 1}, 1, 1, 1, tower});
    list.push_back({{26, 1}, 1, 1, 1, tower});
    const cl::Cell trees[] = {{3, 20},  {4, 21},  {5, 20},  {3, 22},  {5, 23},  {6, 21},  {4, 24},
                              {37, 20}, {38, 21}, {36, 21}, {38, 23}, {36, 23}, {37, 24}, {2, 8},
                              {39, 8},  {11, 28}, {31, 28}, {8, 29},  {34, 29}, {1, 14},  {40, 14}};
    for (const cl::Cell& cell : trees) list.push_back({cell, 1, 1, 1, tree});
    for (int column = 14; column <= 17; ++column) list.push_back({{column, 10}, 1, 1, 0, rock});
    for (int column = 25; column <= 28; ++column) list.push_back({{column, 10}, 1, 1, 0, rock});
    const cl::Cell crates[] = {{12, 2}, {13, 2}, {29, 2}};
    for (const cl::Cell& cell : crates) list.push_back({cell, 1, 1, 0, crate});
    list.push_back({{19, 24}, 1, 1, 0, gd::kTorch});
    list.push_back({{23, 24}, 1, 1, 0, gd::kTorch});
    list.push_back({{34, 26}, 1, 0, 0, gd::kMist});
    return list;
}

using databuilder::Attr;

// Marker attributes are read by position: id, type, column, row, then by type.
std::string LevelXml() {
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<level>\n";
    xml << "  <Image" << Attr("file", "harrowmere_ground.png") << "/>\n";
    xml << "  <Grid" << Attr("width", cl::kGridColumns) << Attr("height", cl::kGridRows) << "/>\n";
    xml << "  <markers>\n";
    xml << "    <Marker" << Attr("id", kKeeperId) << Attr("type", 0) << Attr("x", cl::kKeeperPlace.column)
        << Attr("y", cl::kKeeperPlace.row) << Attr("facing", 0) << "/>\n";
    int id = kFirstEntryId;
    for (const cl::Entry& entry : cl::kEntries)
        xml << "    <Marker" << Attr("id", id++) << Attr("type", 1) << Attr("x", entry.cell.column)
            << Attr("y", entry.cell.row) << Attr("unused", 0) << Attr("facing", 180)
            << Attr("attackerId", entry.attackerId) << "/>\n";
    id = kFirstSpotId;
    for (const cl::Spot& spot : cl::kDefenderSpots)
        xml << "    <Marker" << Attr("id", id++) << Attr("type", 2) << Attr("x", spot.cell.column)
            << Attr("y", spot.cell.row) << Attr("boost", spot.variant) << Attr("facing", spot.facing)
            << Attr("defenderId", spot.defenderId) << "/>\n";
    for (const WayPoint& point : kWayPoints)
        xml << "    <Marker" << Attr("id", point.id) << Attr("type", point.type) << Attr("x", point.cell.column)
            << Attr("y", point.cell.row) << "/>\n";
    for (const Scenery& object : SceneryList())
        xml << "    <Marker" << Attr("id", 0) << Attr("type", 5) << Attr("x", object.cell.column)
            << Attr("y", object.cell.row) << Attr("unused", 0) << Attr("visible", object.visible)
            << Attr("blocksMovement", object.blocksMovement) << Attr("blocksSight", object.blocksSight)
            << Attr("file", object.name) << "/>\n";
    xml << "  </markers>\n";
    // Links after every marker: a link names markers read before it.
    xml << "  <links>\n";
    for (const Link& link : kLinks) {
        xml << "    <MarkerFrom" << Attr("id", link.from) << ">\n";
        for (int to : link.to) xml << "      <LinkTo" << Attr("id", to) << "/>\n";
        xml << "    </MarkerFrom>\n";
    }
    xml << "  </links>\n</level>\n";
    return xml.str();
}

}  // namespace

DATABUILDER_WRITER(level, 12) { out.WriteText(cfg::kLogic.Path() + gd::kLevelFile, LevelXml()); }
