#include "particles/CSParamTrack.h"

#include "particles/CSArchive.h"

namespace {
// Keys, then the constant flag byte and the constant.
const uint64_t kKeyBytes = 4;
const uint64_t kTailBytes = 5;
}  // namespace

bool CSParamTrack::Read(CSArchive& archive) {
    m_arrKeys.Free();
    uint32_t count = 0, ignored = 0;
    if (!archive.ReadCount(count, kKeyBytes, kTailBytes + 4) || !archive.ReadUInt32(ignored)) return false;
    if (count != 0) {
        m_arrKeys.ResizeZeroed(count);
        for (uint32_t i = 0; i < count; ++i) archive.ReadFloat(m_arrKeys[i]);
    }
    archive.ReadByte(m_bConstant);
    archive.ReadFloat(m_fConstant);
    return archive.IsGood();
}

float CSParamTrack::KeyAt(int32_t index) const {
    const uint32_t count = m_arrKeys.GetCount();
    if (count == 0) return 0.0f;
    if (index < 0) return m_arrKeys[0];
    if (static_cast<uint32_t>(index) >= count) return m_arrKeys[count - 1];
    return m_arrKeys[static_cast<uint32_t>(index)];
}
