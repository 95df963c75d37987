#pragma once
// One running effect: the instance an effect instance of a scene node steps. It binds
// a host entity and a loaded effect, and holds one CEmiter for every emitter entry
// that runs, in creation order. Times are 30 Hz steps, angles 256ths of a turn.
#include <cstdint>
#include <vector>

#include "particles/CEmiter.h"
#include "particles/CSVector.h"

class CParticle;
class CParticlesMesh;
class CSArchive;
class CSMatrix;
class CSEntity;

class CParticlesEmiter {
public:
    enum Flag : uint16_t {
        kChildOnly = 0x0001,         // only particles and child emitters advance
        kPaused = 0x0002,            // pausable emitters stop emitting
        kStopping = 0x0004,          // nothing emits; alive while particles live
        kFrozen = 0x0008,            // nothing advances any more
        kLooping = 0x0010,           // an emitter repeats forever
        kOption20 = 0x0020,          // stored only
        kAllPausable = 0x0040,       // every emitter is pausable
        kGround = 0x0080,            // the origin stands on the host's ground
        kKeepLoopingOnly = 0x0100,   // stored only
        kHeightOffsets = 0x0200,     // m_fLoopHeight or m_fHeight lifts the origin
        kOption400 = 0x0400,         // stored only
        kOption800 = 0x0800,         // stored only
        kExplicitPosition = 0x1000,  // the origin is m_vPos, not the host's place
    };

    // No host, no effect, no emitters, flags 0.
    CParticlesEmiter();
    // Destroys every emitter with its particles, then releases the effect.
    virtual ~CParticlesEmiter();
    CParticlesEmiter(const CParticlesEmiter&) = delete;
    CParticlesEmiter& operator=(const CParticlesEmiter&) = delete;

    // Binds host and effect (a reference taken, the old one released), draws the
    // instance seed and creates an emitter for every entry that starts by itself, one
    // per source name for an entry that names several. Each position keeps the peak
    // of the emitter it held before. True.
    bool Setup(CSEntity* host, CParticlesMesh* effect);
    // Fills `emitter` from entry `entryIndex` of the effect: blocks, flags, seed (the
    // instance seed, or seedBase for a child, when the seed is fixed), start, lengths,
    // repeats, random words, box faces and phase. False, the record left empty, when
    // the entry or its blocks lie outside the effect.
    bool InitEmiter(CEmiter& emitter, int32_t entryIndex, bool asChild, int32_t seedBase, int32_t sourceIndex);
    // Whether entry `entryIndex` and the blocks it names lie inside the effect.
    bool EntryFits(int32_t entryIndex) const;
    // Whether the entry gets emitters at set-up: it fits, is enabled and starts by itself.
    bool Qualifies(int32_t entryIndex) const;
    // Its emitters: one per source name when it stands for several sources, else 1.
    int32_t EmiterCount(int32_t entryIndex) const;

    // Where a world-space emitter starts: the host's world position (m_vPos when placed
    // explicitly or without a host) and m_abAngles, on the host's ground with kGround,
    // lifted with kHeightOffsets.
    void GetOrigin(const CEmiter& emitter, CSVector4& position, uint8_t angles[3]);
    // GetOrigin, and a flag that is always 0.
    void GetOriginEx(const CEmiter& emitter, CSVector4& position, uint8_t angles[3], uint8_t& flag);
    void GetZeroOrigin(const CEmiter& emitter, CSVector4& position) const;

    // Rebinds host and effect; emitters whose entry or blocks no longer fit are
    // erased, the others re-pointed. A null effect leaves no emitters.
    void ReplaceEffect(CSEntity* host, CParticlesMesh* effect);
    void ReplaceEffect(CParticlesMesh* effect) { ReplaceEffect(m_pHost, effect); }
    // Loads the named effect through the effect cache and rebinds to it. Without a
    // name the emitters go and host and effect stay.
    void ReloadEffect(CSEntity* host, const char* name);
    // Releases the effect; the emitters stay, and the instance must not step until an
    // effect is bound again.
    void ReleaseEffect();
    void SetHost(CSEntity* host) { m_pHost = host; }
    bool HasEmiters() const { return !m_arrEmiters.empty(); }
    // Some particle block of the effect has render kind 6.
    bool HasParticleKind6() const;
    // The hosts offer no attachment points: every emitter's link is -1.
    void ResolveSources();
    void ResolveSource(CEmiter& emitter);

    static constexpr int32_t kMaxEmiters = 0x7fff;
    // Particles of all its emitters together, as many as one emitter may hold: a file
    // whose every child fills its emitter would otherwise ask for a billion.
    static constexpr int32_t kMaxParticles = CEmiter::kMaxParticles;

