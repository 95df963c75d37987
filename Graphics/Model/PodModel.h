#pragma once
// Reader of ".pod" model files ("AB.POD.2.0"), read whole from memory into a
// CPodScene with an animation cache for node world and bone matrices.
//
// Counts, indices and offsets in the file are checked before use: a block
// beyond its count, a repeated count, a bad index or parent cycle, an
// animation or vertex array shorter than what the scene announces, an element
// size of 0 or a truncated file fails the read.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Maths/Matrix4.h"

class CToolResourceFile;

// Tag identifiers of the file.
enum PodTag : uint32_t {
    kPodFormatVersion = 1000,
    kPodScene = 1001,
    kPodExportOptions = 1002,
    kPodFileHistory = 1003,
    kPodEndiannessMismatch = 0xE8030000u,

    kPodSceneClearColour = 2000,
    kPodSceneAmbientColour = 2001,
    kPodSceneNumCamera = 2002,
    kPodSceneNumLight = 2003,
    kPodSceneNumMesh = 2004,
    kPodSceneNumNode = 2005,
    kPodSceneNumMeshNode = 2006,
    kPodSceneNumTexture = 2007,
    kPodSceneNumMaterial = 2008,
    kPodSceneNumFrame = 2009,
    kPodSceneCamera = 2010,
    kPodSceneLight = 2011,
    kPodSceneMesh = 2012,
    kPodSceneNode = 2013,
    kPodSceneTexture = 2014,
    kPodSceneMaterial = 2015,
    kPodSceneFlags = 2016,

    kPodMaterialName = 3000,
    kPodMaterialDiffuseTexture = 3001,
    kPodMaterialOpacity = 3002,
    kPodMaterialAmbientColour = 3003,
    kPodMaterialDiffuseColour = 3004,
    kPodMaterialSpecularColour = 3005,
    kPodMaterialShininess = 3006,
    kPodMaterialEffectFile = 3007,
    kPodMaterialEffectName = 3008,
    kPodMaterialAmbientTexture = 3009,  // then 3010 to 3017 in PodMaterial's texture order
    kPodMaterialBlendSrcRGB = 3018,
    kPodMaterialBlendSrcA = 3019,
    kPodMaterialBlendDstRGB = 3020,
    kPodMaterialBlendDstA = 3021,
    kPodMaterialBlendOpRGB = 3022,
    kPodMaterialBlendOpA = 3023,
    kPodMaterialBlendColour = 3024,
    kPodMaterialBlendFactor = 3025,
    kPodMaterialFlags = 3026,

    kPodTextureFilename = 4000,

    kPodNodeIndex = 5000,
    kPodNodeName = 5001,
    kPodNodeMaterialIndex = 5002,
    kPodNodeParentIndex = 5003,
    kPodNodePosition = 5004,
    kPodNodeRotation = 5005,
    kPodNodeScale = 5006,
    kPodNodeAnimationPosition = 5007,
    kPodNodeAnimationRotation = 5008,
    kPodNodeAnimationScale = 5009,
    kPodNodeMatrix = 5010,
    kPodNodeAnimationMatrix = 5011,
    kPodNodeAnimationFlags = 5012,
    kPodNodeAnimationPositionIndex = 5013,
    kPodNodeAnimationRotationIndex = 5014,
    kPodNodeAnimationScaleIndex = 5015,
    kPodNodeAnimationMatrixIndex = 5016,

    kPodMeshNumVertex = 6000,
    kPodMeshNumFaces = 6001,
    kPodMeshNumUVW = 6002,
    kPodMeshFaces = 6003,
    kPodMeshStripLength = 6004,
    kPodMeshNumStrips = 6005,
    kPodMeshVertex = 6006,
    kPodMeshNormals = 6007,
    kPodMeshTangents = 6008,
    kPodMeshBinormals = 6009,
    kPodMeshUVW = 6010,
    kPodMeshVertexColours = 6011,
    kPodMeshBoneIndex = 6012,
    kPodMeshBoneWeight = 6013,
    kPodMeshInterleaved = 6014,
    kPodMeshBoneBatches = 6015,
    kPodMeshBoneBatchBoneCounts = 6016,
    kPodMeshBoneBatchOffsets = 6017,
    kPodMeshBoneBatchBoneMax = 6018,
    kPodMeshBoneBatchCount = 6019,
    kPodMeshUnpackMatrix = 6020,

    kPodLightIndexTarget = 7000,
    kPodLightColour = 7001,
    kPodLightType = 7002,
    kPodLightConstantAttenuation = 7003,
    kPodLightLinearAttenuation = 7004,
    kPodLightQuadraticAttenuation = 7005,
    kPodLightFalloffAngle = 7006,
    kPodLightFalloffExponent = 7007,

