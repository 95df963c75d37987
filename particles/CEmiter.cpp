#include "particles/CEmiter.h"

#include "particles/CParticle.h"
#include "particles/CParticlesEmiter.h"
#include "particles/CSMatrix.h"

CEmiter::~CEmiter() { FreeBlocks(); }

CEmiter::CEmiter(CEmiter&& other) noexcept {
    *this = static_cast<const CEmiter&>(other);
    other.Disown();
}

CEmiter& CEmiter::operator=(CEmiter&& other) noexcept {
    if (&other != this) {
        FreeBlocks();
        *this = static_cast<const CEmiter&>(other);
        other.Disown();
    }
    return *this;
}

void CEmiter::Disown() {
    m_pMatrix = nullptr;
    m_pFaceTable = nullptr;
    m_pFirst = nullptr;
    m_pLast = nullptr;
    m_nCount = 0;
}

void CEmiter::FreeBlocks() {
    delete m_pMatrix;
    m_pMatrix = nullptr;
    delete[] m_pFaceTable;
    m_pFaceTable = nullptr;
    DeleteParticles();
}

void CEmiter::DeleteParticles() {
    CParticle* particle = m_pFirst;
    while (particle != nullptr) {
        CParticle* next = particle->m_pNext;
        delete particle;
        particle = next;
    }
    m_pFirst = nullptr;
    m_pLast = nullptr;
    m_nCount = 0;
    m_nNextAnimFrame = 0;
}

void CEmiter::CopyFrom(const CEmiter& source) {
    if (&source == this) return;
    FreeBlocks();
    *this = source;
    Disown();
    if (source.m_pMatrix != nullptr) m_pMatrix = new CSMatrix(*source.m_pMatrix);
    if (source.m_pFaceTable != nullptr) {
        m_pFaceTable = new int16_t[kBoxFaceCount];
        for (int i = 0; i < kBoxFaceCount; ++i) m_pFaceTable[i] = source.m_pFaceTable[i];
    }
    for (const CParticle* from = source.m_pFirst; from != nullptr; from = from->m_pNext) {
        CParticle* clone = new CParticle();
        clone->CopyFrom(*from);
        if (m_pLast == nullptr) m_pFirst = clone;
        else m_pLast->m_pNext = clone;
        m_pLast = clone;
    }
    m_nCount = source.m_nCount;
}

bool CEmiter::AdvanceParticles(CParticlesEmiter& instance) {
    CParticle* previous = nullptr;
    CParticle* particle = m_pFirst;
    while (particle != nullptr) {
        CParticle* next = particle->m_pNext;
        if (instance.AdvanceParticle(*this, *particle)) {
            previous = particle;
        } else {
            if (previous == nullptr) m_pFirst = next;
            else previous->m_pNext = next;
            if (m_pLast == particle) m_pLast = previous;
            delete particle;
            if (--m_nCount == 0) m_nNextAnimFrame = 0;
        }
        particle = next;
    }
    return m_pFirst != nullptr;
}

void CEmiter::Append(CParticle* particle) {
    particle->m_pNext = nullptr;
    if (m_pLast == nullptr) m_pFirst = particle;
    else m_pLast->m_pNext = particle;
    m_pLast = particle;
    ++m_nCount;
    if (m_nCount > m_nPeak) m_nPeak = m_nCount;
}
