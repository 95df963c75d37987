// dunmarch-messagebox KIND CAPTION TEXT: shows one modal box with an OK button
// and exits when it is dismissed. MessageBoxA runs it as a process of its own,
// so that a termination request can close a box the user has not answered.
// KIND is "error", "warning" or "information". Exit code 0 once the box was
// dismissed, 1 when no box could be shown, 2 for wrong arguments.
#include <SDL2/SDL.h>

#include <cstring>

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    if (std::strcmp(argv[1], "error") == 0) flags = SDL_MESSAGEBOX_ERROR;
    if (std::strcmp(argv[1], "warning") == 0) flags = SDL_MESSAGEBOX_WARNING;
    return SDL_ShowSimpleMessageBox(flags, argv[2], argv[3], nullptr) == 0 ? 0 : 1;
}
