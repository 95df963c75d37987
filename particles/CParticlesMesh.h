#pragma once
// A loaded effect: its settings block, its emitter blocks, particle blocks and emitter
// entries, and its bounding box. Effects are shared by every instance that shows them
// and counted by hand: a release to 0 does not delete the effect, it only restarts
// its idle age; the effect cache deletes unreferenced effects.
#include <cstdint>
#include <string>
#include <vector>

#include "particles/CEffectParams.h"
#include "particles/CEmiterParams.h"
#include "particles/CParticleEmiterParams.h"
#include "particles/CParticleParams.h"
#include "particles/CSString.h"
#include "particles/CSVector.h"

class CEmiter;
class CParticle;
class CParticlesEmiter;
class CSArchive;
class CSEntityObject;
class CSMaskImage;
class CSTexture;

class CParticlesMesh {
public:
    // Count 1, age 0, no blocks, the box (-5, -5, 0, 0)-(5, 5, 10, 0).
    CParticlesMesh();
    // Releases the linked effect, the mask image and every block (entries, particle
    // blocks, emitter blocks).
    virtual ~CParticlesMesh();
    CParticlesMesh(const CParticlesMesh&) = delete;
    CParticlesMesh& operator=(const CParticlesMesh&) = delete;

    int32_t AddRef() { return ++m_nRefCount; }
    // The new count; a release from 1 restarts the idle age. Never deletes.
    int32_t Release();
    int32_t GetRefCount() const { return m_nRefCount; }

    // Reads the named file (Read with the archive); false, the effect unchanged, when
    // the file cannot be opened or read.
    bool Load(const char* fileName, bool postProcess);
    // The whole file: version word (stored in the archive first), effect name, settings
    // block, emitter blocks, particle blocks, emitter entries and bounding box. Nothing
    // after the box is read. A float that is not finite is damage: such a file does not
    // read (curve points, which are dropped, excepted). A read that fails leaves the
    // effect as it was and returns false. With postProcess a read effect is then set up: the rescale, the mask entry
    // and the textures and models.
    bool Read(CSArchive& archive, bool postProcess = false);
    // Only the head of the named file: the version word, the effect name and the
    // first four settings fields (the flag of format version 4, rescalable, width
    // and height). The blocks stay as they are. False, the effect unchanged, when the
    // file cannot be opened or ends before them.
    bool ReadHeader(const char* fileName);

    // A deep copy: a new effect (count 1, age 0, in no cache: the caller deletes it)
    // with copies of the settings and of every block, sharing the textures, the
    // image entries and the mask image.
    CParticlesMesh* Clone() const;

    // Whether a point on the screen, relative to the effect's top-left corner, hits
    // the effect: with a mask image, its bit under the point (the screen rectangle
    // mapped onto the image rectangle); without, the effect's width and height.
    bool HitTest(int32_t x, int32_t y) const;

    // What a particle block draws with: its render kind, its texture names and the
    // frames of its sheet. False for a block index out of range.
    struct SpriteInfo {
        int32_t kind = 0;
        size_t textures = 0;  // names in the block; one per frame when two or more
        bool wholeTexture = false;
        int32_t columns = 0, rows = 0, firstFrame = 0, lastFrame = 0;
    };
    bool GetSpriteInfo(int32_t block, SpriteInfo& info) const;

    bool IsRescalable() const { return m_EffectParams.Rescalable != 0; }
    void GetBoundingBox(CSVector4& minimum, CSVector4& maximum) const {
        minimum = m_vBoxMin;
        maximum = m_vBoxMax;
    }
    const CSString& GetEffectName() const { return m_astrNames[1]; }

    // The index of the first entry whose name (field 1) equals `name`, letter case
    // ignored; -1 when there is none. A null name compares as "".
    int32_t FindEmitterEntry(const char* name) const;
    // FindEmitterEntry (name), or -1 when the found entry leads back to `asking`: when
    // it is the asking entry, or when following the links of entries that emit through
    // other entries reaches the asking entry or closes a loop.
    int32_t FindLinkedEmitter(const CParticleEmiterParams* asking, const char* name) const;

    // Multiplies what the blocks give as rescaled by x (horizontal) or y (vertical):
    // sizes and values, and every key and constant of the rescaled rows.
    void Rescale(float x, float y);

    // The mask entry: the first entry with trigger flag 1 whose blocks exist and whose
    // particle block names a texture takes its first texture as the effect's mask image
    // and is removed, with its particle block when no other entry uses it (later
    // particle block indices then shift down by one).
    void SetUpMaskEntry();
    // The image-emitter point lists of the emitter blocks, then per particle block its
    // model object (render kind 0) or its sprite textures, "XXXDefault.bmp" when it
    // names none. What does not load is kept as null.
    void SetUpTextures();
    // LoadParticleTexture.
    CSTexture* LoadTexture(const char* name);
    // A new object entity, without scene node, for a model reference "file" or
    // "file?node"; the reference is not kept.
    CSEntityObject* CreateObjectEntity(const char* modelName);

