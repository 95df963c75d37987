// Set-up of a running effect: its emitters from the effect's entries, the bound
// host and effect, the origin of world-space emitters and the host's queries.
#include "particles/CParticlesEmiter.h"

#include <cmath>

#include "particles/BoxFaceTable.h"
#include "particles/CEmiterParams.h"
#include "particles/CParticle.h"
#include "particles/CParticleEmiterParams.h"
#include "particles/CParticleParams.h"
#include "particles/CParticlesEmiterInternal.h"
#include "particles/CParticlesMesh.h"
#include "particles/CSEntity.h"
#include "particles/CSMatrix.h"
#include "particles/ParticleEffectCache.h"
#include "particles/ParticleHelpers.h"
#include "particles/ParticleHost.h"
#include "particles/ParticlePairs.h"
#include "particles/ParticleRandom.h"
#include "particles/ParticleStepRates.h"
#include "particles/ParticleTextureAnimation.h"

using namespace emiterinternal;

namespace {

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
