#pragma once
// Registers an object as the service of its type while a check runs, unless
// one is registered already (then that one serves and is left alone).
#include "Core/Service.h"

namespace datacheck {

template <class T>
class ScopedService {
public:
    explicit ScopedService(T* object) : registered_(!Service<T>::Exists()) {
        if (registered_) Service<T>::Register(object);
    }
    ~ScopedService() {
        if (registered_) Service<T>::Unregister();
    }
    ScopedService(const ScopedService&) = delete;
    ScopedService& operator=(const ScopedService&) = delete;

private:
    const bool registered_;
};

}  // namespace datacheck
