#include "Graphics/SurfaceFormat.h"

namespace Graphics {

D3DFORMAT GetColorFormat(SurfaceFormat format) {
    switch (format) {
        case SurfaceFormatA8R8G8B8: return D3DFMT_A8R8G8B8;
        case SurfaceFormatA2R10G10B10: return D3DFMT_A2R10G10B10;
        case SurfaceFormatA2B10G10R10: return D3DFMT_A2B10G10R10;
        case SurfaceFormatR16F: return D3DFMT_R16F;
        case SurfaceFormatR32F: return D3DFMT_R32F;
        default: return D3DFMT_UNKNOWN;
    }
}

D3DFORMAT GetDepthFormat(SurfaceFormat format) {
    switch (format) {
        case SurfaceFormatD16: return D3DFMT_D16;
        case SurfaceFormatD24X8: return D3DFMT_D24X8;
        case SurfaceFormatD24S8: return D3DFMT_D24S8;
        default: return D3DFMT_UNKNOWN;
    }
}

}  // namespace Graphics
