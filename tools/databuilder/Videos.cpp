// The intro video: the game's name rising over a fortress at dusk, with a short brass and
// bell sting. The layers are painted once (sky, sun, land with the fortress, lit windows,
// title) and composed per frame; only the sun, the stars, the lights, the title and the
// fades move, so most of each picture repeats the one before.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/catalogue/Fonts.h"
#include "tools/catalogue/Videos.h"
#include "tools/databuilder/Builder.h"
#include "tools/databuilder/Canvas.h"
#include "tools/databuilder/FontBaker.h"
#include "tools/databuilder/Synthesis.h"
#include "tools/databuilder/VideoEncoding.h"

namespace {

namespace vid = catalogue::videos;
using canvas::Canvas;
using canvas::Colour;
using canvas::Rgb;

constexpr int kWidth = vid::kIntroWidth;
constexpr int kHeight = vid::kIntroHeight;
constexpr int kHorizon = 330;
constexpr double kSeconds = vid::kIntroSeconds;

double Clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
// 0 before a, 1 after b, a smooth step between.
double Ramp(double t, double a, double b) {
    const double x = Clamp01((t - a) / (b - a));
    return x * x * (3 - 2 * x);
}

Colour Gradient(const std::vector<std::pair<double, Colour>>& stops, double t) {
    for (size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].first) {
            const double f = (t - stops[i - 1].first) / (stops[i].first - stops[i - 1].first);
            return canvas::Mix(stops[i - 1].second, stops[i].second, static_cast<float>(f));
        }
    }
    return stops.back().second;
}

// --- the layers, painted once --------------------------------------------------------

Canvas PaintSky() {
    Canvas sky(kWidth, kHeight);
    const std::vector<std::pair<double, Colour>> stops = {
        {0.0, Rgb(12, 14, 42)}, {0.45, Rgb(58, 36, 84)}, {0.78, Rgb(164, 70, 82)}, {1.0, Rgb(242, 146, 72)}};
    for (int y = 0; y < kHeight; ++y) {
        const Colour row = Gradient(stops, std::min(1.0, y / double(kHorizon)));
        for (int x = 0; x < kWidth; ++x) sky.Set(x, y, row);
    }
    // Thin bands of cloud lit from below.
    for (int band = 0; band < 3; ++band) {
        const float centre = 150.0f + band * 48.0f;
        for (int y = int(centre) - 14; y < int(centre) + 14; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const float n = canvas::ValueNoise(float(x), float(y) * 4.0f, 48.0f, 64, 900 + band);
                const float shape = 1.0f - std::fabs(y - centre) / 14.0f;
                const float cover = std::max(0.0f, (n - 0.45f) * 2.2f) * shape;
                if (cover > 0) sky.Blend(x, y, Rgb(40 + band * 40, 24 + band * 14, 60), std::min(0.7f, cover));
            }
        }
    }
    return sky;
}

// A warm disc with a soft glow, sized to be placed anywhere.
Canvas PaintSun(int size) {
    Canvas sun(size, size);
    const float c = size / 2.0f;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float d = std::hypot(x + 0.5f - c, y + 0.5f - c);
            const float glow = std::max(0.0f, 1.0f - d / c);
            sun.Set(x, y, Rgb(255, 170, 90, int(std::lround(120 * glow * glow))));
        }
    }
    sun.Circle(c, c, size * 0.2f, Rgb(255, 214, 140));
    return sun;
}

// A silhouette below a noisy ridge, one column at a time.
void Ridge(Canvas& land, float base, float amplitude, float cell, uint32_t seed, Colour colour, float moundCentre = 0,
           float moundHeight = 0) {
    for (int x = 0; x < kWidth; ++x) {
        float top = base - amplitude * canvas::ValueNoise(float(x), 0.0f, cell, 64, seed);
        if (moundHeight > 0) {
            const float d = (x - moundCentre) / 170.0f;
            top -= moundHeight * std::max(0.0f, 1.0f - d * d);
        }
        land.Rect(float(x), top, float(x + 1), float(kHeight), colour);
    }
}

struct Window {
    float x0, y0, x1, y1;
};

