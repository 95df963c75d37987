#pragma once
// Small fixtures of the level tests: a scratch folder for level files, a recorder of
// failed assertions, grids drawn as text, and the services a level and its objects use.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "Classes/Level/CLevel.h"
#include "Classes/Level/CLevelObject.h"
#include "Classes/Level/StandIn/BattleStandIn.h"
#include "Core/Assert.h"
#include "Core/Service.h"
#include "SceneGraph/Group.h"

namespace levelfixtures {

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "dm-level-XXXXXX").string();
        if (mkdtemp(&pattern[0]) != nullptr) path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    std::string Write(const std::string& name, const std::string& text) const {
        const std::string file = path_ + "/" + name;
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Failed assertions' messages while it lives.
class AssertionRecorder {
public:
    AssertionRecorder() {
        Messages().clear();
        previous_ = SetAssertionHandler(&Record);
    }
    ~AssertionRecorder() { SetAssertionHandler(previous_); }
    static std::vector<std::string>& Messages() {
        static std::vector<std::string> messages;
        return messages;
    }

private:
    static void Record(const char*, const char* message, const char*, int) { Messages().push_back(message); }
    AssertionHandler previous_;
};

// A level (no map) whose grid is drawn row by row, row 0 first: '#' blocks movement and
// sight, 'o' movement only, '|' sight only, anything else is a free cell.
inline void DrawGrid(CLevel& level, const std::vector<std::string>& rows) {
    level.CreateGrid(static_cast<uint32_t>(rows[0].size()), static_cast<uint32_t>(rows.size()));
    for (size_t row = 0; row < rows.size(); ++row)
        for (size_t column = 0; column < rows[row].size(); ++column) {
            const char c = rows[row][column];
            const int32_t move = c == '#' || c == 'o';
            const int32_t sight = c == '#' || c == '|';
            if (move || sight) {
                CLevelNode* cell = level.GetCell(static_cast<int32_t>(column), static_cast<int32_t>(row));
                cell->SetObject(cell->GetPosition().x + 250, cell->GetPosition().y + 250, "", 0, move, sight);
            }
        }
}

// The first cell holding c in the drawing.
inline CLevelNode* Find(CLevel& level, const std::vector<std::string>& rows, char c) {
    for (size_t row = 0; row < rows.size(); ++row) {
        const size_t column = rows[row].find(c);
        if (column != std::string::npos) return level.GetCell(static_cast<int32_t>(column), static_cast<int32_t>(row));
    }
    return nullptr;
}

// A unit standing on the cell, added to the level's list and made the cell's occupant.
inline boost::shared_ptr<CUnit> PlaceUnit(CLevel& level, CLevelNode* cell, int32_t speed, bool moving,
                                          int32_t hp = 100) {
    const IntVector3& at = cell->GetPosition();
    boost::shared_ptr<CUnit> unit(
        new CUnit(&level, level.GetUnitList().TakeUnitId(), CUnit::kAttacker, "", at.x + 250, at.y + 250, hp, speed));
    unit->SetMoving(moving);
    level.GetUnitList().AddUnit(unit);
    cell->SetOccupant(unit);
    return unit;
}

// The battle (with its "World" group) as a service while it lives, and the level once
// registered. Declare it before the level: objects leaving the world need the battle.
class BattleScope {
public:
    explicit BattleScope(const std::string& mapName = "") : battle_(mapName) {
        Service<CDunmarchGame>::Register(&battle_);
    }
    ~BattleScope() {
        Service<CDunmarchGame>::Unregister();
        if (Service<CLevel>::Exists()) Service<CLevel>::Unregister();
    }
    void RegisterLevel(CLevel* level) { Service<CLevel>::Register(level); }
    CDunmarchGame& Battle() { return battle_; }
    const sg::Group::Children& World() const { return battle_.GetWorldGroup()->GetChildren(); }

private:
    CDunmarchGame battle_;
};

}  // namespace levelfixtures
