#pragma once
// One particle of a running emitter: a node of its emitter's singly linked list, with
// the values it was born with (life, random words, scales, texture sequence) and those
// the advance changes (age, position, angles, texture frame). Angles are in 256ths of
// a turn, times in 30 Hz steps.
#include <cstdint>

#include "particles/ParticleFloat3.h"

class CSArchive;
class CSMatrix;

class CParticle {
public:
    static constexpr int kRandomWords = 14;

    // m_pNext and m_pMatrix null, every other field zero; emission sets them.
    CParticle() = default;
    // Frees the matrix.
    virtual ~CParticle();
    CParticle(const CParticle&) = delete;
    CParticle& operator=(const CParticle&) = delete;

    // Every field of `source` but the link (null here); a matrix is copied into one of
    // this particle's own.
    void CopyFrom(const CParticle& source);
    // Restores the particle from a snapshot, unlinked. Test the archive afterwards.
    static CSArchive& Read(CSArchive& archive, CParticle& particle);

    CParticle* m_pNext = nullptr;            // next of the same emitter; null at the tail
    int16_t m_nLife = 0;                     // steps
    int16_t m_nAnimSpeed = 0;                // thousandths of a texture frame per step; 0 = not timed
    int16_t m_nAnimCount = 0;                // texture frames of the sequence; the sign is the direction
    uint8_t m_bLocalMatrix = 0;              // 1: m_pMatrix is relative to the emitter
    CSMatrix* m_pMatrix = nullptr;           // own rotation, owned; null for none
    uint16_t m_awRandom[kRandomWords] = {};  // 0..0x7fff, drawn at birth
    float m_fSpeedScale = 0.0f;              // with an own matrix the speed scale; else the fall so far
    float m_fSizeScale = 0.0f;
    ParticleFloat3 m_vVelocity;  // units per step
    uint8_t m_nObject = 0;       // index into the block's object list
    int16_t m_nSequence = 0;     // the emitter's animation counter at birth
    uint32_t m_dwColor = 0;      // from a mask image; 0xFFFFFFFF for none
    int16_t m_nAnimAccu = 0;     // thousandths of a frame not shown yet
    int16_t m_nTexFrame = 0;
    int16_t m_nAge = 0;  // -1 at birth
    ParticleFloat3 m_vPos;
    ParticleFloat3 m_vAngles;
};

// Three floats of a record in file order (x, y, z).
void ReadFloat3(CSArchive& archive, ParticleFloat3& v);
