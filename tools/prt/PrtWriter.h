#pragma once
// Writes effect files (".prt") from the particle library's own classes, for the tests
// and the sample-data builder: the format is authored by a tool outside this system,
// so the project keeps its own writer of it. Any version word can be written; the
// layout follows its format version (thresholds 3, 4 and 5).
//
// What a reader does not keep is written plainly: every ignored word is 0, and the
// second name list of a particle block, which readers drop, is empty. Curves are
// written with the points they hold (a loaded effect holds none).
#include <cstdint>
#include <string>
#include <vector>

#include "particles/CParticlesMesh.h"

// Receives the fields of an effect in file order, each with its name. A field the
// version's file does not hold comes with stored = false and the value a reader gives it.
class PrtSink {
public:
    virtual ~PrtSink() = default;
    virtual void Begin(const char* block, int32_t index, const CSString& name) = 0;
    virtual void Word(const char* field, uint32_t value) = 0;
    virtual void Int32(const char* field, int32_t value, bool stored = true) = 0;
    virtual void Float(const char* field, float value, bool stored = true) = 0;
    virtual void Bool32(const char* field, uint8_t value, bool stored = true) = 0;
    virtual void String(const char* field, const CSString& value, bool stored = true) = 0;
    virtual void StringList(const char* field, const CSStringList& value) = 0;
    virtual void Vector4(const char* field, const CSVector4& value) = 0;
    virtual void Curve(const char* field, const CSParamCurve& curve) = 0;
    virtual void Track(const char* field, const CSParamTrack& track) = 0;
    // A count of the blocks that follow.
    virtual void Count(const char* field, uint32_t count) = 0;
};

class PrtWriter {
public:
    // Bytes 00 00 hi lo: the word whose format version is `formatVersion`.
    static uint32_t VersionWord(int32_t formatVersion);

    explicit PrtWriter(uint32_t versionWord) : m_nVersionWord(versionWord) {}

    std::vector<uint8_t> Write(const CParticlesMesh& effect) const;
    // False when the file cannot be written whole.
    bool WriteFile(const CParticlesMesh& effect, const std::string& path) const;

    // The fields of the whole effect, or of one block, in file order.
    void Walk(const CParticlesMesh& effect, PrtSink& sink) const;
    void WalkSettings(const CEffectParams& settings, PrtSink& sink) const;
    void WalkEmiter(const CEmiterParams& block, PrtSink& sink) const;
    void WalkParticle(const CParticleParams& block, PrtSink& sink) const;
    void WalkEntry(const CParticleEmiterParams& entry, PrtSink& sink) const;

private:
    int32_t FormatVersion() const;

    uint32_t m_nVersionWord;
};

// The bytes of the fields it receives, little-endian.
class PrtByteSink : public PrtSink {
public:
    void Begin(const char*, int32_t, const CSString&) override {}
    void Word(const char* field, uint32_t value) override;
    void Int32(const char* field, int32_t value, bool stored) override;
    void Float(const char* field, float value, bool stored) override;
    void Bool32(const char* field, uint8_t value, bool stored) override;
    void String(const char* field, const CSString& value, bool stored) override;
    void StringList(const char* field, const CSStringList& value) override;
    void Vector4(const char* field, const CSVector4& value) override;
    void Curve(const char* field, const CSParamCurve& curve) override;
    void Track(const char* field, const CSParamTrack& track) override;
    void Count(const char* field, uint32_t count) override;

    const std::vector<uint8_t>& GetBytes() const { return m_Bytes; }

protected:
    void Append(uint32_t word);
    void AppendFloat(float value);
    void AppendString(const CSString& value);

private:
    std::vector<uint8_t> m_Bytes;
};
