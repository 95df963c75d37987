#pragma once
// The entity of one emitted-light slot (type 2); it has no host node and keeps the
// matrix it is placed with.
#include "particles/CSEntity.h"

class CSEntityLight : public CSEntity {
public:
    CSEntityLight() : CSEntity(kTypeLight, nullptr) {}
};
