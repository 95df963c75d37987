#pragma once
// The hidden window of a benchmark that draws: SDL's video started and a window for an
// OpenGL 3.3 core context of the given size. Null, with the reason printed, when there
// is no video (run with SDL_VIDEODRIVER=offscreen when there is no display).
#include <SDL.h>

#include <cstdio>

#include "tests/support/GLDevice.h"

namespace benchsupport {

inline SDL_Window* OpenBenchWindow(const char* title, int width, int height) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "no video: %s\n", SDL_GetError());
        return nullptr;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_Window* window = testsupport::CreateGLWindow(title, width, height);
    if (window == nullptr) std::fprintf(stderr, "no window: %s\n", SDL_GetError());
    return window;
}

}  // namespace benchsupport
