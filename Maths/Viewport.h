#pragma once

#include <cstdint>

// Pixel rectangle and depth range handed to the graphics device.
struct Viewport {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    float minZ;
    float maxZ;

    constexpr Viewport() : x(0), y(0), width(0), height(0), minZ(0.0f), maxZ(0.0f) {}
    constexpr Viewport(int32_t x_, int32_t y_, int32_t width_, int32_t height_, float min_z_, float max_z_)
        : x(x_), y(y_), width(width_), height(height_), minZ(min_z_), maxZ(max_z_) {}
};
