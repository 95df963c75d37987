// Any bytes as "highscores.dat": the table is read as the score window reads it, each
// of its lists is asked whether a score enters it, and a score is inserted (the table
// written back). Seeds: tables the game itself wrote.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "Classes/Battle/HighscoreTable.h"
#include "support/FuzzInput.h"

namespace {

const char kFile[] = "highscores.dat";

std::string ReadTable() {
    std::FILE* file = std::fopen(kFile, "rb");
    std::string bytes;
    if (file == nullptr) return bytes;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0) bytes.append(buffer, n);
    std::fclose(file);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::filesystem::current_path(fuzzinput::ScratchFolder());
    std::remove(kFile);
    HighscoreTable table;
    table.Insert("Harrowmere", "Keeper", 1200);
    fuzzinput::AddSeed("one.hsc", ReadTable());
    for (int i = 0; i < 12; ++i)
        table.Insert(i % 2 ? "Harrowmere" : "Other map", "Player " + std::to_string(i), i * 97);
    fuzzinput::AddSeed("full.hsc", ReadTable());
    std::remove(kFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    std::FILE* file = std::fopen(kFile, "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    HighscoreTable table;
    int32_t score = 0;
    for (const auto& list : table.GetLists())
        for (const HighscoreEntry& entry : list.second) score ^= entry.score;
    for (const auto& list : table.GetLists()) table.Qualifies(list.first, score);
    const std::string map = table.GetLists().empty() ? std::string("Harrowmere") : table.GetLists().begin()->first;
    table.Insert(map, "Keeper", score);
    HighscoreTable again;  // what was written reads back
    std::remove(kFile);
    return 0;
}
