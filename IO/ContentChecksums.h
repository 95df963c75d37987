#pragma once
// 64-bit content checksums (the first eight bytes of an MD5 digest) and the
// process-wide table of the checksums of the XML files read by name.
#include <cstdint>
#include <map>
#include <string>

// MD5 of the bytes, digest bytes 0..7 as a little-endian value. Length -1
// hashes the zero-terminated text including its terminator. Null data or a
// first byte of zero gives all bits set, whatever the length.
uint64_t ComputeChecksum64(const void* data, int length);
uint64_t ComputeStringChecksum64(const std::string& text);

class ContentChecksums {
public:
    // Checksums the zero-terminated text (terminator included) and stores it
    // under the file's lower-cased base name (behind the last '/' or '\').
    static uint64_t Store(const std::string& fileName, const char* text);
    // Exact, case-sensitive look-up; 0 when the key was never stored.
    static uint64_t Find(const std::string& key);
    // The whole table, keyed by lower-cased base name.
    static const std::map<std::string, uint64_t>& Table();
};
