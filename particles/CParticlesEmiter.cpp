#include "particles/CParticlesEmiter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "particles/CEmiterParams.h"
#include "particles/CParticle.h"
#include "particles/CParticleEmiterParams.h"
#include "particles/CParticleParams.h"
#include "particles/Angle256.h"
#include "particles/CParticlesMesh.h"
#include "particles/CSArchive.h"
#include "particles/CSCachedTexture.h"
#include "particles/CSEntity.h"
#include "particles/CSMatrix.h"
#include "particles/ParticleEffectCache.h"
#include "particles/ParticleHelpers.h"
#include "particles/ParticleHost.h"
#include "particles/ParticleMatrixStack.h"
#include "particles/ParticlePairs.h"
#include "particles/ParticleRandom.h"
#include "particles/ParticleScratchMatrix.h"
#include "particles/ParticleStepRates.h"
#include "particles/ParticleTextureAnimation.h"

namespace {

void SetFlag(uint16_t& flags, uint16_t flag, bool on) {
    if (on) flags = static_cast<uint16_t>(flags | flag);
    else flags = static_cast<uint16_t>(flags & ~flag);
}

// An index into a vector that a 16-bit record field can hold.
template <class T>
bool Fits(int32_t index, const std::vector<T>& blocks) {
    return index >= 0 && index <= INT16_MAX && static_cast<size_t>(index) < blocks.size();
}

// Seconds as a 16-bit frame count.
int16_t Frames16(float seconds) { return ClampToInt16(SecondsToFrames(seconds)); }

}  // namespace

CParticlesEmiter::CParticlesEmiter() {}

CParticlesEmiter::~CParticlesEmiter() {
    m_arrEmiters.clear();
    m_arrEmiters.shrink_to_fit();
    if (m_pMesh != nullptr) m_pMesh->Release();
}

void CParticlesEmiter::BindEffect(CParticlesMesh* effect) {
    if (effect != nullptr) effect->AddRef();
    if (m_pMesh != nullptr) m_pMesh->Release();
    m_pMesh = effect;
}

bool CParticlesEmiter::EntryFits(int32_t entryIndex) const {
    if (m_pMesh == nullptr || !Fits(entryIndex, m_pMesh->m_arrEntries)) return false;
    const CParticleEmiterParams& entry = *m_pMesh->m_arrEntries[static_cast<size_t>(entryIndex)];
    if (!Fits(entry.EmiterIndex, m_pMesh->m_arrEmiterParams)) return false;
    return entry.EmitsEmitters != 0 || Fits(entry.ParticleIndex, m_pMesh->m_arrParticleParams);
}

bool CParticlesEmiter::Qualifies(int32_t entryIndex) const {
    if (!EntryFits(entryIndex)) return false;
    const CParticleEmiterParams& entry = *m_pMesh->m_arrEntries[static_cast<size_t>(entryIndex)];
    return entry.Disabled == 0 && entry.IsAutoStart();
}

int32_t CParticlesEmiter::EmiterCount(int32_t entryIndex) const {
    const CParticleEmiterParams& entry = *m_pMesh->m_arrEntries[static_cast<size_t>(entryIndex)];
    const CEmiterParams& params = *m_pMesh->m_arrEmiterParams[static_cast<size_t>(entry.EmiterIndex)];
    const bool perSource = params.SourceKind == 2 || params.SourceKind == 3;
    if (perSource && params.SourceNames.size() > 1) return static_cast<int32_t>(params.SourceNames.size());
    return 1;
}

bool CParticlesEmiter::Setup(CSEntity* host, CParticlesMesh* effect) {
    m_pHost = host;
    BindEffect(effect);
    m_iFrame = 0;

    const int32_t entries = m_pMesh != nullptr ? static_cast<int32_t>(m_pMesh->m_arrEntries.size()) : 0;
    size_t count = 0;
    for (int32_t i = 0; i < entries; ++i)
        if (Qualifies(i)) count += static_cast<size_t>(EmiterCount(i));

    m_wSeed = static_cast<int16_t>(ParticleSeed());
    m_iSpare1 = 0;
    m_iSpare2 = -1;
    m_fLoopHeight = 0.0f;
    m_fHeight = 0.0f;
    m_wFlags = static_cast<uint16_t>(m_wFlags | kAllPausable);

    CSArray<int32_t>& peaks = PeakScratch();
    peaks.Reset();
    peaks.ResizeZeroed(static_cast<uint32_t>(m_arrEmiters.size()));
    for (uint32_t i = 0; i < peaks.GetCount(); ++i) peaks[i] = m_arrEmiters[i].m_nPeak;

    m_arrEmiters.clear();
    m_arrEmiters.resize(count);
    size_t l = 0;
    for (int32_t i = 0; i < entries; ++i) {
        if (!Qualifies(i)) continue;
        const int32_t perEntry = EmiterCount(i);
        for (int32_t t = 0; t < perEntry; ++t, ++l) {
            CEmiter& emitter = m_arrEmiters[l];
            InitEmiter(emitter, i, false, 0, t);
            if (l < peaks.GetCount()) emitter.m_nPeak = static_cast<int16_t>(peaks[static_cast<uint32_t>(l)]);
            if ((emitter.m_wFlags & CEmiter::kPausable) == 0) SetFlag(m_wFlags, kAllPausable, false);
        }
    }
    ClearPeakScratch();
    return true;
}

bool CParticlesEmiter::InitEmiter(CEmiter& e, int32_t entryIndex, bool asChild, int32_t seedBase, int32_t sourceIndex) {
    e.FreeBlocks();
    if (!EntryFits(entryIndex)) {
        e = CEmiter();
        return false;
    }
    CParticleEmiterParams& entry = *m_pMesh->m_arrEntries[static_cast<size_t>(entryIndex)];
    CEmiterParams& params = *m_pMesh->m_arrEmiterParams[static_cast<size_t>(entry.EmiterIndex)];

    SetFlag(e.m_wFlags, CEmiter::kChild, asChild);
    SetFlag(e.m_wFlags, CEmiter::kCounted, entry.Counted != 0);
    e.m_nEntry = static_cast<int16_t>(entryIndex);
    e.m_pEntry = &entry;
    e.m_nNextSource = 0;
    e.m_nNextAnimFrame = 0;
    e.m_nPeak = 0;
    e.m_nEmiterParams = static_cast<int16_t>(entry.EmiterIndex);
    e.m_pEmiterParams = &params;
    if (entry.EmitsEmitters != 0) {
        e.m_nParticleParams = -1;
        e.m_pParticleParams = nullptr;
        SetFlag(e.m_wFlags, CEmiter::kEmitsEmitters, true);
    } else {
        e.m_nParticleParams = static_cast<int16_t>(entry.ParticleIndex);
        e.m_pParticleParams = m_pMesh->m_arrParticleParams[static_cast<size_t>(entry.ParticleIndex)];
        SetFlag(e.m_wFlags, CEmiter::kEmitsEmitters, false);
    }

    const int32_t sources = static_cast<int32_t>(params.SourceNames.size());
    if ((params.SourceKind == 2 || params.SourceKind == 3) && sources > 0)
        e.m_nSource = static_cast<int16_t>(sourceIndex >= 0 && sourceIndex < sources ? sourceIndex : 0);
    else e.m_nSource = -1;
    ResolveSource(e);

    if (params.FixedSeed == 0) {
        e.m_iSeed = ParticleSeed();
    } else {
        const int32_t base = asChild ? seedBase : m_wSeed;
        int32_t state =
            static_cast<int32_t>((static_cast<uint32_t>(base) + static_cast<uint32_t>(params.SeedOffset)) & 0x7fffu);
        e.m_iSeed = ParticleStreamStep(state);
    }
    e.m_iSeed2 = e.m_iSeed;

    // Frame counts beyond 16 bits are clamped; the start alone has 32.
    const int64_t start = static_cast<int64_t>(Frames16(entry.Delay)) + m_iFrame;
    e.m_nStart = static_cast<int32_t>(start > INT32_MAX ? INT32_MAX : start);
    e.m_nLength = ClampToInt16(StoredFrameCount(params.Duration, params.DurationFrames));
    if (params.TimeScale != 0.0f && params.TimeScale != 1.0f)
        e.m_nMotionLength = Frames16(params.Duration / params.TimeScale);
    else e.m_nMotionLength = ClampToInt16(params.DurationFrames);
    e.m_nPause = Frames16(entry.RepeatPause);
    if (entry.RepeatMode == 1) {
        // A counted repeat never reaches the endless marker.
        e.m_nRepeats = static_cast<int16_t>(
            ClampInt(ClampToInt16(static_cast<int64_t>(entry.RepeatCount) - 1), INT16_MIN, CEmiter::kForever - 1));
    } else if (entry.RepeatMode == 2) {
        e.m_nRepeats = CEmiter::kForever;
        SetFlag(m_wFlags, kLooping, true);
    } else {
        e.m_nRepeats = 0;
    }

    SetFlag(e.m_wFlags, CEmiter::kHold, entry.Hold != 0);
    const CSParamTrack& rate = params.Tracks[CEmiterParams::EmitRate];
    const bool lockedZeroRate =
        params.NoVariation[CEmiterParams::EmitRate / 2] != 0 && rate.IsConstant() && rate.m_fConstant == 0.0f;
    if (entry.Hold != 0 && lockedZeroRate) SetFlag(m_wFlags, kFrozen, true);
    SetFlag(e.m_wFlags, CEmiter::kPausable, entry.Pausable != 0);
    SetFlag(e.m_wFlags, CEmiter::kKeepOnKill, entry.KeepOnKill != 0);

    DrawWords(e, &e.m_awRandom[0], 3, params.IndependentOffsetRandom != 0);
    DrawWords(e, &e.m_awRandom[3], 3, params.IndependentAngleRandom != 0);
    DrawWords(e, &e.m_awRandom[6], 1, true);
    DrawWords(e, &e.m_awRandom[7], 1, true);
    DrawWords(e, &e.m_awRandom[8], 3, params.IndependentThirdRandom != 0);
    DrawWords(e, &e.m_awRandom[11], 1, true);
    const bool shared = e.m_pParticleParams != nullptr && e.m_pParticleParams->GlobalRandomMode == 2;
    e.m_wSharedRandom = shared ? static_cast<uint16_t>(ParticleSeed()) : 0;

    e.m_pMatrix = nullptr;
    if (params.EmitShape == CEmiterParams::kShapeBox) {
        uint16_t size[3];
        DrawPairWords(e, params, size, CEmiterParams::ShapeSizeX / 2, 3, params.IndependentSizeRandom != 0);
        const float x = std::fabs(EmiterPairValue(params, CEmiterParams::ShapeSizeX / 2, 0, size[0]));
        const float y = std::fabs(EmiterPairValue(params, CEmiterParams::ShapeSizeY / 2, 0, size[1]));
        const float z = std::fabs(EmiterPairValue(params, CEmiterParams::ShapeSizeZ / 2, 0, size[2]));
        e.m_pFaceTable = new int16_t[kBoxFaceCount];
        BuildEmiterFaceTable(e.m_pFaceTable, x, y, z, params.BoxFaceMask);
        e.m_nFaceTableFrame = 0;
    } else {
        e.m_pFaceTable = nullptr;
    }

    e.m_fRateScale = 1.0f;
    e.m_vBasePos = e.m_vBaseAngles = e.m_vPos = e.m_vAngles = ParticleFloat3();
    e.m_nPlays = 0;

    e.m_nFrame = 0;
    e.m_nMotionFrame = 0;
    if (entry.RandomPhase != 0) {
        if (e.m_nLength > 0) e.m_nFrame = static_cast<int16_t>(ParticleRandom(e) % e.m_nLength);
        if (e.m_nMotionLength == e.m_nLength) e.m_nMotionFrame = e.m_nFrame;
        else if (e.m_nLength >= 1)
            e.m_nMotionFrame = static_cast<int16_t>(e.m_nFrame * e.m_nMotionLength / e.m_nLength);
    }
    SetFlag(e.m_wFlags, CEmiter::kPlayStart, e.m_nFrame == 0);
    SetFlag(e.m_wFlags, CEmiter::kFirstStep, true);

    e.m_nPauseLeft = 0;
    e.m_pFirst = e.m_pLast = nullptr;
    e.m_nCount = 0;
    e.m_fEmitAccu = 0.0f;
    return true;
}

