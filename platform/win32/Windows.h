#pragma once
// Every Win32 substitute at once, for code that includes <windows.h>.
#include "platform/win32/Types.h"
#include "platform/win32/FileSystem.h"
#include "platform/win32/Interlocked.h"
#include "platform/win32/MessageBox.h"
#include "platform/win32/Process.h"
#include "platform/win32/Time.h"
// Written by others; listed once they are in the tree.
#if __has_include("platform/win32/DebugOutput.h")
#include "platform/win32/DebugOutput.h"
#endif
#if __has_include("platform/win32/Handle.h")
#include "platform/win32/Handle.h"
#endif
#if __has_include("platform/win32/Registry.h")
#include "platform/win32/Registry.h"
#endif
#if __has_include("platform/win32/ShellFolders.h")
#include "platform/win32/ShellFolders.h"
#endif
#if __has_include("platform/win32/WideFileApi.h")
#include "platform/win32/WideFileApi.h"
#endif
#if __has_include("platform/win32/Overlapped.h")
#include "platform/win32/Overlapped.h"
#endif
