// The texture atlas: one page of particle sprites and its index file, one line
// per sprite with its rectangle as fractions of the page.
#include <cmath>
#include <cstdio>
#include <string>

#include "tools/catalogue/Config.h"
#include "tools/catalogue/Textures.h"
#include "tools/databuilder/Builder.h"
#include "tools/databuilder/Canvas.h"
#include "tools/databuilder/DdsWriter.h"

namespace {

using canvas::Canvas;
using canvas::Rgb;
namespace tex = catalogue::textures;

// A radial falloff centred in the rectangle, coloured by the sprite's kind.
void PaintSprite(Canvas& page, const tex::AtlasSprite& s, int kind) {
    const float cx = s.x + s.width / 2.0f, cy = s.y + s.height / 2.0f;
    const float rx = s.width / 2.0f - 1, ry = s.height / 2.0f - 1;
    for (int y = s.y; y < s.y + s.height; ++y) {
        for (int x = s.x; x < s.x + s.width; ++x) {
            float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
            float d = std::sqrt(dx * dx + dy * dy);
            float angle = std::atan2(dy, dx);
            float a = 0;
            canvas::Colour c = Rgb(255, 255, 255);
            switch (kind) {
                case 0:  // spark: hot core
                    a = std::max(0.0f, 1 - d) * std::max(0.0f, 1 - d);
                    c = canvas::Mix(Rgb(255, 255, 230), Rgb(255, 190, 60), std::min(d * 1.5f, 1.0f));
                    break;
                case 1:  // smoke: soft, uneven grey puff
                    a = std::max(0.0f, 1 - d) * (0.6f + 0.4f * canvas::ValueNoise(float(x), float(y), 16, 16, 91));
                    c = Rgb(150, 150, 150);
                    break;
                case 2:  // ring: a thin ellipse outline
                    a = std::max(0.0f, 1 - std::fabs(d - 0.8f) * 8);
                    c = Rgb(180, 220, 255);
                    break;
                case 3:  // star: five soft points
                    a = std::max(0.0f, 1 - d / (0.55f + 0.45f * std::pow(std::fabs(std::cos(2.5f * angle)), 8.0f)));
                    c = Rgb(255, 240, 160);
                    break;
                default:  // flare: glow with four rays
                    a = std::max(0.0f, 1 - d) * 0.6f +
                        std::max(0.0f, 1 - d) * std::pow(std::fabs(std::cos(2 * angle)), 30.0f) * 0.4f;
                    c = Rgb(255, 250, 235);
                    break;
            }
            c.a = uint8_t(std::lround(255 * std::min(a, 1.0f)));
            page.Set(x, y, c);
        }
    }
}

}  // namespace

DATABUILDER_WRITER(atlas, 30) {
    Canvas page(tex::kAtlasPageSize, tex::kAtlasPageSize);
    std::string index = "# " + std::string(tex::kAtlasIndex) +
                        ": texture, page , index , type , x , y , depth , width , height (fractions of the page)\n";
    int kind = 0;
    for (const tex::AtlasSprite& s : tex::kAtlasSprites) {
        PaintSprite(page, s, kind++);
        char line[256];
        const float size = float(tex::kAtlasPageSize);
        std::snprintf(line, sizeof(line), "%s\t\t%s , %d , %s , %f , %f , %f , %f , %f\n", s.name, tex::kAtlasPage, 0,
                      "2D", s.x / size, s.y / size, 0.0f, s.width / size, s.height / size);
        index += line;
    }
    const std::string folder = catalogue::config::kTextures.Path();
    out.Write(folder + tex::kAtlasPage,
              ddswriter::Encode(page.Data(), page.Width(), page.Height(), ddswriter::Format::DXT5, true));
    out.WriteText(folder + tex::kAtlasIndex, index);
}