void CParticlesEmiter::ResolveSource(CEmiter& emitter) { emitter.m_nLink = -1; }

void CParticlesEmiter::ResolveSources() {
    for (CEmiter& emitter : m_arrEmiters) ResolveSource(emitter);
}

void CParticlesEmiter::GetOrigin(const CEmiter& emitter, CSVector4& position, uint8_t angles[3]) {
    // World-space particles are drawn where they are, not in the host's frame: unless
    // the instance was placed explicitly, they start where the host stands.
    position = m_vPos;
    if ((m_wFlags & kExplicitPosition) == 0 && m_pHost != nullptr) {
        const CSVector4 host = m_pHost->GetPositionMatrix().GetTranslation();
        position.x = host.x;
        position.y = host.y;
        position.z = host.z;
    }
    for (int i = 0; i < 3; ++i) angles[i] = m_abAngles[i];
    if ((m_wFlags & kGround) != 0)
        position.z = QueryHostValueEx(TruncToInt32(position.x), TruncToInt32(position.y), true, false, false);
    if ((m_wFlags & kHeightOffsets) != 0) {
        const bool looping = emitter.m_pEntry != nullptr && emitter.m_pEntry->RepeatMode == 2;
        position.z += looping ? m_fLoopHeight : m_fHeight;
    }
}

void CParticlesEmiter::GetOriginEx(const CEmiter& emitter, CSVector4& position, uint8_t angles[3], uint8_t& flag) {
    GetOrigin(emitter, position, angles);
    flag = 0;
}

void CParticlesEmiter::GetZeroOrigin(const CEmiter& /*emitter*/, CSVector4& position) const {
    position = CSVector4(0.0f, 0.0f, 0.0f, 0.0f);
}

void CParticlesEmiter::ReplaceEffect(CSEntity* host, CParticlesMesh* effect) {
    m_pHost = host;
    BindEffect(effect);
    if (effect == nullptr) {
        m_arrEmiters.clear();
        return;
    }
    size_t kept = 0;
    for (size_t i = 0; i < m_arrEmiters.size(); ++i) {
        CEmiter& e = m_arrEmiters[i];
        bool keep = Fits(e.m_nEntry, effect->m_arrEntries) && Fits(e.m_nEmiterParams, effect->m_arrEmiterParams);
        if (keep) {
            e.m_pEntry = effect->m_arrEntries[static_cast<size_t>(e.m_nEntry)];
            e.m_pEmiterParams = effect->m_arrEmiterParams[static_cast<size_t>(e.m_nEmiterParams)];
            if ((e.m_wFlags & CEmiter::kEmitsEmitters) != 0) e.m_pParticleParams = nullptr;
            else if (Fits(e.m_nParticleParams, effect->m_arrParticleParams))
                e.m_pParticleParams = effect->m_arrParticleParams[static_cast<size_t>(e.m_nParticleParams)];
            else keep = false;
        }
        if (keep)
            for (CParticle* particle = e.m_pFirst; particle != nullptr; particle = particle->m_pNext)
                ParticleHook(e, particle);
        KeepEmiter(i, keep, kept);
    }
    EndEmiterPass(kept);
}

void CParticlesEmiter::ReloadEffect(CSEntity* host, const char* name) {
    CParticlesMesh* effect = name != nullptr && name[0] != '\0' ? LoadParticleEffect(name) : nullptr;
    if (effect == nullptr) {
        m_arrEmiters.clear();
        return;
    }
    ReplaceEffect(host, effect);
    effect->Release();
}

void CParticlesEmiter::ReleaseEffect() { BindEffect(nullptr); }

bool CParticlesEmiter::HasParticleKind6() const {
    if (m_pMesh == nullptr) return false;
    for (const CParticleParams* params : m_pMesh->m_arrParticleParams)
        if (params != nullptr && params->ParticleKind == 6) return true;
    return false;
}

float CParticlesEmiter::QueryHostValue(int32_t x, int32_t y) const {
    return HostGroundHeight(m_pHost, x, y, true, true, true);
}

float CParticlesEmiter::QueryHostValueEx(int32_t x, int32_t y, bool a, bool b, bool c) const {
    return HostGroundHeight(m_pHost, x, y, a, b, c);
}

bool CParticlesEmiter::TestHostPoint(int32_t x, int32_t y, float z) const { return HostPointTest(m_pHost, x, y, z); }

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

// ---------------------------------------------------------------------------------
// Emission and the advance of one particle.

namespace {

// Emitter pairs read at a particle's birth.
enum EmitPair : int32_t {
    kPairSpeedScale = CEmiterParams::SpeedScale / 2,
    kPairSizeScale = CEmiterParams::SizeScale / 2,
    kPairLifeScale = CEmiterParams::LifeScale / 2,
    kPairShapeSizeX = CEmiterParams::ShapeSizeX / 2,
    kPairAzimuthFrom = CEmiterParams::AzimuthFrom / 2,
    kPairAzimuthTo = CEmiterParams::AzimuthTo / 2,
    kPairElevationFrom = CEmiterParams::ElevationFrom / 2,
    kPairElevationTo = CEmiterParams::ElevationTo / 2,
};

// ChannelMask options of emission.
constexpr int32_t kKeepFaceTable = 4;
constexpr int32_t kUnscaledSphere = 8;

constexpr double kTurnRadians = 6.2831854820251465;
constexpr int32_t kLongestLife = 32766;

// Pair `pair` at the emitter's frame with a fresh draw of the first stream, which is
// made only when the pair varies.
float DrawnPair(CEmiter& e, const CEmiterParams& params, int32_t pair) {
    if (params.NoVariation[pair] != 0) return params.GetTrackKey(2 * pair, e.m_nFrame);
    return EmiterPairValue(params, pair, e.m_nFrame, static_cast<uint16_t>(ParticleRandom(e)));
}

// A fresh draw of the first stream as a factor 0 .. 1.0000305.
float DrawnFactor(CEmiter& e) { return UnpackKeyValue(static_cast<uint16_t>(ParticleRandom(e))); }

// An elevation in 256ths whose sine is u; u is at most 1 (the largest draw is just above).
float ArcsineElevation(float u) {
    return static_cast<float>(std::asin(std::min(static_cast<double>(u), 1.0)) * 256.0 / kTurnRadians);
}

// The cells of an atlas sheet a random sequence number ranges over; a scale of 0 or a
// count that is no finite integer counts as 1.
int32_t AtlasSequenceCount(const CParticleParams& params) {
    if (params.AtlasRowScale == 0.0f) return 1;
    const double count = std::trunc(1.0 / static_cast<double>(params.AtlasRowScale) * params.AtlasRows);
    if (!(count >= 1.0) || count > 2147483647.0) return 1;
    return static_cast<int32_t>(count);
}

ParticleFloat3 Float3(const CSVector4& v) { return ParticleFloat3{v.x, v.y, v.z}; }

ParticleFloat3 Turned(const CSMatrix& m, float x, float y, float z) {
    CSVector4 v(x, y, z, 0.0f);
    m.TransformVector(v, v);
    return Float3(v);
}

}  // namespace

bool CParticlesEmiter::EmitParticle(CEmiter& e) {
    if (e.m_pEmiterParams == nullptr || e.m_pParticleParams == nullptr) return true;
    const CEmiterParams& ep = *e.m_pEmiterParams;
    const CParticleParams& pp = *e.m_pParticleParams;
    if (ep.EmitShape == CEmiterParams::kShapeBox &&
        (ep.BoxFaceMask == 0 || (e.m_pFaceTable != nullptr && e.m_pFaceTable[kBoxFaceCount - 1] == 0)))
        return false;
    // The count is 16 bits: births beyond it are skipped.
    if (e.m_nCount >= CEmiter::kMaxParticles) return true;

    const float lifeScale = DrawnPair(e, ep, kPairLifeScale);
    int64_t life = lifeScale == 1.0f ? pp.LifeFrames : SecondsToFrames(pp.Life * lifeScale);
    if (life < 1) return true;
    // The 16-bit age must be able to pass the life.
    if (life > kLongestLife) life = kLongestLife;

    CParticle* p = new CParticle();
    p->m_nLife = static_cast<int16_t>(life);
    DrawWords(e, &p->m_awRandom[0], 3, pp.IndependentRandomA != 0);
    DrawWords(e, &p->m_awRandom[3], 3, pp.IndependentRandomB != 0);
    if (pp.GlobalRandomMode == 1) {
        const uint16_t word = static_cast<uint16_t>(ParticleSeed());
        p->m_awRandom[6] = p->m_awRandom[7] = p->m_awRandom[8] = word;
    } else if (pp.GlobalRandomMode == 2) {
        p->m_awRandom[6] = p->m_awRandom[7] = p->m_awRandom[8] = e.m_wSharedRandom;
    } else {
        for (int i = 6; i <= 8; ++i) p->m_awRandom[i] = static_cast<uint16_t>(ParticleSeed());
    }
    p->m_awRandom[9] = static_cast<uint16_t>(ParticleSeed());
    p->m_awRandom[10] = static_cast<uint16_t>(ParticleRandom(e));
    DrawWords(e, &p->m_awRandom[11], 3, pp.IndependentRandomD != 0);
    p->m_fSpeedScale = DrawnPair(e, ep, kPairSpeedScale);
    p->m_fSizeScale = DrawnPair(e, ep, kPairSizeScale);
    p->m_bLocalMatrix = 0;
    p->m_nAge = -1;

    if (e.m_nNextAnimFrame == 0 && pp.WholeTexture == 0 && pp.AnimMode == 1 && pp.RandomStartFrame != 0 &&
        pp.TextureList.GetCount() < 2 && pp.FirstFrame != pp.LastFrame)
        e.m_nNextAnimFrame = static_cast<int16_t>(ParticleRandom2(e) % AtlasSequenceCount(pp));
    p->m_nSequence = e.m_nNextAnimFrame;
    // Counted up per birth; it starts again at 0 rather than turn negative.
    e.m_nNextAnimFrame = static_cast<int16_t>(e.m_nNextAnimFrame == INT16_MAX ? 0 : e.m_nNextAnimFrame + 1);
    StartTextureAnimation(e, p);
    if (pp.ParticleKind == 0) {
        const uint32_t objects = pp.ObjectList.GetCount();
        p->m_nObject = objects > 0 ? static_cast<uint8_t>(static_cast<uint32_t>(ParticleRandom2(e)) % objects) : 0;
    }
    p->m_dwColor = 0xFFFFFFFFu;
    p->m_pMatrix = nullptr;

    if (!PlaceParticle(e, *p)) {
        delete p;
        return false;
    }

    if (pp.OwnMatrix == 0) {
        const double rate = GetParticleBaseRate();
        p->m_fSpeedScale = 0.0f;
        p->m_vVelocity.x = static_cast<float>(p->m_vVelocity.x + pp.ExtraVelocityX / rate);
        p->m_vVelocity.y = static_cast<float>(p->m_vVelocity.y + pp.ExtraVelocityY / rate);
        p->m_vVelocity.z = static_cast<float>(p->m_vVelocity.z + pp.ExtraVelocityZ / rate);
        const int32_t vx = TruncToInt32(p->m_vVelocity.x), vy = TruncToInt32(p->m_vVelocity.y);
        if (pp.YawFromVelocity != 0) p->m_vAngles.x = Angle256Between(0, 0, vx, vy);
        if (pp.PitchFromVelocity != 0)
            p->m_vAngles.y = Angle256Of(HorizontalDistance(vx, vy), TruncToInt32(p->m_vVelocity.z));
        if (pp.RollFromTrack != 0) p->m_vAngles.z = 0.0f;
    }
    e.Append(p);
    return true;
}

