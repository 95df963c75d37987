#pragma once
// The working rotation of particle emission and child placement, and the helpers that set
// rotations (angles in 256ths of a turn) into it or into a given matrix, multiply further
// rotations in front and turn directions by it.
#include <cstdint>

#include "particles/CSMatrix.h"

// Identity at program start; set before every use, so no value survives between uses.
extern CSMatrix ParticleScratchMatrix;

void SetScratchRotation256(int32_t a, int32_t b, int32_t c);
void SetScratchRotation256f(float a, float b, float c);
void SetMatrixRotation256(CSMatrix& matrix, int32_t a, int32_t b, int32_t c);
void SetMatrixRotation256f(CSMatrix& matrix, float a, float b, float c);

// target <- R(a, b, c) x target.
void RotateScratch256(int32_t a, int32_t b, int32_t c);
void RotateScratch256f(float a, float b, float c);
void RotateMatrix256(CSMatrix& matrix, int32_t a, int32_t b, int32_t c);
void RotateMatrix256f(CSMatrix& matrix, float a, float b, float c);

// (x, y, z) <- the direction (x, y, z, 0) turned by the scratch matrix.
void TransformByScratch(float& x, float& y, float& z);
