#pragma once
// Axis-aligned boxes of the particle library: min then max, x, y and z lanes read.
#include "particles/CSMatrix.h"

struct CSBox {
    CSVector4 m_vMin;
    CSVector4 m_vMax;
};

// Replaces the box by the axis-aligned box of its eight corners transformed by m.
void CSTransformBox(CSBox& box, const CSMatrix& m);

// False only when all eight corners lie outside one and the same clip plane of the
// view-projection; a box reported invisible is invisible.
bool CSBoxInFrustum(const CSBox& box, const CSMatrix& viewProjection);
