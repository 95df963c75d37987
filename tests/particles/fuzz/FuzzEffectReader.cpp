// Feeds arbitrary bytes to the effect reader (through a file, as the game reads it);
// an effect that reads is also asked for its entry links and its rows. The same bytes
// go to the snapshot reader, whose instance is then bound to the effect (or to none).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "particles/CParticlesEmiter.h"
#include "particles/CParticlesMesh.h"
#include "particles/CSArchive.h"

namespace {

const std::string& ScratchPath() {
    static const std::string path = [] {
        char pattern[] = "/tmp/dm-fuzz-prt-XXXXXX";
        const int fd = mkstemp(pattern);
        if (fd < 0) std::abort();
        close(fd);
        return std::string(pattern);
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(ScratchPath().c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    CParticlesMesh effect;
    CSArchive archive(ScratchPath().c_str());
    const bool read = effect.Read(archive);
    {
        CSArchive snapshotArchive(ScratchPath().c_str());
        CParticlesEmiter instance;
        if (CParticlesEmiter::Read(snapshotArchive, instance).IsGood()) {
            instance.ReplaceEffect(nullptr, read ? &effect : nullptr);
            instance.ReleaseEffect();
        }
    }
    if (!read) return 0;
    for (const CParticleEmiterParams* entry : effect.m_arrEntries) {
        for (const CSString& name : entry->ChildNames) (void)effect.FindLinkedEmitter(entry, name.c_str());
    }
    for (const CEmiterParams* block : effect.m_arrEmiterParams) {
        for (int row = 0; row < CEmiterParams::kRowCount; ++row) (void)block->GetTrackKey(row, row * 3);
    }
    for (const CParticleParams* block : effect.m_arrParticleParams) {
        for (int row = 0; row < CParticleParams::kRowCount; ++row) (void)block->SampleTrack(row, row, 17);
    }
    effect.Rescale(1.0f, 1.0f);
    return 0;
}
