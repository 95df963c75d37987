// The battle's debug operations: a one-off demo save, the recording and the living
// attackers printed, and the switches of the debug drawing. Nothing in the game's flow
// calls them; they are there to be reached from a debugger or a test.
#include <cstdio>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CInputMonitor.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CLevelNode.h"
#include "Classes/Level/CLevelObject.h"
#include "Classes/Level/CUnit.h"
#include "SceneGraph/Node.h"

void CDunmarchGame::SaveDemoOnce() {
    if (!recorder_ || demo_playback_ != 0 || demo_save_request_ != 0) return;
    recorder_->SaveToFile();
    demo_save_request_ = 1;
}

void CDunmarchGame::DumpInputs() const {
    if (recorder_) recorder_->Dump();
}

void CDunmarchGame::PrintAttackers() const {
    if (!level_) return;
    std::printf("--------------------\n");
    for (const boost::shared_ptr<CUnit>& unit : level_->GetUnitList().GetUnits())
        if (unit->IsAttacker() && unit->IsAlive()) std::printf("%d ", unit->GetId());
    std::printf("\n--------------------\n");
    std::fflush(stdout);
}

void CDunmarchGame::ToggleOccupancyDebug() {
    DebugSwitches.occupancy = DebugSwitches.occupancy != 0 ? 0 : 1;
    if (!level_) return;
    const bool shown = DebugSwitches.occupancy == 0;
    for (uint32_t row = 0; row < level_->GetHeight(); ++row)
        for (uint32_t column = 0; column < level_->GetWidth(); ++column) {
            const CLevelNode* cell = level_->GetCell(static_cast<int32_t>(column), static_cast<int32_t>(row));
            if (cell == nullptr) return;  // no grid
            if (cell->HasObject() && cell->GetObject()->GetNode()) cell->GetObject()->GetNode()->SetVisible(shown);
        }
}

void CDunmarchGame::ToggleDebugText() { DebugSwitches.text = DebugSwitches.text != 0 ? 0 : 1; }
void CDunmarchGame::ToggleViewPointsDebug() { DebugSwitches.viewPoints = DebugSwitches.viewPoints != 0 ? 0 : 1; }
void CDunmarchGame::ToggleAxesDebug() { DebugSwitches.axes = DebugSwitches.axes != 0 ? 0 : 1; }
void CDunmarchGame::CycleGridDebug() { DebugSwitches.gridMode = (DebugSwitches.gridMode + 1) % 3; }
void CDunmarchGame::ToggleBrainsDebug() { DebugSwitches.brains = DebugSwitches.brains != 0 ? 0 : 1; }
void CDunmarchGame::TogglePickFramesDebug() { DebugSwitches.pickFrames = DebugSwitches.pickFrames != 0 ? 0 : 1; }