// Walls, towers, the keep and a flag on the central hill; the windows that will light up.
void PaintFortress(Canvas& land, std::vector<Window>& windows) {
    const Colour stone = Rgb(26, 19, 36);
    land.Rect(196, 292, 444, 352, stone);
    for (float x = 196; x < 444; x += 16) land.Rect(x, 284, x + 8, 292, stone);
    // Towers with pointed roofs.
    for (float cx : {196.0f, 444.0f}) {
        land.Rect(cx - 22, 246, cx + 22, 352, stone);
        for (float x = cx - 22; x < cx + 22; x += 11) land.Rect(x, 240, x + 6, 246, stone);
        land.Polygon({cx - 26, 240, cx + 26, 240, cx, 196}, stone);
        windows.push_back({cx - 3, 262, cx + 3, 272});
        windows.push_back({cx - 3, 292, cx + 3, 302});
    }
    // The keep.
    land.Rect(284, 214, 356, 352, stone);
    for (float x = 284; x < 356; x += 12) land.Rect(x, 206, x + 7, 214, stone);
    land.Polygon({280, 206, 320, 158, 360, 206}, stone);
    land.Line(320, 158, 320, 144, 2, stone);
    land.Polygon({321, 144, 339, 148.5f, 321, 153}, Rgb(120, 24, 30));
    windows.push_back({300, 232, 306, 244});
    windows.push_back({334, 232, 340, 244});
    windows.push_back({316, 260, 324, 272});
    windows.push_back({246, 312, 251, 320});
    windows.push_back({389, 312, 394, 320});
    // The gate, lit from inside.
    windows.push_back({308, 326, 332, 352});
}

Canvas PaintLand(std::vector<Window>& windows) {
    Canvas land(kWidth, kHeight);
    Ridge(land, 318, 34, 90, 31, Rgb(74, 42, 84));
    Ridge(land, 372, 22, 60, 32, Rgb(44, 28, 56), 320, 26);
    PaintFortress(land, windows);
    Ridge(land, 440, 18, 40, 33, Rgb(16, 12, 22));
    // Pines on the near ridge.
    for (float x : {34.0f, 62.0f, 88.0f, 560.0f, 590.0f, 612.0f}) {
        const float h = 60 + 18 * canvas::Hash(int(x), 7, 34);
        land.Polygon({x - 15, 440, x, 440 - h, x + 15, 440}, Rgb(12, 9, 18));
    }
    return land;
}

const databuilder::BakedGlyph* FindGlyph(const databuilder::BakedFont& font, int code) {
    for (const databuilder::BakedGlyph& g : font.glyphs)
        if (g.code == code) return &g;
    return nullptr;
}

int TextWidth(const databuilder::BakedFont& font, const std::string& text, int spacing) {
    int width = 0;
    for (char c : text)
        if (const databuilder::BakedGlyph* g = FindGlyph(font, static_cast<unsigned char>(c)))
            width += g->advance + spacing;
    return width - spacing;
}

void DrawText(Canvas& into, const databuilder::BakedFont& font, const std::string& text, int x, int y, int spacing,
              Colour colour) {
    for (char c : text) {
        const databuilder::BakedGlyph* g = FindGlyph(font, static_cast<unsigned char>(c));
        if (g == nullptr) continue;
        for (int gy = 0; gy < g->height; ++gy) {
            for (int gx = 0; gx < g->width; ++gx) {
                const uint8_t a = font.pageRgba[(size_t(g->y + gy) * font.pageWidth + g->x + gx) * 4 + 3];
                if (a != 0) into.Blend(x + g->xoffset + gx, y + g->yoffset + gy, colour, a / 255.0f);
            }
        }
        x += g->advance + spacing;
    }
}

databuilder::BakedFont Bake(const char* face, int size, const std::string& text) {
    std::vector<int> codes;
    for (char c : text) codes.push_back(static_cast<unsigned char>(c));
    databuilder::BakedFont font;
    std::string error;
    if (!databuilder::BakeProportional(std::string(catalogue::fonts::kFaceFolder) + face, size, codes, &font, &error))
        databuilder::Fail(vid::kIntro, error);
    return font;
}

// The name in gold with a shadow, the subtitle spaced out below it.
Canvas PaintTitle() {
    Canvas title(kWidth, kHeight);
    const databuilder::BakedFont big = Bake("DejaVuSerif-Bold.ttf", 76, vid::kTitle);
    const databuilder::BakedFont small = Bake("DejaVuSans-Bold.ttf", 26, vid::kSubtitle);
    const int bigX = (kWidth - TextWidth(big, vid::kTitle, 4)) / 2;
    const int smallX = (kWidth - TextWidth(small, vid::kSubtitle, 14)) / 2;
    for (int d = 1; d <= 4; ++d) DrawText(title, big, vid::kTitle, bigX + d, 30 + d, 4, Rgb(10, 6, 16, 70));
    DrawText(title, big, vid::kTitle, bigX, 30, 4, Rgb(238, 196, 92));
    DrawText(title, small, vid::kSubtitle, smallX + 2, 114 + 2, 14, Rgb(10, 6, 16, 120));
    DrawText(title, small, vid::kSubtitle, smallX, 114, 14, Rgb(236, 226, 206));
    return title;
}

// --- composing a frame ---------------------------------------------------------------

