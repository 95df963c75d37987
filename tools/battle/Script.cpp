#include "tools/battle/Script.h"

#include <cstdlib>
#include <sstream>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/HudTables.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Node.h"
#include "platform/win32/InputScript.h"
#include "platform/win32/Time.h"
#include "shell/KeyHandlers.h"
#include "shell/PointerState.h"
#include "shell/TouchEvent.h"

namespace {

const float kScreenWidth = 1024.0f;
const float kScreenHeight = 768.0f;

// The commands and how many arguments each takes.
struct Command {
    const char* name;
    size_t arguments;
};
const Command kCommands[] = {{"tap", 2}, {"rdrag", 4}, {"tap-spot", 1}, {"tap-unit", 1}, {"hud", 1}, {"key", 1}};

void Push(float x, float y, int32_t phase, int32_t button) {
    PointerState& pointer = GetPointerState();
    pointer.position = Vector2(x, y);
    pointer.client_size = Vector2(kScreenWidth, kScreenHeight);
    pointer.time = GetTickCount();
    TouchEvent event = {};
    event.position = Vector2(x / kScreenWidth, y / kScreenHeight);
    event.phase = phase;
    event.button = button;
    TouchEvents.push_back(event);
}

bool ScreenPoint(CDunmarchGame& battle, const Vector3& world, float& x, float& y) {
    Vector3 screen;
    if (!battle.GetCamera() || !battle.GetCamera()->WorldToScreen(world, screen)) return false;
    x = screen.x;
    y = screen.y;
    return true;
}

// The centre of the HUD row of that layout name: purchase rows by their defender.
bool HudCentre(const std::string& name, float& x, float& y) {
    const HudButton* found = nullptr;
    for (const HudButton& b : DefenderButtons)
        if (b.unitId == name) found = &b;
    for (int i = 0; i < kActionButtonCount; ++i)
        if (name == ActionButtonItems[i]) found = &ActionButtons[i];
    for (int i = 0; i < kSpellButtonCount; ++i)
        if (name == SpellButtonItems[i]) found = &SpellButtons[i];
    for (int i = 0; i < kSpeedButtonCount; ++i)
        if (name == SpeedButtonItems[i]) found = &SpeedButtons[i];
    if (found == nullptr) return false;
    x = static_cast<float>(found->x + found->tw / 2);
    y = static_cast<float>(found->y + found->th / 2);
    return true;
}

float Number(const std::string& text) { return static_cast<float>(std::atof(text.c_str())); }

}  // namespace

void Tap(float x, float y) {
    Push(x, y, kTouchPress, kTouchLeft);
    Push(x, y, kTouchRelease, kTouchLeft);
}

bool ReadScript(const std::string& path, std::vector<ScriptLine>& lines, std::string& error) {
    // Frames, comments and blank lines read as in every other driver script.
    std::vector<platform::ScriptLine> read;
    if (!platform::ReadScriptFile(path, &read, &error)) return false;
    for (const platform::ScriptLine& r : read) {
        ScriptLine line;
        line.lineNumber = r.number;
        line.frame = r.frame;
        line.command = r.command;
        // A HUD name may hold blanks ("Heavy Warrior"): the rest of the line is one name.
        if (line.command == "hud") {
            if (!r.arguments.empty()) line.arguments.push_back(r.arguments);
        } else {
            std::istringstream words(r.arguments);
            for (std::string argument; words >> argument;) line.arguments.push_back(argument);
        }
        const Command* command = nullptr;
        for (const Command& c : kCommands)
            if (line.command == c.name) command = &c;
        if (command == nullptr || line.arguments.size() != command->arguments) {
            error =
                "input script: line " + std::to_string(r.number) + ": bad command \"" + line.command + "\" in " + path;
            return false;
        }
        lines.push_back(line);
    }
    return true;
}

bool RunScriptFrame(const std::vector<ScriptLine>& lines, long frame, CDunmarchGame& battle, std::string& error) {
    for (const ScriptLine& line : lines) {
        if (line.frame != frame) continue;
        const std::vector<std::string>& a = line.arguments;
        float x = 0.0f, y = 0.0f;
        bool found = true;
        if (line.command == "tap") {
            Tap(Number(a[0]), Number(a[1]));
        } else if (line.command == "rdrag") {
            Push(Number(a[0]), Number(a[1]), kTouchPress, kTouchRight);
            Push(Number(a[2]), Number(a[3]), kTouchDrag, kTouchRight);
            Push(Number(a[2]), Number(a[3]), kTouchRelease, kTouchRight);
        } else if (line.command == "tap-spot") {
            const boost::shared_ptr<CSpawnPoint> spot =
                battle.GetLevel() ? battle.GetLevel()->FindSpawnPoint(CSpawnPoint::kDefenderSlot, std::atoi(a[0].c_str())).lock()
                                  : boost::shared_ptr<CSpawnPoint>();
            found = spot && ScreenPoint(battle, battle.GetLevel()->ToWorld(spot->GetPosition()), x, y);
            if (found) Tap(x, y);
        } else if (line.command == "tap-unit") {
            const boost::shared_ptr<CUnit> unit =
                battle.GetLevel() ? battle.GetLevel()->FindUnit(std::atoi(a[0].c_str())) : boost::shared_ptr<CUnit>();
            found = unit && unit->GetNode() && ScreenPoint(battle, unit->GetNode()->GetWorldPosition(), x, y);
            if (found) Tap(x, y);
        } else if (line.command == "hud") {
            found = HudCentre(a[0], x, y);
            if (found) Tap(x, y);
        } else if (line.command == "key") {
            KeyUpListeners.Fire(std::atoi(a[0].c_str()));
        }
        if (!found) {
            error = "script line " + std::to_string(line.lineNumber) + ": no " + line.command.substr(line.command.find('-') + 1) +
                    " " + a[0] + " at frame " + std::to_string(frame);
            return false;
        }
    }
    return true;
}
