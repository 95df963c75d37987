#include "particles/CEmiter.h"

#include "particles/CParticle.h"
#include "particles/CParticlesEmiter.h"
#include "particles/CSArchive.h"
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

namespace {
// The smallest particle record: one without a matrix.
constexpr uint64_t kParticleBytes = 96;
}  // namespace

CSArchive& CEmiter::Read(CSArchive& archive, CEmiter& e) {
    e.FreeBlocks();
    e.m_pEmiterParams = nullptr;
    e.m_pParticleParams = nullptr;
    e.m_pEntry = nullptr;
    e.m_nPeak = 0;
    archive.ReadUInt16(e.m_wFlags);
    archive.ReadInt16(e.m_nEmiterParams);
    archive.ReadInt16(e.m_nParticleParams);
    archive.ReadInt16(e.m_nEntry);
    archive.ReadInt16(e.m_nNextSource);
    archive.ReadInt16(e.m_nSource);
    archive.ReadInt16(e.m_nLink);
    int16_t start = 0;
    archive.ReadInt16(start);
    e.m_nStart = start;
    archive.ReadInt16(e.m_nLength);
    archive.ReadInt16(e.m_nMotionLength);
    archive.ReadInt16(e.m_nPause);
    archive.ReadInt16(e.m_nRepeats);
    for (uint16_t& word : e.m_awRandom) archive.ReadUInt16(word);
    archive.ReadUInt16(e.m_wSharedRandom);
    uint8_t has = 0;
    archive.ReadBool32(has);
    if (has != 0 && archive.IsGood()) {
        e.m_pMatrix = new CSMatrix();
        for (float& value : e.m_pMatrix->m) archive.ReadFloat(value);
    }
    archive.ReadBool32(has);
    if (has != 0 && archive.IsGood()) {
        e.m_pFaceTable = new int16_t[kBoxFaceCount];
        for (int i = 0; i < kBoxFaceCount; ++i) archive.ReadInt16(e.m_pFaceTable[i]);
    }
    archive.ReadInt16(e.m_nFaceTableFrame);
    archive.ReadFloat(e.m_fRateScale);
    ReadFloat3(archive, e.m_vBasePos);
    ReadFloat3(archive, e.m_vBaseAngles);
    archive.ReadInt32(e.m_iSeed);
    archive.ReadInt32(e.m_iSeed2);
    ReadFloat3(archive, e.m_vPos);
    ReadFloat3(archive, e.m_vAngles);
    archive.ReadInt16(e.m_nPlays);
    archive.ReadInt16(e.m_nFrame);
    archive.ReadInt16(e.m_nMotionFrame);
    archive.ReadInt16(e.m_nPauseLeft);
    // Each particle takes at least its record and the next flag: a corrupt list ends
    // with the bytes of the file.
    archive.ReadBool32(has);
    while (has != 0 && archive.IsGood() && archive.GetBytesLeft() >= kParticleBytes + 4) {
        CParticle* particle = new CParticle();
        CParticle::Read(archive, *particle);
        if (e.m_pLast == nullptr) e.m_pFirst = particle;
        else e.m_pLast->m_pNext = particle;
        e.m_pLast = particle;
        archive.ReadBool32(has);
    }
    if (has != 0 && archive.IsGood()) {
        // A flag that announces a particle the file cannot hold: fail the archive.
        CParticle rest;
        CParticle::Read(archive, rest);
    }
    archive.ReadInt16(e.m_nCount);
    archive.ReadFloat(e.m_fEmitAccu);
    archive.ReadInt16(e.m_nNextAnimFrame);
    return archive;
}