    // One 30 Hz step: every emitter in order moves its counters, places itself,
    // follows its tracks, emits and advances its particles; finished children are
    // erased. False once nothing lives any more; true at once while frozen.
    virtual bool Step(bool emit);
    // A query a derived instance may answer otherwise; this library's instances
    // answer false.
    virtual bool IsSpecialInstance() const { return false; }
    // Advances the particles of every emitter without updating any. True while some
    // particle lives (or an emitter not started yet, unless stopping).
    bool AdvanceParticlesOnly();
    // One step of the emitter at `index`. False when it has finished: no play, no
    // pause and no particle left. Emitters are passed by index because spawning
    // children may move the array.
    bool UpdateEmiter(int32_t index, bool emit);
    // A batch of child emitters of the emitter at `index`, one per child name that
    // resolves, placed on its shape. False (nothing made, nothing drawn) when no name
    // resolves or the instance would exceed kMaxEmiters.
    bool SpawnChildEmiters(int32_t parentIndex);
    // Where a new child starts: a sample of its parent's shape in the child's space,
    // its matrix, base position and angles, and the held offset and angles.
    void PlaceChildEmitter(CEmiter& child, CEmiter& parent);

    // Moves every emitter (only the pausable ones with pausableOnly) to instance
    // frame `frame`; the instance frame follows unless only some emitters moved.
    void SetFrame(int32_t frame, bool pausableOnly);
    void RestartPausable(int32_t frame) { SetFrame(frame, true); }
    void SetPaused(bool paused, bool restart);
    // Every emitter jumps to the end of its last play: the instance lives while
    // particles do. Kill also deletes the particles of the emitters not kept on kill.
    void Stop();
    void Kill();
    void SetRateScale(int32_t percent);
    void SetPosition(const CSVector4& position);
    // Moves world-space emitters and world-space particles by (dx, dy).
    void MoveBy(int32_t dx, int32_t dy);
    void KeepLoopingOnly(bool heightOffsets);
    void SetOption400(bool on);
    void SetOption800(bool on);
    // Erases every emitter whose entry does not repeat forever.
    void RemoveNonLooping();

    bool HasParticles() const;
    bool IsFinished() const;
    bool EndsWithin(int32_t frames) const;
    bool HasPlayed() const;
    bool HasPausableEntry() const;
    bool HasKeepOnKill() const;
    bool UsesWorldCoords() const;
    int32_t CountedParticles() const;
    void MemoryUse(int32_t& emitters, int32_t& emitterBytes, int32_t& particles, int32_t& particleBytes) const;
    // The angle of an orbiting emitter along its path, from its first two motion keys.
    bool GetOrbitAngle(uint8_t& angle) const;
    // The renderer's projection of the instance onto the screen, which nothing
    // provides here: false.
    bool ScreenPoint(const CSVector4& point, CSVector4& out, const void* camera) const;

    // One particle of `emitter`, born at its frame: life, random words, scales, texture
    // sequence, a place, angles and a velocity (or a matrix of its own) from the
    // emitter's shape and the space it lives in, appended at the tail of the list.
    // False only for a box without a usable face (nothing made, nothing drawn).
    bool EmitParticle(CEmiter& emitter);
    // One step of a particle: its age, its fall and drift, its angles along the motion,
    // the host test of world-space particles, its texture frame. False when it is over.
    bool AdvanceParticle(CEmiter& emitter, CParticle& particle);

    // The host's ground height at (x, y), asked with options (1, 1, 1).
    float QueryHostValue(int32_t x, int32_t y) const;
    float QueryHostValueEx(int32_t x, int32_t y, bool a, bool b, bool c) const;
    // Whether the host takes (x, y, z) as a valid point.
    bool TestHostPoint(int32_t x, int32_t y, float z) const;

    // A deep copy of another instance: flags, host, effect (a reference of its own),
    // places, frame, every emitter with its particles, seed and the fields behind it.
    void CopyFrom(const CParticlesEmiter& source);

