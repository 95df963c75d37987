#pragma once
// Effect files for the particle tests: bytes built by hand (little-endian words, the
// test's own knowledge of the layout), effects built in code and written with
// PrtWriter, and the read back through the library's reader.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/ScratchFolder.h"
#include "particles/CParticlesMesh.h"
#include "particles/CSArchive.h"
#include "tools/prt/PrtWriter.h"

namespace effectfixtures {

// Little-endian bytes appended by hand.
class Bytes {
public:
    Bytes& U32(uint32_t v) {
        for (int s = 0; s < 32; s += 8) data.push_back(static_cast<char>(v >> s));
        return *this;
    }
    Bytes& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
    Bytes& F32(float f) {
        uint32_t v;
        std::memcpy(&v, &f, sizeof v);
        return U32(v);
    }
    Bytes& Byte(uint8_t b) {
        data.push_back(static_cast<char>(b));
        return *this;
    }
    Bytes& Str(const std::string& s) {
        U32(static_cast<uint32_t>(s.size()));
        data += s;
        return *this;
    }
    // Count, an ignored word, the strings.
    Bytes& List(std::initializer_list<std::string> strings, uint32_t ignored = 0) {
        U32(static_cast<uint32_t>(strings.size())).U32(ignored);
        for (const std::string& s : strings) Str(s);
        return *this;
    }
    Bytes& Words(int n, uint32_t v = 0) {
        for (int i = 0; i < n; ++i) U32(v);
        return *this;
    }
    // n curve records without points and n constant track records, unnamed.
    Bytes& EmptyRows(int n, float constant = 0.0f) {
        for (int i = 0; i < n; ++i) U32(0).U32(0).Str("");
        for (int i = 0; i < n; ++i) U32(0).U32(0).Byte(1).F32(constant);
        return *this;
    }

    std::string data;
};

// A settings block of the format version, all zero but `rescalable`.
inline Bytes& SettingsBlock(Bytes& b, int32_t version, uint32_t rescalable = 0) {
    if (version >= 4) b.U32(0);
    b.U32(rescalable).Words(15).EmptyRows(12).Words(6).U32(0);
    return b;
}

inline std::string Write(const ScratchFolder& folder, const std::string& name, const std::string& bytes) {
    return folder.Write(name, bytes);
}

inline std::string WriteEffect(const ScratchFolder& folder, const std::string& name, const CParticlesMesh& effect,
                               int32_t version) {
    const std::vector<uint8_t> bytes = PrtWriter(PrtWriter::VersionWord(version)).Write(effect);
    return folder.Write(name, std::string(bytes.begin(), bytes.end()));
}

// The whole-file read of the library; the archive's position and version word kept.
struct ReadResult {
    bool ok = false;
    uint64_t position = 0;
    uint32_t versionWord = 0;
};

inline ReadResult ReadEffect(const std::string& path, CParticlesMesh& effect) {
    CSArchive archive(path.c_str());
    ReadResult result;
    result.ok = effect.Read(archive);
    result.position = archive.GetPosition();
    result.versionWord = archive.GetVersionWord();
    return result;
}

template <class Block>
Block* Add(std::vector<Block*>& blocks) {
    blocks.push_back(new Block());
    return blocks.back();
}

inline void SetKeys(CSParamTrack& track, std::initializer_list<float> keys) {
    track.m_arrKeys.Free();
    for (float k : keys) track.m_arrKeys.Append(k);
    track.m_bConstant = 0;
}

inline void SetConstant(CSParamTrack& track, float constant) {
    track.m_arrKeys.Free();
    track.m_bConstant = 1;
    track.m_fConstant = constant;
}

// An entry named `name` of blocks (emiter, particle), linking to `children` when given.
inline CParticleEmiterParams* AddEntry(CParticlesMesh& effect, const char* name, int32_t emiter, int32_t particle,
                                       std::initializer_list<const char*> children = {}) {
    CParticleEmiterParams* entry = Add(effect.m_arrEntries);
    entry->Name = name;
    entry->SecondName = name;
    entry->EmiterIndex = emiter;
    entry->ParticleIndex = particle;
    for (const char* child : children) entry->ChildNames.push_back(CSString(child));
    entry->EmitsEmitters = children.size() > 0 ? 1 : 0;
    return entry;
}

// A small effect with a value in most kinds of field, curves named without points (a
// reader drops points), keyed and constant rows: written, read and written again in
// any version it gives the same bytes.
inline void BuildSample(CParticlesMesh& effect) {
    effect.m_astrNames[1] = "sample";
    CEffectParams& s = effect.m_EffectParams;
    s.FirstFlag = 1;
    s.Width = 64;
    s.Value8 = 0.25f;
    s.Curves[3].m_strName = "settings curve";
    SetKeys(s.Tracks[2], {1.0f, 2.0f});
    s.LockFlags[5] = 1;

    CEmiterParams* e = Add(effect.m_arrEmiterParams);
    e->Name = "spray";
    e->Duration = 1.5f;
    e->DurationFrames = 45;
    e->SourceKind = 2;
    e->SourceNames = {CSString("left"), CSString(""), CSString("right")};
    e->EmitShape = CEmiterParams::kShapeBox;
    e->SphereRadius = 3.5f;
    e->BoxFaceMask = 0x21;
    e->ImageName = "spark.png";
    e->MaskColors = 1;
    e->EmitsLight = 1;
    e->LightFlags = CEmiterParams::kOldLightFlag;
    const float light[6] = {0.5f, 1.0f, 45.0f, 0.0f, 200.0f, 100.0f};
    std::memcpy(e->LightValues, light, sizeof light);
    e->TimeScale = 2.0f;
    e->SeedOffset = -7;
    e->IndependentSizeRandom = 1;
    e->Curves[12].m_strName = "rate";
    SetConstant(e->Tracks[CEmiterParams::EmitRate], 20.0f);
    SetKeys(e->Tracks[CEmiterParams::OffsetX], {0.0f, 1.0f, 2.0f});
    e->NoVariation[21] = 1;
    e->ChannelMask = 0x103;

    CParticleParams* p = Add(effect.m_arrParticleParams);
    p->Name = "flake";
    p->Life = 0.5f;
    p->LifeFrames = 15;
    p->ParticleKind = 1;
    p->TextureNames = {CSString("a.dds"), CSString("b.dds")};
    p->WholeTexture = 1;
    p->AlphaBlended = 1;
    p->Flag10 = 1;
    p->OwnMatrix = 2;
    p->StartSpeed = 12.0f;
    p->HostTest = 1;
    SetKeys(p->Tracks[CParticleParams::Alpha], {1.0f, 0.5f, 0.0f});
    p->NoVariation[13] = 1;
    p->Flags = CParticleParams::kColourRowsOff;
    p->BatchSortKey = 3;
    p->Flag11 = 1;

    AddEntry(effect, "main", 0, 0, {"main"});
    AddEntry(effect, "Child", 0, -1)->TriggerB = 1;
    effect.m_vBoxMin = CSVector4(-1.0f, -2.0f, -3.0f, 0.0f);
    effect.m_vBoxMax = CSVector4(1.0f, 2.0f, 3.0f, 1.0f);
}

}  // namespace effectfixtures
