#pragma once
// An empty trait base of the engine's resource classes: the shared pointer
// through which a resource of type T is always held.
#include <boost/shared_ptr.hpp>

namespace Patterns {

template <class T>
struct pointer_traits {
    typedef boost::shared_ptr<T> pointer;
};

}  // namespace Patterns
