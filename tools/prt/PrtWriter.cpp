#include "tools/prt/PrtWriter.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "particles/CSArchive.h"

namespace {

const char* const kEmiterRowNames[CEmiterParams::kRowCount] = {
    "OffsetX",     "OffsetXVar",     "OffsetY",    "OffsetYVar",    "OffsetZ",        "OffsetZVar",
    "AngleX",      "AngleXVar",      "AngleY",     "AngleYVar",     "AngleZ",         "AngleZVar",
    "EmitRate",    "EmitRateVar",    "SpeedScale", "SpeedScaleVar", "SizeScale",      "SizeScaleVar",
    "LifeScale",   "LifeScaleVar",   "LightRange", "LightRangeVar", "LightRed",       "LightRedVar",
    "LightGreen",  "LightGreenVar",  "LightBlue",  "LightBlueVar",  "LightIntensity", "LightIntensityVar",
    "ShapeSizeX",  "ShapeSizeXVar",  "ShapeSizeY", "ShapeSizeYVar", "ShapeSizeZ",     "ShapeSizeZVar",
    "AzimuthFrom", "AzimuthFromVar", "AzimuthTo",  "AzimuthToVar",  "ElevationFrom",  "ElevationFromVar",
    "ElevationTo", "ElevationToVar"};

const char* const kParticleRowNames[CParticleParams::kRowCount] = {
    "OffsetX",      "OffsetXVar", "OffsetY",      "OffsetYVar", "OffsetZ",  "OffsetZVar",    "SizeX",
    "SizeXVar",     "SizeY",      "SizeYVar",     "SizeZ",      "SizeZVar", "Red",           "RedVar",
    "Green",        "GreenVar",   "Blue",         "BlueVar",    "Alpha",    "AlphaVar",      "RotationX",
    "RotationXVar", "RotationY",  "RotationYVar", "Roll",       "RollVar",  "SpeedOverLife", "SpeedOverLifeVar"};

// "Tracks[12] EmitRate", or "Tracks[3]" without row names.
std::string RowField(const char* field, int row, const char* const* names) {
    char index[16];
    std::snprintf(index, sizeof index, "[%d]", row);
    std::string text = std::string(field) + index;
    if (names != nullptr) text += std::string(" ") + names[row];
    return text;
}

void WalkRows(PrtSink& sink, const CSParamCurve* curves, const CSParamTrack* tracks, int count,
              const char* const* names) {
    for (int row = 0; row < count; ++row) sink.Curve(RowField("Curves", row, names).c_str(), curves[row]);
    for (int row = 0; row < count; ++row) sink.Track(RowField("Tracks", row, names).c_str(), tracks[row]);
}

void WalkFlags(PrtSink& sink, const char* field, const uint8_t* flags, int count) {
    for (int i = 0; i < count; ++i) sink.Bool32(RowField(field, i, nullptr).c_str(), flags[i]);
}

}  // namespace

uint32_t PrtWriter::VersionWord(int32_t formatVersion) {
    const uint32_t hi = static_cast<uint32_t>(formatVersion) >> 8 & 255;
    const uint32_t lo = static_cast<uint32_t>(formatVersion) & 255;
    return hi << 16 | lo << 24;
}

int32_t PrtWriter::FormatVersion() const { return ParticleEffectVersion(m_nVersionWord); }

std::vector<uint8_t> PrtWriter::Write(const CParticlesMesh& effect) const {
    PrtByteSink sink;
    Walk(effect, sink);
    return sink.GetBytes();
}

