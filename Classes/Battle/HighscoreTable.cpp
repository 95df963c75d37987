#include "Classes/Battle/HighscoreTable.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "Classes/Battle/FileReplacing.h"

namespace {

const char kFileName[] = "highscores.dat";
const uint32_t kHighscoreMagic = 0x00435348;  // "HSC"
const uint32_t kHighscoreVersion = 1000;
const size_t kNameBuffer = 512;

// Reads the file's values in order; after the first value past the end every read
// fails.
class Reader {
public:
    explicit Reader(const std::vector<char>& bytes) : bytes_(bytes) {}
    bool Good() const { return good_; }

    uint32_t U32() {
        uint32_t value = 0;
        if (!Take(4)) return 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes_[at_ - 4 + i])) << (8 * i);
        return value;
    }
    // The text up to its first zero byte; of a longer name only what the name buffer
    // holds, the rest skipped.
    std::string Name() {
        const uint32_t length = U32();
        if (!Take(length)) return std::string();
        const char* begin = bytes_.data() + at_ - length;
        const char* end = begin + std::min<size_t>(length, kNameBuffer - 1);
        return std::string(begin, std::find(begin, end, '\0'));
    }

private:
    bool Take(size_t n) {
        if (!good_ || n > bytes_.size() - at_) {
            good_ = false;
            return false;
        }
        at_ += n;
        return true;
    }

    const std::vector<char>& bytes_;
    size_t at_ = 0;
    bool good_ = true;
};

void PutU32(std::vector<char>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

void PutName(std::vector<char>& out, const std::string& name) {
    PutU32(out, static_cast<uint32_t>(name.size()));
    out.insert(out.end(), name.begin(), name.end());
}

}  // namespace

HighscoreTable::HighscoreTable() { Load(); }

int32_t HighscoreTable::Load() {
    lists_.clear();
    std::ifstream in(kFileName, std::ios::binary);
    if (!in) return 0;
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Reader reader(bytes);
    reader.U32();  // magic
    reader.U32();  // version
    const uint32_t maps = reader.U32();
    for (uint32_t i = 0; i < maps && reader.Good(); ++i) {
        const std::string map = reader.Name();
        const uint32_t entries = reader.U32();
        List list;
        for (uint32_t j = 0; j < entries && reader.Good(); ++j) {
            HighscoreEntry entry;
            entry.name = reader.Name();
            entry.score = static_cast<int32_t>(reader.U32());
            if (reader.Good()) list.insert(list.end(), entry);
        }
        if (reader.Good() || !list.empty()) lists_[map] = list;
    }
    return 1;
}

int32_t HighscoreTable::Save() const {
    std::vector<char> bytes;
    PutU32(bytes, kHighscoreMagic);
    PutU32(bytes, kHighscoreVersion);
    PutU32(bytes, static_cast<uint32_t>(lists_.size()));
    for (const auto& map : lists_) {
        PutName(bytes, map.first);
        PutU32(bytes, static_cast<uint32_t>(map.second.size()));
        for (const HighscoreEntry& entry : map.second) {
            PutName(bytes, entry.name);
            PutU32(bytes, static_cast<uint32_t>(entry.score));
        }
    }
    return WriteFileReplacing(kFileName, bytes.data(), bytes.size()) ? 1 : 0;
}

const HighscoreTable::List& HighscoreTable::Find(const std::string& mapName) const {
    static const List empty;
    const auto found = lists_.find(mapName);
    return found != lists_.end() ? found->second : empty;
}

int32_t HighscoreTable::Qualifies(const std::string& mapName, int32_t score) const {
    const List& list = Find(mapName);
    if (list.empty()) return 1;
    return std::prev(list.end())->score < score ? 1 : 0;
}

int32_t HighscoreTable::Insert(const std::string& mapName, const std::string& playerName, int32_t score) {
    List& list = lists_[mapName];
    // A multiset puts an equal key after the ones it holds: a tie goes behind.
    list.insert(HighscoreEntry(playerName, score));
    while (list.size() > kListSize) list.erase(std::prev(list.end()));
    return Save();
}
