#pragma once
// The emitter parameter block: one kind of emitter of an effect, fields in file order
// (the numbers are the field numbers of the file). Fields the simulation reads carry
// its names; the others are named by their place in the file.
//
// Names placed by their use where no text ties them to a field:
// - SphereRadius (8): the one float "read by the particle spawn", a length rescaled
//   like the other horizontal sizes.
// - BoxFaceMask (16): the one integer among the shape values, the "shape type of
//   kind-1 emitters"; EmitShape 1 is the box.
// - MaskColors (21): the second flag of the image's point-cache key, the flag that
//   keeps the colours of the selected pixels.
// - FollowGround, StartOnGround (25, 26): the two flags read by the emitter update,
//   in the order the placement names them.
// - IndependentOffsetRandom to IndependentAngleRangeRandom (52 to 56): the five
//   "independent randoms" flags, whose row groups match (offsets 0-5, angles 6-11,
//   a third group, shape sizes 30-35, azimuth and elevation 36-43).
// - Reserved: the in-memory byte that starts at 0 and is never read from a file.
#include <cstdint>

#include "particles/CSParamCurve.h"
#include "particles/CSParamTrack.h"
#include "particles/CSRefBase.h"
#include "particles/CSString.h"

class CSArchive;
class CSCachedTexture;

class CEmiterParams : public CSRefBase {
public:
    static constexpr int kRowCount = 44;
    static constexpr int kPairCount = 22;
    static constexpr int kLightValueCount = 6;

    // Rows in pairs: row 2p the base, row 2p + 1 its variation (no-variation flag p).
    // clang-format off
    enum Row {
        OffsetX, OffsetXVar, OffsetY, OffsetYVar, OffsetZ, OffsetZVar,
        AngleX, AngleXVar, AngleY, AngleYVar, AngleZ, AngleZVar,
        EmitRate, EmitRateVar,  // particles per frame; a constant rate bursts at frame 0 only
        SpeedScale, SpeedScaleVar, SizeScale, SizeScaleVar, LifeScale, LifeScaleVar,
        LightRange, LightRangeVar, LightRed, LightRedVar, LightGreen, LightGreenVar,
        LightBlue, LightBlueVar, LightIntensity, LightIntensityVar,
        ShapeSizeX, ShapeSizeXVar, ShapeSizeY, ShapeSizeYVar, ShapeSizeZ, ShapeSizeZVar,
        AzimuthFrom, AzimuthFromVar, AzimuthTo, AzimuthToVar,
        ElevationFrom, ElevationFromVar, ElevationTo, ElevationToVar,
    };
    // clang-format on

    // EmitShape values; 2 is also the image emitter whose image is ImageName.
    enum Shape : int32_t { kShapeSphere = 0, kShapeBox = 1, kShapeRectangle = 2, kShapePoint = 3 };

    // Old light settings (format versions below 3) hold this flag and these values.
    static constexpr int32_t kOldLightFlag = 0x10;

    // An empty block: empty strings, lists and rows, no image, flags 0. The effect
    // reader never fills defaults.
    explicit CEmiterParams(bool fillDefaults = false);
    // Releases the image entry.
    ~CEmiterParams() override;
    // A new block (count 1) with the same values and rows, sharing the image entry.
    CEmiterParams* Clone() const;

    // The block in file order. Before format version 5 the frame count is computed from
    // the seconds, before version 3 the light settings come in their old 8 bytes. The
    // curves keep their names and lose their points. False when a read fails.
    bool Read(CSArchive& archive);

    // Row `row` at `frame`. A constant row gives its constant, except rows 12 and 13
    // (the emission burst): the constant at frame 0 and 0.0 after. A keyed row gives
    // key[frame]; a frame past the last key reads the last, and no keys read 0.0.
    float GetTrackKey(int32_t row, int32_t frame) const;

    CSString Name;                // 1
    CSString SecondName;          // 2
    float Duration = 0.0f;        // 3, seconds
    int32_t DurationFrames = 0;   // 4, format version 5 and later; else from Duration
    int32_t SourceKind = 0;       // 5, 1 world values, 2 and 3 one emitter per source name
    CSStringList SourceNames;     // 6
    int32_t EmitShape = 0;        // 7, Shape
    float SphereRadius = 0.0f;    // 8, rescaled by x
    float EmitterValue2 = 0.0f;   // 9
    float EmitterValue3 = 0.0f;   // 10
    float EmitterValue4 = 0.0f;   // 11
    float EmitterValue5 = 0.0f;   // 12
    float EmitterValue6 = 0.0f;   // 13, rescaled by x
    float EmitterValue7 = 0.0f;   // 14, rescaled by y
    float EmitterValue8 = 0.0f;   // 15, rescaled by y
    int32_t BoxFaceMask = 0;      // 16, bit i: box face i may emit
    float EmitterValue9 = 0.0f;   // 17, rescaled by x
    float EmitterValue10 = 0.0f;  // 18, rescaled by y
    CSString ImageName;           // 19, image of the point cache (EmitShape 2)
    uint8_t ImageFlag1 = 0;       // 20, first flag of the point-cache key
    uint8_t MaskColors = 0;       // 21, second flag of the point-cache key
    uint8_t FacingFlag1 = 0;      // 22
    uint8_t FacingFlag2 = 0;      // 23
    uint8_t FacingFlag3 = 0;      // 24, the emitter frame takes the camera's facing
    uint8_t FollowGround = 0;     // 25
    uint8_t StartOnGround = 0;    // 26
    uint8_t Flag8 = 0;            // 27
    uint8_t Flag9 = 0;            // 28
    uint8_t Flag10 = 0;           // 29
    uint8_t EmitsLight = 0;       // 30
    int32_t LightFlags = 0;       // 31, light settings: flags, six values, name
    float LightValues[kLightValueCount] = {};
    CSString LightName;
    float Value11 = 0.0f;                     // 32
    float Value12 = 0.0f;                     // 33
    float Value13 = 0.0f;                     // 34
    uint8_t Flag12 = 0;                       // 35
    float TimeScale = 0.0f;                   // 36, speed of the motion
    float Value15 = 0.0f;                     // 37
    float Value16 = 0.0f;                     // 38
    float Value17 = 0.0f;                     // 39
    uint8_t Flag13 = 0;                       // 40
    float Value18 = 0.0f;                     // 41
    float Value19 = 0.0f;                     // 42
    float Value20 = 0.0f;                     // 43
    float Value21 = 0.0f;                     // 44
    float Value22 = 0.0f;                     // 45
    uint8_t BeamDrift = 0;                    // 46
    uint8_t UseOffset = 0;                    // 47, the effect's offset point is an extra frame
    uint8_t FixedSeed = 0;                    // 48
    int32_t SeedOffset = 0;                   // 49
    float ShakeStrength = 0.0f;               // 50
    float ShakeSeconds = 0.0f;                // 51
    uint8_t IndependentOffsetRandom = 0;      // 52
    uint8_t IndependentAngleRandom = 0;       // 53
    uint8_t IndependentThirdRandom = 0;       // 54
    uint8_t IndependentSizeRandom = 0;        // 55
    uint8_t IndependentAngleRangeRandom = 0;  // 56
    CSParamCurve Curves[kRowCount];           // 57
    CSParamTrack Tracks[kRowCount];           // 58
    uint8_t NoVariation[kPairCount] = {};     // 59, flag p: pair p reads its base alone
    int32_t ChannelMask = 0;                  // 60

    CSCachedTexture* MaskImage = nullptr;  // the point-cache entry of ImageName, counted
    uint8_t Reserved = 0;

private:
    CEmiterParams(const CEmiterParams&) = default;
};
