#include "particles/CParticle.h"

#include "particles/CSArchive.h"
#include "particles/CSMatrix.h"

CParticle::~CParticle() { delete m_pMatrix; }

void CParticle::CopyFrom(const CParticle& source) {
    if (&source == this) return;
    CSMatrix* matrix = m_pMatrix;
    m_nLife = source.m_nLife;
    m_nAnimSpeed = source.m_nAnimSpeed;
    m_nAnimCount = source.m_nAnimCount;
    m_bLocalMatrix = source.m_bLocalMatrix;
    for (int i = 0; i < kRandomWords; ++i) m_awRandom[i] = source.m_awRandom[i];
    m_fSpeedScale = source.m_fSpeedScale;
    m_fSizeScale = source.m_fSizeScale;
    m_vVelocity = source.m_vVelocity;
    m_nObject = source.m_nObject;
    m_nSequence = source.m_nSequence;
    m_dwColor = source.m_dwColor;
    m_nAnimAccu = source.m_nAnimAccu;
    m_nTexFrame = source.m_nTexFrame;
    m_nAge = source.m_nAge;
    m_vPos = source.m_vPos;
    m_vAngles = source.m_vAngles;
    m_pNext = nullptr;
    if (source.m_pMatrix == nullptr) {
        delete matrix;
        m_pMatrix = nullptr;
    } else {
        if (matrix == nullptr) matrix = new CSMatrix();
        *matrix = *source.m_pMatrix;
        m_pMatrix = matrix;
    }
}

void ReadFloat3(CSArchive& archive, ParticleFloat3& v) {
    archive.ReadFloat(v.x);
    archive.ReadFloat(v.y);
    archive.ReadFloat(v.z);
}

CSArchive& CParticle::Read(CSArchive& archive, CParticle& p) {
    p.m_pNext = nullptr;
    archive.ReadInt16(p.m_nLife);
    archive.ReadByte(p.m_bLocalMatrix);
    archive.ReadInt16(p.m_nAnimSpeed);
    archive.ReadInt16(p.m_nAnimCount);
    uint8_t hasMatrix = 0;
    archive.ReadBool32(hasMatrix);
    delete p.m_pMatrix;
    p.m_pMatrix = nullptr;
    if (hasMatrix != 0 && archive.IsGood()) {
        p.m_pMatrix = new CSMatrix();
        for (float& value : p.m_pMatrix->m) archive.ReadFloat(value);
    }
    for (uint16_t& word : p.m_awRandom) archive.ReadUInt16(word);
    archive.ReadFloat(p.m_fSpeedScale);
    archive.ReadFloat(p.m_fSizeScale);
    ReadFloat3(archive, p.m_vVelocity);
    archive.ReadByte(p.m_nObject);
    archive.ReadInt16(p.m_nSequence);
    archive.ReadUInt32(p.m_dwColor);
    archive.ReadInt16(p.m_nAnimAccu);
    archive.ReadInt16(p.m_nTexFrame);
    archive.ReadInt16(p.m_nAge);
    ReadFloat3(archive, p.m_vPos);
    ReadFloat3(archive, p.m_vAngles);
    return archive;
}
