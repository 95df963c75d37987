#include "particles/ParticleScratchMatrix.h"

#include "particles/ParticleMatrixStack.h"

CSMatrix ParticleScratchMatrix;

void SetScratchRotation256(int32_t a, int32_t b, int32_t c) { SetRotation256(ParticleScratchMatrix, a, b, c); }

void SetScratchRotation256f(float a, float b, float c) { SetRotation256f(ParticleScratchMatrix, a, b, c); }

void SetMatrixRotation256(CSMatrix& matrix, int32_t a, int32_t b, int32_t c) { SetRotation256(matrix, a, b, c); }

void SetMatrixRotation256f(CSMatrix& matrix, float a, float b, float c) { SetRotation256f(matrix, a, b, c); }

void RotateMatrix256(CSMatrix& matrix, int32_t a, int32_t b, int32_t c) {
    CSMatrix r;
    SetRotation256(r, a, b, c);
    CSMatrix product;
    product.SetProduct(matrix, r);  // R x matrix
    matrix = product;
}

void RotateMatrix256f(CSMatrix& matrix, float a, float b, float c) {
    CSMatrix r;
    SetRotation256f(r, a, b, c);
    CSMatrix product;
    product.SetProduct(matrix, r);
    matrix = product;
}

void RotateScratch256(int32_t a, int32_t b, int32_t c) { RotateMatrix256(ParticleScratchMatrix, a, b, c); }

void RotateScratch256f(float a, float b, float c) { RotateMatrix256f(ParticleScratchMatrix, a, b, c); }

void TransformByScratch(float& x, float& y, float& z) {
    CSVector4 v(x, y, z, 0.0f);
    ParticleScratchMatrix.TransformVector(v, v);
    x = v.x;
    y = v.y;
    z = v.z;
}
