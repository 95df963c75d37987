// The level file of every configured map through the game's level reader: the grid as
// ASCII with its markers and scenery, the links of the routes, and whether every
// defender spot and spawn point connects to the keeper; the map's effects on the grid.
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CLevelObject.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CWayPoint.h"
#include "Core/Service.h"
#include "tools/datacheck/Check.h"
#include "tools/datacheck/DictionaryInService.h"

namespace {

std::string Label(const CLevelPoint& point) {
    char text[32];
    if (!point.IsSpawnPoint()) {
        std::snprintf(text, sizeof(text), "W%d", point.GetId());
    } else {
        const CSpawnPoint& spot = static_cast<const CSpawnPoint&>(point);
        const char kind = spot.GetKind() == CSpawnPoint::kAttackerEntry  ? 'A'
                          : spot.GetKind() == CSpawnPoint::kDefenderSlot ? 'D'
                                                                         : 'K';
        std::snprintf(text, sizeof(text), "%c%d", kind, point.GetId());
    }
    const IntVector3& at = point.GetPosition();
    return std::string(text) + "(" + std::to_string(at.x / 500) + "," + std::to_string(at.y / 500) + ")";
}

char SceneryMark(const CLevelObject& object) {
    if (object.BlocksWalking() && object.BlocksMissiles()) return '#';
    if (object.BlocksWalking()) return 'o';
    if (object.BlocksMissiles()) return '|';
    return '*';
}

void PrintGrid(const CLevel& level, datacheck::Report& report) {
    const int32_t width = static_cast<int32_t>(level.GetWidth());
    const int32_t height = static_cast<int32_t>(level.GetHeight());
    std::vector<std::string> rows(static_cast<size_t>(height), std::string(static_cast<size_t>(width), '.'));
    for (int32_t row = 0; row < height; ++row)
        for (int32_t column = 0; column < width; ++column)
            if (const CLevelObject* object = level.GetCell(column, row)->GetObject())
                rows[row][column] = SceneryMark(*object);
    auto mark = [&](const CLevelPoint& point, char c) {
        const CLevelNode* cell = level.GetCellOf(&point);
        if (cell == nullptr) return;
        rows[cell->GetPosition().y / 500][cell->GetPosition().x / 500] = c;
    };
    for (const boost::shared_ptr<CWayPoint>& point : level.GetWayPoints())
        mark(*point, point->GetLinks().empty() ? 'w' : 'W');
    for (const boost::shared_ptr<CSpawnPoint>& point : level.GetMarkers()) {
        const char c = point->GetKind() == CSpawnPoint::kAttackerEntry ? 'A'
                       : point->GetKind() == CSpawnPoint::kKeeperPlace ? 'K'
                       : point->GetVariant() == 1                      ? 'B'
                                                                       : 'D';
        mark(*point, c);
    }
    // North (the highest row) at the top.
    for (int32_t row = height - 1; row >= 0; --row) report.Line("%3d %s", row, rows[row].c_str());
    report.Line("K keeper, A attacker entry, D defender spot, B boosted spot, W way point, w last way point,");
    report.Line("# blocks movement and sight, o movement only, | sight only, * nothing");
}

// Follows every branch of the routes from a point; each leg must be walkable and every
// branch must end at a way point without links from which the keeper is reachable.
void CheckRoutes(CLevel& level, const CLevelPoint& point, CLevelNode* keeper, std::set<const CLevelPoint*>& onRoute,
                 int& legs, datacheck::Report& report) {
    std::vector<CLevelNode*> path;
    if (point.GetLinks().empty()) {
        if (!level.FindPath(nullptr, level.GetCellOf(&point), keeper, path, 1, 1, 0))
            report.Fail("route end %s does not reach the keeper", Label(point).c_str());
        return;
    }
    onRoute.insert(&point);
    for (const boost::shared_ptr<CWayPoint>& next : point.GetLinks()) {
        ++legs;
        if (onRoute.count(next.get())) {
            report.Fail("route loops at %s -> %s", Label(point).c_str(), Label(*next).c_str());
            continue;
        }
        if (!level.FindPath(nullptr, level.GetCellOf(&point), level.GetCellOf(next), path, 0, 1, 0))
            report.Fail("no path %s -> %s", Label(point).c_str(), Label(*next).c_str());
        CheckRoutes(level, *next, keeper, onRoute, legs, report);
    }
    onRoute.erase(&point);
}

void CheckLevel(CLevel& level, datacheck::Report& report) {
    if (!level.HasGrid()) {
        report.Fail("the level has no grid");
        return;
    }
    int counts[4] = {0, 0, 0, 0};
    for (const boost::shared_ptr<CSpawnPoint>& point : level.GetMarkers())
        if (point->GetKind() >= 1 && point->GetKind() <= 3) ++counts[point->GetKind()];
    int scenery = 0;
    for (uint32_t row = 0; row < level.GetHeight(); ++row)
        for (uint32_t column = 0; column < level.GetWidth(); ++column)
            if (level.GetCell(static_cast<int32_t>(column), static_cast<int32_t>(row))->HasObject()) ++scenery;
    report.Line("grid %u x %u, %d keeper place, %d attacker entries, %d defender spots, %zu way points, %d scenery",
                level.GetWidth(), level.GetHeight(), counts[3], counts[1], counts[2], level.GetWayPoints().size(),
                scenery);
    PrintGrid(level, report);

    for (const boost::shared_ptr<CSpawnPoint>& point : level.GetMarkers())
        if (!point->GetLinks().empty()) {
            std::string line = Label(*point) + " ->";
            for (const boost::shared_ptr<CWayPoint>& next : point->GetLinks()) line += " " + Label(*next);
            report.Line("%s", line.c_str());
        }
    for (const boost::shared_ptr<CWayPoint>& point : level.GetWayPoints()) {
        std::string line = Label(*point) + " ->";
        for (const boost::shared_ptr<CWayPoint>& next : point->GetLinks()) line += " " + Label(*next);
        report.Line("%s", point->GetLinks().empty() ? (line + " keeper").c_str() : line.c_str());
    }

    if (counts[3] == 0 || counts[1] == 0) {
        report.Fail("a level needs a keeper place and an attacker entry");
        return;
    }
    level.ComputeReachability();
    boost::shared_ptr<CSpawnPoint> keeperPlace = level.GetSpawnPoints(CSpawnPoint::kKeeperPlace).front().lock();
    CLevelNode* keeper = level.GetCellOf(keeperPlace);
    int reachable = 0;
    int connected = 0;
    std::vector<CLevelNode*> path;
    for (const boost::shared_ptr<CSpawnPoint>& point : level.GetMarkers()) {
        if (point->IsDefenderSpot()) {
            if (point->IsReachable()) ++reachable;
            else report.Fail("defender spot %s cannot be reached from the first entry", Label(*point).c_str());
        }
        if (point == keeperPlace) continue;
        if (level.FindPath(nullptr, level.GetCellOf(point), keeper, path, 1, 1, 0)) ++connected;
        else report.Fail("%s does not connect to the keeper", Label(*point).c_str());
    }
    report.Line("reachable defender spots: %d of %d; spawn points connected to the keeper: %d of %zu", reachable,
                counts[2], connected, level.GetMarkers().size() - 1);
    int legs = 0;
    std::set<const CLevelPoint*> onRoute;
    for (const boost::shared_ptr<CSpawnPoint>& point : level.GetMarkers())
        if (point->GetKind() == CSpawnPoint::kAttackerEntry) {
            if (point->GetLinks().empty()) report.Fail("entry %s has no route", Label(*point).c_str());
            CheckRoutes(level, *point, keeper, onRoute, legs, report);
        }
    report.Line("route legs followed from the entries: %d", legs);
}

// The level places the map's particle entries at their positions in cells times 500;
// each must stand on the grid.
void CheckEffects(const CLevel& level, const MapDefinition& map, datacheck::Report& report) {
    for (const MapParticle& particle : map.particles) {
        const Vector3& at = particle.position;
        if (at.x >= 0 && at.y >= 0 && at.x < static_cast<float>(level.GetWidth()) &&
            at.y < static_cast<float>(level.GetHeight()))
            report.Line("effect %-16s at (%g, %g, %g) cells, on cell (%d, %d)", particle.name.c_str(), at.x, at.y, at.z,
                        static_cast<int>(at.x), static_cast<int>(at.y));
        else
            report.Fail("effect %s at (%g, %g) cells stands off the %u x %u grid", particle.name.c_str(), at.x, at.y,
                        level.GetWidth(), level.GetHeight());
    }
}

}  // namespace

DATACHECK(level, 30) {
    if (!Service<Config>::Exists()) {
        report.Fail("no configuration");
        return;
    }
    const Config& config = *Service<Config>::Get();
    // The game dictionary names each map's level file.
    const datacheck::DictionaryInService dictionary(config);
    for (const std::string& name : config.Maps) {
        const MapDefinition* map = dictionary.Get().FindMap(name);
        if (map == nullptr) {
            report.Fail("map \"%s\" has no definition", name.c_str());
            continue;
        }
        report.Line("map \"%s\": level file \"%s\"", name.c_str(), map->files.data.c_str());
        CLevel level(name);
        CheckLevel(level, report);
        if (level.HasGrid()) CheckEffects(level, *map, report);
    }
}
