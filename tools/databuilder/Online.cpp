// The images the test server serves as the promotional banner and as the
// fallback, painted in the game's own palette.
#include "tools/catalogue/Online.h"
#include "tools/databuilder/Builder.h"
#include "tools/databuilder/Canvas.h"
#include "tools/databuilder/PngWriter.h"

namespace {

using canvas::Canvas;
using canvas::Colour;
using canvas::Rgb;
namespace online = catalogue::online;

// A green field framed in gold with a keep under a banner.
Canvas ServedBanner() {
    const int w = online::kServedImageWidth, h = online::kServedImageHeight;
    const Colour field = Rgb(online::kServedBannerField[0], online::kServedBannerField[1], online::kServedBannerField[2]);
    const Colour gold = Rgb(230, 190, 90);
    Canvas c(w, h, gold);
    c.Rect(3, 3, w - 3, h - 3, field);
    // The keep: walls, battlements and a gate.
    c.Rect(20, 26, 60, 58, Rgb(170, 165, 150));
    for (int x = 20; x < 60; x += 10) c.Rect(float(x), 20, float(x + 6), 26, Rgb(170, 165, 150));
    c.RoundRect(34, 40, 46, 58, 5, Rgb(60, 40, 30));
    // Its flag.
    c.Line(40, 6, 40, 20, 2, Rgb(80, 60, 40));
    c.Polygon({41, 6, 54, 9, 41, 13}, Rgb(200, 40, 40));
    // Three shields along the field.
    for (int i = 0; i < 3; ++i) {
        const float x = 100.0f + 50.0f * float(i);
        c.Polygon({x, 16, x + 28, 16, x + 28, 34, x + 14, 50, x, 34}, gold);
        c.Polygon({x + 4, 20, x + 24, 20, x + 24, 33, x + 14, 44, x + 4, 33}, Rgb(110, 30, 35));
    }
    return c;
}

// Grey stone with a gold rim: plainly not the banner.
Canvas ServedFallback() {
    const int w = online::kServedImageWidth, h = online::kServedImageHeight;
    Canvas c(w, h, Rgb(200, 170, 90));
    c.Rect(3, 3, w - 3, h - 3, Rgb(90, 90, 96));
    for (int x = 12; x < w - 12; x += 24) c.Rect(float(x), 24, float(x + 16), 40, Rgb(120, 120, 128));
    return c;
}

void WriteServedPng(const databuilder::Output& out, const char* path, const Canvas& c) {
    out.Write(path, pngwriter::Encode(c.Data(), c.Width(), c.Height()));
}

}  // namespace

DATABUILDER_WRITER(online, 90) {
    WriteServedPng(out, online::kServedBannerFile, ServedBanner());
    WriteServedPng(out, online::kServedFallbackFile, ServedFallback());
}
