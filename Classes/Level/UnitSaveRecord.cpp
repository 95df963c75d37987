#include "Classes/Level/UnitSaveRecord.h"

#include "IO/MemoryStream.h"

namespace {

// The least bytes one element of each list takes in the stream.
const int kEffectBytes = 7 * 4;
const int kTextBytes = 4;
const int kPathCellBytes = 2 * 4;

class Writer {
public:
    explicit Writer(MemoryStream& stream) : stream_(stream) {}
    Writer& Int(int32_t value) {
        if (result_ == 1) result_ = stream_.WriteInt32(value);
        return *this;
    }
    Writer& Float(float value) {
        if (result_ == 1) result_ = stream_.WriteFloat(value);
        return *this;
    }
    Writer& Text(const std::string& text) {
        if (result_ == 1) result_ = stream_.WriteString(text);
        return *this;
    }
    int Result() const { return result_ == 1 ? 1 : -1; }

private:
    MemoryStream& stream_;
    int result_ = 1;
};

class Reader {
public:
    explicit Reader(MemoryStream& stream) : stream_(stream) {}
    Reader& Int(int32_t& value) {
        if (result_ == 1) result_ = stream_.ReadInt32(value);
        return *this;
    }
    Reader& Float(float& value) {
        if (result_ == 1) result_ = stream_.ReadFloat(value);
        return *this;
    }
    // A count of elements of at least elementBytes each.
    Reader& Count(int32_t& count, int elementBytes) {
        Int(count);
        if (result_ == 1 && (count < 0 || static_cast<int64_t>(count) * elementBytes > stream_.GetBytesLeft()))
            result_ = -1;
        return *this;
    }
    Reader& Text(std::string& text) {
        int32_t length = 0;
        Count(length, 1);
        if (result_ != 1) return *this;
        std::string bytes(static_cast<size_t>(length), '\0');
        if (length > 0) result_ = stream_.Read(&bytes[0], length);
        // As the stream's own strings: the text ends at its first zero byte.
        if (result_ == 1) text.assign(bytes.c_str());
        return *this;
    }
    int Result() const { return result_; }

private:
    MemoryStream& stream_;
    int result_ = 1;
};

}  // namespace

int UnitSaveRecord::Write(MemoryStream& stream) const {
    Writer out(stream);
    out.Int(position.x).Int(position.y).Int(position.z).Int(direction).Int(id).Text(name).Int(side).Int(hitPoints);
    out.Int(sold).Int(hidden).Int(hideRequested).Int(hideOrderStep).Int(fadeTimer).Int(autoHealTimer).Int(age);
    out.Int(attackCounter).Int(dying).Int(invested).Int(investedInHitPoints);
    out.Int(previousPosition.x).Int(previousPosition.y).Int(homePosition.x).Int(homePosition.y);
    out.Int(upgradeLevels[0]).Int(upgradeLevels[1]).Int(weaponId);
    out.Int(static_cast<int32_t>(effects.size()));
    for (const UnitEffect& e : effects)
        out.Int(e.kind).Int(e.value).Int(e.timed).Text(e.particle).Int(e.remaining).Int(e.nodePending).Int(e.expired);
    out.Int(static_cast<int32_t>(queuedEffects.size()));
    for (const std::string& queued : queuedEffects) out.Text(queued);
    out.Text(clipName).Float(clipFrame).Float(animationSpeed).Int(clipLoops);
    for (int32_t field : brainFields) out.Int(field);
    out.Int(targetId).Int(static_cast<int32_t>(path.size()));
    for (const std::pair<int32_t, int32_t>& cell : path) out.Int(cell.first).Int(cell.second);
    out.Int(keeperId).Int(wayPointId).Int(homeSpawnPointId);
    return out.Result();
}

int UnitSaveRecord::Read(MemoryStream& stream) {
    Reader in(stream);
    in.Int(position.x).Int(position.y).Int(position.z).Int(direction).Int(id).Text(name).Int(side).Int(hitPoints);
    in.Int(sold).Int(hidden).Int(hideRequested).Int(hideOrderStep).Int(fadeTimer).Int(autoHealTimer).Int(age);
    in.Int(attackCounter).Int(dying).Int(invested).Int(investedInHitPoints);
    in.Int(previousPosition.x).Int(previousPosition.y).Int(homePosition.x).Int(homePosition.y);
    previousPosition.z = 0;
    homePosition.z = 0;
    in.Int(upgradeLevels[0]).Int(upgradeLevels[1]).Int(weaponId);
    int32_t count = 0;
    in.Count(count, kEffectBytes);
    effects.clear();
    for (int32_t i = 0; i < count && in.Result() == 1; ++i) {
        UnitEffect e;
        in.Int(e.kind).Int(e.value).Int(e.timed).Text(e.particle).Int(e.remaining).Int(e.nodePending).Int(e.expired);
        effects.push_back(e);
    }
    in.Count(count, kTextBytes);
    queuedEffects.clear();
    for (int32_t i = 0; i < count && in.Result() == 1; ++i) {
        std::string queued;
        in.Text(queued);
        queuedEffects.push_back(queued);
    }
    in.Text(clipName).Float(clipFrame).Float(animationSpeed).Int(clipLoops);
    for (int32_t& field : brainFields) in.Int(field);
    in.Int(targetId).Count(count, kPathCellBytes);
    path.clear();
    for (int32_t i = 0; i < count && in.Result() == 1; ++i) {
        std::pair<int32_t, int32_t> cell;
        in.Int(cell.first).Int(cell.second);
        path.push_back(cell);
    }
    in.Int(keeperId).Int(wayPointId).Int(homeSpawnPointId);
    return in.Result();
}