bool CParticlesEmiter::PlaceParticle(CEmiter& e, CParticle& p) {
    const CEmiterParams& ep = *e.m_pEmiterParams;
    const CParticleParams& pp = *e.m_pParticleParams;
    const int32_t shape = ep.EmitShape;
    if (shape < CEmiterParams::kShapeSphere || shape > CEmiterParams::kShapePoint) return true;

    // The outer rotation O, the origin and the base angles of the space the particle
    // lives in: (a) world values, (b) world from effect values, (c) effect from world
    // values, (d) effect values, (e) the emitter's own frame.
    const bool worldEmitter = ep.SourceKind == 1;
    const ParticleFloat3 P = e.m_vPos, E = e.m_vAngles;
    enum Case { kA, kB, kC, kD, kE } placement;
    if (pp.ParticleSpace == 1) placement = worldEmitter ? kA : kB;
    else if (pp.ParticleSpace == 2) placement = worldEmitter ? kC : kD;
    else placement = kE;

    CSMatrix outer;
    ParticleFloat3 origin, base;
    float baseZ = 0.0f, originRestZ = 0.0f;
    switch (placement) {
        case kA:
        case kD:
            SetMatrixRotation256f(outer, E.x, E.y, E.z);
            origin = P;
            base = E;
            baseZ = P.z;
            break;
        case kB: {
            CSVector4 G;
            uint8_t g[3];
            uint8_t unused;
            GetOriginEx(e, G, g, unused);
            SetMatrixRotation256(outer, g[0], g[1], g[2]);
            const ParticleFloat3 turned = Turned(outer, P.x, P.y, P.z);
            RotateMatrix256f(outer, E.x, E.y, E.z);
            origin = ParticleFloat3{G.x + turned.x, G.y + turned.y, G.z + turned.z};
            base = ParticleFloat3{g[0] + E.x, g[1] + E.y, g[2] + E.z};
            baseZ = G.z;
            originRestZ = turned.z;
            break;
        }
        case kC: {
            CSVector4 G;
            uint8_t g[3];
            GetOrigin(e, G, g);
            base = ParticleFloat3{E.x - g[0], E.y - g[1], E.z - g[2]};
            SetMatrixRotation256f(outer, base.x, base.y, base.z);
            origin = ParticleFloat3{P.x - G.x, P.y - G.y, P.z - G.z};
            break;
        }
        case kE: break;
    }

    // The shape: its local rotation Rl (float or integer angles), its angles s, the
    // offset d and the speed along its velocity axis.
    const float speed =
        static_cast<float>(pp.StartSpeed / static_cast<double>(GetParticleBaseRate()) * p.m_fSpeedScale);
    CSMatrix local;  // Rl x O
    bool hasRl = false;
    ParticleFloat3 s, d, axis{0.0f, 0.0f, speed};
    auto withRl = [&](auto setRl) {
        // Rl x O, built factor by factor: O, then Rl in front (the emitter's frame alone
        // is Rl itself).
        hasRl = true;
        if (placement == kE) {
            local = CSMatrix();
            setRl(local, false);
        } else {
            local = outer;
            setRl(local, true);
        }
    };
    switch (shape) {
        case CEmiterParams::kShapeSphere: {
            uint16_t range[4];
            DrawPairWords(e, ep, range, kPairAzimuthFrom, 4, ep.IndependentAngleRangeRandom != 0);
            const float azFrom = EmiterPairValue(ep, kPairAzimuthFrom, e.m_nFrame, range[0]);
            const float azTo = EmiterPairValue(ep, kPairAzimuthTo, e.m_nFrame, range[1]);
            const float elFrom = EmiterPairValue(ep, kPairElevationFrom, e.m_nFrame, range[2]);
            const float elTo = EmiterPairValue(ep, kPairElevationTo, e.m_nFrame, range[3]);
            float az = DrawnFactor(e) * (azTo - azFrom) + azFrom;
            const float u = DrawnFactor(e);
            float el;
            if (elFrom == -64.0f && elTo == 64.0f) {
                el = ArcsineElevation(u);
                if ((ParticleRandom(e) & 1) != 0) el = -el;
            } else if (elFrom == -64.0f && elTo == 0.0f) {
                el = -ArcsineElevation(u);
            } else if (elFrom == 0.0f && elTo == 64.0f) {
                el = ArcsineElevation(u);
            } else {
                el = u * (elTo - elFrom) + elFrom;
            }
            el = -el;
            az = az + 128.0f;
            if (az > 256.0f) az = az - 256.0f;
            withRl([&](CSMatrix& m, bool inFront) {
                if (inFront) RotateMatrix256f(m, az, el, 0.0f);
                else SetMatrixRotation256f(m, az, el, 0.0f);
            });
            s = ParticleFloat3{az, el + 64.0f, 0.0f};
            axis = ParticleFloat3{0.0f, -speed, 0.0f};
            const float radius = ep.SphereRadius;
            if ((ep.ChannelMask & kUnscaledSphere) != 0) {
                d = Turned(local, 0.0f, -radius, 0.0f);
            } else {
                CSMatrix rl;
                SetMatrixRotation256f(rl, az, el, 0.0f);
                const ParticleFloat3 t = Turned(rl, 0.0f, -radius, 0.0f);
                uint16_t size[3];
                DrawPairWords(e, ep, size, kPairShapeSizeX, 3, ep.IndependentSizeRandom != 0);
                const float x = EmiterPairValue(ep, kPairShapeSizeX, e.m_nFrame, size[0]);
                const float y = EmiterPairValue(ep, kPairShapeSizeX + 1, e.m_nFrame, size[1]);
                const float z = EmiterPairValue(ep, kPairShapeSizeX + 2, e.m_nFrame, size[2]);
                d = Turned(outer, t.x * x, t.y * y, t.z * z);
            }
            break;
        }
        case CEmiterParams::kShapeBox: {
            uint16_t size[3];
            DrawPairWords(e, ep, size, kPairShapeSizeX, 3, ep.IndependentSizeRandom != 0);
            const float X = EmiterPairValue(ep, kPairShapeSizeX, e.m_nFrame, size[0]);
            const float Y = EmiterPairValue(ep, kPairShapeSizeX + 1, e.m_nFrame, size[1]);
            const float Z = EmiterPairValue(ep, kPairShapeSizeX + 2, e.m_nFrame, size[2]);
            const bool rebuild = e.m_pFaceTable == nullptr ||
                                 ((ep.ChannelMask & kKeepFaceTable) == 0 && e.m_nFaceTableFrame != e.m_nFrame);
            if (e.m_pFaceTable == nullptr) e.m_pFaceTable = new int16_t[kBoxFaceCount];
            if (rebuild) {
                e.m_nFaceTableFrame = e.m_nFrame;
                BuildEmiterFaceTable(e.m_pFaceTable, std::fabs(X), std::fabs(Y), std::fabs(Z), ep.BoxFaceMask);
            }
            if (e.m_pFaceTable[kBoxFaceCount - 1] == 0) return false;
            const int32_t w = ParticleRandom(e);
            int32_t face = kBoxFaceCount - 1;
            for (int32_t i = 0; i < kBoxFaceCount - 1; ++i) {
                if (e.m_pFaceTable[i] >= w && e.m_pFaceTable[i] >= 1) {
                    face = i;
                    break;
                }
            }
            const bool usesX = face != 3 && face != 5, usesY = face != 2 && face != 4, usesZ = face >= 2;
            const float rx = usesX ? DrawnFactor(e) * X : 0.0f;
            const float ry = usesY ? DrawnFactor(e) * Y : 0.0f;
            const float rz = usesZ ? DrawnFactor(e) * Z : 0.0f;
            static const int32_t kFaceAngles[kBoxFaceCount][3] = {{0, 0, 0},  {0, 0, 128}, {0, 64, 0},
                                                                  {0, 0, 64}, {0, 192, 0}, {0, 0, 192}};
            ParticleFloat3 point;
            switch (face) {
                case 0: point = ParticleFloat3{rx - X / 2, ry - Y / 2, Z}; break;
                case 1: point = ParticleFloat3{rx - X / 2, ry - Y / 2, 0.0f}; break;
                case 2: point = ParticleFloat3{rx - X / 2, -Y / 2, rz}; break;
                case 3: point = ParticleFloat3{X / 2, ry - Y / 2, rz}; break;
                case 4: point = ParticleFloat3{rx - X / 2, Y / 2, rz}; break;
                default: point = ParticleFloat3{-X / 2, ry - Y / 2, rz}; break;
            }
            const int32_t* angles = kFaceAngles[face];
            withRl([&](CSMatrix& m, bool inFront) {
                if (inFront) RotateMatrix256(m, angles[0], angles[1], angles[2]);
                else SetMatrixRotation256(m, angles[0], angles[1], angles[2]);
            });
            s = ParticleFloat3{static_cast<float>(angles[0]), static_cast<float>(angles[1]),
                               static_cast<float>(angles[2])};
            d = Turned(outer, point.x, point.y, point.z);
            break;
        }
        case CEmiterParams::kShapeRectangle: {
            uint16_t size[2];
            DrawPairWords(e, ep, size, kPairShapeSizeX, 2, ep.IndependentSizeRandom != 0);
            const float X = EmiterPairValue(ep, kPairShapeSizeX, e.m_nFrame, size[0]);
            const float Y = EmiterPairValue(ep, kPairShapeSizeX + 1, e.m_nFrame, size[1]);
            CSCachedTexture* mask = ep.MaskImage;
            const uint32_t points = mask != nullptr ? mask->m_arrPoints.GetCount() : 0;
            float x, y;
            if (points > 0 && mask->m_nWidth > 0 && mask->m_nHeight > 0) {
                const uint32_t r1 = static_cast<uint32_t>(ParticleRandom(e));
                uint32_t k;
                if (points <= 0x7fffu) {
                    k = r1 % points;
                } else {
                    const uint32_t r2 = static_cast<uint32_t>(ParticleRandom(e));
                    k = ((r1 % (points / 0x7fffu + 1u)) * 0x7fffu + r2) % points;
                }
                const uint32_t at = *mask->PointAt(static_cast<int32_t>(k));
                const float px = static_cast<float>(at & 0xffffu), py = static_cast<float>(at >> 16);
                x = -X / 2 + px * X / static_cast<float>(mask->m_nWidth);
                y = Y / 2 - py * Y / static_cast<float>(mask->m_nHeight);
                if (ep.MaskColors != 0 && k < mask->m_arrColours.GetCount()) p.m_dwColor = mask->m_arrColours[k];
            } else {
                x = DrawnFactor(e) * X - X / 2;
                y = DrawnFactor(e) * Y - Y / 2;
            }
            d = Turned(outer, x, y, 0.0f);
            break;
        }
        default:  // the point
            break;
    }
    if (!hasRl) local = outer;

    p.m_vPos = ParticleFloat3{origin.x + d.x, origin.y + d.y, origin.z + d.z};
    p.m_vAngles = ParticleFloat3{base.x + s.x, base.y + s.y, base.z + s.z};
    if (pp.OwnMatrix == 0) {
        ParticleScratchMatrix = local;
        p.m_vVelocity = axis;
        TransformByScratch(p.m_vVelocity.x, p.m_vVelocity.y, p.m_vVelocity.z);
    } else if (placement != kE || shape == CEmiterParams::kShapeSphere || shape == CEmiterParams::kShapeBox) {
        p.m_pMatrix = new CSMatrix(local);
        if (shape == CEmiterParams::kShapeSphere) RotateMatrix256(*p.m_pMatrix, 0, 64, 0);
        if (placement == kE) p.m_bLocalMatrix = 1;
    }

    if (placement == kA || placement == kB) {
        const float rest = originRestZ + d.z;
        const float h = QueryHostValue(TruncToInt32(p.m_vPos.x), TruncToInt32(p.m_vPos.y));
        const bool snap = pp.SnapToGround != 0;
        if (pp.GroundRelative != 0 && pp.OwnMatrix != 0 && (pp.Flags & CParticleParams::kPositionRowsOff) == 0)
            p.m_vPos.z = snap ? rest : baseZ + rest - h;
        else p.m_vPos.z = snap ? h + rest : baseZ + rest;
    }
    return true;
}

