// dunmarch-prtdump: prints effect files field by field, by the names the particle
// library gives them; rows as their constant or their key count, entries with the
// entries their links reach. With --setup it prints instead what an instance of each
// effect sets up, with --run FILE [STEPS] how an instance runs, step by step, to its
// end or for STEPS (300) steps (tools/prt/PrtTrace.h), with --snapshot FILE the running
// effect a snapshot restores. Exits non-zero when a file does not read.
#include <cinttypes>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>

#include "particles/CSArchive.h"
#include "particles/CParticlesEmiter.h"
#include "particles/CParticlesMesh.h"
#include "tools/prt/PrtSnapshot.h"
#include "tools/prt/PrtTrace.h"
#include "tools/prt/PrtWriter.h"

namespace {

class TextSink : public PrtSink {
public:
    explicit TextSink(const CParticlesMesh& effect) : m_Effect(effect) {}

    void Begin(const char* block, int32_t index, const CSString& name) override {
        m_pIndent = "  ";
        m_nEntry = std::strcmp(block, "entry") == 0 ? index : -1;
        if (index < 0) std::printf("[%s]\n", block);
        else std::printf("[%s %d] \"%s\"\n", block, index, name.c_str());
    }
    void Word(const char* field, uint32_t value) override {
        std::printf("%s: 0x%08" PRIx32 " (format version %d)\n", field, value, ParticleEffectVersion(value));
    }
    void Int32(const char* field, int32_t value, bool stored) override {
        std::printf("%s%s: %d%s\n", m_pIndent, field, value, Note(stored));
    }
    void Float(const char* field, float value, bool stored) override {
        std::printf("%s%s: %.9g%s\n", m_pIndent, field, value, Note(stored));
    }
    void Bool32(const char* field, uint8_t value, bool stored) override {
        std::printf("%s%s: %d%s\n", m_pIndent, field, value, Note(stored));
    }
    void String(const char* field, const CSString& value, bool stored) override {
        std::printf("%s%s: \"%s\"%s\n", m_pIndent, field, value.c_str(), Note(stored));
    }
    void StringList(const char* field, const CSStringList& value) override {
        std::printf("  %s: %zu", field, value.size());
        for (const CSString& string : value) std::printf(" \"%s\"", string.c_str());
        std::printf("\n");
        if (m_nEntry >= 0 && std::strcmp(field, "ChildNames") == 0) PrintLinks(value);
    }
    void Vector4(const char* field, const CSVector4& v) override {
        std::printf("  %s: (%.9g, %.9g, %.9g, %.9g)\n", field, v.x, v.y, v.z, v.w);
    }
    void Curve(const char* field, const CSParamCurve& curve) override {
        std::printf("  %s: \"%s\", %u points\n", field, curve.m_strName.c_str(), curve.m_arrPoints.GetCount());
    }
    void Track(const char* field, const CSParamTrack& track) override {
        if (track.IsConstant()) std::printf("  %s: constant %.9g\n", field, track.m_fConstant);
        else std::printf("  %s: %u keys\n", field, track.m_arrKeys.GetCount());
    }
    void Count(const char* field, uint32_t count) override { std::printf("%s: %u\n", field, count); }

private:
    static const char* Note(bool stored) { return stored ? "" : " (not in this version's file)"; }

    void PrintLinks(const CSStringList& names) const {
        const CParticleEmiterParams* entry = m_Effect.m_arrEntries[static_cast<size_t>(m_nEntry)];
        for (const CSString& name : names) {
            const int32_t found = m_Effect.FindEmitterEntry(name.c_str());
            const int32_t linked = m_Effect.FindLinkedEmitter(entry, name.c_str());
            if (found < 0) std::printf("  link \"%s\": no such entry\n", name.c_str());
            else if (linked < 0)
                std::printf("  link \"%s\": entry %d, leads back (not followed)\n", name.c_str(), found);
            else std::printf("  link \"%s\": entry %d\n", name.c_str(), linked);
        }
    }

    const CParticlesMesh& m_Effect;
    int32_t m_nEntry = -1;
    const char* m_pIndent = "";  // fields of a block are indented
};

// 0 when the file reads, else 1 after one line on stderr.
int Dump(const char* path) {
    CSArchive archive(path);
    if (!archive.HasFile()) {
        std::fprintf(stderr, "dunmarch-prtdump: %s: cannot be opened\n", path);
        return 1;
    }
    CParticlesMesh effect;
    if (!effect.Read(archive)) {
        std::fprintf(stderr, "dunmarch-prtdump: %s: does not read (short or corrupt at byte %" PRIu64 ")\n", path,
                     archive.GetPosition());
        return 1;
    }
    std::printf("file: %s\n", path);
    TextSink sink(effect);
    PrtWriter(archive.GetVersionWord()).Walk(effect, sink);
    return 0;
}

// The set-up trace of the file, or its run of `steps` steps (steps > 0), labelled
// with its name without folders.
int DumpTrace(const char* path, int steps) {
    CParticlesMesh effect;
    std::string error;
    if (!ReadEffectForTrace(path, effect, error)) {
        std::fprintf(stderr, "dunmarch-prtdump: %s\n", error.c_str());
        return 1;
    }
    const char* slash = std::strrchr(path, '/');
    const std::string label = slash != nullptr ? slash + 1 : path;
    std::fputs((steps > 0 ? RunTrace(label, effect, steps) : SetupTrace(label, effect)).c_str(), stdout);
    return 0;
}

int DumpSnapshot(const char* path) {
    CSArchive archive(path);
    if (!archive.HasFile()) {
        std::fprintf(stderr, "dunmarch-prtdump: %s: cannot be opened\n", path);
        return 1;
    }
    CParticlesEmiter instance;
    if (!CParticlesEmiter::Read(archive, instance).IsGood()) {
        std::fprintf(stderr, "dunmarch-prtdump: %s: snapshot does not read (short or corrupt at byte %" PRIu64 ")\n",
                     path, archive.GetPosition());
        return 1;
    }
    if (archive.GetBytesLeft() != 0) {
        std::fprintf(stderr, "dunmarch-prtdump: %s: %" PRIu64 " bytes after the snapshot\n", path,
                     archive.GetBytesLeft());
        return 1;
    }
    std::printf("snapshot: %s\n", path);
    std::fputs(SnapshotText(instance).c_str(), stdout);
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: dunmarch-prtdump [--setup] FILE.prt...\n       dunmarch-prtdump --run FILE.prt [STEPS]\n"
                 "       dunmarch-prtdump --snapshot FILE\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--run") == 0) {
        if (argc < 3 || argc > 4) return Usage();
        char* rest = nullptr;
        const long steps = argc == 4 ? std::strtol(argv[3], &rest, 10) : 300;
        if (argc == 4 && (*rest != '\0' || steps < 1 || steps > 10000000)) return Usage();
        return DumpTrace(argv[2], static_cast<int>(steps));
    }
    if (argc > 1 && std::strcmp(argv[1], "--snapshot") == 0) {
        if (argc != 3) return Usage();
        return DumpSnapshot(argv[2]);
    }
    const bool setup = argc > 1 && std::strcmp(argv[1], "--setup") == 0;
    const int first = setup ? 2 : 1;
    if (argc <= first) return Usage();
    int failed = 0;
    for (int i = first; i < argc; ++i) failed |= setup ? DumpTrace(argv[i], 0) : Dump(argv[i]);
    return failed;
}
