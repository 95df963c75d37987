#pragma once
// Writes the snapshot of a running effect (the layout CParticlesEmiter::Read restores),
// for the tests: the particle library reads snapshots but never writes one.
#include <cstdint>
#include <string>
#include <vector>

class CParticlesEmiter;

class PrtSnapshotWriter {
public:
    static std::vector<uint8_t> Write(const CParticlesEmiter& instance);
    // False when the file cannot be written whole.
    static bool WriteFile(const CParticlesEmiter& instance, const std::string& path);
};

// The restored instance as text, field by field; for dunmarch-prtdump --snapshot.
std::string SnapshotText(const CParticlesEmiter& instance);