bool CParticlesEmiter::AdvanceParticle(CEmiter& e, CParticle& p) {
    p.m_nAge = static_cast<int16_t>(static_cast<uint16_t>(p.m_nAge) + 1u);
    const int32_t a = p.m_nAge, n = p.m_nLife;
    if (n < a) return false;
    if (e.m_pParticleParams == nullptr) return true;
    const CParticleParams& pp = *e.m_pParticleParams;

    if (pp.OwnMatrix == 0) {
        const float rate = GetParticleBaseRate();
        const float g = pp.Gravity / (rate * rate);
        float s, vx, vy, f;
        if ((pp.Flags & CParticleParams::kSpeedRowsOff) != 0) {
            s = 1.0f;
            vx = p.m_vVelocity.x;
            vy = p.m_vVelocity.y;
            f = static_cast<float>(-static_cast<float>(a * a) * g / 2.0);
        } else {
            s = ParticlePairValue(pp, CParticleParams::SpeedOverLife, a, n, p.m_awRandom[10]);
            vx = p.m_vVelocity.x * s;
            vy = p.m_vVelocity.y * s;
            f = static_cast<float>(-(a * s * a * s * g) / 2.0);
        }
        const float dz = f - p.m_fSpeedScale;
        p.m_fSpeedScale = f;
        const float vz = p.m_vVelocity.z * s + dz;
        if (pp.YawFromVelocity != 0) p.m_vAngles.x = Angle256Between(0, 0, TruncToInt32(vx), TruncToInt32(vy));
        if (pp.PitchFromVelocity != 0) {
            const float dv = a == 0 ? static_cast<float>(vz - s * s * g / 2.0) : vz;
            p.m_vAngles.y = Angle256Of(HorizontalDistance(TruncToInt32(vx), TruncToInt32(vy)), TruncToInt32(dv));
        }
        if (pp.RollFromTrack != 0 && (pp.Flags & CParticleParams::kRotationRowsOff) == 0)
            p.m_vAngles.z = ParticlePairValue(pp, CParticleParams::Roll, a, n, p.m_awRandom[5]);
        if (pp.WindFactor != 0.0f) {
            vx += pp.WindFactor * ParticleWind.x;
            vy += pp.WindFactor * ParticleWind.y;
        }
        if (pp.Jitter != 0.0f) {
            const double j = pp.Jitter, jitterBase = (-j / rate) / 2.0;
            vx = static_cast<float>(vx + UnpackKeyValue(static_cast<uint16_t>(ParticleRandom(e))) * j / rate +
                                    jitterBase);
            vy = static_cast<float>(vy + UnpackKeyValue(static_cast<uint16_t>(ParticleRandom(e))) * j / rate +
                                    jitterBase);
        }
        p.m_vPos.x += vx;
        p.m_vPos.y += vy;
        p.m_vPos.z += vz;
    }

    if (pp.ParticleSpace == 1 && pp.HostTest != 0 && (a & 3) == 0) {
        int32_t x, y;
        float z;
        if (pp.OwnMatrix == 0 || (pp.Flags & CParticleParams::kPositionRowsOff) != 0) {
            x = TruncToInt32(p.m_vPos.x);
            y = TruncToInt32(p.m_vPos.y);
            z = p.m_vPos.z;
        } else {
            float ox = ParticlePairValue(pp, CParticleParams::OffsetX, a, n, p.m_awRandom[0]) * p.m_fSpeedScale;
            float oy = ParticlePairValue(pp, CParticleParams::OffsetY, a, n, p.m_awRandom[1]) * p.m_fSpeedScale;
            float oz = ParticlePairValue(pp, CParticleParams::OffsetZ, a, n, p.m_awRandom[2]) * p.m_fSpeedScale;
            if (p.m_pMatrix != nullptr) CSMatrix::RotateVector3(*p.m_pMatrix, ox, oy, oz);
            x = TruncToInt32(p.m_vPos.x + ox);
            y = TruncToInt32(p.m_vPos.y + oy);
            z = p.m_vPos.z + oz;
            if (pp.GroundRelative != 0) z += QueryHostValue(x, y);
        }
        if (!TestHostPoint(x, y, z)) return false;
    }
    AdvanceTextureAnimation(e, &p);
    return true;
}

// ---------------------------------------------------------------------------------
// Stepping: the instance, one emitter, child emitters.

namespace {

// ChannelMask options of the emitter step and of child placement.
constexpr int32_t kHeldOffset = 1;
constexpr int32_t kHeldAngles = 2;
constexpr int32_t kNoCarryX = 0x100;

constexpr int32_t kPairEmitRate = CEmiterParams::EmitRate / 2;

bool Has(uint16_t flags, uint16_t flag) { return (flags & flag) != 0; }

// t modulo n for a non-negative t; 0 for a period that is not positive.
int32_t Wrap(int64_t t, int64_t n) { return n > 0 ? static_cast<int32_t>(t % n) : 0; }

// The pairs p, p + 1, p + 2 of an emitter block at `key`, with words[p..p + 2].
ParticleFloat3 EmiterTriple(const CEmiterParams& params, int32_t pair, int32_t key, const uint16_t* words) {
    return ParticleFloat3{EmiterPairValue(params, pair, key, words[pair]),
                          EmiterPairValue(params, pair + 1, key, words[pair + 1]),
                          EmiterPairValue(params, pair + 2, key, words[pair + 2])};
}

ParticleFloat3 TurnedBy(const CSMatrix* matrix, ParticleFloat3 v) {
    if (matrix != nullptr) CSMatrix::RotateVector3(*matrix, v.x, v.y, v.z);
    return v;
}

}  // namespace

bool CParticlesEmiter::Step(bool emit) {
    if (Has(m_wFlags, kFrozen)) return true;
    if (Has(m_wFlags, kStopping)) return AdvanceParticlesOnly();
    if (Has(m_wFlags, kChildOnly)) {
        AdvanceParticlesOnly();
        BeginEmiterPass();
        size_t kept = 0;
        for (size_t i = 0; i < m_arrEmiters.size(); ++i) {
            const bool keep =
                !Has(m_arrEmiters[i].m_wFlags, CEmiter::kChild) || UpdateEmiter(static_cast<int32_t>(i), emit);
            KeepEmiter(i, keep, kept);
        }
        EndEmiterPass(kept);
        return true;
    }
    if (Has(m_wFlags, kPaused) && Has(m_wFlags, kAllPausable)) {
        AdvanceParticlesOnly();
        return true;
    }
    bool alive = false, allHeld = true;
    BeginEmiterPass();
    size_t kept = 0;
    for (size_t i = 0; i < m_arrEmiters.size(); ++i) {
        CEmiter& e = m_arrEmiters[i];
        bool keep = true;
        if (Has(e.m_wFlags, CEmiter::kHold) && e.m_pFirst != nullptr) {
            alive = true;
        } else {
            allHeld = false;
            if (m_iFrame < e.m_nStart || (Has(m_wFlags, kPaused) && Has(e.m_wFlags, CEmiter::kPausable))) {
                e.AdvanceParticles(*this);
                alive = true;
            } else if (UpdateEmiter(static_cast<int32_t>(i), emit)) {
                alive = true;
            } else {
                keep = !Has(m_arrEmiters[i].m_wFlags, CEmiter::kChild);
            }
        }
        KeepEmiter(i, keep, kept);
    }
    EndEmiterPass(kept);
    if (allHeld && alive) m_wFlags = static_cast<uint16_t>(m_wFlags | kFrozen);
    ++m_iFrame;
    return alive;
}

void CParticlesEmiter::BeginEmiterPass() {
    int64_t held = 0;
    for (const CEmiter& e : m_arrEmiters) held += e.m_nCount;
    m_nParticleRoom = kMaxParticles - held;
}

void CParticlesEmiter::KeepEmiter(size_t index, bool keep, size_t& kept) {
    if (keep) {
        if (kept != index) m_arrEmiters[kept] = std::move(m_arrEmiters[index]);
        ++kept;
    }
    m_nDroppedInPass = index + 1 - kept;
}

