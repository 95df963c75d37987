#include "particles/CSRefBase.h"

int32_t CSRefBase::Release() {
    const int32_t count = --m_nRefCount;
    if (count == 0) delete this;
    return count;
}
