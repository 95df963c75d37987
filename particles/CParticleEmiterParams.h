#pragma once
// An emitter entry of an effect: it pairs an emitter block with a particle block, says
// when the emitter starts and how often it repeats, and links entries to each other.
// Fields in file order; fields 5 to 20 carry the simulation's names.
#include <cstdint>

#include "particles/CSRefBase.h"
#include "particles/CSString.h"

class CSArchive;

class CParticleEmiterParams : public CSRefBase {
public:
    // Both indices -1, repeat count 1, Counted set, everything else zero or empty.
    CParticleEmiterParams();

    // The block in file order (no version conditions). False when a read fails.
    bool Read(CSArchive& archive);
    // A new entry (count 1) with the same values.
    CParticleEmiterParams* Clone() const { return new CParticleEmiterParams(*this); }

    // Started with its effect: neither trigger flag is set.
    bool IsAutoStart() const { return TriggerA == 0 && TriggerB == 0; }

    CSString Name;               // 1, links find entries by it, letter case ignored
    CSString SecondName;         // 2, emitters added at run time are chosen by it
    CSString Name3;              // 3
    CSString Name4;              // 4
    int32_t EmiterIndex = -1;    // 5, into the effect's emitter blocks; negative: none
    int32_t ParticleIndex = -1;  // 6, into the particle blocks; negative: none (linked entries)
    float Delay = 0.0f;          // 7, seconds before the emitter starts
    int32_t RepeatMode = 0;      // 8, 1 RepeatCount runs, 2 forever (the effect loops)
    int32_t RepeatCount = 1;     // 9
    float RepeatPause = 0.0f;    // 10, seconds
    uint8_t RandomPhase = 0;     // 11, starts at a random frame of its duration
    uint8_t Hold = 0;            // 12
    uint8_t TriggerA = 0;        // 13, the first entry with it set is the effect's mask entry
    uint8_t TriggerB = 0;        // 14
    uint8_t Pausable = 0;        // 15
    uint8_t KeepOnKill = 0;      // 16
    uint8_t EmitsEmitters = 0;   // 17, emits through the entries named in ChildNames
    CSStringList ChildNames;     // 18, entry names (field 1)
    uint8_t Disabled = 0;        // 19, never gets an emitter
    uint8_t Counted = 1;         // 20

private:
    CParticleEmiterParams(const CParticleEmiterParams&) = default;
};
