// The C runtime's entry: WinMain receives the arguments as one command line.
#include <string>

#include "platform/win32/CommandLine.h"
#include "platform/win32/WinMain.h"
#include "platform/win32/Window.h"

int main(int argc, char** argv) {
    static char module;  // stands for the program's instance handle
    std::string commandLine = JoinCommandLine(argc - 1, argv + 1);
    return WinMain(reinterpret_cast<HINSTANCE>(&module), nullptr, commandLine.data(), SW_SHOWDEFAULT);
}
