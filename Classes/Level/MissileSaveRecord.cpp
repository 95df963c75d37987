#include "Classes/Level/MissileSaveRecord.h"

#include "Classes/Level/RecordStream.h"

int MissileSaveRecord::Write(MemoryStream& stream) const {
    RecordWriter out(stream);
    out.Int(id).Vector(position).Int(direction).Int(shooterId).Int(targetId).Int(weaponId).Int(spell);
    out.Vector(start).Vector(heading).Vector(previous);
    out.Int(shooterSide).Int(targetSide).Int(travelled).Int(flightLength).Int(timer).Int(hit).Int(speed);
    out.Float(effectAge).Text(pendingEffectPath).Text(pendingMeshName);
    return out.Result();
}

int MissileSaveRecord::Read(MemoryStream& stream) {
    RecordReader in(stream);
    in.Int(id).Vector(position).Int(direction).Int(shooterId).Int(targetId).Int(weaponId).Int(spell);
    in.Vector(start).Vector(heading).Vector(previous);
    in.Int(shooterSide).Int(targetSide).Int(travelled).Int(flightLength).Int(timer).Int(hit).Int(speed);
    in.Float(effectAge).Text(pendingEffectPath).Text(pendingMeshName);
    return in.Result();
}
