#include "particles/CSEntity.h"

#include "SceneGraph/Node.h"

namespace {

// The two node matrix copies handed out by the queries.
CSMatrix g_PositionMatrix;
CSMatrix g_NodeMatrix;

CSMatrix FromMatrix4(const Matrix4& from) {
    CSMatrix to;
    for (int i = 0; i < 16; ++i) to.m[i] = from.m[i];
    return to;
}

}  // namespace

CSEntity::~CSEntity() { m_pHostNode = nullptr; }

const CSMatrix& CSEntity::GetPositionMatrix() const {
    const CSMatrix world = m_pHostNode != nullptr ? FromMatrix4(m_pHostNode->GetWorldMatrix()) : m_mPlacement;
    g_PositionMatrix = CSMatrix();
    g_PositionMatrix.SetRow(3, world.Row(3));
    return g_PositionMatrix;
}

const CSMatrix& CSEntity::GetNodeMatrix() const {
    g_NodeMatrix = m_pHostNode != nullptr ? FromMatrix4(m_pHostNode->GetLocalMatrix()) : m_mPlacement;
    return g_NodeMatrix;
}

void CSEntity::SetNodeMatrix(const float m[16]) {
    if (m_pHostNode == nullptr) {
        for (int i = 0; i < 16; ++i) m_mPlacement.m[i] = m[i];
        return;
    }
    Matrix4 local;
    for (int i = 0; i < 16; ++i) local.m[i] = m[i];
    m_pHostNode->SetLocalMatrix(local);
    m_pHostNode->SetDirty();
}
