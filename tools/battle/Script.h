#pragma once
// The driver's input script: lines "frame command arguments", run at the start of their
// frame (counted from 0 after the battle's set-up); blank lines and lines starting with
// '#' are skipped, as in every driver script.
//   tap X Y          a left press and release at that virtual-screen pixel
//   rdrag X Y X2 Y2  a right press at (X, Y), a drag to (X2, Y2) and the release there
//   tap-spot ID      a tap on the defender spot of that marker id
//   tap-unit ID      a tap on the unit of that object id
//   hud NAME         a tap on the centre of the HUD row of that layout name
//   key CODE         a key released (through the shell's key-up list)
// A tap sets the pointer state, which the level's picks read, and the frame's touch
// events, which the in-game window hands to the battle.
#include <string>
#include <vector>

class CDunmarchGame;

struct ScriptLine {
    long frame = 0;
    std::string command;
    std::vector<std::string> arguments;
    int lineNumber = 0;
};

// False, with the reason, for a missing file or a line that does not parse.
bool ReadScript(const std::string& path, std::vector<ScriptLine>& lines, std::string& error);

// The lines of that frame act on the battle; false, with the reason, when a line names
// nothing the battle has (a spot, unit or HUD row).
bool RunScriptFrame(const std::vector<ScriptLine>& lines, long frame, CDunmarchGame& battle, std::string& error);

// A left tap at the virtual-screen pixel.
void Tap(float x, float y);
