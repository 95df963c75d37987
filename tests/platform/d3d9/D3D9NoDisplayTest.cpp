// Without a display, or without OpenGL, the OpenGL backend refuses to start
// instead of crashing.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/d3d9/Extensions.h"

namespace {

TEST(D3D9NoDisplayTest, Direct3DCreate9ReturnsNullWhenOpenGLCannotStart) {
    d3d9::SetBackend(d3d9::Backend::GL);
    // A video driver without OpenGL, then none at all.
    for (const char* driver : {"dummy", "no-such-driver"}) {
        setenv("SDL_VIDEODRIVER", driver, 1);
        EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr) << driver;
    }
}

}  // namespace
