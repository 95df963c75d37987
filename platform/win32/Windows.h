#pragma once
// Every Win32 substitute at once, for code that includes <windows.h>.
// (SdlBridge.h is for platform code only and StandInGLContext.h a stand-in;
// neither is listed.)
#include "platform/win32/Types.h"
#include "platform/win32/CommandLine.h"
#include "platform/win32/DebugOutput.h"
#include "platform/win32/FileSystem.h"
#include "platform/win32/Gdi.h"
#include "platform/win32/Input.h"
#include "platform/win32/Interlocked.h"
#include "platform/win32/MessageBox.h"
#include "platform/win32/Process.h"
#include "platform/win32/Registry.h"
#include "platform/win32/ShellFolders.h"
#include "platform/win32/Time.h"
#include "platform/win32/WideFileApi.h"
#include "platform/win32/WidePath.h"
#include "platform/win32/WinMain.h"
#include "platform/win32/Window.h"
// Listed as plain includes once they are in the tree.
#if __has_include("platform/win32/Handle.h")
#include "platform/win32/Handle.h"
#endif
#if __has_include("platform/win32/Overlapped.h")
#include "platform/win32/Overlapped.h"
#endif
