#include "particles/CParticlesMesh.h"

#include <cstddef>
#include <cstring>
#include <strings.h>
#include <utility>

#include "particles/CSArchive.h"
#include "particles/CSCachedTexture.h"
#include "particles/CSEntityObject.h"
#include "particles/CSMaskImage.h"
#include "particles/CSTexture.h"

namespace {

// What a sprite block without texture names draws with.
const char kDefaultParticleTexture[] = "XXXDefault.bmp";

// Every list element is at least this many bytes in the file, so no count can ask
// for more blocks than the bytes left hold.
const uint64_t kSmallestBlock = 4;

template <class Block>
void ReleaseAll(std::vector<Block*>& blocks) {
    for (Block* block : blocks) block->Release();
    blocks.clear();
}

// A count, then that many blocks, each new and read in turn.
template <class Block>
bool ReadBlocks(CSArchive& archive, std::vector<Block*>& blocks) {
    uint32_t count = 0;
    if (!archive.ReadCount(count, kSmallestBlock, 0)) return false;
    blocks.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        blocks.push_back(new Block());
        if (!blocks.back()->Read(archive)) return false;
    }
    return true;
}

// The version word (stored in the archive before anything else is read) and the
// effect name.
void ReadVersionAndName(CSArchive& archive, CSString& name) {
    uint32_t versionWord = 0;
    archive.ReadUInt32(versionWord);
    archive.SetVersionWord(versionWord);
    archive.ReadString(name);
}

template <class Block>
void CloneAll(const std::vector<Block*>& from, std::vector<Block*>& to) {
    to.reserve(from.size());
    for (const Block* block : from) to.push_back(block->Clone());
}

// The name without a leading "textures\" or "textures/" (letter case ignored).
const char* WithoutTexturesFolder(const char* name) {
    if (name == nullptr) return "";
    const size_t prefix = 9;  // "textures" and its separator
    if (strncasecmp(name, "textures", prefix - 1) == 0 && (name[prefix - 1] == '\\' || name[prefix - 1] == '/'))
        return name + prefix;
    return name;
}

void ScaleRows(CSParamTrack* tracks, int first, int last, float factor) {
    for (int row = first; row <= last; ++row) {
        CSParamTrack& track = tracks[row];
        for (uint32_t i = 0; i < track.m_arrKeys.GetCount(); ++i) track.m_arrKeys[i] *= factor;
        track.m_fConstant *= factor;
    }
}

// Rows 0 and 1 (x) by the horizontal factor, rows 2 to 5 (y and z) by the vertical.
void ScalePositionRows(CSParamTrack* tracks, float x, float y) {
    ScaleRows(tracks, 0, 1, x);
    ScaleRows(tracks, 2, 5, y);
}

}  // namespace

CParticlesMesh::CParticlesMesh() : m_vBoxMin(-5.0f, -5.0f, 0.0f, 0.0f), m_vBoxMax(5.0f, 5.0f, 10.0f, 0.0f) {}

CParticlesMesh::~CParticlesMesh() {
    if (m_pLinkedEffect != nullptr) m_pLinkedEffect->Release();
    if (m_pMaskImage != nullptr) m_pMaskImage->Release();
    ReleaseAll(m_arrEntries);
    ReleaseAll(m_arrParticleParams);
    ReleaseAll(m_arrEmiterParams);
}

int32_t CParticlesMesh::Release() {
    if (m_nRefCount == 1) m_nAge = 0;
    return --m_nRefCount;
}

bool CParticlesMesh::Load(const char* fileName, bool postProcess) {
    CSArchive archive(fileName != nullptr ? fileName : "");
    if (!archive.HasFile()) return false;
    return Read(archive, postProcess);
}

