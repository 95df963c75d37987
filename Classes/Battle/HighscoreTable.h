#pragma once
// The local high-score table: per map the ten best scores with their players' names,
// kept in "highscores.dat" in the current folder and rewritten after every insertion.
#include <cstdint>
#include <map>
#include <set>
#include <string>

// One row of a list; the position is the rank an online reply gives (-1 here).
struct HighscoreEntry {
    int32_t position;
    std::string name;
    int32_t score;

    HighscoreEntry() : position(-1), score(0) {}
    HighscoreEntry(const std::string& name_, int32_t score_) : position(-1), name(name_), score(score_) {}
};

// Highest score first; equal scores keep their insertion order.
struct HigherScore {
    bool operator()(const HighscoreEntry& a, const HighscoreEntry& b) const { return a.score > b.score; }
};

class HighscoreTable {
public:
    typedef std::multiset<HighscoreEntry, HigherScore> List;
    static const size_t kListSize = 10;

    // Loads "highscores.dat" (an empty table without it).
    HighscoreTable();

    // Empties the table and reads the file; 0 when it does not open. A name longer
    // than 511 bytes is cut to 511; a count beyond the file's end stops the reading.
    int32_t Load();
    // The whole table into the file, in one step; 0 when it could not be written.
    int32_t Save() const;
    // The map's list; an empty one (shared) without it.
    const List& Find(const std::string& mapName) const;
    // 1 when the score enters the map's list: an empty list, or a lowest score below it.
    int32_t Qualifies(const std::string& mapName, int32_t score) const;
    // The entry into the map's list, the list cut back to ten, then Save's answer.
    int32_t Insert(const std::string& mapName, const std::string& playerName, int32_t score);

    const std::map<std::string, List>& GetLists() const { return lists_; }

private:
    std::map<std::string, List> lists_;
};
