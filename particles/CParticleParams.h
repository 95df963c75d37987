#pragma once
// The particle parameter block: one kind of particle of an effect, fields in file
// order (the numbers are the field numbers of the file), except fields 75 and 76,
// which are read last and held next to field 32 and at the end. Fields the
// simulation reads carry its names; the others are named by their place in the file.
//
// Names placed by their use where no text ties them to a field:
// - AtlasRows (22): the sheet rows, the same count by name.
// - AtlasRowScale (33): the one float among the texture fields (19 to 39) without a
//   use of its own.
// - GlobalRandomMode, IndependentRandomA, IndependentRandomB, IndependentRandomD
//   (40 to 43): the integer and three flags that stand together before OwnMatrix,
//   as the random groups of the emitter block stand together.
// - StartSpeed (46): the first motion value, a speed rescaled like the other
//   horizontal motion values.
// - ExtraVelocityX, ExtraVelocityY, ExtraVelocityZ (48 to 50): the three motion values
//   after the jitter, rescaled by x, y, y as the x, y and z rows are.
// - PitchFromVelocity (53): the motion flag between the velocity yaw (52) and the
//   roll from rows 24 and 25 (54).
// - GroundRelative, HostTest (55, 56): the two motion flags without a use of their
//   own, in the order the simulation lists them.
// - SnapToGround (57): "follow ground", whose height comes from the host's ground
//   query, as the renderer's snap to ground reads it.
#include <cstdint>

#include "particles/CSArray.h"
#include "particles/CSParamCurve.h"
#include "particles/CSParamTrack.h"
#include "particles/CSRefBase.h"
#include "particles/CSString.h"

class CSArchive;
class CSEntityObject;
class CSTexture;

class CParticleParams : public CSRefBase {
public:
    static constexpr int kRowCount = 28;
    static constexpr int kLockCount = 14;

    // Rows in pairs: row 2p the base, row 2p + 1 its variation.
    // clang-format off
    enum Row {
        OffsetX, OffsetXVar, OffsetY, OffsetYVar, OffsetZ, OffsetZVar,  // times emitter row 14
        SizeX, SizeXVar, SizeY, SizeYVar, SizeZ, SizeZVar,
        Red, RedVar, Green, GreenVar, Blue, BlueVar, Alpha, AlphaVar,  // 0.0 to 1.0
        RotationX, RotationXVar, RotationY, RotationYVar,
        Roll, RollVar,
        SpeedOverLife, SpeedOverLifeVar,
    };
    // clang-format on

    // The base row of the pair each no-variation flag covers, in flag order.
    static const int kNoVariationRows[kLockCount];

    // Flags bits: a set bit switches rows off.
    enum FlagBits : int32_t {
        kPositionRowsOff = 0x1,  // offsets 0
        kRotationRowsOff = 0x2,
        kSizeRowsOff = 0x4,    // uniform size
        kColourRowsOff = 0x8,  // white, opaque
        kSpeedRowsOff = 0x10,
    };

    explicit CParticleParams(bool fillDefaults = false);
    // Releases every sprite texture, deletes every model object.
    ~CParticleParams() override;
    // A new block (count 1) with the same values and rows, sharing the sprite
    // textures; its model objects are its own, showing the same models.
    CParticleParams* Clone() const;

    // The block in file order. Before format version 5 the frame count is computed from
    // the seconds; the second name list (field 18) is read and dropped; the curves keep
    // their names and lose their points. False when a read fails.
    bool Read(CSArchive& archive);

    // Row `row` for a particle of age t of a life of n frames: a constant row gives its
    // constant; otherwise the keys are spread evenly over the life (key 0 at age 0, the
    // last at the end of life and after it), interpolated linearly between neighbours.
    // A row without keys reads 0.0.
    float SampleTrack(int32_t row, int32_t t, int32_t n) const;

