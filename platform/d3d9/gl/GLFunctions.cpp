#include "platform/d3d9/gl/GLFunctions.h"

#include <SDL.h>

namespace d3d9 {

bool GLFunctions::Load(const char** missing) {
#define DM_GL_LOAD(type, name)                                        \
    name = reinterpret_cast<type>(SDL_GL_GetProcAddress("gl" #name)); \
    if (name == nullptr) {                                            \
        *missing = "gl" #name;                                        \
        return false;                                                 \
    }
    DM_GL_FUNCTIONS(DM_GL_LOAD)
#undef DM_GL_LOAD
    return true;
}

int GLFunctions::Version() const {
    GLint major = 0;
    GLint minor = 0;
    GetIntegerv(GL_MAJOR_VERSION, &major);
    GetIntegerv(GL_MINOR_VERSION, &minor);
    return major * 10 + minor;
}

}  // namespace d3d9
