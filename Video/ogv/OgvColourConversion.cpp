#include "Video/ogv/OgvColourConversion.h"

#include <cstring>

namespace {

int g_luma[256];
int g_crToRed[256];
int g_crToGreen[256];
int g_cbToGreen[256];
int g_cbToBlue[256];

// The two Y rows of a row pair, their chroma row and the two output rows, from the byte
// where the mode's pixel starts.
struct RowPair {
    RowPair(th_ycbcr_buffer buffer, uint8_t* out, int rowBytes, int start, int y)
        : y0(buffer[0].data + y * buffer[0].stride),
          y1(y0 + buffer[0].stride),
          cb(buffer[1].data + (y / 2) * buffer[1].stride),
          cr(buffer[2].data + (y / 2) * buffer[2].stride),
          o0(out + y * rowBytes + start),
          o1(o0 + rowBytes) {}
    const uint8_t *y0, *y1, *cb, *cr;
    uint8_t *o0, *o1;
};

inline uint8_t Clamp(int v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// The colour body. The chroma offsets are looked up once per 2 x 2 block and serve both
// rows; Step, Start and Bgr are fixed per mode so the inner loop keeps no branches.
template <int Step, int Start, bool Bgr>
void ConvertColour(th_ycbcr_buffer buffer, uint8_t* out, int stride) {
    constexpr int kR = Bgr ? 2 : 0;
    constexpr int kB = Bgr ? 0 : 2;
    const int width = buffer[0].width;
    for (int y = 0; y < buffer[0].height; y += 2) {
        RowPair r(buffer, out, stride * Step, Start, y);
        const uint8_t *y0 = r.y0, *y1 = r.y1, *cb = r.cb, *cr = r.cr;
        uint8_t *o0 = r.o0, *o1 = r.o1;
        int red = 0, green = 0, blue = 0;
        for (int x = 0; x < width; ++x) {
            if ((x & 1) == 0) {
                const int u = cb[x >> 1], v = cr[x >> 1];
                red = g_crToRed[v];
                green = g_cbToGreen[u] + g_crToGreen[v];
                blue = g_cbToBlue[u];
            }
            const int l0 = g_luma[y0[x]];
            o0[kR] = Clamp((l0 + red) >> 13);
            o0[1] = Clamp((l0 - green) >> 13);
            o0[kB] = Clamp((l0 + blue) >> 13);
            const int l1 = g_luma[y1[x]];
            o1[kR] = Clamp((l1 + red) >> 13);
            o1[1] = Clamp((l1 - green) >> 13);
            o1[kB] = Clamp((l1 + blue) >> 13);
            o0 += Step;
            o1 += Step;
        }
    }
}

// Y, Cb, Cr unconverted; each chroma pair serves its 2 x 2 block.
template <int Step, int Start>
void ConvertPassThrough(th_ycbcr_buffer buffer, uint8_t* out, int stride) {
    const int width = buffer[0].width;
    for (int y = 0; y < buffer[0].height; y += 2) {
        RowPair r(buffer, out, stride * Step, Start, y);
        uint8_t *o0 = r.o0, *o1 = r.o1;
        for (int x = 0; x < width; ++x) {
            const uint8_t u = r.cb[x >> 1], v = r.cr[x >> 1];
            o0[0] = r.y0[x], o0[1] = u, o0[2] = v;
            o1[0] = r.y1[x], o1[1] = u, o1[2] = v;
            o0 += Step;
            o1 += Step;
        }
    }
}

template <int Step, int Start>
void ConvertGrey3(th_ycbcr_buffer buffer, uint8_t* out, int stride) {
    const int width = buffer[0].width;
    const int height = buffer[0].height;
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = buffer[0].data + y * buffer[0].stride;
        uint8_t* o = out + y * stride * Step + Start;
        for (int x = 0; x < width; ++x, o += Step) o[0] = o[1] = o[2] = in[x];
    }
}

// The stride is the row length in bytes here: one byte per pixel.
void ConvertGrey(th_ycbcr_buffer buffer, uint8_t* out, int stride) {
    for (int y = 0; y < buffer[0].height; ++y)
        std::memcpy(out + y * stride, buffer[0].data + y * buffer[0].stride, buffer[0].width);
}

struct ModeEntry {
    OgvConverter converter;
    int bytesPerPixel;
};

const ModeEntry kModes[kOgvLastOutputMode + 1] = {
    {nullptr, 0},
    {&ConvertColour<3, 0, false>, 3},
    {&ConvertColour<4, 0, false>, 4},
    {&ConvertColour<4, 1, false>, 4},
    {&ConvertColour<3, 0, true>, 3},
    {&ConvertColour<4, 0, true>, 4},
    {&ConvertColour<4, 1, true>, 4},
    {&ConvertGrey, 1},
    {&ConvertGrey3<3, 0>, 3},
    {&ConvertGrey3<4, 0>, 4},
    {&ConvertGrey3<4, 1>, 4},
    {&ConvertPassThrough<3, 0>, 3},
    {&ConvertPassThrough<4, 0>, 4},
    {&ConvertPassThrough<4, 1>, 4},
};

bool IsMode(int outputMode) { return outputMode >= kOgvFirstOutputMode && outputMode <= kOgvLastOutputMode; }

}  // namespace

void BuildYuvTables() {
    for (int i = 0; i < 256; ++i) {
        g_luma[i] = static_cast<int>((i - 16) * 9535.988);
        g_crToRed[i] = static_cast<int>((i - 128) * 13074.932);
        g_crToGreen[i] = static_cast<int>((i - 128) * 6660.596);
        g_cbToGreen[i] = static_cast<int>((i - 128) * 3203.572);
        g_cbToBlue[i] = static_cast<int>((i - 128) * 16531.956);
    }
}

OgvConverter GetOgvConverter(int outputMode) { return IsMode(outputMode) ? kModes[outputMode].converter : nullptr; }

int GetOgvBytesPerPixel(int outputMode) { return IsMode(outputMode) ? kModes[outputMode].bytesPerPixel : 0; }
