#pragma once
// The baked form of one parameter row: one key per frame of its owner's duration,
// or one constant.
#include <cstdint>

#include "particles/CSArray.h"

class CSArchive;

class CSParamTrack {
public:
    // Key count, an ignored word, the keys, a constant flag byte (kept as read) and
    // the constant. False when the record does not fit the bytes left or a read falls short.
    bool Read(CSArchive& archive);
    // CSArray's reserve: a smaller request does nothing.
    void Reserve(uint32_t capacity) { m_arrKeys.Reserve(capacity); }

    bool IsConstant() const { return m_bConstant != 0; }
    // The key at `index`, for a row read with keys: an index past the last key reads
    // the last one, a negative one the first, and a row without keys reads 0.0.
    float KeyAt(int32_t index) const;

    CSArray<float> m_arrKeys;
    uint8_t m_bConstant = 0;  // non-zero: the row is the constant below
    float m_fConstant = 0.0f;
};