bool CParticlesMesh::Read(CSArchive& archive, bool postProcess) {
    archive.RefuseNonFiniteFloats();
    CSString name;
    ReadVersionAndName(archive, name);
    CEffectParams settings;
    std::vector<CEmiterParams*> emiters;
    std::vector<CParticleParams*> particles;
    std::vector<CParticleEmiterParams*> entries;
    CSVector4 boxMin, boxMax;
    const bool read = settings.Read(archive) && ReadBlocks(archive, emiters) && ReadBlocks(archive, particles) &&
                      ReadBlocks(archive, entries) && archive.ReadVector4(boxMin) && archive.ReadVector4(boxMax) &&
                      archive.IsGood();
    if (!read) {
        ReleaseAll(entries);
        ReleaseAll(particles);
        ReleaseAll(emiters);
        return false;
    }
    m_astrNames[1] = std::move(name);
    m_EffectParams = std::move(settings);
    ReleaseAll(m_arrEntries);
    ReleaseAll(m_arrParticleParams);
    ReleaseAll(m_arrEmiterParams);
    m_arrEmiterParams.swap(emiters);
    m_arrParticleParams.swap(particles);
    m_arrEntries.swap(entries);
    m_vBoxMin = boxMin;
    m_vBoxMax = boxMax;
    if (postProcess) {
        if (IsRescalable()) {
            const ParticleDisplayScale& scale = GetParticleDisplayScale();
            Rescale(scale.x, scale.y);
        }
        SetUpMaskEntry();
        SetUpTextures();
    }
    return true;
}

bool CParticlesMesh::ReadHeader(const char* fileName) {
    CSArchive archive(fileName != nullptr ? fileName : "");
    if (!archive.HasFile()) return false;
    CSString name;
    ReadVersionAndName(archive, name);
    CEffectParams head;
    if (!head.ReadHeader(archive)) return false;
    m_astrNames[1] = std::move(name);
    m_EffectParams.FirstFlag = head.FirstFlag;
    m_EffectParams.Rescalable = head.Rescalable;
    m_EffectParams.Width = head.Width;
    m_EffectParams.Height = head.Height;
    return true;
}

bool CParticlesMesh::HitTest(int32_t x, int32_t y) const {
    if (m_pMaskImage == nullptr) return x >= 0 && y >= 0 && x < m_EffectParams.Width && y < m_EffectParams.Height;
    const int32_t* screen = m_anMaskRect;
    const int32_t* image = m_anMaskRect + 4;
    const int64_t screenWidth = int64_t(screen[2]) - screen[0], screenHeight = int64_t(screen[3]) - screen[1];
    if (screenWidth <= 0 || screenHeight <= 0 || x < screen[0] || y < screen[1] || x >= screen[2] || y >= screen[3])
        return false;
    const int64_t u = image[0] + (int64_t(x) - screen[0]) * (int64_t(image[2]) - image[0]) / screenWidth;
    const int64_t v = image[1] + (int64_t(y) - screen[1]) * (int64_t(image[3]) - image[1]) / screenHeight;
    return m_pMaskImage->TestBit(static_cast<int32_t>(u), static_cast<int32_t>(v));
}

bool CParticlesMesh::GetSpriteInfo(int32_t block, SpriteInfo& info) const {
    if (block < 0 || static_cast<size_t>(block) >= m_arrParticleParams.size()) return false;
    const CParticleParams& p = *m_arrParticleParams[static_cast<size_t>(block)];
    info.kind = p.ParticleKind;
    info.textures = p.TextureNames.size();
    info.wholeTexture = p.WholeTexture == 1;
    info.columns = p.SheetColumns;
    info.rows = p.AtlasRows;
    info.firstFrame = p.FirstFrame;
    info.lastFrame = p.LastFrame;
    return true;
}

CParticlesMesh* CParticlesMesh::Clone() const {
    CParticlesMesh* copy = new CParticlesMesh();
    copy->m_strFileName = m_strFileName;
    for (int i = 0; i < 4; ++i) copy->m_astrNames[i] = m_astrNames[i];
    CloneAll(m_arrEmiterParams, copy->m_arrEmiterParams);
    CloneAll(m_arrParticleParams, copy->m_arrParticleParams);
    CloneAll(m_arrEntries, copy->m_arrEntries);
    copy->m_vBoxMin = m_vBoxMin;
    copy->m_vBoxMax = m_vBoxMax;
    copy->m_pMaskImage = m_pMaskImage;
    if (m_pMaskImage != nullptr) ++m_pMaskImage->m_nRefCount;
    std::memcpy(copy->m_anMaskRect, m_anMaskRect, sizeof m_anMaskRect);
    copy->m_EffectParams = CEffectParams(m_EffectParams);
    copy->m_pLinkedEffect = m_pLinkedEffect;
    if (m_pLinkedEffect != nullptr) m_pLinkedEffect->AddRef();
    return copy;
}

