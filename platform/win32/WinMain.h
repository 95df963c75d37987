#pragma once
// The program's entry as Windows calls it; main() calls it with the joined
// command line (platform/win32/CommandLine.h).
#include "platform/win32/Types.h"

int WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);
