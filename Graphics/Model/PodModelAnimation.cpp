// A loaded scene at a frame: the animation cache, the frame and its blend, and
// the nodes' local and world matrices.
#include <algorithm>
#include <cstring>

#include "Graphics/Model/PodModel.h"
#include "Maths/Quaternion.h"
#include "Maths/Vector3.h"

bool CPodScene::InitImpl() {
    pAnimCache.reset(new PodAnimationCache);
    pAnimCache->pfCache.assign(nNumNode, 0.0f);
    pAnimCache->pWmCache.assign(nNumNode, Matrix4());
    pAnimCache->pWmZeroCache.assign(nNumNode, Matrix4());
    SetFrame(0.0f);
    for (uint32_t i = 0; i < nNumNode; ++i) GetWorldMatrixNoCache(pAnimCache->pWmZeroCache[i], i);
    pAnimCache->pWmCache = pAnimCache->pWmZeroCache;
    return true;
}

void CPodScene::SetFrame(float frame) {
    if (!pAnimCache) return;
    PodAnimationCache& c = *pAnimCache;
    c.fFrame = frame;
    if (nNumFrame == 0 || !(frame > 0.0f)) {
        // no frames, a negative frame or not a number
        c.nFrame = 0;
        c.fBlend = 0.0f;
    } else if (frame >= static_cast<float>(nNumFrame - 1)) {
        // the last frame has no next one to blend with
        c.nFrame = static_cast<int32_t>(nNumFrame - 1);
        c.fBlend = frame < static_cast<float>(nNumFrame) ? frame - static_cast<float>(c.nFrame) : 0.0f;
    } else {
        c.nFrame = static_cast<int32_t>(frame);
        c.fBlend = frame - static_cast<float>(c.nFrame);
    }
}

namespace {

// Start of frame f's values in a channel; f is already within the frames.
size_t ChannelOffset(const std::vector<uint32_t>& index, uint32_t f, uint32_t element) {
    return index.empty() ? size_t(f) * element : index[f];
}

}  // namespace

void CPodScene::LocalMatrix(Matrix4& out, const PodNode& node) const {
    const int32_t frame = pAnimCache ? pAnimCache->nFrame : 0;
    const float blend = pAnimCache ? pAnimCache->fBlend : 0.0f;
    const uint32_t last = nNumFrame > 0 ? nNumFrame - 1 : 0;
    const uint32_t f0 = std::min<uint32_t>(static_cast<uint32_t>(std::max(frame, 0)), last);
    const uint32_t f1 = std::min<uint32_t>(f0 + 1, last);

    if (!node.pfAnimMatrix.empty()) {
        const size_t offset =
            (node.nAnimFlags & kPodHasMatrixAnimation) ? ChannelOffset(node.pnAnimMatrixIdx, f0, 16) : 0;
        std::memcpy(out.m, &node.pfAnimMatrix[offset], sizeof out.m);
        return;
    }

    Matrix4 scale, rotation, translation;
    if (!node.pfAnimScale.empty()) {
        const float* s0 = node.pfAnimScale.data();
        Vector3 s(s0[0], s0[1], s0[2]);
        if (node.nAnimFlags & kPodHasScaleAnimation) {
            const float* a = &node.pfAnimScale[ChannelOffset(node.pnAnimScaleIdx, f0, 7)];
            const float* b = &node.pfAnimScale[ChannelOffset(node.pnAnimScaleIdx, f1, 7)];
            Vector3Lerp(s, Vector3(a[0], a[1], a[2]), Vector3(b[0], b[1], b[2]), blend);
        }
        scale = Matrix4::Scaling(s.x, s.y, s.z);
    }
    if (!node.pfAnimRotation.empty()) {
        const float* q0 = node.pfAnimRotation.data();
        Quaternion q(q0[0], q0[1], q0[2], q0[3]);
        if (node.nAnimFlags & kPodHasRotationAnimation) {
            const float* a = &node.pfAnimRotation[ChannelOffset(node.pnAnimRotationIdx, f0, 4)];
            const float* b = &node.pfAnimRotation[ChannelOffset(node.pnAnimRotationIdx, f1, 4)];
            Quaternion::Slerp(q, Quaternion(a[0], a[1], a[2], a[3]), Quaternion(b[0], b[1], b[2], b[3]), blend);
        }
        Quaternion::ToMatrix(rotation, q);
    }
    if (!node.pfAnimPosition.empty()) {
        const float* p0 = node.pfAnimPosition.data();
        Vector3 p(p0[0], p0[1], p0[2]);
        if (node.nAnimFlags & kPodHasPositionAnimation) {
            const float* a = &node.pfAnimPosition[ChannelOffset(node.pnAnimPositionIdx, f0, 3)];
            const float* b = &node.pfAnimPosition[ChannelOffset(node.pnAnimPositionIdx, f1, 3)];
            Vector3Lerp(p, Vector3(a[0], a[1], a[2]), Vector3(b[0], b[1], b[2]), blend);
        }
        translation = Matrix4::Translation(p.x, p.y, p.z);
    }
    Matrix4Multiply(out, scale, rotation);
    Matrix4Multiply(out, out, translation);
}

void CPodScene::GetWorldMatrixNoCache(Matrix4& out, uint32_t node) const {
    out = Matrix4();
    if (node >= nNumNode) return;
    // The parent chain is free of cycles (checked at load); walk it without recursion.
    LocalMatrix(out, pNode[node]);
    int32_t parent = pNode[node].nIdxParent;
    for (uint32_t steps = 0; parent >= 0 && steps < nNumNode; ++steps) {
        Matrix4 parentLocal;
        LocalMatrix(parentLocal, pNode[parent]);
        Matrix4Multiply(out, out, parentLocal);
        parent = pNode[parent].nIdxParent;
    }
}

void CPodScene::GetWorldMatrix(Matrix4& out, uint32_t node) {
    if (!pAnimCache || node >= nNumNode) {
        out = Matrix4();
        return;
    }
    PodAnimationCache& c = *pAnimCache;
    if (c.fFrame == 0.0f) {
        out = c.pWmZeroCache[node];
        return;
    }
    if (c.pfCache[node] != c.fFrame) {
        GetWorldMatrixNoCache(c.pWmCache[node], node);
        c.pfCache[node] = c.fFrame;
    }
    out = c.pWmCache[node];
}

void CPodScene::GetBoneWorldMatrix(Matrix4& out, uint32_t meshNode, uint32_t boneNode) {
    const float frame = pAnimCache ? pAnimCache->fFrame : 0.0f;
    SetFrame(0.0f);
    Matrix4 mesh, bone, inverse;
    GetWorldMatrix(mesh, meshNode);
    GetWorldMatrix(bone, boneNode);
    Matrix4AffineInverse(inverse, bone);
    Matrix4Multiply(out, mesh, inverse);
    SetFrame(frame);
    GetWorldMatrix(bone, boneNode);
    Matrix4Multiply(out, out, bone);
}
