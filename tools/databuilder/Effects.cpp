// The effect files: text containers of parameters and techniques with GLSL
// shaders, at the fixed-case paths the graphics device and renderer open.
#include "tools/catalogue/Effects.h"
#include "tools/databuilder/Builder.h"

DATABUILDER_WRITER(effects, 20) {
    for (const catalogue::effects::File& file : catalogue::effects::kFiles) {
        out.WriteText(file.path, file.text);
    }
}