struct Intro {
    Canvas sky = PaintSky();
    Canvas sun = PaintSun(160);
    std::vector<Window> windows;
    Canvas land = PaintLand(windows);
    Canvas title = PaintTitle();
    std::vector<uint8_t> background;  // sky and land, RGB
    std::vector<std::pair<int, int>> stars;

    Intro() {
        background.resize(size_t(kWidth) * kHeight * 3);
        for (int i = 0; i < kWidth * kHeight; ++i) {
            const uint8_t* s = sky.Data() + i * 4;
            const uint8_t* l = land.Data() + i * 4;
            for (int c = 0; c < 3; ++c) background[i * 3 + c] = Over(s[c], l[c], l[3]);
        }
        for (int i = 0; i < 90; ++i) {
            const int x = int(canvas::Hash(i, 1, 77) * kWidth);
            const int y = int(canvas::Hash(i, 2, 77) * canvas::Hash(i, 3, 77) * 220);
            stars.push_back({x, y});
        }
    }

    static uint8_t Over(int under, int over, int alpha) {
        return static_cast<uint8_t>((under * (255 - alpha) + over * alpha + 127) / 255);
    }

    void Blend(std::vector<uint8_t>& rgb, int x, int y, Colour c, double strength) {
        if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return;
        const int a = int(std::lround(c.a * Clamp01(strength)));
        uint8_t* p = &rgb[(size_t(y) * kWidth + x) * 3];
        p[0] = Over(p[0], c.r, a), p[1] = Over(p[1], c.g, a), p[2] = Over(p[2], c.b, a);
    }

    void Compose(int frame, std::vector<uint8_t>& rgb) {
        const double t = frame / double(vid::kIntroFps);
        rgb = background;
        // Stars come out above the clouds.
        const double starLight = Ramp(t, 1.0, 6.0);
        for (size_t i = 0; i < stars.size(); ++i) {
            const double twinkle = 0.6 + 0.4 * canvas::Hash(int(i), frame / 4, 78);
            Blend(rgb, stars[i].first, stars[i].second, Rgb(255, 244, 220), starLight * twinkle);
        }
        // The sun sinks behind the land: sky, sun and land again, in its square only.
        const int size = sun.Width();
        const int sunX = 536 - size / 2, sunY = 226 + int(std::lround(t * 9.0)) - size / 2;
        for (int y = std::max(0, sunY); y < std::min(kHeight, sunY + size); ++y) {
            for (int x = std::max(0, sunX); x < std::min(kWidth, sunX + size); ++x) {
                const uint8_t* s = sky.Data() + (size_t(y) * kWidth + x) * 4;
                const uint8_t* l = land.Data() + (size_t(y) * kWidth + x) * 4;
                const Colour glow = sun.Get(x - sunX, y - sunY);
                uint8_t* p = &rgb[(size_t(y) * kWidth + x) * 3];
                const int skyAndSun[3] = {Over(s[0], glow.r, glow.a), Over(s[1], glow.g, glow.a),
                                          Over(s[2], glow.b, glow.a)};
                for (int c = 0; c < 3; ++c) p[c] = Over(skyAndSun[c], l[c], l[3]);
            }
        }
        // Lights come on one by one and flicker.
        for (size_t i = 0; i < windows.size(); ++i) {
            const double on = Ramp(t, 1.2 + 0.25 * i, 1.9 + 0.25 * i);
            const double flicker = 0.8 + 0.2 * canvas::Hash(int(i), frame / 3, 79);
            const Window& w = windows[i];
            for (int y = int(w.y0); y < int(w.y1); ++y)
                for (int x = int(w.x0); x < int(w.x1); ++x) Blend(rgb, x, y, Rgb(255, 190, 90), on * flicker);
        }
        // The title rises into place, then a gleam runs across it.
        const double shown = Ramp(t, 2.2, 3.6);
        if (shown > 0) {
            const int lift = int(std::lround((1.0 - shown) * 14.0));
            const double gleam = (t - 4.4) / 1.1 * 760.0 - 60.0;
            for (int y = 20; y < 170; ++y) {
                for (int x = 0; x < kWidth; ++x) {
                    const Colour c = title.Get(x, y);
                    if (c.a == 0) continue;
                    Colour lit = c;
                    const double d = std::fabs(x + (y - 20) * 0.5 - gleam);
                    if (d < 26) lit = canvas::Mix(c, Rgb(255, 252, 236, c.a), float(0.7 * (1.0 - d / 26)));
                    Blend(rgb, x, y + lift, lit, shown);
                }
            }
        }
        // Fade in from black, and out to black before the end.
        const double fade = Ramp(t, 0.0, 1.0) * (1.0 - Ramp(t, 7.0, 7.8));
        if (fade < 1.0) {
            const int f = int(std::lround(fade * 256));
            for (uint8_t& v : rgb) v = static_cast<uint8_t>((v * f) >> 8);
        }
    }
};