void CParticlesEmiter::EndEmiterPass(size_t kept) {
    m_arrEmiters.erase(m_arrEmiters.begin() + static_cast<std::ptrdiff_t>(kept), m_arrEmiters.end());
    m_nDroppedInPass = 0;
}

bool CParticlesEmiter::AdvanceParticlesOnly() {
    bool alive = Has(m_wFlags, kChildOnly) || Has(m_wFlags, kPaused);
    for (CEmiter& e : m_arrEmiters) {
        const bool remain = e.AdvanceParticles(*this);
        if (remain || (m_iFrame < e.m_nStart && !Has(m_wFlags, kStopping))) alive = true;
    }
    return alive;
}

bool CParticlesEmiter::UpdateEmiter(int32_t index, bool emit) {
    CEmiter* e = &m_arrEmiters[static_cast<size_t>(index)];
    if (e->m_pEmiterParams == nullptr) return false;
    const CEmiterParams& params = *e->m_pEmiterParams;

    if (e->m_nPauseLeft > 0) {
        --e->m_nPauseLeft;
        e->AdvanceParticles(*this);
        return true;
    }

    bool active;
    auto moveMotion = [e] {
        if (e->m_nMotionFrame < e->m_nMotionLength) ++e->m_nMotionFrame;
        else e->m_nMotionFrame = 0;
    };
    if (Has(e->m_wFlags, CEmiter::kPlayStart)) {
        e->m_wFlags = static_cast<uint16_t>(e->m_wFlags & ~CEmiter::kPlayStart);
        active = true;
    } else if (e->m_nFrame < e->m_nLength) {
        ++e->m_nFrame;
        moveMotion();
        active = true;
    } else {
        active = false;
        if (e->m_nPlays < e->m_nRepeats) {
            moveMotion();
            e->m_nFrame = 0;
            ++e->m_nPlays;
            // An endless emitter never runs out of plays.
            if (e->m_nPlays == e->m_nRepeats && e->m_nRepeats == CEmiter::kForever) e->m_nPlays = 1;
            if (e->m_nPause > 0) {
                e->m_nPauseLeft = static_cast<int16_t>(e->m_nPause - 1);
                e->m_wFlags = static_cast<uint16_t>(e->m_wFlags | CEmiter::kPlayStart);
                return true;
            }
            active = true;
        } else if (e->m_pFirst == nullptr) {
            return false;
        }
    }

    const int32_t f = e->m_nFrame, g = e->m_nMotionFrame;
    const bool first = Has(e->m_wFlags, CEmiter::kFirstStep);
    e->m_wFlags = static_cast<uint16_t>(e->m_wFlags & ~CEmiter::kFirstStep);
    const bool child = Has(e->m_wFlags, CEmiter::kChild);
    const bool followGround = params.FollowGround != 0;
    auto ground = [this](float x, float y) { return QueryHostValue(TruncToInt32(x), TruncToInt32(y)); };

    if (first && !child) {
        CSVector4 origin;
        uint8_t angles[3] = {0, 0, 0};
        if (params.SourceKind == 1) GetOrigin(*e, origin, angles);
        PlaceFirst(*e, origin, angles, nullptr);
    }

    if (active || (first && !child)) {
        const int32_t last = e->m_nMotionLength;
        const bool carry = g == 0 && !first;
        if ((params.ChannelMask & kHeldOffset) == 0) {
            if (carry) {
                ParticleFloat3 d;
                float* axes[3] = {&d.x, &d.y, &d.z};
                for (int32_t axis = 0; axis < 3; ++axis)
                    if ((params.ChannelMask & (kNoCarryX << axis)) == 0)
                        *axes[axis] = EmiterPairValue(params, axis, last, e->m_awRandom[axis]) -
                                      EmiterPairValue(params, axis, 0, e->m_awRandom[axis]);
                d = TurnedBy(e->m_pMatrix, d);
                e->m_vBasePos.x += d.x;
                e->m_vBasePos.y += d.y;
                e->m_vBasePos.z += d.z;
            }
            const ParticleFloat3 v = TurnedBy(e->m_pMatrix, EmiterTriple(params, 0, g, e->m_awRandom));
            e->m_vPos.x = e->m_vBasePos.x + v.x;
            e->m_vPos.y = e->m_vBasePos.y + v.y;
            e->m_vPos.z = e->m_vBasePos.z + v.z;
            if (followGround) e->m_vPos.z += ground(e->m_vPos.x, e->m_vPos.y);
        }
        if ((params.ChannelMask & kHeldAngles) == 0) {
            if (carry) {
                const ParticleFloat3 end = EmiterTriple(params, 3, last, e->m_awRandom);
                const ParticleFloat3 start = EmiterTriple(params, 3, 0, e->m_awRandom);
                e->m_vBaseAngles.x += end.x - start.x;
                e->m_vBaseAngles.y += end.y - start.y;
                e->m_vBaseAngles.z += end.z - start.z;
            }
            const ParticleFloat3 a = EmiterTriple(params, 3, g, e->m_awRandom);
            e->m_vAngles = ParticleFloat3{e->m_vBaseAngles.x + a.x, e->m_vBaseAngles.y + a.y, e->m_vBaseAngles.z + a.z};
        }
    }

    if (active) {
        if (emit) {
            const float rate = EmiterPairValue(params, kPairEmitRate, f, e->m_awRandom[6]);
            e->m_fEmitAccu += rate * e->m_fRateScale;
        }
        if (e->m_fEmitAccu >= 1.0f) {
            // A rate beyond any use is bounded by the limits below anyway.
            const double whole = std::min(std::floor(static_cast<double>(e->m_fEmitAccu)), 1e9);
            e->m_fEmitAccu = static_cast<float>(e->m_fEmitAccu - whole);
            const int64_t units = static_cast<int64_t>(whole);
            for (int64_t unit = 0; unit < units; ++unit) {
                if (Has(e->m_wFlags, CEmiter::kEmitsEmitters)) {
                    const bool spawned = SpawnChildEmiters(index);
                    e = &m_arrEmiters[static_cast<size_t>(index)];
                    // Nothing resolves, or the instance is full: the other units
                    // would do nothing either.
                    if (!spawned) break;
                } else {
                    // Beyond the 16-bit count, or the instance's share, births are
                    // skipped without a draw.
                    if (e->m_nCount >= CEmiter::kMaxParticles || m_nParticleRoom <= 0) break;
                    const int16_t before = e->m_nCount;
                    EmitParticle(*e);
                    m_nParticleRoom -= e->m_nCount - before;
                }
            }
        }
    }

    e->AdvanceParticles(*this);
    return active || e->m_nPlays < e->m_nRepeats || e->m_pFirst != nullptr;
}

void CParticlesEmiter::PlaceFirst(CEmiter& e, const CSVector4& origin, const uint8_t angles[3],
                                  const CSMatrix* rotation) {
    const CEmiterParams& params = *e.m_pEmiterParams;
    const bool followGround = params.FollowGround != 0, startOnGround = params.StartOnGround != 0;
    auto ground = [this](float x, float y) { return QueryHostValue(TruncToInt32(x), TruncToInt32(y)); };
    if (params.SourceKind == 1) {
        e.m_vPos.x = e.m_vBasePos.x = origin.x;
        e.m_vPos.y = e.m_vBasePos.y = origin.y;
        const float h = ground(origin.x, origin.y);
        if (followGround && startOnGround) {
            e.m_vPos.z = h;
            e.m_vBasePos.z = 0.0f;
        } else if (followGround) {
            e.m_vPos.z = origin.z;
            e.m_vBasePos.z = origin.z - h;
        } else if (startOnGround) {
            e.m_vPos.z = e.m_vBasePos.z = h;
        } else {
            e.m_vPos.z = e.m_vBasePos.z = origin.z;
        }
        e.m_vAngles = e.m_vBaseAngles =
            ParticleFloat3{static_cast<float>(angles[0]), static_cast<float>(angles[1]), static_cast<float>(angles[2])};
        delete e.m_pMatrix;
        e.m_pMatrix = new CSMatrix();
        if (rotation != nullptr) *e.m_pMatrix = *rotation;
        else SetRotation256(*e.m_pMatrix, angles[0], angles[1], angles[2]);
        if ((params.ChannelMask & kHeldOffset) != 0) {
            const ParticleFloat3 v = TurnedBy(e.m_pMatrix, EmiterTriple(params, 0, 0, e.m_awRandom));
            e.m_vPos.x = e.m_vBasePos.x + v.x;
            e.m_vPos.y = e.m_vBasePos.y + v.y;
            const float h2 = ground(e.m_vPos.x, e.m_vPos.y);
            if (followGround) {
                e.m_vPos.z = h2 + e.m_vBasePos.z + v.z;
            } else if (startOnGround) {
                e.m_vBasePos.z = h2;
                e.m_vPos.z = h2 + v.z;
            } else {
                e.m_vPos.z = e.m_vBasePos.z + v.z;
            }
        }
        if ((params.ChannelMask & kHeldAngles) != 0) {
            const ParticleFloat3 a = EmiterTriple(params, 3, 0, e.m_awRandom);
            e.m_vAngles = ParticleFloat3{e.m_vBaseAngles.x + a.x, e.m_vBaseAngles.y + a.y, e.m_vBaseAngles.z + a.z};
        }
    } else {
        if ((params.ChannelMask & kHeldOffset) != 0) e.m_vPos = EmiterTriple(params, 0, 0, e.m_awRandom);
        if ((params.ChannelMask & kHeldAngles) != 0) e.m_vAngles = EmiterTriple(params, 3, 0, e.m_awRandom);
    }
}

bool CParticlesEmiter::SpawnChildEmiters(int32_t parentIndex) {
    const CEmiter& parent = m_arrEmiters[static_cast<size_t>(parentIndex)];
    if (parent.m_pEntry == nullptr || m_pMesh == nullptr) return false;
    const CParticleEmiterParams* asking = parent.m_pEntry;
    auto resolve = [&](const CSString& name) {
        const int32_t i = m_pMesh->FindLinkedEmitter(asking, name.c_str());
        return i >= 0 && EntryFits(i) ? i : -1;
    };
    size_t count = 0;
    for (const CSString& name : asking->ChildNames)
        if (resolve(name) >= 0) ++count;
    if (count == 0) return false;
    // A file whose children spawn children without end stops at the limit.
    if (m_arrEmiters.size() - m_nDroppedInPass + count > static_cast<size_t>(kMaxEmiters)) return false;

    const int32_t seed = ParticleRandom(m_arrEmiters[static_cast<size_t>(parentIndex)]);
    size_t k = m_arrEmiters.size();
    m_arrEmiters.resize(k + count);
    CEmiter& p = m_arrEmiters[static_cast<size_t>(parentIndex)];
    for (const CSString& name : asking->ChildNames) {
        const int32_t i = resolve(name);
        if (i < 0) continue;
        int32_t source = 0;
        const CParticleEmiterParams& entry = *m_pMesh->m_arrEntries[static_cast<size_t>(i)];
        const CEmiterParams& params = *m_pMesh->m_arrEmiterParams[static_cast<size_t>(entry.EmiterIndex)];
        const uint32_t names = static_cast<uint32_t>(params.SourceNames.size());
        if ((params.SourceKind == 2 || params.SourceKind == 3) && names > 1) {
            const uint32_t cursor = static_cast<uint16_t>(p.m_nNextSource);
            source = static_cast<int32_t>(cursor % names);
            p.m_nNextSource = static_cast<int16_t>((cursor + 1) % names);
        }
        CEmiter& child = m_arrEmiters[k];
        InitEmiter(child, i, true, seed, source);
        PlaceChildEmitter(child, p);
        ++k;
    }
    return true;
}

