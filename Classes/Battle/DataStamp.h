#pragma once
// Which program and which game-data files a battle ran with: the checksum of the
// program file, the checksums the XML readers recorded for the fourteen data files
// that decide a battle, and their exclusive-or. Every recording carries one, so a
// score or a demo can be told apart when the data it came from was edited.
#include <cstdint>
#include <string>
#include <vector>

class MemoryStream;

// The data checksum of the data the game ships with, compiled into the program (the
// data builder computes it), so an edited data folder cannot vouch for itself.
extern const uint64_t ShippedDataChecksum;

struct DataStampEntry {
    std::string name;   // lower case
    uint64_t checksum;  // 0: the file was never read
};

class DataStamp {
public:
    // The data files, in the stamp's order and spelling.
    static const char* const kFiles[14];

    DataStamp() = default;

    // The program file's checksum (0 when it cannot be read), an entry per data file
    // with the checksum its reader recorded, and their exclusive-or. Run after the
    // dictionary and the map's files were read.
    void Compute();
    // 1 when the data checksum is not the shipped data's.
    int32_t IsModified() const;
    // An entry for the lower-cased name with its recorded checksum (0 for none); the
    // data checksum stays as it is.
    void AddFile(const std::string& fileName);

    // The block of a demo body: both checksums, the count, each name scrambled and its
    // checksum. Read stops at an entry the stream has no room for and then answers 0.
    int Write(MemoryStream& stream) const;
    int Read(MemoryStream& stream);

    uint64_t GetProgramChecksum() const { return program_checksum_; }
    uint64_t GetDataChecksum() const { return data_checksum_; }
    const std::vector<DataStampEntry>& GetEntries() const { return entries_; }

private:
    uint64_t program_checksum_ = 0;
    uint64_t data_checksum_ = 0;
    std::vector<DataStampEntry> entries_;
};
