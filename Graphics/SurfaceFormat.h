#pragma once
// The engine's own pixel formats for render targets and lockable textures.
#include "platform/d3d9/d3d9.h"

namespace Graphics {

enum SurfaceFormat {
    // colour
    SurfaceFormatA8R8G8B8 = 0,
    SurfaceFormatA2R10G10B10 = 1,
    SurfaceFormatA2B10G10R10 = 2,
    SurfaceFormatR16F = 3,
    SurfaceFormatR32F = 4,
    // depth
    SurfaceFormatD16 = 5,
    SurfaceFormatD24X8 = 6,
    SurfaceFormatD24S8 = 7,
};

// D3DFMT_UNKNOWN for a value that is not a colour (resp. depth) format.
D3DFORMAT GetColorFormat(SurfaceFormat format);
D3DFORMAT GetDepthFormat(SurfaceFormat format);

}  // namespace Graphics