    kPodCameraIndexTarget = 8000,
    kPodCameraFOV = 8001,
    kPodCameraFar = 8002,
    kPodCameraNear = 8003,
    kPodCameraAnimationFOV = 8004,

    kPodDataType = 9000,
    kPodDataComponents = 9001,
    kPodDataStride = 9002,
    kPodDataData = 9003,

    kPodEndTagMask = 0x80000000u,
};

// Element types of a data block.
enum PodDataType : uint32_t {
    kPodDataNone = 0,
    kPodDataFloat = 1,
    kPodDataInt = 2,
    kPodDataUnsignedShort = 3,
    kPodDataRGBA = 4,
    kPodDataARGB = 5,
    kPodDataD3DColor = 6,
    kPodDataUByte4 = 7,
    kPodDataDec3N = 8,
    kPodDataFixed16_16 = 9,
    kPodDataUnsignedByte = 10,
    kPodDataShort = 11,
    kPodDataShortNorm = 12,
    kPodDataByte = 13,
    kPodDataByteNorm = 14,
};

// Animation flags of a node.
enum PodAnimationFlag : uint32_t {
    kPodHasPositionAnimation = 0x1,
    kPodHasRotationAnimation = 0x2,
    kPodHasScaleAnimation = 0x4,
    kPodHasMatrixAnimation = 0x8,
};

// Bytes per element of a data type: 2, 1 or 4, and 0 for an unknown type.
uint32_t PodDataTypeSize(uint32_t type);

// One vertex attribute or the face indices. With interleaved vertex data the
// attribute has no bytes of its own: offset is its place inside one vertex of
// `stride` bytes.
struct PodData {
    uint32_t eType = kPodDataNone;
    uint32_t n = 0;  // components per element
    uint32_t nStride = 0;
    std::vector<uint8_t> data;
    uint32_t nOffset = 0;
    bool bInterleaved = false;
};

struct PodCamera {
    int32_t nIdxTarget = 0;
    float fFOV = 0.0f;
    float fFar = 0.0f;
    float fNear = 0.0f;
    std::vector<float> pfAnimFOV;
};

struct PodLight {
    int32_t nIdxTarget = 0;
    float pfColour[3] = {0.0f, 0.0f, 0.0f};
    uint32_t eType = 0;
    float fConstantAttenuation = 0.0f;
    float fLinearAttenuation = 0.0f;
    float fQuadraticAttenuation = 0.0f;
    float fFalloffAngle = 0.0f;
    float fFalloffExponent = 0.0f;
};

struct PodTexture {
    std::string name;
};

struct PodMaterial {
    std::string name;
    int32_t nIdxTexDiffuse = -1;
    float fMatOpacity = 0.0f;
    float pfMatAmbient[3] = {0.0f, 0.0f, 0.0f};
    float pfMatDiffuse[3] = {0.0f, 0.0f, 0.0f};
    float pfMatSpecular[3] = {0.0f, 0.0f, 0.0f};
    float fMatShininess = 0.0f;
    std::string effectFile;
    std::string effectName;
    int32_t nIdxTexAmbient = -1;
    int32_t nIdxTexSpecularColour = -1;
    int32_t nIdxTexSpecularLevel = -1;
    int32_t nIdxTexBump = -1;
    int32_t nIdxTexEmissive = -1;
    int32_t nIdxTexGlossiness = -1;
    int32_t nIdxTexOpacity = -1;
    int32_t nIdxTexReflection = -1;
    int32_t nIdxTexRefraction = -1;
    uint32_t eBlendSrcRGB = 1;
    uint32_t eBlendSrcA = 1;
    uint32_t eBlendDstRGB = 0;
    uint32_t eBlendDstA = 0;
    uint32_t eBlendOpRGB = 32774;
    uint32_t eBlendOpA = 32774;
    float pfBlendColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float pfBlendFactor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    uint32_t nFlags = 0;
};

struct PodNode {
    int32_t nIdx = 0;  // mesh index for the first mesh-node-count nodes, else a light or camera
    std::string name;
    int32_t nIdxMaterial = -1;
    int32_t nIdxParent = -1;
    uint32_t nAnimFlags = 0;
    std::vector<float> pfAnimPosition;  // 3 floats per frame
    std::vector<float> pfAnimRotation;  // quaternion x, y, z, w per frame
    std::vector<float> pfAnimScale;     // 7 floats per frame, scale x, y, z first
    std::vector<float> pfAnimMatrix;    // 16 floats per frame
    std::vector<uint32_t> pnAnimPositionIdx;
    std::vector<uint32_t> pnAnimRotationIdx;
    std::vector<uint32_t> pnAnimScaleIdx;
    std::vector<uint32_t> pnAnimMatrixIdx;
};

