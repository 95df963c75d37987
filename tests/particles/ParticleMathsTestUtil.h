#pragma once
// Comparisons of particle vectors and matrices for the particle maths tests.
#include <gtest/gtest.h>

#include <initializer_list>

#include "particles/CSMatrix.h"

inline ::testing::AssertionResult VecNear(const CSVector4& v, const CSVector4& e, float tol = 1e-5f) {
    const float got[4] = {v.x, v.y, v.z, v.w};
    const float want[4] = {e.x, e.y, e.z, e.w};
    for (int i = 0; i < 4; ++i) {
        if (!(std::fabs(got[i] - want[i]) <= tol))
            return ::testing::AssertionFailure()
                   << "lane " << i << ": got (" << v.x << ", " << v.y << ", " << v.z << ", " << v.w << ") want (" << e.x
                   << ", " << e.y << ", " << e.z << ", " << e.w << ")";
    }
    return ::testing::AssertionSuccess();
}

// Sixteen elements, row by row.
inline CSMatrix MatrixOf(std::initializer_list<float> values) {
    CSMatrix m;
    int i = 0;
    for (float v : values) m.m[i++] = v;
    return m;
}

inline ::testing::AssertionResult MatNear(const CSMatrix& m, const CSMatrix& e, float tol = 1e-5f) {
    for (int i = 0; i < 16; ++i) {
        if (!(std::fabs(m.m[i] - e.m[i]) <= tol)) {
            ::testing::AssertionResult r = ::testing::AssertionFailure();
            r << "element " << i << ": got " << m.m[i] << " want " << e.m[i] << "\n got rows:";
            for (int k = 0; k < 16; ++k) r << (k % 4 == 0 ? "\n  " : " ") << m.m[k];
            return r;
        }
    }
    return ::testing::AssertionSuccess();
}

inline CSMatrix Translation(float x, float y, float z) {
    CSMatrix m;
    m.m[12] = x;
    m.m[13] = y;
    m.m[14] = z;
    return m;
}

// Rows (0, -1, 0), (1, 0, 0), (0, 0, 1): 64 steps about z.
inline CSMatrix QuarterTurnZ() { return MatrixOf({0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}); }
