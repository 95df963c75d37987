#pragma once
// Decoded Theora pictures (Y'CbCr 4:2:0) into a clip's pixel layout by table look-ups:
// studio-range BT.601 with 13 fractional bits. The tables are process-wide, filled once by
// the manager's constructor before any worker runs, and only read afterwards.
#include <theora/codec.h>

#include <cstdint>

// A clip's pixel layout; x marks a byte that is never written and keeps the buffer's 0xFF.
enum OgvOutputMode {
    OgvOutputRGB = 1,    // R G B
    OgvOutputRGBX = 2,   // R G B x
    OgvOutputXRGB = 3,   // x R G B
    OgvOutputBGR = 4,    // B G R
    OgvOutputBGRX = 5,   // B G R x
    OgvOutputXBGR = 6,   // x B G R
    OgvOutputGrey = 7,   // Y
    OgvOutputGrey3 = 8,  // Y Y Y
    OgvOutputGrey3X = 9,
    OgvOutputXGrey3 = 10,
    OgvOutputYUV = 11,  // Y Cb Cr
    OgvOutputYUVX = 12,
    OgvOutputXYUV = 13,
};

constexpr int kOgvFirstOutputMode = OgvOutputRGB;
constexpr int kOgvLastOutputMode = OgvOutputXYUV;

// Writes the picture of the buffer into out, stride pixels per row, one row per Y row.
using OgvConverter = void (*)(th_ycbcr_buffer buffer, uint8_t* out, int stride);

// Fills the five look-up tables.
void BuildYuvTables();
// The converter of a mode from 1 to 13; null for any other mode.
OgvConverter GetOgvConverter(int outputMode);
// Bytes per pixel of a mode from 1 to 13; 0 for any other mode.
int GetOgvBytesPerPixel(int outputMode);
