#pragma once
// One running emitter of an instance: its entry and parameter blocks, its play
// counters, its random streams and words, its place, and the list of the particles it
// has emitted. An instance holds its emitters by value; a record owns its matrix, its
// face table and its particles, and a move hands them over to the new place, so the
// array may grow or erase without freeing a block twice or losing one.
#include <cstdint>

#include "particles/BoxFaceTable.h"
#include "particles/ParticleFloat3.h"

class CEmiterParams;
class CParticle;
class CParticleEmiterParams;
class CParticleParams;
class CParticlesEmiter;
class CSArchive;
class CSMatrix;

class CEmiter {
public:
    enum Flag : uint16_t {
        kEmitsEmitters = 0x0001,  // spawns child emitters instead of particles
        kChild = 0x0002,          // spawned by a parent; erased once finished
        kHold = 0x0004,           // not advanced while it has particles
        kPausable = 0x0008,       // not updated while the instance is paused
        kKeepOnKill = 0x0010,     // its particles survive a kill
        kPlayStart = 0x0020,      // at the start of a play
        kFirstStep = 0x0040,      // first step not run yet
        kCounted = 0x0080,        // its particles count in the instance's particle count
    };
    static constexpr int kRandomWords = 12;
    static constexpr int16_t kForever = 0x7fff;  // m_nRepeats of an endless emitter
    static constexpr int16_t kMaxParticles = 0x7fff;

    // Flags 0, no blocks, no particles, link -1; set-up fills the rest.
    CEmiter() = default;
    // Frees the matrix and the face table, then deletes the particles from the head.
    virtual ~CEmiter();
    CEmiter(const CEmiter&) = delete;
    CEmiter(CEmiter&& other) noexcept;
    CEmiter& operator=(CEmiter&& other) noexcept;

    // A deep copy: every field, a matrix and a face table of its own, this record's
    // particles replaced by clones of the source's, in order.
    void CopyFrom(const CEmiter& source);
    // Restores the record from a snapshot: blocks unbound (null), a matrix and a face
    // table where stored, the particles in list order, the peak 0. Test the archive.
    static CSArchive& Read(CSArchive& archive, CEmiter& emitter);

    // Advances every particle from the head through the instance; those whose life is
    // over are unlinked and deleted. True while particles remain.
    bool AdvanceParticles(CParticlesEmiter& instance);
    // Appends a new particle at the tail; the peak follows the count.
    void Append(CParticle* particle);

    // Frees the matrix and the face table and deletes every particle: an empty list.
    void FreeBlocks();
    // Deletes every particle; the count and the animation counter go back to 0.
    void DeleteParticles();

    uint16_t m_wFlags = 0;
    int16_t m_nEmiterParams = 0;
    CEmiterParams* m_pEmiterParams = nullptr;  // into the effect; not owned
    int16_t m_nParticleParams = 0;             // -1 for an emitter of emitters
    CParticleParams* m_pParticleParams = nullptr;
    int16_t m_nEntry = 0;
    CParticleEmiterParams* m_pEntry = nullptr;
    int16_t m_nNextSource = 0;  // round-robin cursor over its children's sources
    int16_t m_nSource = -1;     // the source name it stands for, or -1
    int16_t m_nLink = -1;       // host attachment; the hosts here have none
    // Instance frame of its start. 32 bits: a child created late in a long looping
    // instance would otherwise wrap and lose its delay.
    int32_t m_nStart = 0;
    int16_t m_nLength = 0;        // last frame of a play
    int16_t m_nMotionLength = 0;  // last frame of the motion loop
    int16_t m_nPause = 0;         // steps between two plays
    int16_t m_nRepeats = 0;       // plays after the first; kForever for endless
    uint16_t m_awRandom[kRandomWords] = {};
    uint16_t m_wSharedRandom = 0;
    CSMatrix* m_pMatrix = nullptr;    // owned
    int16_t* m_pFaceTable = nullptr;  // owned, kBoxFaceCount entries
    int16_t m_nFaceTableFrame = 0;
    float m_fRateScale = 1.0f;
    ParticleFloat3 m_vBasePos;
    ParticleFloat3 m_vBaseAngles;
    int32_t m_iSeed = 0;   // state of the first stream
    int32_t m_iSeed2 = 0;  // state of the second stream
    ParticleFloat3 m_vPos;
    ParticleFloat3 m_vAngles;
    int16_t m_nPlays = 0;
    int16_t m_nFrame = 0;        // within the play, 0..m_nLength
    int16_t m_nMotionFrame = 0;  // within the motion loop, 0..m_nMotionLength
    int16_t m_nPauseLeft = 0;
    CParticle* m_pFirst = nullptr;  // owned
    CParticle* m_pLast = nullptr;
    int16_t m_nCount = 0;
    float m_fEmitAccu = 0.0f;
    int16_t m_nPeak = 0;  // kept across a new set-up of the instance
    int16_t m_nNextAnimFrame = 0;

private:
    // Member-wise, pointers included: the moves use it, then take the blocks from
    // their source.
    CEmiter& operator=(const CEmiter&) = default;
    void Disown();
};
