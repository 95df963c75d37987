#include "Core/Language.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "IO/File.h"

namespace {

const uint8_t kMagic[4] = {'L', 'A', 'N', 0};
// The room for one key and one text; an entry longer than either is skipped.
const uint32_t kMaxKeyBytes = 255;
const uint32_t kMaxTextUnits = 10240;

const LanguageInfo kLanguages[] = {
    {kEnglish, "en.lan", "UI: ENGLISH READ IN", "ENGUnPressed"},
    {kFrench, "fr.lan", "UI: FRANCH READ IN", "FRAUnPressed"},
    {kItalian, "it.lan", "UI: ITALIAN READ IN", "ITAUnPressed"},
    {kGerman, "ge.lan", "UI: GERMAN READ IN", "GERUnPressed"},
    {kSpanish, "sp.lan", "UI: ESPANOL READ IN", "SPAUnPressed"},
    {kRussian, "ru.lan", "UI: RUSSICHE READ IN", "RUSUnPressed"},
    {kJapanese, "jp.lan", "UI: JAPANESE READ IN", "JAPPressed"},
};

int g_languageIndex = kNoLanguage;

// Lives for the whole process; texts are handed out by reference.
LanguageTable& Table() {
    static LanguageTable table;
    return table;
}

class Reader {
public:
    explicit Reader(IO::File& file) : file_(file) {}

    bool Bytes(void* buffer, uint32_t n) { return n == 0 || static_cast<uint32_t>(file_.Read(buffer, n)) == n; }
    bool UInt32(uint32_t& value) {
        uint8_t b[4];
        if (!Bytes(b, 4)) return false;
        value = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
        return true;
    }
    // Passes over n bytes by reading them, so a length beyond the file ends in a short read.
    bool Skip(uint64_t n) {
        uint8_t discard[4096];
        while (n > 0) {
            const uint32_t chunk = n < sizeof(discard) ? static_cast<uint32_t>(n) : sizeof(discard);
            if (!Bytes(discard, chunk)) return false;
            n -= chunk;
        }
        return true;
    }

private:
    IO::File& file_;
};

// UTF-16 units to code points; a lone surrogate is kept as it is.
std::wstring DecodeUtf16(const std::vector<uint16_t>& units) {
    std::wstring text;
    text.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        const uint32_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            text.push_back(static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00)));
            ++i;
        } else {
            text.push_back(static_cast<wchar_t>(u));
        }
    }
    return text;
}

}  // namespace

const LanguageInfo* FindLanguage(int code) {
    for (const LanguageInfo& info : kLanguages)
        if (info.code == code) return &info;
    return nullptr;
}

LanguageReadResult ReadLanguageEntries(IO::File& file, LanguageTable& table) {
    Reader in(file);
    uint8_t magic[4];
    if (!in.Bytes(magic, 4) || std::memcmp(magic, kMagic, 4) != 0) return kLanguageReadBadMagic;
    uint32_t unused, count;
    if (!in.UInt32(unused) || !in.UInt32(count)) return kLanguageReadTruncated;

    // Each entry takes at least eight bytes, so a huge count ends at the file's end.
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t keyLength;
        if (!in.UInt32(keyLength)) return kLanguageReadTruncated;
        const bool keyFits = keyLength <= kMaxKeyBytes;
        char key[kMaxKeyBytes + 1] = {};
        if (keyFits ? !in.Bytes(key, keyLength) : !in.Skip(keyLength)) return kLanguageReadTruncated;

        uint32_t textLength;
        if (!in.UInt32(textLength)) return kLanguageReadTruncated;
        const bool textFits = textLength <= kMaxTextUnits;
        if (!keyFits || !textFits) {
            if (!in.Skip(uint64_t(textLength) * 2)) return kLanguageReadTruncated;
            continue;
        }
        std::vector<uint8_t> bytes(size_t(textLength) * 2);
        if (!in.Bytes(bytes.data(), textLength * 2)) return kLanguageReadTruncated;
        std::vector<uint16_t> units(textLength);
        for (uint32_t u = 0; u < textLength; ++u) units[u] = uint16_t(bytes[2 * u] | bytes[2 * u + 1] << 8);
        table[key] = DecodeUtf16(units);
    }
    return kLanguageReadOk;
}

bool LoadLanguageFile(int code, const std::string& path) {
    IO::File* file = IO::File::OpenRead(path.c_str());
    if (!file) return false;
    g_languageIndex = code;
    const LanguageReadResult result = ReadLanguageEntries(*file, Table());
    file->Close();
    delete file;
    return result == kLanguageReadOk;
}

std::wstring& GetLocalizedText(const std::string& key) { return Table()[key]; }

bool HasLocalizedText(const std::string& key) {
    const LanguageTable& table = Table();
    return !table.empty() && table.count(key) != 0;
}

int GetLanguageIndex() { return g_languageIndex; }
