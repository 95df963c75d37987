#include "particles/CParticleParams.h"

#include "particles/CSArchive.h"
#include "particles/CSEntityObject.h"
#include "particles/CSTexture.h"
#include "particles/ParticleStepRates.h"

const int CParticleParams::kNoVariationRows[kLockCount] = {
    OffsetX, OffsetY, OffsetZ, Red, Green, Blue, Alpha, SpeedOverLife, RotationX, RotationY, Roll, SizeX, SizeY, SizeZ};

CParticleParams::CParticleParams(bool /*fillDefaults*/) {}

CParticleParams::~CParticleParams() {
    for (uint32_t i = 0; i < TextureList.GetCount(); ++i) {
        if (TextureList[i] != nullptr) TextureList[i]->Release();
    }
    for (uint32_t i = 0; i < ObjectList.GetCount(); ++i) delete ObjectList[i];
}

CParticleParams* CParticleParams::Clone() const {
    CParticleParams* copy = new CParticleParams(*this);
    for (uint32_t i = 0; i < copy->TextureList.GetCount(); ++i) {
        if (copy->TextureList[i] != nullptr) copy->TextureList[i]->AddRef();
    }
    for (uint32_t i = 0; i < copy->ObjectList.GetCount(); ++i) {
        const CSEntityObject* source = ObjectList[i];
        if (source == nullptr) continue;
        CSEntityObject* object = new CSEntityObject();
        object->m_pModel = source->m_pModel;
        object->m_nNode = source->m_nNode;
        copy->ObjectList[i] = object;
    }
    return copy;
}

bool CParticleParams::Read(CSArchive& archive) {
    const int32_t version = archive.GetFormatVersion();
    archive.ReadString(Name);
    archive.ReadString(SecondName);
    archive.ReadFloat(Life);
    if (version >= 5) archive.ReadInt32(LifeFrames);
    else LifeFrames = SecondsToFrames(Life);

    archive.ReadInt32(ParticleSpace);
    archive.ReadInt32(ParticleKind);
    archive.ReadString(ModelName);
    archive.ReadFloat(Width);
    archive.ReadFloat(Height);
    archive.ReadFloat(FlatHeight);
    archive.ReadFloat(CentreOffsetX);
    archive.ReadFloat(CentreOffsetY);
    archive.ReadBool32(OffsetRelativeToSize);
    archive.ReadFloat(StripWidth);
    archive.ReadFloat(ChainVStep);
    archive.ReadInt32(ChainMode);
    archive.ReadStringList(TextureNames);
    CSStringList dropped;
    archive.ReadStringList(dropped);

    archive.ReadInt32(WholeTexture);
    archive.ReadInt32(Integer2);
    archive.ReadInt32(SheetColumns);
    archive.ReadInt32(AtlasRows);
    archive.ReadInt32(FirstFrame);
    archive.ReadInt32(LastFrame);
    archive.ReadInt32(AnimMode);
    archive.ReadBool32(RandomStartFrame);
    archive.ReadBool32(PingPong);
    archive.ReadFloat(UStart);
    archive.ReadFloat(VStart);
    archive.ReadFloat(UEnd);
    archive.ReadFloat(VEnd);
    archive.ReadBool32(AlphaBlended);
    archive.ReadFloat(AtlasRowScale);
    archive.ReadBool32(Flag2);
    archive.ReadBool32(UntintedColour);
    archive.ReadFloat(AnimFps);
    archive.ReadBool32(FlipU);
    archive.ReadBool32(FlipV);
    archive.ReadInt32(UvQuarterTurns);
    archive.ReadInt32(GlobalRandomMode);
    archive.ReadBool32(IndependentRandomA);
    archive.ReadBool32(IndependentRandomB);
    archive.ReadBool32(IndependentRandomD);
    archive.ReadInt32(OwnMatrix);
    archive.ReadFloat(Gravity);
    archive.ReadFloat(StartSpeed);
    archive.ReadFloat(Jitter);
    archive.ReadFloat(ExtraVelocityX);
    archive.ReadFloat(ExtraVelocityY);
    archive.ReadFloat(ExtraVelocityZ);
    archive.ReadFloat(WindFactor);
    archive.ReadBool32(YawFromVelocity);
    archive.ReadBool32(PitchFromVelocity);
    archive.ReadBool32(RollFromTrack);
    archive.ReadBool32(GroundRelative);
    archive.ReadBool32(HostTest);
    archive.ReadBool32(SnapToGround);
    archive.ReadFloat(Value5);
    archive.ReadFloat(Value6);
    archive.ReadFloat(Value7);
    archive.ReadBool32(Flag7);
    archive.ReadFloat(Value8);
    archive.ReadFloat(Value9);
    archive.ReadFloat(Value10);
    archive.ReadBool32(Flag8);
    archive.ReadFloat(Value11);
    archive.ReadFloat(Value12);
    archive.ReadFloat(Value13);
    archive.ReadBool32(Flag9);

    if (!archive.ReadRows(Curves, Tracks, kRowCount)) return false;
    for (uint8_t& flag : NoVariation) archive.ReadBool32(flag);
    archive.ReadInt32(Flags);
    archive.ReadInt32(BatchSortKey);
    archive.ReadBool32(Flag10);
    archive.ReadBool32(Flag11);
    return archive.IsGood();
}

float CParticleParams::SampleTrack(int32_t row, int32_t t, int32_t n) const {
    if (row < 0 || row >= kRowCount) return 0.0f;
    const CSParamTrack& track = Tracks[row];
    if (track.IsConstant()) return track.m_fConstant;
    const uint32_t count = track.m_arrKeys.GetCount();
    if (count == 0) return 0.0f;
    if (t >= n) return track.m_arrKeys[count - 1];
    if (t <= 0) return track.m_arrKeys[0];
    // t x (c - 1) in integers, the division in floating point.
    const int64_t scaled = static_cast<int64_t>(t) * static_cast<int64_t>(count - 1);
    const float pos = static_cast<float>(scaled) / static_cast<float>(n);
    const uint32_t i = static_cast<uint32_t>(pos);
    const float f = pos - static_cast<float>(i);
    if (f == 0.0f || i + 1 >= count) return track.KeyAt(static_cast<int32_t>(i));
    return track.m_arrKeys[i] + f * (track.m_arrKeys[i + 1] - track.m_arrKeys[i]);
}
