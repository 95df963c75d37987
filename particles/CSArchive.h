#pragma once
// The reader of effect files: little-endian values from an owned file, and the file's
// version word, which every block reader consults.
//
// Every read is checked: a read that falls short, or a count or length that cannot fit
// in the bytes left, fails the archive. From then on every read fails and fills its
// destination with zeros, so a block reader may read on and test IsGood at the end.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "particles/CSString.h"
#include "particles/CSVector.h"

class CSParamCurve;
class CSParamTrack;

namespace IO {
class File;
}

// The format version of a version word: its bytes 2 and 3 (byte 0 first in the file)
// as a big-endian number. Bytes 0 and 1 are not interpreted.
int32_t ParticleEffectVersion(uint32_t versionWord);

class CSArchive {
public:
    // Opens the file through the file layer; a missing file leaves the archive without
    // file. The version word starts at 0.
    explicit CSArchive(const char* fileName);
    virtual ~CSArchive();
    CSArchive(const CSArchive&) = delete;
    CSArchive& operator=(const CSArchive&) = delete;

    bool HasFile() const { return m_pFile != nullptr; }
    IO::File* GetFile() const { return m_pFile.get(); }

    uint32_t GetVersionWord() const { return m_nVersion; }
    void SetVersionWord(uint32_t word) { m_nVersion = word; }
    int32_t GetFormatVersion() const { return ParticleEffectVersion(m_nVersion); }

    // From now on a float that is not finite (an infinity or a NaN) fails the read, and
    // the archive with it: the effect reader's rule, as no value of an effect has a use
    // for one, and arithmetic on one spreads it through a whole run.
    void RefuseNonFiniteFloats() { m_bFiniteFloatsOnly = true; }

    // False once any read has failed (and always without a file).
    bool IsGood() const { return m_pFile != nullptr && !m_bFailed; }
    uint64_t GetBytesLeft() const { return m_nSize - m_nPosition; }
    // Bytes read so far.
    uint64_t GetPosition() const { return m_nPosition; }

    bool ReadBytes(void* buffer, size_t n);
    bool ReadUInt32(uint32_t& value);
    bool ReadInt32(int32_t& value);
    // Fails on a value that is not finite after RefuseNonFiniteFloats (the value 0).
    bool ReadFloat(float& value);
    // A 32-bit word held as 1 when non-zero, else 0.
    bool ReadBool32(uint8_t& value);
    bool ReadByte(uint8_t& value);
    bool ReadUInt16(uint16_t& value);
    bool ReadInt16(int16_t& value);
    // Three single bytes in order; test IsGood afterwards.
    CSArchive& ReadBytes3(uint8_t out[3]);
    // A count of elements of at least bytesEach bytes, followed by at least bytesAfter
    // further bytes: fails (count 0) when they cannot fit in the bytes left.
    bool ReadCount(uint32_t& count, uint64_t bytesEach, uint64_t bytesAfter);

    // Length n and n bytes: n = 0 leaves the string without buffer, else it holds a
    // new buffer of n + 1 bytes (the bytes and a zero).
    bool ReadString(CSString& string);
    // Count c, a word that is read and ignored, then c strings.
    bool ReadStringList(CSStringList& list);
    // x, y, z, w.
    bool ReadVector4(CSVector4& vector);
    // Point count p, an ignored word, p points of five 4-byte values, the name.
    bool ReadCurve(CSParamCurve& curve);
    // The rows of a block: its count curve records, then its count track records. The
    // curves keep their names; their points are released.
    bool ReadRows(CSParamCurve* curves, CSParamTrack* tracks, int count);

private:
    bool Fail();
    // The four bytes as they stand, whatever they encode.
    bool ReadFloatBits(float& value);

    std::unique_ptr<IO::File> m_pFile;
    uint32_t m_nVersion = 0;
    uint64_t m_nSize = 0;
    uint64_t m_nPosition = 0;
    bool m_bFailed = false;
    bool m_bFiniteFloatsOnly = false;
};