void CParticlesMesh::SetUpMaskEntry() {
    size_t index = 0;
    while (index < m_arrEntries.size() && m_arrEntries[index]->TriggerA == 0) ++index;
    if (index == m_arrEntries.size()) return;
    CParticleEmiterParams* entry = m_arrEntries[index];
    const int32_t particle = entry->ParticleIndex;
    if (particle < 0 || static_cast<size_t>(particle) >= m_arrParticleParams.size() || entry->EmiterIndex < 0 ||
        static_cast<size_t>(entry->EmiterIndex) >= m_arrEmiterParams.size() ||
        m_arrParticleParams[particle]->TextureNames.empty())
        return;

    CSMaskImage* mask = GetMaskImage(m_arrParticleParams[particle]->TextureNames[0].c_str());
    if (m_pMaskImage != nullptr) m_pMaskImage->Release();
    m_pMaskImage = mask;
    if (mask != nullptr) {
        // Only the hit test reads the rectangles: the effect's size on screen and the
        // whole image.
        const int32_t rect[8] = {0, 0, m_EffectParams.Width, m_EffectParams.Height,
                                 0, 0, mask->m_nWidth,       mask->m_nHeight};
        std::memcpy(m_anMaskRect, rect, sizeof rect);
    }

    m_arrEntries.erase(m_arrEntries.begin() + static_cast<std::ptrdiff_t>(index));
    entry->Release();
    for (const CParticleEmiterParams* other : m_arrEntries) {
        if (other->ParticleIndex == particle) return;
    }
    m_arrParticleParams[particle]->Release();
    m_arrParticleParams.erase(m_arrParticleParams.begin() + particle);
    for (CParticleEmiterParams* other : m_arrEntries) {
        if (other->ParticleIndex >= particle) --other->ParticleIndex;
    }
}

void CParticlesMesh::SetUpTextures() {
    for (CEmiterParams* emiter : m_arrEmiterParams) {
        if (emiter->EmitShape != CEmiterParams::kShapeRectangle || emiter->ImageName.IsEmpty()) continue;
        CSCachedTexture* image =
            GetCachedTexture(emiter->ImageName.c_str(), emiter->ImageFlag1 != 0, emiter->MaskColors != 0);
        if (emiter->MaskImage != nullptr) emiter->MaskImage->Release();
        emiter->MaskImage = image;
    }
    for (CParticleParams* particle : m_arrParticleParams) {
        if (particle->ParticleKind == 0 && particle->ObjectList.IsEmpty())
            particle->ObjectList.Append(CreateObjectEntity(particle->ModelName.c_str()));
        if (!particle->ObjectList.IsEmpty()) continue;
        // A second set-up of the block replaces what the first one loaded.
        for (uint32_t i = 0; i < particle->TextureList.GetCount(); ++i) {
            if (particle->TextureList[i] != nullptr) particle->TextureList[i]->Release();
        }
        particle->TextureList.ResizeZeroed(static_cast<uint32_t>(particle->TextureNames.size()));
        for (uint32_t i = 0; i < particle->TextureList.GetCount(); ++i)
            particle->TextureList[i] = LoadTexture(particle->TextureNames[i].c_str());
        if (particle->TextureList.IsEmpty()) particle->TextureList.Append(LoadTexture(kDefaultParticleTexture));
    }
}

CSTexture* CParticlesMesh::LoadTexture(const char* name) { return LoadParticleTexture(name); }

int32_t CParticlesMesh::FindEmitterEntry(const char* name) const {
    for (size_t i = 0; i < m_arrEntries.size(); ++i) {
        if (m_arrEntries[i]->Name.EqualsNoCase(name)) return static_cast<int32_t>(i);
    }
    return -1;
}

