#pragma once
// The data checksum of the written sample data, for the game to compile in.
#include <cstdint>
#include <string>

namespace databuilder {

// The exclusive-or of the stamp files' checksums under the game folder; false when
// one cannot be read.
bool ShippedDataChecksum(const std::string& gameDir, uint64_t& checksum);
// That checksum as the definition of ShippedDataChecksum, written only when it changed.
bool WriteStampSource(const std::string& gameDir, const std::string& sourcePath);

}  // namespace databuilder
