#include "IO/File.h"

#include <cstdlib>
#include <cstring>

#include "IO/PackedFiles.h"
#include "platform/win32/FileSystem.h"

namespace IO {

File::File(FILE* stream) : stream_(stream) {}

File::File(std::shared_ptr<PackedFileEntry> entry) : entry_(std::move(entry)) {}

File::~File() { Close(); }

File* File::OpenRead(const std::string& name) {
    if (std::shared_ptr<PackedFileEntry> entry = PackedFileRegistry::Find(name)) {
        // Never a handle on an entry without data.
        if (!entry->Extract()) return nullptr;
        return new File(entry);
    }
    FILE* stream = platform::OpenFile(name, "rb");
    return stream != nullptr ? new File(stream) : nullptr;
}

File* File::OpenWrite(const std::string& name) {
    FILE* stream = platform::OpenFile(name, "wb");
    return stream != nullptr ? new File(stream) : nullptr;
}

File* File::CreateUnderRoot(const std::string& name) {
    const std::string& root = GetRootFolder();
    if (root.empty()) return nullptr;
    FILE* stream = platform::OpenFile(root + "/" + name, "w+");
    return stream != nullptr ? new File(stream) : nullptr;
}

File* File::Open(const std::string& name, int mode) {
    switch (mode) {
        case 0: return OpenRead(name);
        case 1:
        case 2: return OpenWrite(name);
        default: return nullptr;
    }
}

size_t File::Read(void* buffer, size_t n) {
    if (buffer == nullptr || n == 0) return 0;
    if (entry_ != nullptr) {
        int64_t size = entry_->GetSize();
        if (position_ < 0 || position_ >= size) return 0;
        size_t count = static_cast<size_t>(size - position_) < n ? static_cast<size_t>(size - position_) : n;
        std::memcpy(buffer, entry_->GetData() + position_, count);
        position_ += static_cast<int64_t>(count);
        return count;
    }
    return stream_ != nullptr ? std::fread(buffer, 1, n, stream_) : 0;
}

size_t File::Write(const void* buffer, size_t n) {
    if (stream_ == nullptr || buffer == nullptr || n == 0) return 0;
    return std::fwrite(buffer, 1, n, stream_);
}

size_t File::WriteBlock(const void* buffer, size_t n) {
    if (stream_ == nullptr || buffer == nullptr || n == 0) return 0;
    return std::fwrite(buffer, n, 1, stream_);
}

int File::Seek(int origin, long offset) {
    if (entry_ != nullptr) {
        switch (origin) {
            case 0: position_ = offset; return 0;
            case 1: position_ += offset; return 0;
            case 2: position_ = static_cast<int64_t>(entry_->GetSize()) + offset; return 0;
            default: return -1;
        }
    }
    if (stream_ == nullptr) return -1;
    int whence;
    switch (origin) {
        case 0: whence = SEEK_SET; break;
        case 1: whence = SEEK_CUR; break;
        case 2: whence = SEEK_END; break;
        default: return -1;
    }
    return std::fseek(stream_, offset, whence);
}

int File::Skip(long n) { return Seek(1, n); }

long File::Tell() {
    if (entry_ != nullptr) return static_cast<long>(position_);
    return stream_ != nullptr ? std::ftell(stream_) : -1;
}

long File::GetSize() {
    if (entry_ != nullptr) return static_cast<long>(entry_->GetSize());
    if (stream_ == nullptr) return -1;
    long position = std::ftell(stream_);
    if (position < 0 || std::fseek(stream_, 0, SEEK_END) != 0) return -1;
    long size = std::ftell(stream_);
    std::fseek(stream_, position, SEEK_SET);
    return size;
}

uint32_t File::ReadAll(uint8_t*& buffer, uint32_t& size) {
    buffer = nullptr;
    long total = GetSize();
    // The buffer holds size + 1 bytes, counted in 32 bits.
    if (total <= 0 || static_cast<unsigned long>(total) >= UINT32_MAX) return 0;
    auto* bytes = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(total) + 1, 1));
    if (bytes == nullptr) return 0;
    size_t got;
    if (entry_ != nullptr) {
        got = static_cast<size_t>(total);
        std::memcpy(bytes, entry_->GetData(), got);
    } else {
        // A file that shrinks meanwhile gives what is left; one that grows
        // gives the measured size.
        got = std::fread(bytes, 1, static_cast<size_t>(total), stream_);
    }
    if (got == 0) {
        std::free(bytes);
        return 0;
    }
    buffer = bytes;
    size = static_cast<uint32_t>(got);
    return size;
}

void File::Close() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
}

uint32_t ReadWholeFile(const std::string& name, uint8_t*& buffer, uint32_t& size) {
    buffer = nullptr;
    File* file = File::OpenRead(name);
    if (file == nullptr) return 0;
    uint32_t got = file->ReadAll(buffer, size);
    file->Close();
    delete file;
    return got;
}

bool ReadWholeFile(const std::string& name, std::vector<uint8_t>& out) {
    uint8_t* buffer = nullptr;
    uint32_t size = 0;
    const uint32_t read = ReadWholeFile(name, buffer, size);
    const bool ok = buffer != nullptr && read != 0 && read == size;
    if (ok) out.assign(buffer, buffer + size);
    std::free(buffer);
    return ok;
}

bool FileExists(const std::string& name) {
    File* file = File::OpenRead(name);
    delete file;
    return file != nullptr;
}

bool DeleteFile(const std::string& name) { return ::DeleteFileA(name.c_str()) != FALSE; }

bool CopyFile(const std::string& source, const std::string& destination) {
    return ::CopyFileA(source.c_str(), destination.c_str(), TRUE) != FALSE;
}

bool MoveFile(const std::string& source, const std::string& destination) {
    return ::MoveFileA(source.c_str(), destination.c_str()) != FALSE;
}

bool ReplaceFile(const std::string& replaced, const std::string& replacement) {
    return ::ReplaceFileA(replaced.c_str(), replacement.c_str(), nullptr, REPLACEFILE_WRITE_THROUGH, nullptr,
                          nullptr) != FALSE;
}

namespace {
std::string& RootFolder() {
    static std::string root;
    return root;
}
}  // namespace

const std::string& GetRootFolder() { return RootFolder(); }

void SetRootFolder(const std::string& folder) { RootFolder() = folder; }

}  // namespace IO

std::vector<std::string>& ListDirectory(const std::string& folder) {
    static std::vector<std::string> names;
    names.clear();
    if (folder.empty()) return names;
    char last = folder.back();
    std::string pattern = folder + (last == '/' || last == '\\' ? "*" : "/*");
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const char* name = data.cFileName;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0 || std::strcmp(name, ".svn") == 0) continue;
        names.emplace_back(name);
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return names;
}