// --- the sting -----------------------------------------------------------------------

std::vector<float> Sting() {
    using namespace synth;
    constexpr double rate = vid::kIntroRate;
    const size_t frames = size_t(kSeconds * rate);
    std::vector<float> left(frames, 0.0f), right(frames, 0.0f);
    auto both = [&](const std::vector<float>& v, double at, float l, float r) {
        Mix(left, v, size_t(at * rate), l);
        Mix(right, v, size_t(at * rate), r);
    };
    // A deep drum at the first light.
    {
        Noise noise(501);
        LowPass lp;
        Oscillator osc;
        both(Render(2.5, rate,
                    [&](double t, double) {
                        return osc.Sine(48.0 * (1.0 + 0.8 * std::exp(-t / 0.06)), rate) * Envelope(t, 0.004, 0.7) +
                               0.4 * lp(noise.Next(), 0.08f) * Envelope(t, 0.002, 0.2);
                    }),
             0.0, 0.9f, 0.9f);
    }
    // A low D minor pad that swells and holds.
    const double pad[3] = {38, 41, 45};
    for (int v = 0; v < 3; ++v) {
        Oscillator a, b;
        LowPass lp;
        const double f = Midi(pad[v]);
        both(Render(7.6, rate,
                    [&](double t, double len) {
                        const double s = 0.5 * a.Saw(f, rate) + 0.5 * b.Saw(f * 1.004, rate);
                        return lp(float(s), 0.035f) * Gate(t, 2.2, len, 1.6);
                    }),
             0.2, v == 2 ? 0.12f : 0.2f, v == 0 ? 0.12f : 0.2f);
    }
    // Brass as the title rises: D, A, D an octave up.
    const double horn[3] = {62, 69, 74};
    for (int n = 0; n < 3; ++n) {
        Oscillator a, b, vibrato;
        LowPass lp;
        const double f = Midi(horn[n]);
        both(Render(3.6 - 0.3 * n, rate,
                    [&](double t, double len) {
                        const double g = f * (1.0 + 0.004 * vibrato.Sine(5.0, rate) * Clamp01(t - 0.4));
                        const double s = 0.55 * a.Saw(g, rate) + 0.45 * b.Saw(g * 1.003, rate);
                        return lp(float(s), float(0.05 + 0.08 * Clamp01(t / 0.3))) * Gate(t, 0.12, len, 1.2);
                    }),
             2.3 + 0.3 * n, 0.34f - 0.06f * n, 0.22f + 0.06f * n);
    }
    // Bells with the gleam.
    const double bells[4] = {81, 86, 88, 93};
    for (int n = 0; n < 4; ++n) {
        Oscillator a, b, c;
        const double f = Midi(bells[n]);
        both(Render(2.4, rate,
                    [&](double t, double) {
                        return (0.6 * a.Sine(f, rate) + 0.25 * b.Sine(2.76 * f, rate) + 0.15 * c.Sine(5.4 * f, rate)) *
                               Envelope(t, 0.003, 0.5);
                    }),
             4.4 + 0.18 * n, n % 2 ? 0.08f : 0.16f, n % 2 ? 0.16f : 0.08f);
    }
    std::vector<float> stereo(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        const float fade = float(1.0 - Ramp(i / rate, 7.4, 7.95));
        stereo[2 * i] = left[i] * fade;
        stereo[2 * i + 1] = right[i] * fade;
    }
    Normalise(stereo, 0.8f);
    return stereo;
}

std::vector<uint8_t> EncodeIntroVideo() {
    Intro intro;
    std::vector<uint8_t> rgb;
    videoenc::VideoFormat format;
    format.width = kWidth;
    format.height = kHeight;
    format.fps = vid::kIntroFps;
    format.frames = vid::kIntroFrames;
    format.keyframeInterval = 64;
    format.quality = 40;
    videoenc::SoundTrack sound;
    sound.channels = vid::kIntroChannels;
    sound.rate = vid::kIntroRate;
    sound.quality = 0.3f;
    sound.interleaved = Sting();
    return videoenc::EncodeOgv(format,
                               [&](int frame, th_ycbcr_buffer planes) {
                                   intro.Compose(frame, rgb);
                                   videoenc::RgbTo420(rgb.data(), planes);
                               },
                               sound, {std::string("TITLE=") + vid::kTitle});
}

}  // namespace

DATABUILDER_WRITER(videos, 40) {
    const std::vector<uint8_t> bytes = EncodeIntroVideo();
    if (bytes.empty()) databuilder::Fail(vid::kIntro, "the encoders refused the settings");
    out.Write(vid::IntroPath(), bytes);
}