    CSString Name;                     // 1
    CSString SecondName;               // 2
    float Life = 0.0f;                 // 3, seconds
    int32_t LifeFrames = 0;            // 4, format version 5 and later; else from Life
    int32_t ParticleSpace = 0;         // 5, 1 world, 2 effect frame turned by the facing, else emitter
    int32_t ParticleKind = 0;          // 6, render kind: 0 object, 1 to 8 sprite kinds
    CSString ModelName;                // 7, "file?node" for kind 0
    float Width = 0.0f;                // 8, rescaled by x
    float Height = 0.0f;               // 9, rescaled by y
    float FlatHeight = 0.0f;           // 10, rescaled by x
    float CentreOffsetX = 0.0f;        // 11, rescaled by x
    float CentreOffsetY = 0.0f;        // 12, rescaled by y
    uint8_t OffsetRelativeToSize = 0;  // 13
    float StripWidth = 0.0f;           // 14, rescaled by x
    float ChainVStep = 0.0f;           // 15
    int32_t ChainMode = 0;             // 16
    CSStringList TextureNames;         // 17, one per frame when two or more
    // 18: a second name list, read and dropped
    int32_t WholeTexture = 0;              // 19, 1: the rectangle of fields 28 to 31; else a sheet cell
    int32_t Integer2 = 0;                  // 20
    int32_t SheetColumns = 0;              // 21
    int32_t AtlasRows = 0;                 // 22
    int32_t FirstFrame = 0;                // 23
    int32_t LastFrame = 0;                 // 24
    int32_t AnimMode = 0;                  // 25, 1: frames advance at AnimFps
    uint8_t RandomStartFrame = 0;          // 26
    uint8_t PingPong = 0;                  // 27
    float UStart = 0.0f;                   // 28
    float VStart = 0.0f;                   // 29
    float UEnd = 0.0f;                     // 30
    float VEnd = 0.0f;                     // 31
    uint8_t AlphaBlended = 0;              // 32, else additive
    uint8_t Flag10 = 0;                    // 75, read after field 74
    float AtlasRowScale = 0.0f;            // 33
    uint8_t Flag2 = 0;                     // 34
    uint8_t UntintedColour = 0;            // 35
    float AnimFps = 0.0f;                  // 36
    uint8_t FlipU = 0;                     // 37
    uint8_t FlipV = 0;                     // 38
    int32_t UvQuarterTurns = 0;            // 39
    int32_t GlobalRandomMode = 0;          // 40
    uint8_t IndependentRandomA = 0;        // 41
    uint8_t IndependentRandomB = 0;        // 42
    uint8_t IndependentRandomD = 0;        // 43
    int32_t OwnMatrix = 0;                 // 44, 0: moved by velocity; else the rows drive it
    float Gravity = 0.0f;                  // 45, rescaled by x
    float StartSpeed = 0.0f;               // 46, units per second, rescaled by x
    float Jitter = 0.0f;                   // 47, rescaled by x
    float ExtraVelocityX = 0.0f;           // 48, rescaled by x
    float ExtraVelocityY = 0.0f;           // 49, rescaled by y
    float ExtraVelocityZ = 0.0f;           // 50, rescaled by y
    float WindFactor = 0.0f;               // 51
    uint8_t YawFromVelocity = 0;           // 52
    uint8_t PitchFromVelocity = 0;         // 53
    uint8_t RollFromTrack = 0;             // 54, the angle comes from rows 24 and 25
    uint8_t GroundRelative = 0;            // 55
    uint8_t HostTest = 0;                  // 56
    uint8_t SnapToGround = 0;              // 57
    float Value5 = 0.0f;                   // 58
    float Value6 = 0.0f;                   // 59
    float Value7 = 0.0f;                   // 60
    uint8_t Flag7 = 0;                     // 61
    float Value8 = 0.0f;                   // 62
    float Value9 = 0.0f;                   // 63
    float Value10 = 0.0f;                  // 64
    uint8_t Flag8 = 0;                     // 65
    float Value11 = 0.0f;                  // 66
    float Value12 = 0.0f;                  // 67
    float Value13 = 0.0f;                  // 68
    uint8_t Flag9 = 0;                     // 69
    CSParamCurve Curves[kRowCount];        // 70
    CSParamTrack Tracks[kRowCount];        // 71
    uint8_t NoVariation[kLockCount] = {};  // 72, in the order of kNoVariationRows
    int32_t Flags = 0;                     // 73, FlagBits
    int32_t BatchSortKey = 0;              // 74
    uint8_t Flag11 = 0;                    // 76, read last

    // Filled when the effect is set up: the model objects of kind 0 and the sprite textures.
    CSArray<CSEntityObject*> ObjectList;
    CSArray<CSTexture*> TextureList;

private:
    CParticleParams(const CParticleParams&) = default;
};
