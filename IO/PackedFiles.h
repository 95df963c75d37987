#pragma once
// Packed data archives: 7z containers whose first 32 bytes are stored with a
// table added to them. Mounting enters every file entry into a registry by
// its exact name; an entry's bytes are decoded when it is first opened.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class PackedFileEntry {
public:
    PackedFileEntry(std::string name, std::string archivePath, uint32_t size);

    // Decodes this entry's bytes from its archive unless they are present.
    // False when the archive cannot be read, the entry is not in it, or the
    // decoder fails; the entry then stays without data.
    bool Extract();

    const std::string& GetName() const { return name_; }
    const std::string& GetArchivePath() const { return archive_path_; }
    uint32_t GetSize() const { return size_; }
    bool HasData() const { return extracted_; }
    const uint8_t* GetData() const { return data_.data(); }

private:
    std::string name_;
    std::string archive_path_;
    std::vector<uint8_t> data_;
    bool extracted_ = false;
    uint32_t size_;
};

// Entry name (exact, case-sensitive) to entry. Handles on an entry share it,
// so an entry released while a handle is open stays alive for that handle.
class PackedFileRegistry {
public:
    static std::shared_ptr<PackedFileEntry> Find(const std::string& name);
    static void Add(const std::shared_ptr<PackedFileEntry>& entry);
    static void Clear();
    static size_t Count();
};

// Enters every file entry of the archive into the registry (a later entry of
// the same name takes the key). False when the archive cannot be opened or
// its index read; the registry keeps what it held.
bool MountResourceArchive(const std::string& archivePath);
void ReleasePackedFiles();

// The stream the decoder reads an archive through: a file whose bytes at
// positions 0..31 come out with the table subtracted.
class ArchiveInputStream {
public:
    static const uint8_t kScrambleTable[32];
    enum { kOk = 0, kSeekError = 1, kReadError = 8 };

    // Opens the archive; IsOpen tells whether it worked.
    explicit ArchiveInputStream(const std::string& path);
    ~ArchiveInputStream();
    ArchiveInputStream(const ArchiveInputStream&) = delete;
    ArchiveInputStream& operator=(const ArchiveInputStream&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    // Reads up to size bytes; size becomes the count delivered. A short read
    // at the end is no error.
    int Read(void* buffer, size_t& size);
    // Origin 0, 1, 2 from start, current, end; position becomes the new
    // absolute position.
    int Seek(int64_t& position, int origin);

private:
    std::FILE* file_;
};