int32_t CParticlesMesh::FindLinkedEmitter(const CParticleEmiterParams* asking, const char* name) const {
    const int32_t found = FindEmitterEntry(name);
    if (found < 0) return -1;

    // Depth first from the found entry. An entry whose links were all followed without
    // reaching the asking entry or the current path is done: reaching it again from
    // another entry cannot find anything new, so diamonds are walked once.
    enum State : uint8_t { kUnseen, kOnPath, kDone };
    std::vector<uint8_t> state(m_arrEntries.size(), kUnseen);
    struct Step {
        int32_t entry;
        size_t nextLink;
    };
    std::vector<Step> path;
    auto enter = [&](int32_t index) {
        if (m_arrEntries[index] == asking || state[index] == kOnPath) return false;
        if (state[index] == kUnseen) {
            state[index] = kOnPath;
            path.push_back(Step{index, 0});
        }
        return true;
    };
    if (!enter(found)) return -1;
    while (!path.empty()) {
        Step& step = path.back();
        const CParticleEmiterParams* entry = m_arrEntries[step.entry];
        if (entry->EmitsEmitters == 0 || step.nextLink >= entry->ChildNames.size()) {
            state[step.entry] = kDone;
            path.pop_back();
            continue;
        }
        const int32_t next = FindEmitterEntry(entry->ChildNames[step.nextLink++].c_str());
        if (next >= 0 && !enter(next)) return -1;
    }
    return found;
}

void CParticlesMesh::Rescale(float x, float y) {
    ScalePositionRows(m_EffectParams.Tracks, x, y);
    for (CEmiterParams* emiter : m_arrEmiterParams) {
        emiter->SphereRadius *= x;
        emiter->EmitterValue6 *= x;
        emiter->EmitterValue7 *= y;
        emiter->EmitterValue8 *= y;
        emiter->EmitterValue9 *= x;
        emiter->EmitterValue10 *= y;
        ScalePositionRows(emiter->Tracks, x, y);
        if (emiter->EmitShape == CEmiterParams::kShapeBox) {
            ScaleRows(emiter->Tracks, CEmiterParams::ShapeSizeX, CEmiterParams::ShapeSizeXVar, x);
            ScaleRows(emiter->Tracks, CEmiterParams::ShapeSizeY, CEmiterParams::ShapeSizeZVar, y);
        } else if (emiter->EmitShape == CEmiterParams::kShapeRectangle) {
            ScaleRows(emiter->Tracks, CEmiterParams::ShapeSizeX, CEmiterParams::ShapeSizeXVar, x);
            ScaleRows(emiter->Tracks, CEmiterParams::ShapeSizeY, CEmiterParams::ShapeSizeYVar, y);
        }
    }
    for (CParticleParams* particle : m_arrParticleParams) {
        particle->Width *= x;
        particle->Height *= y;
        particle->FlatHeight *= x;
        particle->CentreOffsetX *= x;
        particle->CentreOffsetY *= y;
        particle->StripWidth *= x;
        particle->Gravity *= x;
        particle->StartSpeed *= x;
        particle->Jitter *= x;
        particle->ExtraVelocityX *= x;
        particle->ExtraVelocityY *= y;
        particle->ExtraVelocityZ *= y;
        ScalePositionRows(particle->Tracks, x, y);
    }
}

CSTexture* LoadParticleTexture(const char* name) { return CSTexture::Load(WithoutTexturesFolder(name)); }

bool ParticleTextureFileExists(const char* name) { return CSTexture::FileExists(WithoutTexturesFolder(name)); }

void SplitModelName(const char* reference, std::string& file, std::string& node) {
    const std::string text = reference != nullptr ? reference : "";
    const size_t mark = text.rfind('?');
    if (mark == std::string::npos) {
        file = text;
        return;
    }
    file = text.substr(0, mark);
    node = text.substr(mark + 1);
}

const ParticleDisplayScale& GetParticleDisplayScale() {
    static const ParticleDisplayScale scale = {1.0f, 1.0f};
    return scale;
}