struct PodMesh {
    uint32_t nNumVertex = 0;
    uint32_t nNumFaces = 0;
    uint32_t nNumUVW = 0;
    PodData sFaces;
    std::vector<uint32_t> pnStripLength;  // triangles per strip
    uint32_t nNumStrips = 0;
    PodData sVertex;
    PodData sNormals;
    PodData sTangents;
    PodData sBinormals;
    std::vector<PodData> psUVW;
    PodData sVtxColours;
    PodData sBoneIdx;
    PodData sBoneWeight;
    std::vector<uint8_t> pInterleaved;
    // Bone batches: batch b uses bones pnBatches[b * nBatchBoneMax + j] for
    // j below pnBatchBoneCnt[b], and starts at face pnBatchOffset[b].
    std::vector<uint32_t> pnBatches;
    std::vector<uint32_t> pnBatchBoneCnt;
    std::vector<uint32_t> pnBatchOffset;
    uint32_t nBatchBoneMax = 0;
    uint32_t nBatchCnt = 0;
    uint32_t ePrimitiveType = 0;
    Matrix4 mUnpackMatrix;
};

// Number of indices of a mesh: 3 per face, or strip length + 2 per strip.
uint32_t PodMeshIndexCount(const PodMesh& mesh);
// First byte of attribute `data` of vertex 0: inside the interleaved data, or
// the attribute's own bytes; null when the attribute holds nothing.
const uint8_t* PodDataPointer(const PodMesh& mesh, const PodData& data);

struct PodAnimationCache {
    float fFrame = 0.0f;
    float fBlend = 0.0f;
    int32_t nFrame = 0;
    std::vector<float> pfCache;         // per node: frame of its cached world matrix
    std::vector<Matrix4> pWmCache;      // per node: cached world matrix
    std::vector<Matrix4> pWmZeroCache;  // per node: world matrix at frame 0
    bool bFromMemory = false;           // arrays belong to someone else; never set here
};

// A byte source: the reading steps are built on Read and Skip.
class CSource {
public:
    virtual ~CSource() = default;
    virtual bool Read(void* buffer, size_t n) = 0;
    virtual bool Skip(size_t n) = 0;

    bool Read32(uint32_t& value);
    bool ReadTag(uint32_t& name, uint32_t& length);
    // length / 4 (or / 2) elements; every element is attempted.
    bool ReadArray32(uint32_t* out, uint32_t count);
    bool ReadArray16(uint16_t* out, uint32_t count);
    bool ReadAfterAlloc(std::vector<uint8_t>& out, uint32_t length);
    bool ReadAfterAlloc16(std::vector<uint16_t>& out, uint32_t length);
    bool ReadAfterAlloc32(std::vector<uint32_t>& out, uint32_t length);
    bool ReadAfterAlloc32(std::vector<float>& out, uint32_t length);
    bool ReadAfterAlloc32(std::vector<int32_t>& out, uint32_t length);
};

// Reads from the caller's memory through a resource file.
class CSourceStream : public CSource {
public:
    CSourceStream();
    ~CSourceStream() override;
    bool Init(const void* data, size_t size);
    bool Read(void* buffer, size_t n) override;
    bool Skip(size_t n) override;
    size_t Remaining() const;

private:
    CToolResourceFile* file_;
    size_t position_;
};

class CPodScene {
public:
    CPodScene();
    ~CPodScene();
    CPodScene(const CPodScene&) = delete;
    CPodScene& operator=(const CPodScene&) = delete;

    // 0 on success, 1 on failure (the scene is then empty).
    int ReadFromMemory(const void* data, size_t size);
    void Destroy();

    // A frame below 0 counts as 0 and one past the last frame as the last one
    // when matrices are computed.
    void SetFrame(float frame);
    void GetWorldMatrix(Matrix4& out, uint32_t node);
    // world(mesh node) x inverse(world(bone node) at frame 0) x world(bone node) now.
    void GetBoneWorldMatrix(Matrix4& out, uint32_t meshNode, uint32_t boneNode);
    // Without the cache: local x parent's world, up the parent chain.
    void GetWorldMatrixNoCache(Matrix4& out, uint32_t node) const;

    float pfColourBackground[3];
    float pfColourAmbient[3];
    uint32_t nNumCamera;
    std::vector<PodCamera> pCamera;
    uint32_t nNumLight;
    std::vector<PodLight> pLight;
    uint32_t nNumMesh;
    std::vector<PodMesh> pMesh;
    uint32_t nNumNode;
    uint32_t nNumMeshNode;
    std::vector<PodNode> pNode;
    uint32_t nNumTexture;
    std::vector<PodTexture> pTexture;
    uint32_t nNumMaterial;
    std::vector<PodMaterial> pMaterial;
    uint32_t nNumFrame;
    uint32_t nFlags;
    std::unique_ptr<PodAnimationCache> pAnimCache;

private:
    void Clear();
    bool InitImpl();
    void LocalMatrix(Matrix4& out, const PodNode& node) const;
};
