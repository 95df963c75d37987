#pragma once
// The entity of one model object named by a particle block (type 1); it has no host
// node and keeps the matrix it is placed with.
#include "particles/CSEntity.h"

class CSEntityObject : public CSEntity {
public:
    CSEntityObject() : CSEntity(kTypeObject, nullptr) {}
};
