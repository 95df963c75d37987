#pragma once
// An authoring curve of one parameter row: control points and a name. The running
// system never evaluates curves; after loading only the name is kept.
#include <cstdint>

#include "particles/CSArray.h"
#include "particles/CSString.h"

// Five 4-byte values, in the file as in memory.
struct CSCurvePoint {
    float m_fTime;  // position on the curve (0.0 and 1.0 on a fresh two-point curve)
    float m_fValue;
    float m_fShape1;  // 3.0 on fresh curves
    float m_fShape2;  // 3.0 on fresh curves
    uint32_t m_nFifth;
};

class CSParamCurve {
public:
    // CSArray's reserve: a smaller request does nothing.
    void Reserve(uint32_t capacity) { m_arrPoints.Reserve(capacity); }

    CSArray<CSCurvePoint> m_arrPoints;
    CSString m_strName;
};
