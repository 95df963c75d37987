#pragma once
// Shared pieces of the game-data readers: record insertion under the first-key-wins
// rule and the enumeration texts.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Classes/Dictionary/GameDictionary/DictionaryXml.h"

namespace dictionary {

inline std::string KeyText(int32_t key) { return std::to_string(key); }
inline std::string KeyText(const std::string& key) { return "\"" + key + "\""; }

// The insert never replaces: a repeated key drops the new record.
template <class Table, class Key, class Record>
void Insert(Table& table, const Key& key, const Record& record, DictionaryXml& xml, const char* element) {
    if (!table.insert(typename Table::value_type(key, record)).second)
        xml.Note(std::string("<") + element + "> " + KeyText(key) + " is defined before; this one is dropped");
}

struct EnumText {
    const char* text;
    int32_t value;
};

template <size_t N>
bool LookUp(const EnumText (&table)[N], const std::string& text, int32_t& value) {
    for (const EnumText& entry : table) {
        if (text == entry.text) {
            value = entry.value;
            return true;
        }
    }
    return false;
}

}  // namespace dictionary