bool PrtWriter::WriteFile(const CParticlesMesh& effect, const std::string& path) const {
    const std::vector<uint8_t> bytes = Write(effect);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

void PrtWriter::Walk(const CParticlesMesh& effect, PrtSink& sink) const {
    sink.Word("VersionWord", m_nVersionWord);
    sink.String("EffectName", effect.GetEffectName());
    WalkSettings(effect.m_EffectParams, sink);
    sink.Count("EmiterBlocks", static_cast<uint32_t>(effect.m_arrEmiterParams.size()));
    for (size_t i = 0; i < effect.m_arrEmiterParams.size(); ++i) {
        sink.Begin("emiter", static_cast<int32_t>(i), effect.m_arrEmiterParams[i]->Name);
        WalkEmiter(*effect.m_arrEmiterParams[i], sink);
    }
    sink.Count("ParticleBlocks", static_cast<uint32_t>(effect.m_arrParticleParams.size()));
    for (size_t i = 0; i < effect.m_arrParticleParams.size(); ++i) {
        sink.Begin("particle", static_cast<int32_t>(i), effect.m_arrParticleParams[i]->Name);
        WalkParticle(*effect.m_arrParticleParams[i], sink);
    }
    sink.Count("Entries", static_cast<uint32_t>(effect.m_arrEntries.size()));
    for (size_t i = 0; i < effect.m_arrEntries.size(); ++i) {
        sink.Begin("entry", static_cast<int32_t>(i), effect.m_arrEntries[i]->Name);
        WalkEntry(*effect.m_arrEntries[i], sink);
    }
    sink.Begin("box", -1, CSString());
    sink.Vector4("BoxMin", effect.m_vBoxMin);
    sink.Vector4("BoxMax", effect.m_vBoxMax);
}

void PrtWriter::WalkSettings(const CEffectParams& s, PrtSink& sink) const {
    sink.Begin("settings", -1, CSString());
    sink.Bool32("FirstFlag", s.FirstFlag, FormatVersion() >= 4);
    sink.Bool32("Rescalable", s.Rescalable);
    sink.Int32("Width", s.Width);
    sink.Int32("Height", s.Height);
    sink.Float("Value1", s.Value1);
    sink.Float("Value2", s.Value2);
    sink.Int32("Integer1", s.Integer1);
    sink.Float("Value3", s.Value3);
    sink.Float("Value4", s.Value4);
    sink.Float("Value5", s.Value5);
    sink.Bool32("Flag2", s.Flag2);
    sink.Float("Value6", s.Value6);
    sink.Float("Value7", s.Value7);
    sink.Float("Value8", s.Value8);
    sink.Bool32("Flag3", s.Flag3);
    sink.Bool32("Flag4", s.Flag4);
    sink.Bool32("Flag5", s.Flag5);
    WalkRows(sink, s.Curves, s.Tracks, CEffectParams::kRowCount, nullptr);
    WalkFlags(sink, "LockFlags", s.LockFlags, CEffectParams::kLockCount);
    sink.Int32("Integer2", s.Integer2);
}

void PrtWriter::WalkEmiter(const CEmiterParams& e, PrtSink& sink) const {
    const int32_t version = FormatVersion();
    sink.String("Name", e.Name);
    sink.String("SecondName", e.SecondName);
    sink.Float("Duration", e.Duration);
    sink.Int32("DurationFrames", e.DurationFrames, version >= 5);
    sink.Int32("SourceKind", e.SourceKind);
    sink.StringList("SourceNames", e.SourceNames);
    sink.Int32("EmitShape", e.EmitShape);
    sink.Float("SphereRadius", e.SphereRadius);
    sink.Float("EmitterValue2", e.EmitterValue2);
    sink.Float("EmitterValue3", e.EmitterValue3);
    sink.Float("EmitterValue4", e.EmitterValue4);
    sink.Float("EmitterValue5", e.EmitterValue5);
    sink.Float("EmitterValue6", e.EmitterValue6);
    sink.Float("EmitterValue7", e.EmitterValue7);
    sink.Float("EmitterValue8", e.EmitterValue8);
    sink.Int32("BoxFaceMask", e.BoxFaceMask);
    sink.Float("EmitterValue9", e.EmitterValue9);
    sink.Float("EmitterValue10", e.EmitterValue10);
    sink.String("ImageName", e.ImageName);
    sink.Bool32("ImageFlag1", e.ImageFlag1);
    sink.Bool32("MaskColors", e.MaskColors);
    sink.Bool32("FacingFlag1", e.FacingFlag1);
    sink.Bool32("FacingFlag2", e.FacingFlag2);
    sink.Bool32("FacingFlag3", e.FacingFlag3);
    sink.Bool32("FollowGround", e.FollowGround);
    sink.Bool32("StartOnGround", e.StartOnGround);
    sink.Bool32("Flag8", e.Flag8);
    sink.Bool32("Flag9", e.Flag9);
    sink.Bool32("Flag10", e.Flag10);
    sink.Bool32("EmitsLight", e.EmitsLight);
    const bool lightSettings = version >= 3;
    if (!lightSettings) {
        // The old light settings: a flag (light flag 0x10) and the first light value.
        sink.Bool32("OldLightFlag", (e.LightFlags & CEmiterParams::kOldLightFlag) != 0 ? 1 : 0);
        sink.Float("OldLightValue", e.LightValues[0]);
    }
    sink.Int32("LightFlags", e.LightFlags, lightSettings);
    for (int i = 0; i < CEmiterParams::kLightValueCount; ++i)
        sink.Float(RowField("LightValues", i, nullptr).c_str(), e.LightValues[i], lightSettings);
    sink.String("LightName", e.LightName, lightSettings);
    sink.Float("Value11", e.Value11);
    sink.Float("Value12", e.Value12);
    sink.Float("Value13", e.Value13);
    sink.Bool32("Flag12", e.Flag12);
    sink.Float("TimeScale", e.TimeScale);
    sink.Float("Value15", e.Value15);
    sink.Float("Value16", e.Value16);
    sink.Float("Value17", e.Value17);
    sink.Bool32("Flag13", e.Flag13);
    sink.Float("Value18", e.Value18);
    sink.Float("Value19", e.Value19);
    sink.Float("Value20", e.Value20);
    sink.Float("Value21", e.Value21);
    sink.Float("Value22", e.Value22);
    sink.Bool32("BeamDrift", e.BeamDrift);
    sink.Bool32("UseOffset", e.UseOffset);
    sink.Bool32("FixedSeed", e.FixedSeed);
    sink.Int32("SeedOffset", e.SeedOffset);
    sink.Float("ShakeStrength", e.ShakeStrength);
    sink.Float("ShakeSeconds", e.ShakeSeconds);
    sink.Bool32("IndependentOffsetRandom", e.IndependentOffsetRandom);
    sink.Bool32("IndependentAngleRandom", e.IndependentAngleRandom);
    sink.Bool32("IndependentThirdRandom", e.IndependentThirdRandom);
    sink.Bool32("IndependentSizeRandom", e.IndependentSizeRandom);
    sink.Bool32("IndependentAngleRangeRandom", e.IndependentAngleRangeRandom);
    WalkRows(sink, e.Curves, e.Tracks, CEmiterParams::kRowCount, kEmiterRowNames);
    WalkFlags(sink, "NoVariation", e.NoVariation, CEmiterParams::kPairCount);
    sink.Int32("ChannelMask", e.ChannelMask);
}

void PrtWriter::WalkParticle(const CParticleParams& p, PrtSink& sink) const {
    sink.String("Name", p.Name);
    sink.String("SecondName", p.SecondName);
    sink.Float("Life", p.Life);
    sink.Int32("LifeFrames", p.LifeFrames, FormatVersion() >= 5);
    sink.Int32("ParticleSpace", p.ParticleSpace);
    sink.Int32("ParticleKind", p.ParticleKind);
    sink.String("ModelName", p.ModelName);
    sink.Float("Width", p.Width);
    sink.Float("Height", p.Height);
    sink.Float("FlatHeight", p.FlatHeight);
    sink.Float("CentreOffsetX", p.CentreOffsetX);
    sink.Float("CentreOffsetY", p.CentreOffsetY);
    sink.Bool32("OffsetRelativeToSize", p.OffsetRelativeToSize);
    sink.Float("StripWidth", p.StripWidth);
    sink.Float("ChainVStep", p.ChainVStep);
    sink.Int32("ChainMode", p.ChainMode);
    sink.StringList("TextureNames", p.TextureNames);
    sink.StringList("SecondNameList", CSStringList());
    sink.Int32("WholeTexture", p.WholeTexture);
    sink.Int32("Integer2", p.Integer2);
    sink.Int32("SheetColumns", p.SheetColumns);
    sink.Int32("AtlasRows", p.AtlasRows);
    sink.Int32("FirstFrame", p.FirstFrame);
    sink.Int32("LastFrame", p.LastFrame);
    sink.Int32("AnimMode", p.AnimMode);
    sink.Bool32("RandomStartFrame", p.RandomStartFrame);
    sink.Bool32("PingPong", p.PingPong);
    sink.Float("UStart", p.UStart);
    sink.Float("VStart", p.VStart);
    sink.Float("UEnd", p.UEnd);
    sink.Float("VEnd", p.VEnd);
    sink.Bool32("AlphaBlended", p.AlphaBlended);
    sink.Float("AtlasRowScale", p.AtlasRowScale);
    sink.Bool32("Flag2", p.Flag2);
    sink.Bool32("UntintedColour", p.UntintedColour);
    sink.Float("AnimFps", p.AnimFps);
    sink.Bool32("FlipU", p.FlipU);
    sink.Bool32("FlipV", p.FlipV);
    sink.Int32("UvQuarterTurns", p.UvQuarterTurns);
    sink.Int32("GlobalRandomMode", p.GlobalRandomMode);
    sink.Bool32("IndependentRandomA", p.IndependentRandomA);
    sink.Bool32("IndependentRandomB", p.IndependentRandomB);
    sink.Bool32("IndependentRandomD", p.IndependentRandomD);
    sink.Int32("OwnMatrix", p.OwnMatrix);
    sink.Float("Gravity", p.Gravity);
    sink.Float("StartSpeed", p.StartSpeed);
    sink.Float("Jitter", p.Jitter);
    sink.Float("ExtraVelocityX", p.ExtraVelocityX);
    sink.Float("ExtraVelocityY", p.ExtraVelocityY);
    sink.Float("ExtraVelocityZ", p.ExtraVelocityZ);
    sink.Float("WindFactor", p.WindFactor);
    sink.Bool32("YawFromVelocity", p.YawFromVelocity);
    sink.Bool32("PitchFromVelocity", p.PitchFromVelocity);
    sink.Bool32("RollFromTrack", p.RollFromTrack);
    sink.Bool32("GroundRelative", p.GroundRelative);
    sink.Bool32("HostTest", p.HostTest);
    sink.Bool32("SnapToGround", p.SnapToGround);
    sink.Float("Value5", p.Value5);
    sink.Float("Value6", p.Value6);
    sink.Float("Value7", p.Value7);
    sink.Bool32("Flag7", p.Flag7);
    sink.Float("Value8", p.Value8);
    sink.Float("Value9", p.Value9);
    sink.Float("Value10", p.Value10);
    sink.Bool32("Flag8", p.Flag8);
    sink.Float("Value11", p.Value11);
    sink.Float("Value12", p.Value12);
    sink.Float("Value13", p.Value13);
    sink.Bool32("Flag9", p.Flag9);
    WalkRows(sink, p.Curves, p.Tracks, CParticleParams::kRowCount, kParticleRowNames);
    WalkFlags(sink, "NoVariation", p.NoVariation, CParticleParams::kLockCount);
    sink.Int32("Flags", p.Flags);
    sink.Int32("BatchSortKey", p.BatchSortKey);
    sink.Bool32("Flag10", p.Flag10);
    sink.Bool32("Flag11", p.Flag11);
}

void PrtWriter::WalkEntry(const CParticleEmiterParams& e, PrtSink& sink) const {
    sink.String("Name", e.Name);
    sink.String("SecondName", e.SecondName);
    sink.String("Name3", e.Name3);
    sink.String("Name4", e.Name4);
    sink.Int32("EmiterIndex", e.EmiterIndex);
    sink.Int32("ParticleIndex", e.ParticleIndex);
    sink.Float("Delay", e.Delay);
    sink.Int32("RepeatMode", e.RepeatMode);
    sink.Int32("RepeatCount", e.RepeatCount);
    sink.Float("RepeatPause", e.RepeatPause);
    sink.Bool32("RandomPhase", e.RandomPhase);
    sink.Bool32("Hold", e.Hold);
    sink.Bool32("TriggerA", e.TriggerA);
    sink.Bool32("TriggerB", e.TriggerB);
    sink.Bool32("Pausable", e.Pausable);
    sink.Bool32("KeepOnKill", e.KeepOnKill);
    sink.Bool32("EmitsEmitters", e.EmitsEmitters);
    sink.StringList("ChildNames", e.ChildNames);
    sink.Bool32("Disabled", e.Disabled);
    sink.Bool32("Counted", e.Counted);
}

void PrtByteSink::Append(uint32_t word) {
    for (int shift = 0; shift < 32; shift += 8) m_Bytes.push_back(static_cast<uint8_t>(word >> shift));
}

void PrtByteSink::AppendFloat(float value) {
    uint32_t word;
    std::memcpy(&word, &value, sizeof word);
    Append(word);
}

void PrtByteSink::AppendString(const CSString& value) {
    Append(static_cast<uint32_t>(value.GetLength()));
    m_Bytes.insert(m_Bytes.end(), value.c_str(), value.c_str() + value.GetLength());
}

void PrtByteSink::Word(const char*, uint32_t value) { Append(value); }

void PrtByteSink::Int32(const char*, int32_t value, bool stored) {
    if (stored) Append(static_cast<uint32_t>(value));
}

void PrtByteSink::Float(const char*, float value, bool stored) {
    if (stored) AppendFloat(value);
}

void PrtByteSink::Bool32(const char*, uint8_t value, bool stored) {
    if (stored) Append(value != 0 ? 1 : 0);
}

void PrtByteSink::String(const char*, const CSString& value, bool stored) {
    if (stored) AppendString(value);
}

void PrtByteSink::StringList(const char*, const CSStringList& value) {
    Append(static_cast<uint32_t>(value.size()));
    Append(0);
    for (const CSString& string : value) AppendString(string);
}

void PrtByteSink::Vector4(const char*, const CSVector4& value) {
    for (float lane : {value.x, value.y, value.z, value.w}) AppendFloat(lane);
}

void PrtByteSink::Curve(const char*, const CSParamCurve& curve) {
    Append(curve.m_arrPoints.GetCount());
    Append(0);
    for (uint32_t i = 0; i < curve.m_arrPoints.GetCount(); ++i) {
        const CSCurvePoint& point = curve.m_arrPoints[i];
        AppendFloat(point.m_fTime);
        AppendFloat(point.m_fValue);
        AppendFloat(point.m_fShape1);
        AppendFloat(point.m_fShape2);
        Append(point.m_nFifth);
    }
    AppendString(curve.m_strName);
}

void PrtByteSink::Track(const char*, const CSParamTrack& track) {
    Append(track.m_arrKeys.GetCount());
    Append(0);
    for (uint32_t i = 0; i < track.m_arrKeys.GetCount(); ++i) AppendFloat(track.m_arrKeys[i]);
    m_Bytes.push_back(track.m_bConstant);
    AppendFloat(track.m_fConstant);
}

void PrtByteSink::Count(const char*, uint32_t count) { Append(count); }
