#include "tools/prt/PrtSnapshot.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "particles/CEmiter.h"
#include "particles/CParticle.h"
#include "particles/CParticlesEmiter.h"
#include "particles/CSMatrix.h"

namespace {

class Bytes {
public:
    void U8(uint8_t v) { m_Out.push_back(v); }
    void U16(uint16_t v) {
        U8(static_cast<uint8_t>(v));
        U8(static_cast<uint8_t>(v >> 8));
    }
    void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
    void U32(uint32_t v) {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    void F32(float v) {
        uint32_t word;
        std::memcpy(&word, &v, sizeof word);
        U32(word);
    }
    void Float3(const ParticleFloat3& v) {
        F32(v.x);
        F32(v.y);
        F32(v.z);
    }
    void Matrix(const CSMatrix* m) {
        U32(m != nullptr ? 1 : 0);
        if (m != nullptr)
            for (float value : m->m) F32(value);
    }
    std::vector<uint8_t> m_Out;
};

void WriteParticle(Bytes& out, const CParticle& p) {
    out.I16(p.m_nLife);
    out.U8(p.m_bLocalMatrix);
    out.I16(p.m_nAnimSpeed);
    out.I16(p.m_nAnimCount);
    out.Matrix(p.m_pMatrix);
    for (uint16_t word : p.m_awRandom) out.U16(word);
    out.F32(p.m_fSpeedScale);
    out.F32(p.m_fSizeScale);
    out.Float3(p.m_vVelocity);
    out.U8(p.m_nObject);
    out.I16(p.m_nSequence);
    out.U32(p.m_dwColor);
    out.I16(p.m_nAnimAccu);
    out.I16(p.m_nTexFrame);
    out.I16(p.m_nAge);
    out.Float3(p.m_vPos);
    out.Float3(p.m_vAngles);
}

void WriteEmiter(Bytes& out, const CEmiter& e) {
    out.U16(e.m_wFlags);
    out.I16(e.m_nEmiterParams);
    out.I16(e.m_nParticleParams);
    out.I16(e.m_nEntry);
    out.I16(e.m_nNextSource);
    out.I16(e.m_nSource);
    out.I16(e.m_nLink);
    // The stored start is 16 bits wide.
    out.I16(static_cast<int16_t>(e.m_nStart));
    out.I16(e.m_nLength);
    out.I16(e.m_nMotionLength);
    out.I16(e.m_nPause);
    out.I16(e.m_nRepeats);
    for (uint16_t word : e.m_awRandom) out.U16(word);
    out.U16(e.m_wSharedRandom);
    out.Matrix(e.m_pMatrix);
    out.U32(e.m_pFaceTable != nullptr ? 1 : 0);
    if (e.m_pFaceTable != nullptr)
        for (int i = 0; i < kBoxFaceCount; ++i) out.I16(e.m_pFaceTable[i]);
    out.I16(e.m_nFaceTableFrame);
    out.F32(e.m_fRateScale);
    out.Float3(e.m_vBasePos);
    out.Float3(e.m_vBaseAngles);
    out.U32(static_cast<uint32_t>(e.m_iSeed));
    out.U32(static_cast<uint32_t>(e.m_iSeed2));
    out.Float3(e.m_vPos);
    out.Float3(e.m_vAngles);
    out.I16(e.m_nPlays);
    out.I16(e.m_nFrame);
    out.I16(e.m_nMotionFrame);
    out.I16(e.m_nPauseLeft);
    for (const CParticle* p = e.m_pFirst; p != nullptr; p = p->m_pNext) {
        out.U32(1);
        WriteParticle(out, *p);
    }
    out.U32(0);
    out.I16(e.m_nCount);
    out.F32(e.m_fEmitAccu);
    out.I16(e.m_nNextAnimFrame);
}

void Line(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Line(std::string& text, const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    text += buffer;
    text += '\n';
}

}  // namespace

std::vector<uint8_t> PrtSnapshotWriter::Write(const CParticlesEmiter& instance) {
    Bytes out;
    out.U16(instance.m_wFlags);
    out.F32(instance.m_vPos.x);
    out.F32(instance.m_vPos.y);
    out.F32(instance.m_vPos.z);
    out.F32(instance.m_vPos.w);
    for (uint8_t angle : instance.m_abAngles) out.U8(angle);
    for (float value : instance.m_vSpare) out.F32(value);
    out.U32(static_cast<uint32_t>(instance.m_iFrame));
    out.U32(static_cast<uint32_t>(instance.m_arrEmiters.size()));
    for (const CEmiter& e : instance.m_arrEmiters) WriteEmiter(out, e);
    out.I16(instance.m_wSeed);
    out.U32(static_cast<uint32_t>(instance.m_iSpare1));
    out.U32(static_cast<uint32_t>(instance.m_iSpare2));
    out.F32(instance.m_fLoopHeight);
    out.F32(instance.m_fHeight);
    return out.m_Out;
}

bool PrtSnapshotWriter::WriteFile(const CParticlesEmiter& instance, const std::string& path) {
    const std::vector<uint8_t> bytes = Write(instance);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool whole = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && whole;
}

std::string SnapshotText(const CParticlesEmiter& in) {
    std::string t;
    Line(t, "flags: 0x%04x", in.m_wFlags);
    Line(t, "position: (%.9g, %.9g, %.9g, %.9g)", in.m_vPos.x, in.m_vPos.y, in.m_vPos.z, in.m_vPos.w);
    Line(t, "angles: %u %u %u", in.m_abAngles[0], in.m_abAngles[1], in.m_abAngles[2]);
    Line(t, "frame: %d", in.m_iFrame);
    Line(t, "seed: %d, spares: %d %d, heights: loop %.9g, other %.9g", in.m_wSeed, in.m_iSpare1, in.m_iSpare2,
         in.m_fLoopHeight, in.m_fHeight);
    Line(t, "emitters: %zu", in.m_arrEmiters.size());
    for (size_t i = 0; i < in.m_arrEmiters.size(); ++i) {
        const CEmiter& e = in.m_arrEmiters[i];
        Line(t, "[emitter %zu] flags 0x%04x, entry %d, blocks %d %d, source %d, link %d", i, e.m_wFlags, e.m_nEntry,
             e.m_nEmiterParams, e.m_nParticleParams, e.m_nSource, e.m_nLink);
        Line(t, "  start %d, length %d, motion %d, pause %d, repeats %d; play %d, frame %d, motion %d, pause left %d",
             e.m_nStart, e.m_nLength, e.m_nMotionLength, e.m_nPause, e.m_nRepeats, e.m_nPlays, e.m_nFrame,
             e.m_nMotionFrame, e.m_nPauseLeft);
        Line(t, "  seeds %d %d, position (%.9g, %.9g, %.9g), angles (%.9g, %.9g, %.9g), matrix %s, face table %s",
             e.m_iSeed, e.m_iSeed2, e.m_vPos.x, e.m_vPos.y, e.m_vPos.z, e.m_vAngles.x, e.m_vAngles.y, e.m_vAngles.z,
             e.m_pMatrix != nullptr ? "yes" : "no", e.m_pFaceTable != nullptr ? "yes" : "no");
        int listed = 0;
        for (const CParticle* p = e.m_pFirst; p != nullptr; p = p->m_pNext, ++listed)
            Line(t, "  particle %d: age %d of %d, position (%.9g, %.9g, %.9g), frame %d", listed, p->m_nAge, p->m_nLife,
                 p->m_vPos.x, p->m_vPos.y, p->m_vPos.z, p->m_nTexFrame);
        Line(t, "  count %d (%d listed), accumulator %.9g", e.m_nCount, listed, e.m_fEmitAccu);
    }
    return t;
}
