#pragma once

#include <cstdint>

// Integer trigonometry on tables: whole degrees in, results times 1000 out.
// Every function accepts any int32 argument.

// Builds the four tables. They are also built on first use, so calling this is
// optional; it keeps the start-up order of the game's initialisation.
void InitFixedTrig();

// 1000 x sine / cosine of an angle in whole degrees (any angle, reduced into 0..359).
int32_t FixedSin(int32_t degrees);
int32_t FixedCos(int32_t degrees);

// Arc sine / arc cosine of v / 1000 in thousandths of a degree; 0 when v lies
// outside -1000..1000.
int32_t FixedAsin(int32_t v);
int32_t FixedAcos(int32_t v);

// v x 3141 / 180 and v x 180000 / 3141, in integers.
int32_t FixedScaleToRadians(int32_t v);
int32_t FixedScaleToDegrees(int32_t v);

int32_t FixedSinScaled(int32_t v);
int32_t FixedCosScaled(int32_t v);
int32_t FixedAsinScaled(int32_t v);
int32_t FixedAcosScaled(int32_t v);
