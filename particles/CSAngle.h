#pragma once
// Angle helpers of the particle library's vector and matrix types.
#include <cstdint>

// The angle in radians whose sine is s and cosine c; both are clamped to +-0.999 first.
float CSAngleFromSinCos(float s, float c);

// Approximate sine and cosine of an angle in 256ths of a turn (any int32, reduced mod 256).
void FastSinCos256(int32_t a, float& s, float& c);