void CParticlesEmiter::PlaceChildEmitter(CEmiter& n, CEmiter& p) {
    delete n.m_pMatrix;
    n.m_pMatrix = nullptr;
    if (n.m_pEmiterParams == nullptr || p.m_pEmiterParams == nullptr) return;
    const CEmiterParams& E = *p.m_pEmiterParams;
    const CEmiterParams& D = *n.m_pEmiterParams;
    const bool childWorld = D.SourceKind == 1, parentWorld = E.SourceKind == 1;
    const bool followGround = D.FollowGround != 0, startOnGround = D.StartOnGround != 0;
    const int32_t shape = E.EmitShape;
    auto ground = [this](float x, float y) { return QueryHostValue(TruncToInt32(x), TruncToInt32(y)); };

    if (shape >= CEmiterParams::kShapeSphere && shape <= CEmiterParams::kShapePoint) {
        // The parent's frame in the child's space: rotation Rp, position base q0, the
        // part of its z without the origin, and the angle base a0.
        const ParticleFloat3 pp = p.m_vPos, pa = p.m_vAngles;
        CSMatrix rp;
        ParticleFloat3 q0, a0;
        float restZ = 0.0f;
        uint8_t b[3] = {0, 0, 0};
        const bool viaOrigin = childWorld != parentWorld;
        if (childWorld && !parentWorld) {
            CSVector4 o;
            uint8_t unused;
            GetOriginEx(p, o, b, unused);
            SetRotation256(rp, b[0], b[1], b[2]);
            const ParticleFloat3 turned = Turned(rp, pp.x, pp.y, pp.z);
            RotateMatrix256f(rp, pa.x, pa.y, pa.z);
            q0 = ParticleFloat3{o.x + turned.x, o.y + turned.y, o.z + turned.z};
            a0 = ParticleFloat3{b[0] + pa.x, b[1] + pa.y, b[2] + pa.z};
            restZ = turned.z;
        } else if (!childWorld && parentWorld) {
            CSVector4 o;
            GetOrigin(p, o, b);
            a0 = ParticleFloat3{pa.x - b[0], pa.y - b[1], pa.z - b[2]};
            SetRotation256f(rp, a0.x, a0.y, a0.z);
            q0 = ParticleFloat3{pp.x - o.x, pp.y - o.y, pp.z - o.z};
        } else {
            SetRotation256f(rp, pa.x, pa.y, pa.z);
            q0 = pp;
            a0 = pa;
        }

        CSMatrix m = rp;  // the child's matrix
        ParticleFloat3 offset, s;
        switch (shape) {
            case CEmiterParams::kShapeSphere: {
                uint16_t range[4];
                DrawPairWords(p, E, range, kPairAzimuthFrom, 4, E.IndependentAngleRangeRandom != 0);
                const float azFrom = EmiterPairValue(E, kPairAzimuthFrom, p.m_nFrame, range[0]);
                const float azTo = EmiterPairValue(E, kPairAzimuthTo, p.m_nFrame, range[1]);
                const float e0 = EmiterPairValue(E, kPairElevationFrom, p.m_nFrame, range[2]);
                const float e1 = EmiterPairValue(E, kPairElevationTo, p.m_nFrame, range[3]);
                float t = azFrom + DrawnFactor(n) * (azTo - azFrom);
                const float u = DrawnFactor(n);
                float el;
                if (e0 == -64.0f && e1 == 64.0f) {
                    el = ArcsineElevation(u);
                    if ((ParticleRandom(n) & 1) != 0) el = -el;
                } else if (e0 == -64.0f && e1 == 0.0f) {
                    el = -ArcsineElevation(u);
                } else if (e0 == 0.0f && e1 == 64.0f) {
                    el = ArcsineElevation(u);
                } else {
                    el = e0 + u * (e1 - e0);
                }
                el = -el;
                t = t + 128.0f;
                if (t > 256.0f) t = t - 256.0f;
                s = ParticleFloat3{t, el + 64.0f, 0.0f};
                RotateMatrix256f(m, t, el, 0.0f);  // S x Rp
                const float radius = E.SphereRadius;
                if ((E.ChannelMask & kUnscaledSphere) != 0) {
                    offset = Turned(m, 0.0f, -radius, 0.0f);
                } else {
                    SetScratchRotation256f(t, el, 0.0f);
                    ParticleFloat3 v{0.0f, -radius, 0.0f};
                    TransformByScratch(v.x, v.y, v.z);
                    uint16_t size[3];
                    DrawPairWords(p, E, size, kPairShapeSizeX, 3, E.IndependentSizeRandom != 0);
                    v.x *= EmiterPairValue(E, kPairShapeSizeX, p.m_nFrame, size[0]);
                    v.y *= EmiterPairValue(E, kPairShapeSizeX + 1, p.m_nFrame, size[1]);
                    v.z *= EmiterPairValue(E, kPairShapeSizeX + 2, p.m_nFrame, size[2]);
                    if (childWorld && !parentWorld) {
                        SetScratchRotation256(b[0], b[1], b[2]);
                        RotateScratch256f(pa.x, pa.y, pa.z);
                    } else {
                        ParticleScratchMatrix = rp;
                    }
                    TransformByScratch(v.x, v.y, v.z);
                    offset = v;
                }
                RotateMatrix256(m, 0, 64, 0);  // Q x S x Rp
                break;
            }
            case CEmiterParams::kShapeBox: {
                const int32_t w = ParticleRandom(n);
                uint16_t size[3];
                DrawPairWords(p, E, size, kPairShapeSizeX, 3, E.IndependentSizeRandom != 0);
                const float X = EmiterPairValue(E, kPairShapeSizeX, p.m_nFrame, size[0]);
                const float Y = EmiterPairValue(E, kPairShapeSizeX + 1, p.m_nFrame, size[1]);
                const float Z = EmiterPairValue(E, kPairShapeSizeX + 2, p.m_nFrame, size[2]);
                const bool rebuild = p.m_pFaceTable == nullptr ||
                                     ((E.ChannelMask & kKeepFaceTable) == 0 && p.m_nFaceTableFrame != p.m_nFrame);
                if (p.m_pFaceTable == nullptr) p.m_pFaceTable = new int16_t[kBoxFaceCount];
                if (rebuild) {
                    p.m_nFaceTableFrame = p.m_nFrame;
                    BuildEmiterFaceTable(p.m_pFaceTable, std::fabs(X), std::fabs(Y), std::fabs(Z), E.BoxFaceMask);
                }
                ParticleFloat3 o;
                if (p.m_pFaceTable[kBoxFaceCount - 1] == 0) {
                    // No usable face: the centre of the box rather than a disabled face.
                    o = ParticleFloat3{0.0f, 0.0f, Z / 2};
                } else {
                    int32_t face = kBoxFaceCount - 1;
                    for (int32_t i = 0; i < kBoxFaceCount - 1; ++i) {
                        if (p.m_pFaceTable[i] >= w && p.m_pFaceTable[i] > 0) {
                            face = i;
                            break;
                        }
                    }
                    static const int32_t kFaceAngles[kBoxFaceCount][3] = {{0, 0, 0},  {0, 0, 128}, {0, 64, 0},
                                                                          {0, 0, 64}, {0, 192, 0}, {0, 0, 192}};
                    const bool usesX = face != 3 && face != 5, usesY = face != 2 && face != 4;
                    const float rx = usesX ? -X / 2 + DrawnFactor(n) * X : 0.0f;
                    const float ry = usesY ? -Y / 2 + DrawnFactor(n) * Y : 0.0f;
                    const float rz = face >= 2 ? DrawnFactor(n) * Z : 0.0f;
                    switch (face) {
                        case 0: o = ParticleFloat3{rx, ry, Z}; break;
                        case 1: o = ParticleFloat3{rx, ry, 0.0f}; break;
                        case 2: o = ParticleFloat3{rx, -0.5f * Y, rz}; break;
                        case 3: o = ParticleFloat3{0.5f * X, ry, rz}; break;
                        case 4: o = ParticleFloat3{rx, 0.5f * Y, rz}; break;
                        default: o = ParticleFloat3{-0.5f * X, ry, rz}; break;
                    }
                    const int32_t* a = kFaceAngles[face];
                    s = ParticleFloat3{static_cast<float>(a[0]), static_cast<float>(a[1]), static_cast<float>(a[2])};
                    RotateMatrix256(m, a[0], a[1], a[2]);  // S x Rp
                }
                offset = Turned(rp, o.x, o.y, o.z);
                break;
            }
            case CEmiterParams::kShapeRectangle: {
                uint16_t size[2];
                DrawPairWords(p, E, size, kPairShapeSizeX, 2, E.IndependentSizeRandom != 0);
                const float X = EmiterPairValue(E, kPairShapeSizeX, p.m_nFrame, size[0]);
                const float Y = EmiterPairValue(E, kPairShapeSizeX + 1, p.m_nFrame, size[1]);
                CSCachedTexture* mask = E.MaskImage;
                const uint32_t points = mask != nullptr ? mask->m_arrPoints.GetCount() : 0;
                float x, y;
                if (points > 0 && mask->m_nWidth > 0 && mask->m_nHeight > 0) {
                    uint32_t k;
                    if (points < 32768u) {
                        k = static_cast<uint32_t>(ParticleRandom(n)) % points;
                    } else {
                        uint32_t sum = 0;
                        for (uint32_t d = 0; d < points / 32767u + 1u; ++d)
                            sum += static_cast<uint32_t>(ParticleRandom(n));
                        k = sum % points;
                    }
                    const uint32_t at = *mask->PointAt(static_cast<int32_t>(k));
                    x = -X / 2 + X * static_cast<float>(at & 0xffffu) / static_cast<float>(mask->m_nWidth);
                    y = Y / 2 - Y * static_cast<float>(at >> 16) / static_cast<float>(mask->m_nHeight);
                } else {
                    x = -X / 2 + DrawnFactor(n) * X;
                    y = -Y / 2 + DrawnFactor(n) * Y;
                }
                offset = Turned(rp, x, y, 0.0f);
                break;
            }
            default:  // the point
                break;
        }
        n.m_pMatrix = new CSMatrix(m);

        n.m_vBasePos.x = q0.x + offset.x;
        n.m_vBasePos.y = q0.y + offset.y;
        const float h = q0.z + offset.z;
        if (childWorld) {
            const float r = (viaOrigin ? restZ : 0.0f) + offset.z;
            const float g = ground(n.m_vBasePos.x, n.m_vBasePos.y);
            if (startOnGround && followGround) n.m_vBasePos.z = r;
            else if (startOnGround) n.m_vBasePos.z = g + r;
            else if (followGround) n.m_vBasePos.z = h - g;
            else n.m_vBasePos.z = h;
        } else {
            n.m_vBasePos.z = h;
        }
        n.m_vBaseAngles = ParticleFloat3{a0.x + s.x, a0.y + s.y, a0.z + s.z};
    }

    if ((D.ChannelMask & kHeldOffset) != 0) {
        const ParticleFloat3 d = TurnedBy(n.m_pMatrix, EmiterTriple(D, 0, 0, n.m_awRandom));
        n.m_vPos.x = n.m_vBasePos.x + d.x;
        n.m_vPos.y = n.m_vBasePos.y + d.y;
        const float g = ground(n.m_vPos.x, n.m_vPos.y);
        if (childWorld && followGround) {
            n.m_vPos.z = g + n.m_vBasePos.z + d.z;
        } else if (childWorld && startOnGround) {
            n.m_vBasePos.z = g;
            n.m_vPos.z = n.m_vBasePos.z + d.z;
        } else {
            n.m_vPos.z = n.m_vBasePos.z + d.z;
        }
    } else {
        n.m_vPos.x = n.m_vBasePos.x;
        n.m_vPos.y = n.m_vBasePos.y;
        n.m_vPos.z = childWorld && followGround ? ground(n.m_vPos.x, n.m_vPos.y) + n.m_vBasePos.z : n.m_vBasePos.z;
    }
    if ((D.ChannelMask & kHeldAngles) != 0) {
        const ParticleFloat3 a = EmiterTriple(D, 3, 0, n.m_awRandom);
        n.m_vAngles = ParticleFloat3{n.m_vBaseAngles.x + a.x, n.m_vBaseAngles.y + a.y, n.m_vBaseAngles.z + a.z};
    }
}

