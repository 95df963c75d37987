#include "particles/CSBox.h"

void CSTransformBox(CSBox& box, const CSMatrix& m) {
    const CSMatrixRows rows = CSMatrixLoad(m);
    const CSVector4 lo = box.m_vMin, hi = box.m_vMax;
    const CSVector4 corners[8] = {
        CSVector4(lo.x, lo.y, lo.z, 1.0f), CSVector4(lo.x, lo.y, hi.z, 1.0f), CSVector4(lo.x, hi.y, hi.z, 1.0f),
        CSVector4(lo.x, hi.y, lo.z, 1.0f), CSVector4(hi.x, hi.y, lo.z, 1.0f), CSVector4(hi.x, hi.y, hi.z, 1.0f),
        CSVector4(hi.x, lo.y, hi.z, 1.0f), CSVector4(hi.x, lo.y, lo.z, 1.0f),
    };
    CSVector4 first = CSTransformPointRows(rows, corners[0]);
    CSVector4 outLo = first, outHi = first;
    for (int i = 1; i < 8; ++i) {
        CSVector4 p = CSTransformPointRows(rows, corners[i]);
        outHi = CSVector4Max(outHi, p);
        outLo = CSVector4Min(outLo, p);
    }
    box.m_vMin = outLo;
    box.m_vMax = outHi;
}

namespace {
// One bit per clip plane the clip-space point lies strictly outside of.
CSVector4 OutCode(const CSMatrixRows& rows, float x, float y, float z) {
    static const CSVector4 kOutsideHigh = CSLane::FromBits(1u, 4u, 16u, 0u);
    static const CSVector4 kOutsideLow = CSLane::FromBits(2u, 8u, 32u, 0u);
    CSVector4 c = CSTransformPointRows(rows, CSVector4(x, y, z, 1.0f));
    CSVector4 w = CSVector4SplatW(c);
    CSVector4 high = CSVector4And(CSVector4CmpGt(c, w), kOutsideHigh);
    CSVector4 low = CSVector4And(CSVector4CmpLt(c, CSVector4Neg(w)), kOutsideLow);
    return CSVector4Or(high, low);
}

// Folds the four corners of one z face into the accumulator; true when no plane is left
// that all corners so far lie outside.
bool FaceClears(CSVector4& acc, const CSMatrixRows& rows, const CSVector4& lo, const CSVector4& hi, float z) {
    acc = CSVector4And(acc, OutCode(rows, lo.x, lo.y, z));
    acc = CSVector4And(acc, OutCode(rows, hi.x, lo.y, z));
    acc = CSVector4And(acc, OutCode(rows, hi.x, hi.y, z));
    acc = CSVector4And(acc, OutCode(rows, lo.x, hi.y, z));
    return CSVector4AllEqual(acc, CSVector4());
}
}  // namespace

bool CSBoxInFrustum(const CSBox& box, const CSMatrix& viewProjection) {
    const CSMatrixRows rows = CSMatrixLoad(viewProjection);
    CSVector4 acc = CSLane::FromBits(3u, 12u, 48u, 0u);
    if (FaceClears(acc, rows, box.m_vMin, box.m_vMax, box.m_vMin.z)) return true;
    return FaceClears(acc, rows, box.m_vMin, box.m_vMax, box.m_vMax.z);
}
