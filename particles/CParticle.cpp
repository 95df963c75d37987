#include "particles/CParticle.h"

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