// ---------------------------------------------------------------------------------
// Control and queries.

void CParticlesEmiter::SetFrame(int32_t frame, bool pausableOnly) {
    for (CEmiter& e : m_arrEmiters) {
        if (pausableOnly && !Has(e.m_wFlags, CEmiter::kPausable)) continue;
        const int64_t t = std::max<int64_t>(static_cast<int64_t>(frame) - e.m_nStart, 0);
        const int64_t length = e.m_nLength, motion = e.m_nMotionLength;
        bool playStart;
        if (t == 0) {
            e.m_nFrame = e.m_nMotionFrame = e.m_nPauseLeft = 0;
            playStart = true;
        } else if (t <= length) {
            e.m_nFrame = static_cast<int16_t>(t);
            e.m_nMotionFrame = static_cast<int16_t>(Wrap(t, motion + 1));
            e.m_nPauseLeft = 0;
            playStart = false;
        } else if (e.m_nPause < 1) {
            e.m_nFrame = static_cast<int16_t>(Wrap(t, length + 1));
            e.m_nMotionFrame = static_cast<int16_t>(Wrap(t, motion + 1));
            e.m_nPauseLeft = 0;
            playStart = e.m_nFrame == 0;
        } else {
            const int32_t c = Wrap(t, length + 1 + e.m_nPause);
            if (c > length) {
                // Inside the pause: the next play starts at once.
                e.m_nFrame = 0;
                e.m_nPauseLeft = 0;
                playStart = true;
            } else {
                e.m_nFrame = static_cast<int16_t>(c);
                e.m_nPauseLeft = 0;
                playStart = c == 0;
            }
            e.m_nMotionFrame = motion == length ? e.m_nFrame : static_cast<int16_t>(Wrap(t, motion + 1));
        }
        if (playStart) e.m_wFlags = static_cast<uint16_t>(e.m_wFlags | CEmiter::kPlayStart);
        else e.m_wFlags = static_cast<uint16_t>(e.m_wFlags & ~CEmiter::kPlayStart);
    }
    if (!pausableOnly || Has(m_wFlags, kAllPausable)) m_iFrame = std::max(frame, 0);
}

void CParticlesEmiter::SetPaused(bool paused, bool restart) {
    SetFlag(m_wFlags, kPaused, paused);
    if (restart) RestartPausable(0);
}

void CParticlesEmiter::Stop() {
    for (CEmiter& e : m_arrEmiters) {
        e.m_nPauseLeft = 0;
        e.m_nFrame = e.m_nLength;
        e.m_nMotionFrame = e.m_nMotionLength;
        e.m_nPlays = e.m_nRepeats;
        e.m_wFlags = static_cast<uint16_t>(e.m_wFlags & ~(CEmiter::kPlayStart | CEmiter::kHold));
    }
    m_wFlags = static_cast<uint16_t>((m_wFlags | kStopping) & ~(kChildOnly | kFrozen | kLooping));
}

void CParticlesEmiter::Kill() {
    Stop();
    for (CEmiter& e : m_arrEmiters)
        if (!Has(e.m_wFlags, CEmiter::kKeepOnKill)) e.DeleteParticles();
}

void CParticlesEmiter::SetRateScale(int32_t percent) {
    for (CEmiter& e : m_arrEmiters) e.m_fRateScale = static_cast<float>(percent / 100.0);
}

void CParticlesEmiter::SetPosition(const CSVector4& position) {
    m_vPos = position;
    m_wFlags = static_cast<uint16_t>(m_wFlags | kExplicitPosition);
}

void CParticlesEmiter::MoveBy(int32_t dx, int32_t dy) {
    const float x = static_cast<float>(dx), y = static_cast<float>(dy);
    for (CEmiter& e : m_arrEmiters) {
        if (e.m_pEmiterParams != nullptr && e.m_pEmiterParams->SourceKind == 1) {
            e.m_vPos.x += x;
            e.m_vPos.y += y;
            e.m_vBasePos.x += x;
            e.m_vBasePos.y += y;
        }
        if (e.m_pParticleParams != nullptr && e.m_pParticleParams->ParticleSpace == 1) {
            for (CParticle* p = e.m_pFirst; p != nullptr; p = p->m_pNext) {
                p->m_vPos.x += x;
                p->m_vPos.y += y;
            }
        }
    }
}

void CParticlesEmiter::KeepLoopingOnly(bool heightOffsets) {
    m_wFlags = static_cast<uint16_t>(m_wFlags | kKeepLoopingOnly);
    SetFlag(m_wFlags, kHeightOffsets, heightOffsets);
    RemoveNonLooping();
}

void CParticlesEmiter::SetOption400(bool on) { SetFlag(m_wFlags, kOption400, on); }

void CParticlesEmiter::SetOption800(bool on) {
    SetFlag(m_wFlags, kOption800, on);
    RemoveNonLooping();
}

void CParticlesEmiter::RemoveNonLooping() {
    size_t kept = 0;
    for (size_t i = 0; i < m_arrEmiters.size(); ++i) {
        const CParticleEmiterParams* entry = m_arrEmiters[i].m_pEntry;
        KeepEmiter(i, entry != nullptr && entry->RepeatMode == 2, kept);
    }
    EndEmiterPass(kept);
}

bool CParticlesEmiter::HasParticles() const {
    for (const CEmiter& e : m_arrEmiters)
        if (e.m_pFirst != nullptr) return true;
    return false;
}

bool CParticlesEmiter::IsFinished() const {
    for (const CEmiter& e : m_arrEmiters) {
        if (e.m_nRepeats == CEmiter::kForever) continue;
        const bool done = e.m_pFirst == nullptr && m_iFrame >= e.m_nStart && e.m_nPauseLeft == 0 &&
                          !Has(e.m_wFlags, CEmiter::kPlayStart) && e.m_nFrame == e.m_nLength &&
                          e.m_nPlays >= e.m_nRepeats;
        if (!done) return false;
    }
    return true;
}

bool CParticlesEmiter::EndsWithin(int32_t frames) const {
    if (Has(m_wFlags, kStopping)) return true;
    for (const CEmiter& e : m_arrEmiters)
        if (e.m_nPauseLeft > 0 || e.m_nPlays < e.m_nRepeats || e.m_nLength - e.m_nFrame > frames) return false;
    return true;
}

bool CParticlesEmiter::HasPlayed() const {
    if (Has(m_wFlags, kChildOnly)) return true;
    if (m_arrEmiters.empty()) return false;
    if (Has(m_wFlags, kPaused)) {
        if (Has(m_wFlags, kAllPausable)) return true;
        for (const CEmiter& e : m_arrEmiters)
            if (!Has(e.m_wFlags, CEmiter::kPausable)) return e.m_nPlays > 0;
    }
    return m_arrEmiters.front().m_nPlays > 0;
}

bool CParticlesEmiter::HasPausableEntry() const {
    const int32_t entries = m_pMesh != nullptr ? static_cast<int32_t>(m_pMesh->m_arrEntries.size()) : 0;
    for (int32_t i = 0; i < entries; ++i)
        if (Qualifies(i) && m_pMesh->m_arrEntries[static_cast<size_t>(i)]->Pausable != 0) return true;
    return false;
}

bool CParticlesEmiter::HasKeepOnKill() const {
    for (const CEmiter& e : m_arrEmiters)
        if (Has(e.m_wFlags, CEmiter::kKeepOnKill)) return true;
    return false;
}

bool CParticlesEmiter::UsesWorldCoords() const {
    for (const CEmiter& e : m_arrEmiters) {
        if (e.m_pEmiterParams != nullptr && e.m_pEmiterParams->SourceKind == 1) return true;
        if (e.m_pParticleParams != nullptr && e.m_pParticleParams->ParticleSpace == 1) return true;
    }
    return false;
}

int32_t CParticlesEmiter::CountedParticles() const {
    int32_t count = 0;
    for (const CEmiter& e : m_arrEmiters)
        if (Has(e.m_wFlags, CEmiter::kCounted)) count += e.m_nCount;
    return count;
}

void CParticlesEmiter::MemoryUse(int32_t& emitters, int32_t& emitterBytes, int32_t& particles,
                                 int32_t& particleBytes) const {
    emitters = static_cast<int32_t>(m_arrEmiters.size());
    emitterBytes = particles = particleBytes = 0;
    for (const CEmiter& e : m_arrEmiters) {
        emitterBytes += 172 + (e.m_pMatrix != nullptr ? 64 : 0) + (e.m_pFaceTable != nullptr ? 12 : 0);
        for (const CParticle* p = e.m_pFirst; p != nullptr; p = p->m_pNext) {
            ++particles;
            particleBytes += 108 + (p->m_pMatrix != nullptr ? 64 : 0);
        }
    }
}

