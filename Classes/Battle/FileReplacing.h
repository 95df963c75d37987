#pragma once
// Files the game rewrites whole ("highscores.dat", "savegame.dat") are written beside
// and then put in place in one step, so a crash mid-write leaves the previous file.
#include <cstddef>
#include <string>

// False when nothing was put in place; the previous file is then as it was.
bool WriteFileReplacing(const std::string& name, const void* data, size_t size);
