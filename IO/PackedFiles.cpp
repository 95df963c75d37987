#include "IO/PackedFiles.h"

#include <archive.h>
#include <archive_entry.h>

#include <locale.h>

#include <cerrno>
#include <climits>
#include <mutex>

#include "platform/win32/FileSystem.h"

// ---- the un-scrambling archive stream ----

const uint8_t ArchiveInputStream::kScrambleTable[32] = {
    0x5e, 0x1a, 0x7c, 0x03, 0xd9, 0xf2, 0x4b, 0x8e, 0x61, 0xc0, 0xa3, 0x9d, 0x7f, 0x5b, 0x2e, 0x48,
    0x0c, 0x6d, 0x1f, 0x93, 0xa7, 0xe2, 0x4b, 0x05, 0xd8, 0xc3, 0xf1, 0x69, 0x7a, 0x2e, 0x0b, 0x4c,
};

ArchiveInputStream::ArchiveInputStream(const std::string& path) : file_(platform::OpenFile(path, "rb")) {}

ArchiveInputStream::~ArchiveInputStream() {
    if (file_ != nullptr) std::fclose(file_);
}

int ArchiveInputStream::Read(void* buffer, size_t& size) {
    if (file_ == nullptr) {
        size = 0;
        return kReadError;
    }
    long start = std::ftell(file_);
    size_t got = std::fread(buffer, 1, size, file_);
    size = got;
    if (got == 0 && std::ferror(file_)) return kReadError;
    if (start >= 0 && start < 32) {
        auto* bytes = static_cast<uint8_t*>(buffer);
        for (size_t i = 0; i < got && start + static_cast<long>(i) < 32; ++i)
            bytes[i] = static_cast<uint8_t>(bytes[i] - kScrambleTable[start + i]);
    }
    return kOk;
}

int ArchiveInputStream::Seek(int64_t& position, int origin) {
    int whence;
    switch (origin) {
        case 0: whence = SEEK_SET; break;
        case 1: whence = SEEK_CUR; break;
        case 2: whence = SEEK_END; break;
        default: return kSeekError;
    }
    if (file_ == nullptr || std::fseek(file_, static_cast<long>(position), whence) != 0) return kSeekError;
    position = std::ftell(file_);
    return kOk;
}

// ---- the decoder over that stream ----

namespace {

// The library converts an entry's name to the locale's character set as it
// reads the index, and the game never sets a locale: in the "C" locale a name
// beyond ASCII cannot be converted and the entry comes without one. While an
// archive is read, the reading thread works in a UTF-8 locale of its own.
class ScopedUtf8Locale {
public:
    ScopedUtf8Locale() : utf8_(newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0))) {
        if (utf8_ != static_cast<locale_t>(0)) previous_ = uselocale(utf8_);
    }
    ~ScopedUtf8Locale() {
        if (utf8_ == static_cast<locale_t>(0)) return;
        uselocale(previous_);
        freelocale(utf8_);
    }
    ScopedUtf8Locale(const ScopedUtf8Locale&) = delete;
    ScopedUtf8Locale& operator=(const ScopedUtf8Locale&) = delete;

private:
    locale_t utf8_;
    locale_t previous_ = static_cast<locale_t>(0);
};

// One open archive, read by libarchive through an ArchiveInputStream.
class ArchiveReader {
public:
    explicit ArchiveReader(const std::string& path) : stream_(path), block_(64 * 1024) {
        if (!stream_.IsOpen()) return;
        archive_ = archive_read_new();
        archive_read_support_format_7zip(archive_);
        archive_read_set_callback_data(archive_, this);
        archive_read_set_read_callback(archive_, &ReadBlock);
        archive_read_set_seek_callback(archive_, &SeekTo);
        opened_ = archive_read_open1(archive_) == ARCHIVE_OK;
    }
    ~ArchiveReader() {
        if (archive_ != nullptr) archive_read_free(archive_);
    }

    bool IsOpen() const { return opened_; }

    // The next entry: 1 one is there, 0 the end, -1 an error.
    int Next(archive_entry*& entry) {
        int rc = archive_read_next_header(archive_, &entry);
        if (rc == ARCHIVE_EOF) return 0;
        return rc == ARCHIVE_OK || rc == ARCHIVE_WARN ? 1 : -1;
    }

