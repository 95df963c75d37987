#pragma once

// What several level files reach for: the running battle, if any, a sound drawn from a
// list and the id a savegame stores for an object.

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "Classes/Battle/CDunmarchGame.h"
#include "Core/Service.h"
#include "Game/GameAudio.h"

inline CDunmarchGame* Battle() { return Service<CDunmarchGame>::Exists() ? Service<CDunmarchGame>::Get() : nullptr; }

// One of the sounds at random (std::rand, so that a replay draws the same one).
inline void PlayRandomSound(const std::vector<std::string>& sounds) {
    if (!sounds.empty()) PlaySound(sounds[static_cast<size_t>(std::rand()) % sounds.size()], true);
}

// The id saved for an object a record refers to: -1 when it is gone.
template <class T>
int32_t IdOf(const boost::weak_ptr<T>& object) {
    const boost::shared_ptr<T> locked = object.lock();
    return locked ? locked->GetId() : -1;
}
