// Copies of a running effect and its restore from a snapshot.
#include "particles/CParticlesEmiter.h"

#include "particles/CSArchive.h"

void CParticlesEmiter::CopyFrom(const CParticlesEmiter& source) {
    if (&source == this) return;
    m_wFlags = source.m_wFlags;
    m_pHost = source.m_pHost;
    BindEffect(source.m_pMesh);
    m_vPos = source.m_vPos;
    for (int i = 0; i < 3; ++i) m_abAngles[i] = source.m_abAngles[i];
    for (int i = 0; i < 4; ++i) m_vSpare[i] = source.m_vSpare[i];
    m_iFrame = source.m_iFrame;
    m_arrEmiters.clear();
    m_arrEmiters.resize(source.m_arrEmiters.size());
    for (size_t i = 0; i < m_arrEmiters.size(); ++i) m_arrEmiters[i].CopyFrom(source.m_arrEmiters[i]);
    m_wSeed = source.m_wSeed;
    m_iSpare1 = source.m_iSpare1;
    m_iSpare2 = source.m_iSpare2;
    m_fLoopHeight = source.m_fLoopHeight;
    m_fHeight = source.m_fHeight;
}

void CParticlesEmiter::CopyFromWithReference(const CParticlesEmiter& source) {
    CopyFrom(source);
    m_vReference = source.m_vReference;
}

CSArchive& CParticlesEmiter::Read(CSArchive& archive, CParticlesEmiter& instance) {
    // The smallest emitter record, and the fields after the emitters.
    const uint64_t emiterBytes = 140, trailingBytes = 2 + 4 + 4 + 4 + 4;
    instance.m_arrEmiters.clear();
    archive.ReadUInt16(instance.m_wFlags);
    archive.ReadVector4(instance.m_vPos);
    archive.ReadBytes3(instance.m_abAngles);
    for (float& value : instance.m_vSpare) archive.ReadFloat(value);
    archive.ReadInt32(instance.m_iFrame);
    uint32_t count = 0;
    if (archive.ReadCount(count, emiterBytes, trailingBytes)) {
        instance.m_arrEmiters.resize(count);
        for (CEmiter& e : instance.m_arrEmiters) {
            CEmiter::Read(archive, e);
            if (!archive.IsGood()) break;
        }
    }
    archive.ReadInt16(instance.m_wSeed);
    archive.ReadInt32(instance.m_iSpare1);
    archive.ReadInt32(instance.m_iSpare2);
    archive.ReadFloat(instance.m_fLoopHeight);
    archive.ReadFloat(instance.m_fHeight);
    if (!archive.IsGood()) instance.m_arrEmiters.clear();
    return archive;
}
