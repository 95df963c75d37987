#include "platform/win32/StandInGLContext.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_opengl.h>

#include <cstdio>

#include "platform/Trace.h"
#include "platform/win32/SdlBridge.h"

HANDLE StandInCreateGLContext(HWND window) {
    SDL_Window* sdl = GetSdlWindow(window);
    if (!sdl) return nullptr;
    SDL_GLContext context = SDL_GL_CreateContext(sdl);
    if (!context) {
        std::fprintf(stderr, "GL context: %s\n", SDL_GetError());
        return nullptr;
    }
    PlatformTrace("GL context created: %s", reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    return context;
}

void StandInSwapBuffers(HWND window, HANDLE context) {
    SDL_Window* sdl = GetSdlWindow(window);
    if (!sdl || !context) return;
    SDL_GL_MakeCurrent(sdl, context);
    glClearColor(0.f, 0.f, 0.f, 1.f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    SDL_GL_SwapWindow(sdl);
    PlatformTrace("frame presented");
}

void StandInDeleteGLContext(HANDLE context) {
    if (!context) return;
    SDL_GL_DeleteContext(context);
    PlatformTrace("GL context deleted");
}