    // Set-up, then a full ring of `radius` around the origin on the first emitter (a
    // radius of 0 leaves no emitters). False, no ring, when set-up made no emitter.
    bool SetupRing(CSEntity* host, CParticlesMesh* effect, int32_t radius);
    // A ring of particles at once around (cx, cy) over the arc from..to (radians; an arc
    // with from > to wraps through 0), about one per 5 units of arc, n + 1 in all, the
    // last on the arc's end. The particles made; fewer where the emitter is full.
    int32_t EmitRing(CEmiter& emitter, int32_t cx, int32_t cy, int32_t radius, float from, float to);
    // A new emitter of the first entry that starts by itself, filled with a ring.
    void AddRingEmiter(int32_t cx, int32_t cy, int32_t radius, float from, float to);
    // Ages every particle by one step, wrapping past its life to 0, and moves its
    // texture frame; nothing moves or dies. True.
    bool CycleParticleAges(const void* unused);
    // Moves every particle with the new reference position; inside the rectangle
    // (strict) a particle takes fixedHeight (when positive) or the ground plus
    // groundOffset, outside it the last such height. Keeps the particle bounds.
    void MoveParticlesTo(const CSVector4& position, int32_t groundOffset, const int32_t rectangle[4],
                         int32_t fixedHeight);
    void SetOption20(bool on);
    // CopyFrom, and the reference position.
    void CopyFromWithReference(const CParticlesEmiter& source);
    bool ReturnTrue(const void* unused) const;

    // One more play of every entry that starts by itself and does not repeat forever
    // (with a non-empty name, only those whose second name matches it, case ignored),
    // at `position`, turned towards `direction` when given. Added emitters are erased
    // once finished.
    void AddEmiters(const CSVector4& position, const char* name, const CSVector4* direction);
    void AddEmiters(const CSVector4& position) { AddEmiters(position, nullptr, nullptr); }
    void AddEmitersNamed(const CSVector4& position, const char* name);
    // AddEmiters without a name, while the instance holds fewer than kAddedEmiterLimit
    // emitters.
    void AddEmitersAt(const CSVector4& position, const CSVector4* direction);
    // Flags the emitter as a child and places it as a first step would, at `position`.
    void PlaceAddedEmiter(CEmiter& emitter, const CSVector4& position, const CSVector4* direction);
    // The effect has no field for its own limit: the default one applies.
    static constexpr size_t kAddedEmiterLimit = 4;

    // Restores an instance from a snapshot: its own fields, its emitters with their
    // particles. Every read is checked; a snapshot that falls short or does not fit
    // fails the archive and leaves the instance without emitters. Bind an effect with
    // ReplaceEffect afterwards.
    static CSArchive& Read(CSArchive& archive, CParticlesEmiter& instance);

    uint16_t m_wFlags = 0;
    CSEntity* m_pHost = nullptr;        // not owned
    CParticlesMesh* m_pMesh = nullptr;  // counted
    CSVector4 m_vPos;
    uint8_t m_abAngles[3] = {0, 0, 0};
    float m_vSpare[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // the offset point the renderer reads
    int32_t m_iFrame = 0;                          // steps since the start
    std::vector<CEmiter> m_arrEmiters;
    int16_t m_wSeed = 0;
    int32_t m_iSpare1 = 0;
    int32_t m_iSpare2 = 0;
    float m_fLoopHeight = 0.0f;
    float m_fHeight = 0.0f;
    CSVector4 m_vReference;                       // where relocation last put the particles
    float m_afBoundsMin[3] = {0.0f, 0.0f, 0.0f};  // of the particles after relocation
    float m_afBoundsMax[3] = {0.0f, 0.0f, 0.0f};

private:
    // The first placement of an emitter: a world-space one from `origin` and `angles`
    // (its matrix `rotation` when given, else turned by the angles), any other one
    // from its tracks at key 0.
    void PlaceFirst(CEmiter& emitter, const CSVector4& origin, const uint8_t angles[3], const CSMatrix* rotation);
    // Where the new particle starts (steps 12 of emission): shape sample and
    // placement. False when a box has no usable face.
    bool PlaceParticle(CEmiter& emitter, CParticle& particle);
    // Takes a reference on `effect` and releases the one held before.
    void BindEffect(CParticlesMesh* effect);
    // A pass over the emitters drops the ones that go in one cut rather than one erase
    // each (a step may finish thousands of children): the emitter at `index`, just
    // dealt with, moves down to `kept` when it stays, so the order holds; the dropped
    // ones leave slots behind until EndEmiterPass cuts the array to the `kept` that stay.
    void KeepEmiter(size_t index, bool keep, size_t& kept);
    void EndEmiterPass(size_t kept);
    // A step's pass may make as many births as kMaxParticles leaves beside the
    // particles held when it begins.
    void BeginEmiterPass();

    // Emitters a running pass has dropped but not yet cut: the instance's limit counts
    // only those that stay.
    size_t m_nDroppedInPass = 0;
    // Births the running step may still make.
    int64_t m_nParticleRoom = kMaxParticles;
};