    // Decodes the current entry's data; false on a decoder error or past
    // 4 GiB.
    bool ReadData(std::vector<uint8_t>& out) {
        out.clear();
        uint8_t buffer[64 * 1024];
        for (;;) {
            la_ssize_t n = archive_read_data(archive_, buffer, sizeof(buffer));
            if (n == 0) return true;
            if (n < 0 || out.size() + static_cast<size_t>(n) >= UINT32_MAX) return false;
            out.insert(out.end(), buffer, buffer + n);
        }
    }

    // In UTF-8, the form the game looks names up in.
    static std::string NameOf(archive_entry* entry) {
        const char* name = archive_entry_pathname_utf8(entry);
        if (name == nullptr) name = archive_entry_pathname(entry);
        return name != nullptr ? name : std::string();
    }
    static bool IsFolder(archive_entry* entry) { return archive_entry_filetype(entry) == AE_IFDIR; }

private:
    static la_ssize_t ReadBlock(archive* a, void* self, const void** buffer) {
        auto* reader = static_cast<ArchiveReader*>(self);
        size_t size = reader->block_.size();
        if (reader->stream_.Read(reader->block_.data(), size) != ArchiveInputStream::kOk) {
            archive_set_error(a, EIO, "archive read error");
            return -1;
        }
        *buffer = reader->block_.data();
        return static_cast<la_ssize_t>(size);
    }
    static la_int64_t SeekTo(archive*, void* self, la_int64_t offset, int whence) {
        int origin = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? 1 : whence == SEEK_END ? 2 : -1;
        int64_t position = offset;
        if (static_cast<ArchiveReader*>(self)->stream_.Seek(position, origin) != ArchiveInputStream::kOk)
            return ARCHIVE_FATAL;
        return position;
    }

    ScopedUtf8Locale locale_;
    ArchiveInputStream stream_;
    std::vector<uint8_t> block_;
    archive* archive_ = nullptr;
    bool opened_ = false;
};

struct Registry {
    std::mutex mutex;
    std::unordered_map<std::string, std::shared_ptr<PackedFileEntry>> entries;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

}  // namespace

// ---- entries and registry ----

PackedFileEntry::PackedFileEntry(std::string name, std::string archivePath, uint32_t size)
    : name_(std::move(name)), archive_path_(std::move(archivePath)), size_(size) {}

bool PackedFileEntry::Extract() {
    if (extracted_) return true;
    ArchiveReader reader(archive_path_);
    if (!reader.IsOpen()) return false;
    bool found = false;
    std::vector<uint8_t> bytes;
    archive_entry* entry = nullptr;
    for (int rc; (rc = reader.Next(entry)) != 0;) {
        if (rc < 0) return false;
        if (ArchiveReader::IsFolder(entry) || ArchiveReader::NameOf(entry) != name_) continue;
        // A later entry of the same name wins, as it does in the registry.
        if (!reader.ReadData(bytes)) return false;
        found = true;
    }
    if (!found) return false;
    data_ = std::move(bytes);
    size_ = static_cast<uint32_t>(data_.size());
    extracted_ = true;
    return true;
}

std::shared_ptr<PackedFileEntry> PackedFileRegistry::Find(const std::string& name) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.entries.find(name);
    return it != r.entries.end() ? it->second : nullptr;
}

void PackedFileRegistry::Add(const std::shared_ptr<PackedFileEntry>& entry) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.entries[entry->GetName()] = entry;
}

void PackedFileRegistry::Clear() {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.entries.clear();
}

size_t PackedFileRegistry::Count() {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.entries.size();
}

bool MountResourceArchive(const std::string& archivePath) {
    ArchiveReader reader(archivePath);
    if (!reader.IsOpen()) return false;
    std::vector<std::shared_ptr<PackedFileEntry>> found;
    archive_entry* entry = nullptr;
    for (int rc; (rc = reader.Next(entry)) != 0;) {
        if (rc < 0) return false;  // a broken index: nothing is entered
        std::string name = ArchiveReader::NameOf(entry);
        if (ArchiveReader::IsFolder(entry) || name.empty()) continue;
        auto size = static_cast<uint32_t>(static_cast<uint64_t>(archive_entry_size(entry)) & 0xffffffffu);
        found.push_back(std::make_shared<PackedFileEntry>(name, archivePath, size));
    }
    for (const auto& e : found) PackedFileRegistry::Add(e);
    return true;
}

void ReleasePackedFiles() { PackedFileRegistry::Clear(); }
