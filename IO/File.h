#pragma once
// The one file handle through which every asset, layout and data file is
// read: a file in the folders, or an entry of a mounted packed archive (the
// archive registry is asked first). Names may use '\' and any letter case;
// see platform/win32/FileSystem.h.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class PackedFileEntry;

namespace IO {

class File {
public:
    virtual ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Each returns a new handle owned by the caller, or null.
    // A registry entry of exactly that name (extracted on first use), else
    // the file in the folders ("rb"). Folders are not files.
    static File* OpenRead(const std::string& name);
    // Create or truncate ("wb").
    static File* OpenWrite(const std::string& name);
    // The writable root folder + "/" + name ("w+"); null while no root
    // folder is set, rather than writing at the file-system root.
    static File* CreateUnderRoot(const std::string& name);
    // Mode 0 reads, 1 and 2 write; any other mode gives null.
    static File* Open(const std::string& name, int mode);

    // Bytes read; 0 at or past the end.
    size_t Read(void* buffer, size_t n);
    // Bytes written (archive entries are read-only: 0).
    size_t Write(const void* buffer, size_t n);
    // Whole blocks of n bytes written: 1 or 0.
    size_t WriteBlock(const void* buffer, size_t n);
    // Origin 0 start, 1 current, 2 end; 0 on success. An entry's position is
    // not clamped (reads outside the data deliver nothing).
    int Seek(int origin, long offset);
    int Skip(long n);
    long Tell();
    // Size in bytes, the position kept; -1 when it cannot be measured.
    long GetSize();
    // Reads the whole content into a new buffer of size + 1 bytes whose last
    // byte is zero (the caller frees it with free). Returns the bytes read and
    // sets size to that count; returns 0 with a null buffer, size untouched,
    // when nothing could be read (so an empty file cannot be read whole).
    uint32_t ReadAll(uint8_t*& buffer, uint32_t& size);
    // Closes the stream; a second call does nothing.
    void Close();

    bool IsPacked() const { return entry_ != nullptr; }

private:
    explicit File(FILE* stream);
    explicit File(std::shared_ptr<PackedFileEntry> entry);

    FILE* stream_ = nullptr;
    std::shared_ptr<PackedFileEntry> entry_;
    int64_t position_ = 0;  // each handle on an entry reads on its own
};

// OpenRead, ReadAll, close. The caller frees the buffer (free). 0 and a null
// buffer for a missing, unreadable or empty file.
uint32_t ReadWholeFile(const std::string& name, uint8_t*& buffer, uint32_t& size);
// The whole file into out; false for a missing, unreadable, empty or short file.
bool ReadWholeFile(const std::string& name, std::vector<uint8_t>& out);
// True when OpenRead succeeds (so an archive entry exists too).
bool FileExists(const std::string& name);
bool DeleteFile(const std::string& name);
// Fails when the destination exists.
bool CopyFile(const std::string& source, const std::string& destination);
bool MoveFile(const std::string& source, const std::string& destination);
// The replaced file takes the replacement's content in one step, written
// through to the disk; the replacement goes.
bool ReplaceFile(const std::string& replaced, const std::string& replacement);

// The writable root folder: empty until set.
const std::string& GetRootFolder();
void SetRootFolder(const std::string& folder);

}  // namespace IO

// The regular files of a folder, sorted by name, without ".", ".." and
// ".svn"; sub-folders are never listed. One process-wide list, cleared and
// refilled by every call; empty for an empty or missing folder name.
std::vector<std::string>& ListDirectory(const std::string& folder);
