// Any bytes as our effect file (".fxo"): parsed, and every shader's stage source
// put together.
#include <string>

#include "platform/d3dx/D3DXEffectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    d3dx::EffectFile file;
    std::string messages;
    if (d3dx::ParseEffectFile(reinterpret_cast<const char*>(data), size, &file, &messages))
        for (const d3dx::ShaderDecl& shader : file.shaders) (void)d3dx::StageSource(file, shader);
    return 0;
}
