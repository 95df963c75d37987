// The checksum the game expects of its data: over the stamp files as written here,
// each as the game's XML readers checksum it (its text up to the first zero byte and
// one zero byte), the first eight bytes of the MD5 digest as a little-endian value,
// all fourteen combined by exclusive-or. Written as a source the game compiles in.
#include "tools/databuilder/StampSource.h"

#include <md5.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "tools/catalogue/DataStamp.h"

namespace databuilder {
namespace {

bool FileChecksum(const std::string& path, uint64_t& checksum) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::vector<char> text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    text.erase(std::find(text.begin(), text.end(), '\0'), text.end());
    // An empty text checksums as all bits set, as the game's checksum does.
    if (text.empty()) {
        checksum = ~uint64_t(0);
        return true;
    }
    text.push_back('\0');
    MD5_CTX context;
    MD5Init(&context);
    MD5Update(&context, reinterpret_cast<const uint8_t*>(text.data()), text.size());
    uint8_t digest[MD5_DIGEST_LENGTH];
    MD5Final(digest, &context);
    checksum = 0;
    for (int i = 0; i < 8; ++i) checksum |= static_cast<uint64_t>(digest[i]) << (8 * i);
    return true;
}

}  // namespace

bool ShippedDataChecksum(const std::string& gameDir, uint64_t& checksum) {
    checksum = 0;
    for (const catalogue::stamp::File& f : catalogue::stamp::kFiles) {
        const std::string path =
            gameDir + "/" + (f.folder != nullptr ? f.folder->Path() : std::string()) + f.file;
        uint64_t file = 0;
        if (!FileChecksum(path, file)) {
            std::fprintf(stderr, "databuilder: %s cannot be read for the data checksum\n", path.c_str());
            return false;
        }
        checksum ^= file;
    }
    return true;
}

bool WriteStampSource(const std::string& gameDir, const std::string& sourcePath) {
    uint64_t checksum = 0;
    if (!ShippedDataChecksum(gameDir, checksum)) return false;
    char value[32];
    std::snprintf(value, sizeof value, "0x%016llXULL", static_cast<unsigned long long>(checksum));
    const std::string text = std::string("// Written by the data builder: the data checksum of the sample data.\n") +
                             "#include <cstdint>\n\n"
                             "extern const uint64_t ShippedDataChecksum;\n"
                             "const uint64_t ShippedDataChecksum = " + value + ";\n";
    {
        std::ifstream in(sourcePath, std::ios::binary);
        std::ostringstream old;
        old << in.rdbuf();
        // Unchanged: the game is not compiled again.
        if (in && old.str() == text) return true;
    }
    std::ofstream out(sourcePath, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        std::fprintf(stderr, "databuilder: cannot write %s\n", sourcePath.c_str());
        return false;
    }
    return true;
}

}  // namespace databuilder