bool CParticlesEmiter::GetOrbitAngle(uint8_t& angle) const {
    const int32_t mode = Has(m_wFlags, kLooping) ? 2 : 1;
    for (const CEmiter& e : m_arrEmiters) {
        if (e.m_pEntry == nullptr || e.m_pEntry->RepeatMode != mode || e.m_nLength <= 0) continue;
        const CEmiterParams& params = *e.m_pEmiterParams;
        int32_t base = 0, direction = 1;
        if ((params.ChannelMask & kHeldOffset) == 0) {
            const int32_t later = std::min<int32_t>(2, e.m_nLength);
            const float x0 = EmiterPairValue(params, 0, 0, e.m_awRandom[0]);
            const float y0 = EmiterPairValue(params, 1, 0, e.m_awRandom[1]);
            const float x1 = EmiterPairValue(params, 0, later, e.m_awRandom[0]);
            const float y1 = EmiterPairValue(params, 1, later, e.m_awRandom[1]);
            if (std::fabs(x0) <= std::fabs(y0)) {
                if (y0 <= 0.0f) {
                    base = 0x80;
                    direction = x0 <= x1 ? -1 : 1;
                } else {
                    base = 0;
                    direction = x1 <= x0 ? -1 : 1;
                }
            } else if (x0 <= 0.0f) {
                base = 0xc0;
                direction = y1 <= y0 ? -1 : 1;
            } else {
                base = 0x40;
                direction = y0 <= y1 ? -1 : 1;
            }
        }
        angle = static_cast<uint8_t>(base + e.m_nFrame * direction * 256 / e.m_nLength);
        return true;
    }
    angle = 0;
    return false;
}

bool CParticlesEmiter::ScreenPoint(const CSVector4& /*point*/, CSVector4& /*out*/, const void* /*camera*/) const {
    return false;
}

// ---------------------------------------------------------------------------------
// Rings, relocation, added emitters and the snapshot.

bool CParticlesEmiter::SetupRing(CSEntity* host, CParticlesMesh* effect, int32_t radius) {
    if (!Setup(host, effect)) return false;
    if (radius == 0) {
        m_arrEmiters.clear();
        return true;
    }
    if (m_arrEmiters.empty()) return false;
    m_vReference = CSVector4(0.0f, 0.0f, 0.0f, 0.0f);
    EmitRing(m_arrEmiters.front(), 0, 0, radius, 0.0f, static_cast<float>(kTurnRadians));
    return true;
}

int32_t CParticlesEmiter::EmitRing(CEmiter& e, int32_t cx, int32_t cy, int32_t radius, float from, float to) {
    if (e.m_pParticleParams == nullptr) return 0;
    const CParticleParams& pp = *e.m_pParticleParams;
    if (from > to) to = static_cast<float>(to + kTurnRadians);
    const double n = std::trunc(radius / 10.0 * (static_cast<double>(to) - from) * 2.0);
    // A negative or undefined count makes nothing; a huge one stops at the 16-bit count.
    if (!(n >= 0.0)) return 0;
    const double steps = std::max(n, 1.0);
    int32_t made = 0;
    for (double i = 0.0; i <= n && e.m_nCount < CEmiter::kMaxParticles; i += 1.0, ++made) {
        CParticle* p = new CParticle();
        p->m_nLife = ClampToInt16(pp.LifeFrames);
        p->m_fSpeedScale = 1.0f;
        p->m_fSizeScale = 1.0f;
        p->m_bLocalMatrix = 0;
        p->m_nAge = 0;
        p->m_dwColor = 0xFFFFFFFFu;
        StartTextureAnimation(e, p);
        if (pp.ParticleKind == 0) {
            const uint32_t objects = pp.ObjectList.GetCount();
            p->m_nObject = objects > 0 ? static_cast<uint8_t>(static_cast<uint32_t>(ParticleRandom2(e)) % objects) : 0;
        }
        p->m_nSequence = static_cast<int16_t>(made);
        // The tail, without the peak.
        if (e.m_pLast == nullptr) e.m_pFirst = p;
        else e.m_pLast->m_pNext = p;
        e.m_pLast = p;
        ++e.m_nCount;
        const float l = from + (to - from) * static_cast<float>(i) / static_cast<float>(steps);
        p->m_vAngles.x = static_cast<float>(TruncToInt32(l * 256.0f / static_cast<float>(kTurnRadians)) & 0xff);
        const float sine = static_cast<float>(std::sin(static_cast<double>(l)));
        const float cosine = static_cast<float>(std::cos(static_cast<double>(l)));
        p->m_vPos.x = static_cast<float>(cx + static_cast<double>(radius) * sine);
        p->m_vPos.y = static_cast<float>(cy + static_cast<double>(radius) * cosine);
        p->m_vPos.z = 0.0f;
    }
    return made;
}

void CParticlesEmiter::AddRingEmiter(int32_t cx, int32_t cy, int32_t radius, float from, float to) {
    if (m_pMesh == nullptr) return;
    const int32_t entries = static_cast<int32_t>(m_pMesh->m_arrEntries.size());
    for (int32_t i = 0; i < entries; ++i) {
        if (!Qualifies(i)) continue;
        m_arrEmiters.emplace_back();
        InitEmiter(m_arrEmiters.back(), i, false, 0, 0);
        EmitRing(m_arrEmiters.back(), cx, cy, radius, from, to);
        return;
    }
}

bool CParticlesEmiter::CycleParticleAges(const void* /*unused*/) {
    for (CEmiter& e : m_arrEmiters) {
        for (CParticle* p = e.m_pFirst; p != nullptr; p = p->m_pNext) {
            p->m_nAge = static_cast<int16_t>(p->m_nAge + 1);
            if (p->m_nLife < p->m_nAge) p->m_nAge = 0;
            AdvanceTextureAnimation(e, p);
        }
    }
    return true;
}

void CParticlesEmiter::MoveParticlesTo(const CSVector4& position, int32_t groundOffset, const int32_t rectangle[4],
                                       int32_t fixedHeight) {
    if (CSVector4NearlyEqual(position, m_vReference) || m_arrEmiters.empty()) return;
    const float dx = position.x - m_vReference.x, dy = position.y - m_vReference.y;
    m_vReference = position;
    float height = position.z;
    bool filled = false;
    for (CEmiter& e : m_arrEmiters) {
        for (CParticle* p = e.m_pFirst; p != nullptr; p = p->m_pNext) {
            p->m_vPos.x += dx;
            p->m_vPos.y += dy;
            const int32_t x = TruncToInt32(p->m_vPos.x), y = TruncToInt32(p->m_vPos.y);
            if (rectangle[0] < x && x < rectangle[2] && rectangle[1] < y && y < rectangle[3]) {
                height = fixedHeight > 0 ? static_cast<float>(fixedHeight)
                                         : QueryHostValue(x, y) + static_cast<float>(groundOffset);
                if (!filled) {
                    filled = true;
                    for (CParticle* q = e.m_pFirst; q != p; q = q->m_pNext) q->m_vPos.z = height;
                }
            }
            p->m_vPos.z = height;
        }
    }
    // The bounds after the pass, so that they hold the heights the back-fill gave.
    bool first = true;
    for (const CEmiter& e : m_arrEmiters) {
        for (const CParticle* p = e.m_pFirst; p != nullptr; p = p->m_pNext) {
            const float v[3] = {p->m_vPos.x, p->m_vPos.y, p->m_vPos.z};
            for (int axis = 0; axis < 3; ++axis) {
                if (first) m_afBoundsMin[axis] = m_afBoundsMax[axis] = v[axis];
                else if (v[axis] < m_afBoundsMin[axis]) m_afBoundsMin[axis] = v[axis];
                else if (v[axis] > m_afBoundsMax[axis]) m_afBoundsMax[axis] = v[axis];
            }
            first = false;
        }
    }
}

void CParticlesEmiter::SetOption20(bool on) { SetFlag(m_wFlags, kOption20, on); }

void CParticlesEmiter::CopyFromWithReference(const CParticlesEmiter& source) {
    CopyFrom(source);
    m_vReference = source.m_vReference;
}

bool CParticlesEmiter::ReturnTrue(const void* /*unused*/) const { return true; }

void CParticlesEmiter::AddEmiters(const CSVector4& position, const char* name, const CSVector4* direction) {
    if (m_pMesh == nullptr) return;
    const bool named = name != nullptr && name[0] != '\0';
    const int32_t entries = static_cast<int32_t>(m_pMesh->m_arrEntries.size());
    for (int32_t i = 0; i < entries; ++i) {
        if (!Qualifies(i)) continue;
        const CParticleEmiterParams& entry = *m_pMesh->m_arrEntries[static_cast<size_t>(i)];
        if (entry.RepeatMode == 2 || (named && !entry.SecondName.EqualsNoCase(name))) continue;
        if (m_arrEmiters.size() >= static_cast<size_t>(kMaxEmiters)) return;
        m_arrEmiters.emplace_back();
        InitEmiter(m_arrEmiters.back(), i, false, 0, 0);
        PlaceAddedEmiter(m_arrEmiters.back(), position, direction);
    }
}

void CParticlesEmiter::AddEmitersNamed(const CSVector4& position, const char* name) {
    AddEmiters(position, name, nullptr);
}

void CParticlesEmiter::AddEmitersAt(const CSVector4& position, const CSVector4* direction) {
    if (m_arrEmiters.size() < kAddedEmiterLimit) AddEmiters(position, nullptr, direction);
}

namespace {
// An arc in radians as 256ths of a turn, a negative one taken round first.
uint8_t Angle256FromArc(double arc) {
    if (arc < 0.0) arc += kTurnRadians;
    return static_cast<uint8_t>(static_cast<int32_t>(std::lround(arc * 256.0 / kTurnRadians)) & 0xff);
}
}  // namespace

void CParticlesEmiter::PlaceAddedEmiter(CEmiter& e, const CSVector4& position, const CSVector4* direction) {
    e.m_wFlags = static_cast<uint16_t>(e.m_wFlags | CEmiter::kChild);
    if (e.m_pEmiterParams == nullptr) return;
    CSVector4 origin = position;
    if ((m_wFlags & kHeightOffsets) != 0) {
        const bool looping = e.m_pEntry != nullptr && e.m_pEntry->RepeatMode == 2;
        origin.z += looping ? m_fLoopHeight : m_fHeight;
    }
    uint8_t angles[3] = {m_abAngles[0], m_abAngles[1], m_abAngles[2]};
    if (direction == nullptr || e.m_pEmiterParams->SourceKind != 1) {
        PlaceFirst(e, origin, angles, nullptr);
        return;
    }
    CSMatrix look;
    look.SetLookRotation(*direction, CSVector4(0.0f, 0.0f, 1.0f, 0.0f));
    // The look rotation holds the reversed direction in its third column: yaw and
    // pitch of the direction it faces.
    const float fx = -look.m[2], fy = -look.m[6], fz = -look.m[10];
    angles[0] = Angle256FromArc(std::atan2(static_cast<double>(fy), static_cast<double>(fx)));
    angles[1] = Angle256FromArc(std::atan2(static_cast<double>(fz), static_cast<double>(CSVector2(fx, fy).Length())));
    angles[2] = 0;
    PlaceFirst(e, origin, angles, &look);
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
