#include "particles/CSArchive.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "IO/File.h"
#include "particles/CSParamCurve.h"
#include "particles/CSParamTrack.h"

namespace {
// Smallest encodings: a string is its length word, a curve point five words.
const uint64_t kStringBytes = 4;
const uint64_t kPointBytes = 20;
}  // namespace

int32_t ParticleEffectVersion(uint32_t versionWord) {
    return static_cast<int32_t>(((versionWord >> 16) & 255) * 256 + (versionWord >> 24));
}

CSArchive::CSArchive(const char* fileName) : m_pFile(IO::File::OpenRead(fileName != nullptr ? fileName : "")) {
    if (m_pFile == nullptr) return;
    const long size = m_pFile->GetSize();
    // A file whose size cannot be measured cannot be checked against: nothing reads.
    if (size < 0) m_bFailed = true;
    else m_nSize = static_cast<uint64_t>(size);
}

CSArchive::~CSArchive() = default;

bool CSArchive::Fail() {
    m_bFailed = true;
    return false;
}

bool CSArchive::ReadBytes(void* buffer, size_t n) {
    if (!IsGood() || n > GetBytesLeft()) {
        std::memset(buffer, 0, n);
        return Fail();
    }
    const size_t got = n > 0 ? m_pFile->Read(buffer, n) : 0;
    m_nPosition += got;
    if (got == n) return true;
    std::memset(static_cast<uint8_t*>(buffer) + got, 0, n - got);
    return Fail();
}

bool CSArchive::ReadUInt32(uint32_t& value) {
    uint8_t b[4];
    const bool ok = ReadBytes(b, sizeof b);
    value = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
            static_cast<uint32_t>(b[3]) << 24;
    return ok;
}

bool CSArchive::ReadInt32(int32_t& value) {
    uint32_t word;
    const bool ok = ReadUInt32(word);
    value = static_cast<int32_t>(word);
    return ok;
}

bool CSArchive::ReadFloatBits(float& value) {
    uint32_t word;
    const bool ok = ReadUInt32(word);
    std::memcpy(&value, &word, sizeof value);
    return ok;
}

bool CSArchive::ReadFloat(float& value) {
    if (!ReadFloatBits(value)) return false;
    if (!m_bFiniteFloatsOnly || std::isfinite(value)) return true;
    value = 0.0f;
    return Fail();
}

bool CSArchive::ReadBool32(uint8_t& value) {
    uint32_t word;
    const bool ok = ReadUInt32(word);
    value = word != 0 ? 1 : 0;
    return ok;
}

bool CSArchive::ReadByte(uint8_t& value) { return ReadBytes(&value, 1); }

bool CSArchive::ReadUInt16(uint16_t& value) {
    uint8_t b[2];
    const bool ok = ReadBytes(b, sizeof b);
    value = static_cast<uint16_t>(b[0] | b[1] << 8);
    return ok;
}

bool CSArchive::ReadInt16(int16_t& value) {
    uint16_t word;
    const bool ok = ReadUInt16(word);
    value = static_cast<int16_t>(word);
    return ok;
}

CSArchive& CSArchive::ReadBytes3(uint8_t out[3]) {
    for (int i = 0; i < 3; ++i) ReadByte(out[i]);
    return *this;
}

bool CSArchive::ReadCount(uint32_t& count, uint64_t bytesEach, uint64_t bytesAfter) {
    if (!ReadUInt32(count)) return false;
    const uint64_t left = GetBytesLeft();
    if (bytesAfter > left || static_cast<uint64_t>(count) * bytesEach > left - bytesAfter) {
        count = 0;
        return Fail();
    }
    return true;
}

bool CSArchive::ReadString(CSString& string) {
    uint32_t length = 0;
    if (!ReadCount(length, 1, 0) || length >= static_cast<uint32_t>(INT32_MAX)) {
        string.Free();
        return Fail();
    }
    if (length == 0) {
        string.Free();
        return true;
    }
    char* buffer = static_cast<char*>(std::calloc(static_cast<size_t>(length) + 1, 1));
    if (buffer == nullptr) std::abort();
    const bool ok = ReadBytes(buffer, length);
    string.Adopt(buffer, static_cast<int32_t>(length));
    return ok;
}

bool CSArchive::ReadStringList(CSStringList& list) {
    list.clear();
    uint32_t count = 0, ignored = 0;
    if (!ReadCount(count, kStringBytes, 4) || !ReadUInt32(ignored)) return false;
    list.resize(count);
    for (CSString& string : list) {
        if (!ReadString(string)) return false;
    }
    return true;
}

bool CSArchive::ReadVector4(CSVector4& vector) {
    ReadFloat(vector.x);
    ReadFloat(vector.y);
    ReadFloat(vector.z);
    return ReadFloat(vector.w);
}

bool CSArchive::ReadCurve(CSParamCurve& curve) {
    curve.m_arrPoints.Free();
    uint32_t count = 0, ignored = 0;
    if (!ReadCount(count, kPointBytes, 4 + kStringBytes) || !ReadUInt32(ignored)) return false;
    if (count != 0) {
        curve.m_arrPoints.ResizeZeroed(count);
        for (uint32_t i = 0; i < count; ++i) {
            CSCurvePoint& point = curve.m_arrPoints[i];
            // Dropped unused by the row reader: taken as they stand.
            ReadFloatBits(point.m_fTime);
            ReadFloatBits(point.m_fValue);
            ReadFloatBits(point.m_fShape1);
            ReadFloatBits(point.m_fShape2);
            ReadUInt32(point.m_nFifth);
        }
    }
    return ReadString(curve.m_strName);
}

bool CSArchive::ReadRows(CSParamCurve* curves, CSParamTrack* tracks, int count) {
    for (int i = 0; i < count; ++i) {
        if (!ReadCurve(curves[i])) return false;
        curves[i].m_arrPoints.Free();
    }
    for (int i = 0; i < count; ++i) {
        if (!tracks[i].Read(*this)) return false;
    }
    return true;
}
