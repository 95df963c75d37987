// Any bytes as a packed archive: mounting reads the index, and the entries of the
// seed archives are decoded when their names survive.
#include <archive.h>
#include <archive_entry.h>

#include <cstdint>
#include <string>
#include <vector>

#include "IO/PackedFiles.h"
#include "tests/support/FuzzInput.h"

namespace {

const char* const kNames[] = {"a.txt", "dir/caf\xc3\xa9.txt", "data/level.xml", "empty.bin"};

// A 7z archive of the names, each with some bytes, its head scrambled as the game stores it.
std::string MakeArchive(const char* filter) {
    std::vector<char> out(1 << 16);
    size_t used = 0;
    archive* writer = archive_write_new();
    archive_write_set_format_7zip(writer);
    archive_write_set_format_option(writer, "7zip", "compression", filter);
    archive_write_open_memory(writer, out.data(), out.size(), &used);
    int i = 0;
    for (const char* name : kNames) {
        const std::string body = i == 3 ? std::string() : std::string(200 * (i + 1), static_cast<char>('a' + i));
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname_utf8(entry, name);
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, static_cast<la_int64_t>(body.size()));
        archive_write_header(writer, entry);
        archive_write_data(writer, body.data(), body.size());
        archive_entry_free(entry);
        ++i;
    }
    archive_write_close(writer);
    archive_write_free(writer);
    std::string bytes(out.data(), used);
    for (size_t k = 0; k < bytes.size() && k < 32; ++k)
        bytes[k] = static_cast<char>(static_cast<uint8_t>(bytes[k]) + ArchiveInputStream::kScrambleTable[k]);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    for (const char* filter : {"copy", "lzma1", "lzma2", "deflate"})
        fuzzinput::AddSeed(std::string("archive-") + filter + ".7z", MakeArchive(filter));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzzinput::WriteInput(data, size);
    if (path.empty()) return 0;
    if (MountResourceArchive(path)) {
        for (const char* name : kNames)
            if (std::shared_ptr<PackedFileEntry> entry = PackedFileRegistry::Find(name)) entry->Extract();
    }
    ReleasePackedFiles();
    return 0;
}
