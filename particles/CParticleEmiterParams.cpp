#include "particles/CParticleEmiterParams.h"

#include "particles/CSArchive.h"

CParticleEmiterParams::CParticleEmiterParams() = default;

bool CParticleEmiterParams::Read(CSArchive& archive) {
    archive.ReadString(Name);
    archive.ReadString(SecondName);
    archive.ReadString(Name3);
    archive.ReadString(Name4);
    archive.ReadInt32(EmiterIndex);
    archive.ReadInt32(ParticleIndex);
    archive.ReadFloat(Delay);
    archive.ReadInt32(RepeatMode);
    archive.ReadInt32(RepeatCount);
    archive.ReadFloat(RepeatPause);
    archive.ReadBool32(RandomPhase);
    archive.ReadBool32(Hold);
    archive.ReadBool32(TriggerA);
    archive.ReadBool32(TriggerB);
    archive.ReadBool32(Pausable);
    archive.ReadBool32(KeepOnKill);
    archive.ReadBool32(EmitsEmitters);
    archive.ReadStringList(ChildNames);
    archive.ReadBool32(Disabled);
    archive.ReadBool32(Counted);
    return archive.IsGood();
}
