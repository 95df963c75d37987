// The POD reader: the scene's tagged blocks, the checks of what they refer to,
// 16.16 fixed point and the byte source. The loaded scene's frames and node
// matrices are in PodModelAnimation.cpp.
#include "Graphics/Model/PodModel.h"

#include <algorithm>
#include <cstring>

#include "Graphics/Model/ToolDebugOutput.h"
#include "Graphics/Model/ToolResourceFile.h"

namespace {

const char kPodFormatVersionText[] = "AB.POD.2.0";  // stored with its NUL: 11 bytes
const float kFixedToFloat = 0.0000152587890625f;    // 2^-16

uint32_t EndTag(uint32_t block) { return block | kPodEndTagMask; }

// A leaf of fixed size: the tag's length must be exactly that size.
bool ReadFixed(CSource& src, uint32_t length, void* out, size_t size) { return length == size && src.Read(out, size); }

bool ReadU32(CSource& src, uint32_t length, uint32_t& out) { return ReadFixed(src, length, &out, sizeof out); }

bool ReadI32(CSource& src, uint32_t length, int32_t& out) { return ReadFixed(src, length, &out, sizeof out); }

bool ReadF32(CSource& src, uint32_t length, float& out) { return ReadFixed(src, length, &out, sizeof out); }

// A text stored with its NUL; anything after the first NUL is dropped.
bool ReadString(CSource& src, uint32_t length, std::string& out) {
    std::vector<uint8_t> bytes;
    if (!src.ReadAfterAlloc(bytes, length)) return false;
    const std::vector<uint8_t>::const_iterator end = std::find(bytes.begin(), bytes.end(), uint8_t(0));
    out.assign(bytes.cbegin(), end);
    return true;
}

// A count may be given once. A count of blocks to come cannot exceed what the
// rest of the file can hold (a block takes at least its two tags, 16 bytes),
// so a forged count allocates nothing.
bool ReadCount(CSource& src, uint32_t length, uint32_t& count, bool& seen, bool countsBlocks = true) {
    if (seen) return false;
    seen = true;
    if (!ReadU32(src, length, count)) return false;
    const CSourceStream* stream = dynamic_cast<const CSourceStream*>(&src);
    return !countsBlocks || !stream || count <= stream->Remaining() / 16;
}

bool ReadData(CSource& src, uint32_t block, PodData& data, bool alwaysReadData, bool meshInterleaved) {
    data = PodData();
    for (;;) {
        uint32_t name, length;
        if (!src.ReadTag(name, length)) return false;
        if (name == EndTag(block)) return true;
        switch (name) {
            case kPodDataType:
                if (!ReadU32(src, length, data.eType)) return false;
                break;
            case kPodDataComponents:
                if (!ReadU32(src, length, data.n)) return false;
                break;
            case kPodDataStride:
                if (!ReadU32(src, length, data.nStride)) return false;
                break;
            case kPodDataData:
                if (alwaysReadData || !meshInterleaved) {
                    const uint32_t size = PodDataTypeSize(data.eType);
                    if (size == 0 || length % size != 0) return false;
                    if (!src.ReadAfterAlloc(data.data, length)) return false;
                    data.bInterleaved = false;
                } else {
                    if (!ReadU32(src, length, data.nOffset)) return false;
                    data.bInterleaved = true;
                }
                break;
            default:
                if (!src.Skip(length)) return false;
        }
    }
}

bool ReadCamera(CSource& src, PodCamera& camera) {
    for (;;) {
        uint32_t name, length;
        if (!src.ReadTag(name, length)) return false;
        if (name == EndTag(kPodSceneCamera)) return true;
        bool ok = true;
        switch (name) {
            case kPodCameraIndexTarget: ok = ReadI32(src, length, camera.nIdxTarget); break;
            case kPodCameraFOV: ok = ReadF32(src, length, camera.fFOV); break;
            case kPodCameraFar: ok = ReadF32(src, length, camera.fFar); break;
            case kPodCameraNear: ok = ReadF32(src, length, camera.fNear); break;
            case kPodCameraAnimationFOV: ok = src.ReadAfterAlloc32(camera.pfAnimFOV, length); break;
            default: ok = src.Skip(length);
        }
        if (!ok) return false;
    }
}

bool ReadLight(CSource& src, PodLight& light) {
    for (;;) {
        uint32_t name, length;
        if (!src.ReadTag(name, length)) return false;
        if (name == EndTag(kPodSceneLight)) return true;
        bool ok = true;
        switch (name) {
            case kPodLightIndexTarget: ok = ReadI32(src, length, light.nIdxTarget); break;
            case kPodLightColour: ok = ReadFixed(src, length, light.pfColour, sizeof light.pfColour); break;
            case kPodLightType: ok = ReadU32(src, length, light.eType); break;
            case kPodLightConstantAttenuation: ok = ReadF32(src, length, light.fConstantAttenuation); break;
            case kPodLightLinearAttenuation: ok = ReadF32(src, length, light.fLinearAttenuation); break;
            case kPodLightQuadraticAttenuation: ok = ReadF32(src, length, light.fQuadraticAttenuation); break;
            case kPodLightFalloffAngle: ok = ReadF32(src, length, light.fFalloffAngle); break;
            case kPodLightFalloffExponent: ok = ReadF32(src, length, light.fFalloffExponent); break;
            default: ok = src.Skip(length);
        }
        if (!ok) return false;
    }
}

bool ReadTexture(CSource& src, PodTexture& texture) {
    for (;;) {
        uint32_t name, length;
        if (!src.ReadTag(name, length)) return false;
        if (name == EndTag(kPodSceneTexture)) return true;
        const bool ok = name == kPodTextureFilename ? ReadString(src, length, texture.name) : src.Skip(length);
        if (!ok) return false;
    }
}

bool ReadMaterial(CSource& src, PodMaterial& m) {
    int32_t* const textureSlots[] = {&m.nIdxTexAmbient, &m.nIdxTexSpecularColour, &m.nIdxTexSpecularLevel,
                                     &m.nIdxTexBump,    &m.nIdxTexEmissive,       &m.nIdxTexGlossiness,
                                     &m.nIdxTexOpacity, &m.nIdxTexReflection,     &m.nIdxTexRefraction};
    for (;;) {
        uint32_t name, length;
        if (!src.ReadTag(name, length)) return false;
        if (name == EndTag(kPodSceneMaterial)) return true;
        bool ok = true;
        if (name >= kPodMaterialAmbientTexture && name < kPodMaterialAmbientTexture + 9) {
            ok = ReadI32(src, length, *textureSlots[name - kPodMaterialAmbientTexture]);
        } else {
            switch (name) {
                case kPodMaterialName: ok = ReadString(src, length, m.name); break;
                case kPodMaterialDiffuseTexture: ok = ReadI32(src, length, m.nIdxTexDiffuse); break;
                case kPodMaterialOpacity: ok = ReadF32(src, length, m.fMatOpacity); break;
                case kPodMaterialAmbientColour:
                    ok = ReadFixed(src, length, m.pfMatAmbient, sizeof m.pfMatAmbient);
                    break;
                case kPodMaterialDiffuseColour:
                    ok = ReadFixed(src, length, m.pfMatDiffuse, sizeof m.pfMatDiffuse);
                    break;
                case kPodMaterialSpecularColour:
                    ok = ReadFixed(src, length, m.pfMatSpecular, sizeof m.pfMatSpecular);
                    break;
                case kPodMaterialShininess: ok = ReadF32(src, length, m.fMatShininess); break;
                case kPodMaterialEffectFile: ok = ReadString(src, length, m.effectFile); break;
                case kPodMaterialEffectName: ok = ReadString(src, length, m.effectName); break;
                case kPodMaterialBlendSrcRGB: ok = ReadU32(src, length, m.eBlendSrcRGB); break;
                case kPodMaterialBlendSrcA: ok = ReadU32(src, length, m.eBlendSrcA); break;
                case kPodMaterialBlendDstRGB: ok = ReadU32(src, length, m.eBlendDstRGB); break;
                case kPodMaterialBlendDstA: ok = ReadU32(src, length, m.eBlendDstA); break;
                case kPodMaterialBlendOpRGB: ok = ReadU32(src, length, m.eBlendOpRGB); break;
                case kPodMaterialBlendOpA: ok = ReadU32(src, length, m.eBlendOpA); break;
                case kPodMaterialBlendColour:
                    ok = ReadFixed(src, length, m.pfBlendColour, sizeof m.pfBlendColour);
                    break;
                case kPodMaterialBlendFactor:
                    ok = ReadFixed(src, length, m.pfBlendFactor, sizeof m.pfBlendFactor);
                    break;
                case kPodMaterialFlags: ok = ReadU32(src, length, m.nFlags); break;
                default: ok = src.Skip(length);
            }
        }
        if (!ok) return false;
    }
}

bool ReadNode(CSource& src, PodNode& node) {
    bool oldLayout = false;
    float position[3] = {0.0f, 0.0f, 0.0f};
    float rotation[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float scale[7] = {1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    for (;;) {
        uint32_t name, length;
        if (!src.ReadTag(name, length)) return false;
        if (name == EndTag(kPodSceneNode)) break;
        bool ok = true;
        switch (name) {
            case kPodNodeIndex: ok = ReadI32(src, length, node.nIdx); break;
            case kPodNodeName: ok = ReadString(src, length, node.name); break;
            case kPodNodeMaterialIndex: ok = ReadI32(src, length, node.nIdxMaterial); break;
            case kPodNodeParentIndex: ok = ReadI32(src, length, node.nIdxParent); break;
            case kPodNodePosition:
                oldLayout = true;
                ok = ReadFixed(src, length, position, sizeof position);
                break;
            case kPodNodeRotation:
                oldLayout = true;
                ok = ReadFixed(src, length, rotation, sizeof rotation);
                break;
            case kPodNodeScale:
                oldLayout = true;
                ok = ReadFixed(src, length, scale, 3 * sizeof(float));
                break;
            case kPodNodeAnimationPosition: ok = src.ReadAfterAlloc32(node.pfAnimPosition, length); break;
            case kPodNodeAnimationRotation: ok = src.ReadAfterAlloc32(node.pfAnimRotation, length); break;
            case kPodNodeAnimationScale: ok = src.ReadAfterAlloc32(node.pfAnimScale, length); break;
            case kPodNodeAnimationMatrix: ok = src.ReadAfterAlloc32(node.pfAnimMatrix, length); break;
            case kPodNodeAnimationFlags: ok = ReadU32(src, length, node.nAnimFlags); break;
            case kPodNodeAnimationPositionIndex: ok = src.ReadAfterAlloc32(node.pnAnimPositionIdx, length); break;
            case kPodNodeAnimationRotationIndex: ok = src.ReadAfterAlloc32(node.pnAnimRotationIdx, length); break;
            case kPodNodeAnimationScaleIndex: ok = src.ReadAfterAlloc32(node.pnAnimScaleIdx, length); break;
            case kPodNodeAnimationMatrixIndex: ok = src.ReadAfterAlloc32(node.pnAnimMatrixIdx, length); break;
            default: ok = src.Skip(length);  // 5010 included
        }
        if (!ok) return false;
    }
    if (oldLayout) {
        // The older layout: present arrays are animated, absent ones take the still value.
        if (!node.pfAnimPosition.empty()) node.nAnimFlags |= kPodHasPositionAnimation;
        else node.pfAnimPosition.assign(position, position + 3);
        if (!node.pfAnimRotation.empty()) node.nAnimFlags |= kPodHasRotationAnimation;
        else node.pfAnimRotation.assign(rotation, rotation + 4);
        if (!node.pfAnimScale.empty()) node.nAnimFlags |= kPodHasScaleAnimation;
        else node.pfAnimScale.assign(scale, scale + 7);
    }
    return true;
}

bool ReadMesh(CSource& src, PodMesh& mesh) {
    bool uvwCountSeen = false;
    uint32_t uvwRead = 0;
    for (;;) {
        uint32_t name, length;
        if (!src.ReadTag(name, length)) return false;
        if (name == EndTag(kPodSceneMesh)) break;
        const bool interleaved = !mesh.pInterleaved.empty();
        bool ok = true;
        switch (name) {
            case kPodMeshNumVertex: ok = ReadU32(src, length, mesh.nNumVertex); break;
            case kPodMeshNumFaces: ok = ReadU32(src, length, mesh.nNumFaces); break;
            case kPodMeshNumUVW:
                ok = ReadCount(src, length, mesh.nNumUVW, uvwCountSeen);
                if (ok) mesh.psUVW.assign(mesh.nNumUVW, PodData());
                break;
            case kPodMeshFaces: ok = ReadData(src, name, mesh.sFaces, true, interleaved); break;
            case kPodMeshStripLength: ok = src.ReadAfterAlloc32(mesh.pnStripLength, length); break;
            case kPodMeshNumStrips: ok = ReadU32(src, length, mesh.nNumStrips); break;
            case kPodMeshVertex: ok = ReadData(src, name, mesh.sVertex, false, interleaved); break;
            case kPodMeshNormals: ok = ReadData(src, name, mesh.sNormals, false, interleaved); break;
            case kPodMeshTangents: ok = ReadData(src, name, mesh.sTangents, false, interleaved); break;
            case kPodMeshBinormals: ok = ReadData(src, name, mesh.sBinormals, false, interleaved); break;
            case kPodMeshUVW:
                // A channel beyond the announced count (or before it) has no place.
                if (uvwRead >= mesh.psUVW.size()) return false;
                ok = ReadData(src, name, mesh.psUVW[uvwRead++], false, interleaved);
                break;
            case kPodMeshVertexColours: ok = ReadData(src, name, mesh.sVtxColours, false, interleaved); break;
            case kPodMeshBoneIndex: ok = ReadData(src, name, mesh.sBoneIdx, false, interleaved); break;
            case kPodMeshBoneWeight: ok = ReadData(src, name, mesh.sBoneWeight, false, interleaved); break;
            case kPodMeshInterleaved: ok = src.ReadAfterAlloc(mesh.pInterleaved, length); break;
            case kPodMeshBoneBatches: ok = src.ReadAfterAlloc32(mesh.pnBatches, length); break;
            case kPodMeshBoneBatchBoneCounts: ok = src.ReadAfterAlloc32(mesh.pnBatchBoneCnt, length); break;
            case kPodMeshBoneBatchOffsets: ok = src.ReadAfterAlloc32(mesh.pnBatchOffset, length); break;
            case kPodMeshBoneBatchBoneMax: ok = ReadU32(src, length, mesh.nBatchBoneMax); break;
            case kPodMeshBoneBatchCount: ok = ReadU32(src, length, mesh.nBatchCnt); break;
            case kPodMeshUnpackMatrix:
                ok = ReadFixed(src, length, mesh.mUnpackMatrix.m, sizeof mesh.mUnpackMatrix.m);
                break;
            default: ok = src.Skip(length);
        }
        if (!ok) return false;
    }
    // Little-endian host: the interleaved data is used as read.
    return uvwRead == mesh.nNumUVW;
}

struct SceneCounts {
    bool seen[7] = {false, false, false, false, false, false, false};
    uint32_t read[6] = {0, 0, 0, 0, 0, 0};  // cameras, lights, meshes, nodes, textures, materials
};

bool ReadScene(CSource& src, CPodScene& s) {
    SceneCounts c;
    bool meshNodeSeen = false, framesSeen = false, flagsSeen = false;
    for (;;) {
        uint32_t name, length;
        if (!src.ReadTag(name, length)) return false;
        if (name == EndTag(kPodScene)) break;
        bool ok = true;
        switch (name) {
            case kPodSceneClearColour:
                ok = ReadFixed(src, length, s.pfColourBackground, sizeof s.pfColourBackground);
                break;
            case kPodSceneAmbientColour:
                ok = ReadFixed(src, length, s.pfColourAmbient, sizeof s.pfColourAmbient);
                break;
            case kPodSceneNumCamera:
                ok = ReadCount(src, length, s.nNumCamera, c.seen[0]) &&
                     (s.pCamera.assign(s.nNumCamera, PodCamera()), true);
                break;
            case kPodSceneNumLight:
                ok = ReadCount(src, length, s.nNumLight, c.seen[1]) && (s.pLight.assign(s.nNumLight, PodLight()), true);
                break;
            case kPodSceneNumMesh:
                ok = ReadCount(src, length, s.nNumMesh, c.seen[2]) && (s.pMesh.assign(s.nNumMesh, PodMesh()), true);
                break;
            case kPodSceneNumNode:
                ok = ReadCount(src, length, s.nNumNode, c.seen[3]) && (s.pNode.assign(s.nNumNode, PodNode()), true);
                break;
            case kPodSceneNumTexture:
                ok = ReadCount(src, length, s.nNumTexture, c.seen[4]) &&
                     (s.pTexture.assign(s.nNumTexture, PodTexture()), true);
                break;
            case kPodSceneNumMaterial:
                ok = ReadCount(src, length, s.nNumMaterial, c.seen[5]) &&
                     (s.pMaterial.assign(s.nNumMaterial, PodMaterial()), true);
                break;
            case kPodSceneNumMeshNode: ok = ReadCount(src, length, s.nNumMeshNode, meshNodeSeen, false); break;
            case kPodSceneNumFrame: ok = ReadCount(src, length, s.nNumFrame, framesSeen, false); break;
            case kPodSceneFlags: ok = ReadCount(src, length, s.nFlags, flagsSeen, false); break;
            case kPodSceneCamera: ok = c.read[0] < s.pCamera.size() && ReadCamera(src, s.pCamera[c.read[0]++]); break;
            case kPodSceneLight: ok = c.read[1] < s.pLight.size() && ReadLight(src, s.pLight[c.read[1]++]); break;
            case kPodSceneMesh: ok = c.read[2] < s.pMesh.size() && ReadMesh(src, s.pMesh[c.read[2]++]); break;
            case kPodSceneNode: ok = c.read[3] < s.pNode.size() && ReadNode(src, s.pNode[c.read[3]++]); break;
            case kPodSceneTexture:
                ok = c.read[4] < s.pTexture.size() && ReadTexture(src, s.pTexture[c.read[4]++]);
                break;
            case kPodSceneMaterial:
                ok = c.read[5] < s.pMaterial.size() && ReadMaterial(src, s.pMaterial[c.read[5]++]);
                break;
            default: ok = src.Skip(length);
        }
        if (!ok) return false;
    }
    return c.read[0] == s.nNumCamera && c.read[1] == s.nNumLight && c.read[2] == s.nNumMesh &&
           c.read[3] == s.nNumNode && c.read[4] == s.nNumTexture && c.read[5] == s.nNumMaterial;
}

// ---- checks of what the file refers to ----

bool IndexOk(int32_t index, uint32_t count) {
    return index == -1 || (index >= 0 && static_cast<uint32_t>(index) < count);
}

// An animation channel must hold every frame it will be asked for.
bool ChannelOk(const std::vector<float>& data, const std::vector<uint32_t>& index, bool animated, uint32_t element,
               uint32_t frames) {
    if (data.empty()) return !animated;
    const uint64_t needed = animated ? std::max<uint32_t>(frames, 1) : 1;
    if (!index.empty()) {
        if (animated && index.size() < needed) return false;
        for (uint32_t offset : index)
            if (uint64_t(offset) + element > data.size()) return false;
    }
    // Without an index array frame f starts at f x element; a still channel uses the first group.
    if ((index.empty() || !animated) && data.size() < needed * element) return false;
    return true;
}

bool NodesOk(const CPodScene& s) {
    if (s.nNumMeshNode > s.nNumNode) return false;
    for (uint32_t i = 0; i < s.nNumNode; ++i) {
        const PodNode& node = s.pNode[i];
        if (!IndexOk(node.nIdxParent, s.nNumNode) || !IndexOk(node.nIdxMaterial, s.nNumMaterial)) return false;
        if (i < s.nNumMeshNode && (node.nIdx < 0 || static_cast<uint32_t>(node.nIdx) >= s.nNumMesh)) return false;
        // Walking up must reach a root within node-count steps.
        int32_t parent = node.nIdxParent;
        for (uint32_t steps = 0; parent != -1; ++steps) {
            if (steps >= s.nNumNode) return false;
            parent = s.pNode[parent].nIdxParent;
        }
        const uint32_t f = node.nAnimFlags;
        if (!ChannelOk(node.pfAnimPosition, node.pnAnimPositionIdx, f & kPodHasPositionAnimation, 3, s.nNumFrame) ||
            !ChannelOk(node.pfAnimRotation, node.pnAnimRotationIdx, f & kPodHasRotationAnimation, 4, s.nNumFrame) ||
            !ChannelOk(node.pfAnimScale, node.pnAnimScaleIdx, f & kPodHasScaleAnimation, 7, s.nNumFrame) ||
            !ChannelOk(node.pfAnimMatrix, node.pnAnimMatrixIdx, f & kPodHasMatrixAnimation, 16, s.nNumFrame))
            return false;
    }
    return true;
}

bool MaterialsOk(const CPodScene& s) {
    for (const PodMaterial& m : s.pMaterial) {
        const int32_t indices[] = {m.nIdxTexDiffuse,       m.nIdxTexAmbient, m.nIdxTexSpecularColour,
                                   m.nIdxTexSpecularLevel, m.nIdxTexBump,    m.nIdxTexEmissive,
                                   m.nIdxTexGlossiness,    m.nIdxTexOpacity, m.nIdxTexReflection,
                                   m.nIdxTexRefraction};
        for (int32_t index : indices)
            if (!IndexOk(index, s.nNumTexture)) return false;
    }
    return true;
}

bool AttributeOk(const PodMesh& mesh, const PodData& d) {
    if (d.n == 0 && d.data.empty() && !d.bInterleaved) return true;
    const uint64_t element = uint64_t(PodDataTypeSize(d.eType)) * d.n;
    if (d.bInterleaved) {
        if (d.nStride == 0 || d.nOffset + element > d.nStride) return false;
        return uint64_t(mesh.nNumVertex) * d.nStride <= mesh.pInterleaved.size();
    }
    if (d.data.empty()) return true;  // no data of its own: nothing to read
    const uint64_t stride = std::max<uint64_t>(d.nStride, element);
    return mesh.nNumVertex == 0 || uint64_t(mesh.nNumVertex - 1) * stride + element <= d.data.size();
}

bool MeshOk(const CPodScene& s, const PodMesh& mesh) {
    if (mesh.nNumStrips != 0 && mesh.pnStripLength.size() < mesh.nNumStrips) return false;
    uint64_t indexCount = 0;
    if (mesh.nNumStrips == 0) {
        indexCount = uint64_t(mesh.nNumFaces) * 3;
    } else {
        for (uint32_t i = 0; i < mesh.nNumStrips; ++i) indexCount += uint64_t(mesh.pnStripLength[i]) + 2;
    }
    if (indexCount > 0xFFFFFFFFu) return false;
    if (!mesh.sFaces.data.empty()) {
        const uint32_t size = PodDataTypeSize(mesh.sFaces.eType);
        if (indexCount * size > mesh.sFaces.data.size()) return false;
        if (size == 2) {
            for (uint64_t i = 0; i < indexCount; ++i) {
                uint16_t index;
                std::memcpy(&index, mesh.sFaces.data.data() + 2 * i, 2);
                if (index >= mesh.nNumVertex) return false;
            }
        }
    }
    const PodData* attributes[] = {&mesh.sVertex,     &mesh.sNormals, &mesh.sTangents,  &mesh.sBinormals,
                                   &mesh.sVtxColours, &mesh.sBoneIdx, &mesh.sBoneWeight};
    for (const PodData* d : attributes)
        if (!AttributeOk(mesh, *d)) return false;
    for (const PodData& d : mesh.psUVW)
        if (!AttributeOk(mesh, d)) return false;
    if (mesh.nBatchCnt > 0) {
        if (mesh.pnBatchBoneCnt.size() < mesh.nBatchCnt || mesh.pnBatchOffset.size() < mesh.nBatchCnt ||
            mesh.pnBatches.size() < uint64_t(mesh.nBatchCnt) * mesh.nBatchBoneMax)
            return false;
        for (uint32_t b = 0; b < mesh.nBatchCnt; ++b) {
            if (mesh.pnBatchBoneCnt[b] > mesh.nBatchBoneMax || mesh.pnBatchOffset[b] > mesh.nNumFaces) return false;
            if (b > 0 && mesh.pnBatchOffset[b] < mesh.pnBatchOffset[b - 1]) return false;
            for (uint32_t j = 0; j < mesh.pnBatchBoneCnt[b]; ++j)
                if (mesh.pnBatches[size_t(b) * mesh.nBatchBoneMax + j] >= s.nNumNode) return false;
        }
    }
    return true;
}

bool SceneOk(const CPodScene& s) {
    if (!NodesOk(s) || !MaterialsOk(s)) return false;
    for (const PodMesh& mesh : s.pMesh)
        if (!MeshOk(s, mesh)) return false;
    return true;
}

// ---- 16.16 fixed point ----

void FromFixed(float* values, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        int32_t fixed;
        std::memcpy(&fixed, &values[i], sizeof fixed);
        values[i] = static_cast<float>(fixed) * kFixedToFloat;
    }
}

void FromFixed(std::vector<float>& values) { FromFixed(values.data(), values.size()); }

void PodToggleFixedPoint(CPodScene& s) {
    for (PodCamera& c : s.pCamera) {
        FromFixed(&c.fFOV, 1);
        FromFixed(&c.fFar, 1);
        FromFixed(&c.fNear, 1);
        FromFixed(c.pfAnimFOV);
    }
    for (PodLight& l : s.pLight) {
        FromFixed(l.pfColour, 3);
        FromFixed(&l.fConstantAttenuation, 1);
        FromFixed(&l.fLinearAttenuation, 1);
        FromFixed(&l.fQuadraticAttenuation, 1);
        FromFixed(&l.fFalloffAngle, 1);
        FromFixed(&l.fFalloffExponent, 1);
    }
    for (PodNode& n : s.pNode) {
        FromFixed(n.pfAnimPosition);
        FromFixed(n.pfAnimRotation);
        FromFixed(n.pfAnimScale);
        FromFixed(n.pfAnimMatrix);
    }
    for (PodMaterial& m : s.pMaterial) {
        FromFixed(&m.fMatOpacity, 1);
        FromFixed(m.pfMatAmbient, 3);
        FromFixed(m.pfMatDiffuse, 3);
        FromFixed(m.pfMatSpecular, 3);
        FromFixed(&m.fMatShininess, 1);
    }
    for (PodMesh& mesh : s.pMesh) FromFixed(mesh.mUnpackMatrix.m, 16);
    FromFixed(s.pfColourBackground, 3);
    FromFixed(s.pfColourAmbient, 3);
}

}  // namespace

uint32_t PodDataTypeSize(uint32_t type) {
    switch (type) {
        case kPodDataUnsignedShort:
        case kPodDataShort:
        case kPodDataShortNorm: return 2;
        case kPodDataUnsignedByte:
        case kPodDataByte:
        case kPodDataByteNorm: return 1;
        default: return type >= 1 && type <= 14 ? 4 : 0;
    }
}

uint32_t PodMeshIndexCount(const PodMesh& mesh) {
    if (mesh.nNumStrips == 0) return mesh.nNumFaces * 3;
    uint32_t count = 0;
    for (uint32_t i = 0; i < mesh.nNumStrips && i < mesh.pnStripLength.size(); ++i) count += mesh.pnStripLength[i] + 2;
    return count;
}

const uint8_t* PodDataPointer(const PodMesh& mesh, const PodData& data) {
    if (data.bInterleaved) return mesh.pInterleaved.empty() ? nullptr : mesh.pInterleaved.data() + data.nOffset;
    return data.data.empty() ? nullptr : data.data.data();
}

// ---- CSource ----

bool CSource::Read32(uint32_t& value) { return Read(&value, sizeof value); }

bool CSource::ReadTag(uint32_t& name, uint32_t& length) { return Read32(name) && Read32(length); }

bool CSource::ReadArray32(uint32_t* out, uint32_t count) {
    bool ok = true;
    for (uint32_t i = 0; i < count; ++i) ok = Read32(out[i]) && ok;
    return ok;
}

bool CSource::ReadArray16(uint16_t* out, uint32_t count) {
    bool ok = true;
    for (uint32_t i = 0; i < count; ++i) ok = Read(&out[i], sizeof out[i]) && ok;
    return ok;
}

bool CSource::ReadAfterAlloc(std::vector<uint8_t>& out, uint32_t length) {
    out.clear();
    // A source that cannot hold the bytes fails before anything is allocated.
    const CSourceStream* stream = dynamic_cast<const CSourceStream*>(this);
    if (stream && length > stream->Remaining()) return false;
    out.resize(length);
    return length == 0 || Read(out.data(), length);
}

bool CSource::ReadAfterAlloc16(std::vector<uint16_t>& out, uint32_t length) {
    out.clear();
    if (length % 2 != 0) return false;
    std::vector<uint8_t> bytes;
    if (!ReadAfterAlloc(bytes, length)) return false;
    out.resize(length / 2);
    if (length) std::memcpy(out.data(), bytes.data(), length);
    return true;
}

namespace {
template <typename T>
bool ReadAfterAlloc4(CSource& src, std::vector<T>& out, uint32_t length) {
    static_assert(sizeof(T) == 4, "32-bit elements");
    out.clear();
    if (length % 4 != 0) return false;
    std::vector<uint8_t> bytes;
    if (!src.ReadAfterAlloc(bytes, length)) return false;
    out.resize(length / 4);
    if (length) std::memcpy(out.data(), bytes.data(), length);
    return true;
}
}  // namespace

bool CSource::ReadAfterAlloc32(std::vector<uint32_t>& out, uint32_t length) {
    return ReadAfterAlloc4(*this, out, length);
}

bool CSource::ReadAfterAlloc32(std::vector<float>& out, uint32_t length) { return ReadAfterAlloc4(*this, out, length); }

bool CSource::ReadAfterAlloc32(std::vector<int32_t>& out, uint32_t length) {
    return ReadAfterAlloc4(*this, out, length);
}

CSourceStream::CSourceStream() : file_(nullptr), position_(0) {}

CSourceStream::~CSourceStream() { delete file_; }

bool CSourceStream::Init(const void* data, size_t size) {
    delete file_;
    file_ = new CToolResourceFile(data, size);
    position_ = 0;
    return file_->IsOpen();
}

size_t CSourceStream::Remaining() const { return file_ ? file_->Size() - position_ : 0; }

bool CSourceStream::Read(void* buffer, size_t n) {
    if (!file_ || n > Remaining()) return false;
    if (n) std::memcpy(buffer, static_cast<const char*>(file_->DataPtr()) + position_, n);
    position_ += n;
    return true;
}

bool CSourceStream::Skip(size_t n) {
    if (!file_ || n > Remaining()) return false;
    position_ += n;
    return true;
}

// ---- CPodScene ----

CPodScene::CPodScene() { Clear(); }

CPodScene::~CPodScene() { Destroy(); }

void CPodScene::Clear() {
    std::fill(pfColourBackground, pfColourBackground + 3, 0.0f);
    std::fill(pfColourAmbient, pfColourAmbient + 3, 0.0f);
    nNumCamera = nNumLight = nNumMesh = nNumNode = nNumMeshNode = nNumTexture = nNumMaterial = 0;
    nNumFrame = nFlags = 0;
    pCamera.clear();
    pLight.clear();
    pMesh.clear();
    pNode.clear();
    pTexture.clear();
    pMaterial.clear();
    pAnimCache.reset();
}

void CPodScene::Destroy() {
    // The arrays are always this scene's own (the cache never flags them as foreign).
    Clear();
}

int CPodScene::ReadFromMemory(const void* data, size_t size) {
    CSourceStream src;
    if (data == nullptr || !src.Init(data, size)) return 1;
    Destroy();

    bool versionOk = false, sceneRead = false;
    uint32_t name, length;
    while (src.Remaining() > 0) {
        if (!src.ReadTag(name, length)) {
            Destroy();
            return 1;  // a tag cut short
        }
        bool ok = true;
        switch (name) {
            case kPodFormatVersion: {
                char text[sizeof kPodFormatVersionText];
                ok = length == sizeof text && src.Read(text, sizeof text) &&
                     std::memcmp(text, kPodFormatVersionText, sizeof text) == 0;
                versionOk = ok;
                break;
            }
            case kPodScene:
                ok = !sceneRead && ReadScene(src, *this);
                sceneRead = ok;
                break;
            case kPodEndiannessMismatch:
                ToolDebugOutput("Error: Endianness mismatch between the .pod file and the platform.\n");
                ok = false;
                break;
            default: ok = src.Skip(length);
        }
        if (!ok) {
            Destroy();
            return 1;
        }
    }

    if (nFlags & 1) {
        PodToggleFixedPoint(*this);
        nFlags &= ~1u;
    }
    if (!versionOk || !sceneRead || !SceneOk(*this) || !InitImpl()) {
        Destroy();
        return 1;
    }
    return 0;
}
