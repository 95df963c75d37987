#pragma once
// The effect settings block of an effect file, fields in file order. Only Rescalable
// is interpreted (the rescale after loading); the others are carried with the effect.
#include <cstdint>

#include "particles/CSParamCurve.h"
#include "particles/CSParamTrack.h"

class CSArchive;

class CEffectParams {
public:
    static constexpr int kRowCount = 12;
    static constexpr int kLockCount = 6;

    // Empty rows (growth step 16, no points or keys, constant 0.0). The flag would
    // fill default rows; nothing here sets it.
    explicit CEffectParams(bool fillDefaults = false);

    // The block in file order; field 1 only from format version 4 (else false). The
    // curves keep their names and lose their points. False when a read fails.
    bool Read(CSArchive& archive);
    // Fields 1 to 4 only: the first flag, rescalable, width and height.
    bool ReadHeader(CSArchive& archive);

    uint8_t FirstFlag = 0;               // 1, format version 4 and later
    uint8_t Rescalable = 0;              // 2, the effect is multiplied by the display scale after loading
    int32_t Width = 0;                   // 3, on screen, in pixels
    int32_t Height = 0;                  // 4
    float Value1 = 0.0f;                 // 5
    float Value2 = 0.0f;                 // 6
    int32_t Integer1 = 0;                // 7
    float Value3 = 0.0f;                 // 8
    float Value4 = 0.0f;                 // 9
    float Value5 = 0.0f;                 // 10
    uint8_t Flag2 = 0;                   // 11
    float Value6 = 0.0f;                 // 12
    float Value7 = 0.0f;                 // 13
    float Value8 = 0.0f;                 // 14
    uint8_t Flag3 = 0;                   // 15
    uint8_t Flag4 = 0;                   // 16
    uint8_t Flag5 = 0;                   // 17
    CSParamCurve Curves[kRowCount];      // 18
    CSParamTrack Tracks[kRowCount];      // 19, rows 0 to 11; the rescale multiplies rows 0 to 5
    uint8_t LockFlags[kLockCount] = {};  // 20, one per row pair
    int32_t Integer2 = 0;                // 21
};
