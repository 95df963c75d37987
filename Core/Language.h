#pragma once
// The texts the player reads, looked up by key in one process-wide table filled from
// the language file (".lan") of the chosen language.
//
// .lan, little-endian: "LAN\0", a word nobody reads, the entry count N, then N entries:
// uint32 key length, key bytes, uint32 text length in UTF-16 units, UTF-16LE text.
#include <map>
#include <string>

namespace IO {
class File;
}

// The language codes; the registry value, the language window and the fonts use them.
enum LanguageCode {
    kEnglish = 0,
    kFrench = 1,
    kItalian = 2,
    kGerman = 3,
    kSpanish = 4,
    kRussian = 5,
    kJapanese = 6,
    kNoLanguage = 127,
};

struct LanguageInfo {
    int code;
    const char* file;     // in the configured language folder
    const char* message;  // printed by the intro once the file is loaded
    const char* button;   // the language window's button
};
// The seven languages in code order; null for any other code.
const LanguageInfo* FindLanguage(int code);

// Opens the file; false (index unchanged) when it does not open. Otherwise the index
// becomes the code, even when the magic then turns out wrong (false, table unchanged).
// Entries are added to the table, replacing texts of the same key; a file that ends
// early keeps the entries read so far and gives false.
bool LoadLanguageFile(int code, const std::string& path);

// The key's text; a key not in the table is entered with an empty text.
std::wstring& GetLocalizedText(const std::string& key);
// False while the table is empty, else whether it holds the key.
bool HasLocalizedText(const std::string& key);
// The code of the last file whose load was attempted; kNoLanguage before that.
int GetLanguageIndex();

typedef std::map<std::string, std::wstring> LanguageTable;
enum LanguageReadResult { kLanguageReadOk, kLanguageReadBadMagic, kLanguageReadTruncated };
// Reads a whole .lan file from the start into table. Keys are cut at their first zero
// byte; entries whose key is over 255 bytes or whose text is over 10240 units are
// skipped; a length of 0 is an empty key or text. Reading stops at the first short read.
LanguageReadResult ReadLanguageEntries(IO::File& file, LanguageTable& table);
