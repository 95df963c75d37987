#include "IO/ContentChecksums.h"

#include <cstring>
#include <md5.h>

namespace {

std::map<std::string, uint64_t>& Checksums() {
    // Filled by the main and the loader thread, which run by turns: no lock.
    static std::map<std::string, uint64_t> table;
    return table;
}

}  // namespace

uint64_t ComputeChecksum64(const void* data, int length) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    if (bytes == nullptr || bytes[0] == 0) return ~uint64_t(0);
    size_t n;
    if (length == -1) n = std::strlen(reinterpret_cast<const char*>(bytes)) + 1;
    else if (length < 0) n = 0;
    else n = static_cast<size_t>(length);

    MD5_CTX ctx;
    MD5Init(&ctx);
    MD5Update(&ctx, bytes, n);
    uint8_t digest[MD5_DIGEST_LENGTH];
    MD5Final(digest, &ctx);

    uint64_t value = 0;
    for (int i = 0; i < 8; ++i) value |= static_cast<uint64_t>(digest[i]) << (8 * i);
    return value;
}

uint64_t ComputeStringChecksum64(const std::string& text) { return ComputeChecksum64(text.c_str(), -1); }

namespace {

std::string KeyOf(const std::string& fileName) {
    const size_t cut = fileName.find_last_of("/\\");
    std::string key = cut == std::string::npos ? fileName : fileName.substr(cut + 1);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return key;
}

}  // namespace

uint64_t ContentChecksums::Store(const std::string& fileName, const char* text) {
    const uint64_t checksum = ComputeChecksum64(text, -1);
    Checksums()[KeyOf(fileName)] = checksum;
    return checksum;
}

uint64_t ContentChecksums::Find(const std::string& key) {
    const auto& table = Checksums();
    const auto it = table.find(key);
    return it == table.end() ? 0 : it->second;
}

const std::map<std::string, uint64_t>& ContentChecksums::Table() { return Checksums(); }
