#pragma once
// What the device's files share: the largest buffer, the cast from an interface
// to this library's own object, and binding with its references.
#include "platform/d3d9/common/DeviceBase.h"

namespace d3d9 {

inline constexpr UINT kMaxBufferBytes = 256u << 20;

template <class T, class I>
T* Ours(I* object) {
    return object == nullptr ? nullptr : dynamic_cast<T*>(object);
}

template <class T>
void DeviceBase::Bind(T*& slot, T* value) {
    if (value != nullptr) {
        value->AddRef();
    }
    if (slot != nullptr) {
        slot->Release();
    }
    slot = value;
}

}  // namespace d3d9
