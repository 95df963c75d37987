#pragma once
// The entity of one model object named by a particle block (type 1); it has no host
// node and keeps the matrix it is placed with. It holds the model its name points at
// ("file" or "file?node") and the node whose mesh shows; each placement queues a draw
// of that at the placed matrix.
#include <boost/shared_ptr.hpp>

#include <cstdint>

#include "particles/CSEntity.h"

namespace Graphics {
class Model;
}

class CSEntityObject : public CSEntity {
public:
    CSEntityObject() : CSEntity(kTypeObject, nullptr) {}

    boost::shared_ptr<Graphics::Model> m_pModel;  // null: nothing shows
    int32_t m_nNode = -1;                         // -1: every mesh of the model
};

// The draws queued this frame: appended by the object pass, drawn by the scene draw
// before the particle batches, emptied at the frame's start.
void QueueParticleObjectDraw(const CSEntityObject& object, const float matrix[16]);
uint32_t GetQueuedParticleObjectCount();
void ClearParticleObjectDraws();
void DrawParticleObjects();