    // ---- drawing (the running effect's particles as quads of the vertex batches) ----
    // The effect frame, then every emitter in its frame, each particle through the
    // detail level, counted and handed to the path of its render kind. The matrix
    // stack is left at the depth it had. False.
    static bool Draw(CParticlesEmiter& effect);
    // Kinds 1, 2, 3 and 7 (and 8 with its rows off); false when the particle is
    // skipped for its alpha.
    static bool DrawSpriteParticle(CParticlesEmiter& effect, CEmiter& emitter, CParticle& particle,
                                   const CParticleParams& block, const CSVector4& modulation);
    static bool DrawMotionAlignedParticle(CParticlesEmiter& effect, CEmiter& emitter, CParticle& particle,
                                          const CParticleParams& block, const CSVector4& modulation);
    static bool DrawHiddenParticle(CParticlesEmiter& effect, CEmiter& emitter, CParticle& particle,
                                   const CParticleParams& block, const CSVector4& modulation);
    // The texture and the UV corners (top-left, bottom-left, top-right, bottom-right)
    // of the particle's frame; `next` closes a chain segment (kind 5), or null.
    static void ComputeQuadUVs(const CParticle& particle, const CParticle* next, const CParticleParams& block,
                               float uvs[8], CSTexture*& texture);
    // One chain segment: a ribbon (one quad, two when crossed) or a mitred trail.
    // False when nothing was handed over.
    static bool DrawRibbonSegment(CParticlesEmiter& effect, CEmiter& emitter, CParticle& start, CParticle& end,
                                  const CParticleParams& block, bool firstSegment, const CSVector4& modulation);
    static bool DrawTrailSegment(CParticlesEmiter& effect, CEmiter& emitter, CParticle& start, CParticle& end,
                                 CParticle* following, const CParticleParams& block, bool firstSegment,
                                 const CSVector4& modulation);
    // A band on the screen from the origin of the emitter's frame to the particle,
    // turned towards `anchor`.
    static bool DrawBeamParticle(const CSVector4& anchor, CParticlesEmiter& effect, CEmiter& emitter,
                                 CParticle& particle, const CParticleParams& block, const CSVector4& modulation);
    // With a null effect nothing; for a space-2 block that follows the ground, the
    // current matrix's z becomes the host's ground at (x, y + yOffset).
    static void SnapToGround(const CParticlesEmiter* effect, const CParticleParams& block, float yOffset);

    // ---- update-time passes ----
    // Places the model objects of the render kind 0 particles. False.
    static bool PlaceObjectParticles(CParticlesEmiter& effect);
    static bool PlaceObjectParticle(CParticlesEmiter& effect, CEmiter& emitter, CParticle& particle,
                                    const CParticleParams& block);
    // One light for every emitter that gives one this frame.
    static void EmitLights(CParticlesEmiter* effect);
    static void EmitLight(CParticlesEmiter& effect, CEmiter& emitter, const CEmiterParams& block);

    int32_t m_nRefCount = 1;
    int32_t m_nAge = 0;       // cache sweeps spent unreferenced
    CSString m_strFileName;   // the name the effect is cached under
    CSString m_astrNames[4];  // [1] is the name the effect file gives itself
    std::vector<CEmiterParams*> m_arrEmiterParams;
    std::vector<CParticleParams*> m_arrParticleParams;
    std::vector<CParticleEmiterParams*> m_arrEntries;
    CSVector4 m_vBoxMin;
    CSVector4 m_vBoxMax;
    CSMaskImage* m_pMaskImage = nullptr;  // counted
    int32_t m_anMaskRect[8] = {};         // screen and image rectangles of the mask
    CEffectParams m_EffectParams;
    CParticlesMesh* m_pLinkedEffect = nullptr;  // counted; nothing sets it
};

// A particle texture by name: a leading "textures\" or "textures/" (letter case
// ignored) is dropped, the rest loads through the world texture loader (CSTexture::Load).
CSTexture* LoadParticleTexture(const char* name);

// Whether the file LoadParticleTexture would load for the name exists; false without
// a world texture loader.
bool ParticleTextureFileExists(const char* name);

// "file?node": the node is the text after the last "?", the file the text before it.
// Without "?" the file is the whole reference and `node` stays as it was.
void SplitModelName(const char* reference, std::string& file, std::string& node);

// The display scale rescalable effects are multiplied by after loading: 1.0 on both
// axes, and nothing changes it.
struct ParticleDisplayScale {
    float x;
    float y;
};
const ParticleDisplayScale& GetParticleDisplayScale();
