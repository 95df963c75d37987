#pragma once
// Integer directions as angles in 256ths of a turn, through one arctangent table and no
// floating point. Results keep the low eight bits of the int32 arithmetic.
#include <cstdint>

extern const int32_t AngleTable256[257];

// Heading from (x0, y0) to (x1, y1), measured from +y turning towards +x.
uint8_t Angle256Between(int32_t x0, int32_t y0, int32_t x1, int32_t y1);

// Elevation of (x, y) from +x turning towards +y; x is a horizontal distance (x >= 0).
uint8_t Angle256Of(int32_t x, int32_t y);

// Full-circle angle of (x, y) from +x turning towards +y.
uint8_t Angle256OfFull(int32_t x, int32_t y);
