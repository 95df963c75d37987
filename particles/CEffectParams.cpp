#include "particles/CEffectParams.h"

#include "particles/CSArchive.h"

CEffectParams::CEffectParams(bool /*fillDefaults*/) {}

bool CEffectParams::ReadHeader(CSArchive& archive) {
    if (archive.GetFormatVersion() >= 4) archive.ReadBool32(FirstFlag);
    else FirstFlag = 0;
    archive.ReadBool32(Rescalable);
    archive.ReadInt32(Width);
    archive.ReadInt32(Height);
    return archive.IsGood();
}

bool CEffectParams::Read(CSArchive& archive) {
    ReadHeader(archive);
    archive.ReadFloat(Value1);
    archive.ReadFloat(Value2);
    archive.ReadInt32(Integer1);
    archive.ReadFloat(Value3);
    archive.ReadFloat(Value4);
    archive.ReadFloat(Value5);
    archive.ReadBool32(Flag2);
    archive.ReadFloat(Value6);
    archive.ReadFloat(Value7);
    archive.ReadFloat(Value8);
    archive.ReadBool32(Flag3);
    archive.ReadBool32(Flag4);
    archive.ReadBool32(Flag5);
    if (!archive.ReadRows(Curves, Tracks, kRowCount)) return false;
    for (uint8_t& flag : LockFlags) archive.ReadBool32(flag);
    archive.ReadInt32(Integer2);
    return archive.IsGood();
}
