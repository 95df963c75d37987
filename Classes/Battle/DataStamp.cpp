#include "Classes/Battle/DataStamp.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "Core/TextHelpers.h"
#include "IO/ContentChecksums.h"
#include "IO/File.h"
#include "IO/MemoryStream.h"
#include "platform/win32/Process.h"

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The smallest entry in a stream: an empty name's length and the checksum.
const int kSmallestEntry = 4 + 8;

// The running program's file does not change while it runs: read and checksummed once.
uint64_t ProgramChecksum() {
    static const uint64_t checksum = [] {
        uint64_t result = 0;
        char path[1024] = {};
        if (GetModuleFileNameA(nullptr, path, 1023) != 0) {
            uint8_t* bytes = nullptr;
            uint32_t size = 0;
            if (IO::ReadWholeFile(path, bytes, size) != 0 && bytes != nullptr)
                result = ComputeChecksum64(bytes, static_cast<int>(size));
            std::free(bytes);
        }
        return result;
    }();
    return checksum;
}

}  // namespace

const char* const DataStamp::kFiles[14] = {
    "config.xml",     "warrior.xml",    "archer.xml",           "caster.xml",          "orcwarrior.xml",
    "orcarcher.xml",  "orccaster.xml",  "attackers.xml",        "defenders.xml",       "weapons.xml",
    "Harrowmere.xml", "waves_Harrowmere.xml", "data_Harrowmere.xml", "view_Harrowmere.xml",
};

void DataStamp::Compute() {
    program_checksum_ = ProgramChecksum();
    data_checksum_ = 0;
    entries_.clear();
    for (const char* file : kFiles) AddFile(file);
    for (const DataStampEntry& entry : entries_) data_checksum_ ^= entry.checksum;
}

int32_t DataStamp::IsModified() const { return data_checksum_ != ShippedDataChecksum ? 1 : 0; }

void DataStamp::AddFile(const std::string& fileName) {
    const std::string name = Lower(fileName);
    entries_.push_back(DataStampEntry{name, ContentChecksums::Find(name)});
}

int DataStamp::Write(MemoryStream& stream) const {
    stream.WriteUInt64(program_checksum_);
    stream.WriteUInt64(data_checksum_);
    stream.WriteInt32(static_cast<int32_t>(entries_.size()));
    for (const DataStampEntry& entry : entries_) {
        stream.WriteString(ScrambleString(entry.name.c_str()));
        stream.WriteUInt64(entry.checksum);
    }
    return 1;
}

int DataStamp::Read(MemoryStream& stream) {
    entries_.clear();
    stream.ReadUInt64(program_checksum_);
    stream.ReadUInt64(data_checksum_);
    int32_t count = 0;
    stream.ReadInt32(count);
    int32_t read = 0;
    for (; read < count && stream.GetBytesLeft() >= kSmallestEntry; ++read) {
        std::string scrambled;
        uint64_t checksum = 0;
        if (stream.ReadString(scrambled) != 1 || stream.ReadUInt64(checksum) != 1) break;
        entries_.push_back(DataStampEntry{ScrambleString(scrambled.c_str()), checksum});
    }
    return read == std::max(count, 0) && stream.GetBytesLeft() >= 0 ? 1 : 0;
}
