#include "particles/CEmiterParams.h"

#include "particles/CSArchive.h"
#include "particles/CSCachedTexture.h"
#include "particles/ParticleStepRates.h"

CEmiterParams::CEmiterParams(bool /*fillDefaults*/) {}

CEmiterParams::~CEmiterParams() {
    if (MaskImage != nullptr) MaskImage->Release();
}

CEmiterParams* CEmiterParams::Clone() const {
    CEmiterParams* copy = new CEmiterParams(*this);
    if (copy->MaskImage != nullptr) ++copy->MaskImage->m_nRefCount;
    return copy;
}

bool CEmiterParams::Read(CSArchive& archive) {
    const int32_t version = archive.GetFormatVersion();
    archive.ReadString(Name);
    archive.ReadString(SecondName);
    archive.ReadFloat(Duration);
    if (version >= 5) archive.ReadInt32(DurationFrames);
    else DurationFrames = SecondsToFrames(Duration);
    archive.ReadInt32(SourceKind);
    archive.ReadStringList(SourceNames);
    archive.ReadInt32(EmitShape);
    archive.ReadFloat(SphereRadius);
    archive.ReadFloat(EmitterValue2);
    archive.ReadFloat(EmitterValue3);
    archive.ReadFloat(EmitterValue4);
    archive.ReadFloat(EmitterValue5);
    archive.ReadFloat(EmitterValue6);
    archive.ReadFloat(EmitterValue7);
    archive.ReadFloat(EmitterValue8);
    archive.ReadInt32(BoxFaceMask);
    archive.ReadFloat(EmitterValue9);
    archive.ReadFloat(EmitterValue10);
    archive.ReadString(ImageName);
    archive.ReadBool32(ImageFlag1);
    archive.ReadBool32(MaskColors);
    archive.ReadBool32(FacingFlag1);
    archive.ReadBool32(FacingFlag2);
    archive.ReadBool32(FacingFlag3);
    archive.ReadBool32(FollowGround);
    archive.ReadBool32(StartOnGround);
    archive.ReadBool32(Flag8);
    archive.ReadBool32(Flag9);
    archive.ReadBool32(Flag10);
    archive.ReadBool32(EmitsLight);

    if (version >= 3) {
        archive.ReadInt32(LightFlags);
        for (float& value : LightValues) archive.ReadFloat(value);
        archive.ReadString(LightName);
    } else {
        uint8_t oldFlag = 0;
        archive.ReadBool32(oldFlag);
        archive.ReadFloat(LightValues[0]);
        LightFlags = oldFlag != 0 ? kOldLightFlag : 0;
        const float oldDefaults[kLightValueCount - 1] = {1.0f, 45.0f, 0.0f, 200.0f, 100.0f};
        for (int i = 1; i < kLightValueCount; ++i) LightValues[i] = oldDefaults[i - 1];
        LightName.Free();
    }

    archive.ReadFloat(Value11);
    archive.ReadFloat(Value12);
    archive.ReadFloat(Value13);
    archive.ReadBool32(Flag12);
    archive.ReadFloat(TimeScale);
    archive.ReadFloat(Value15);
    archive.ReadFloat(Value16);
    archive.ReadFloat(Value17);
    archive.ReadBool32(Flag13);
    archive.ReadFloat(Value18);
    archive.ReadFloat(Value19);
    archive.ReadFloat(Value20);
    archive.ReadFloat(Value21);
    archive.ReadFloat(Value22);
    archive.ReadBool32(BeamDrift);
    archive.ReadBool32(UseOffset);
    archive.ReadBool32(FixedSeed);
    archive.ReadInt32(SeedOffset);
    archive.ReadFloat(ShakeStrength);
    archive.ReadFloat(ShakeSeconds);
    archive.ReadBool32(IndependentOffsetRandom);
    archive.ReadBool32(IndependentAngleRandom);
    archive.ReadBool32(IndependentThirdRandom);
    archive.ReadBool32(IndependentSizeRandom);
    archive.ReadBool32(IndependentAngleRangeRandom);

    if (!archive.ReadRows(Curves, Tracks, kRowCount)) return false;
    for (uint8_t& flag : NoVariation) archive.ReadBool32(flag);
    archive.ReadInt32(ChannelMask);
    return archive.IsGood();
}

float CEmiterParams::GetTrackKey(int32_t row, int32_t frame) const {
    if (row < 0 || row >= kRowCount) return 0.0f;
    const CSParamTrack& track = Tracks[row];
    if (track.IsConstant()) {
        if (row == EmitRate || row == EmitRateVar) return frame == 0 ? track.m_fConstant : 0.0f;
        return track.m_fConstant;
    }
    return track.KeyAt(frame);
}
