#pragma once
// A battle's recording: the player's actions, each at the battle step it was given,
// with the data stamp, the map, the final score and the last step. The battle keeps
// one as its recorder; a second one, loaded from a ".dem" file, drives a battle in
// playback. One body format serves the ".dem" file, the savegame and the score
// submission.
#include <cstdint>
#include <ctime>
#include <iosfwd>
#include <string>
#include <vector>

#include "Classes/Battle/DataStamp.h"

class MemoryStream;

// One action, 16 bytes in memory and in the file. Types: 0 buy (spot id, defender
// button), 1 heal or resurrect, 2 teleport (unit id, spot id), 3 hide or unhide, 4 and 5
// upgrade hit points and weapon (unit id, 0 or 1), 6 sell, 7 to 9 the three spells
// (target id), 10 the end-of-wave summary closed.
struct DemoInput {
    // The types a battle records.
    static constexpr int32_t kFirstType = 0;
    static constexpr int32_t kLastType = 10;

    uint32_t frame;
    int32_t type;
    int32_t x;
    int32_t y;

    DemoInput() : frame(0), type(-1), x(-1), y(-1) {}
    DemoInput(uint32_t frame_, int32_t type_, int32_t x_, int32_t y_) : frame(frame_), type(type_), x(x_), y(y_) {}

    int Write(MemoryStream& stream) const;
    int Read(MemoryStream& stream);
};
static_assert(sizeof(DemoInput) == 16, "a demo input is 16 bytes");

std::ostream& operator<<(std::ostream& out, const DemoInput& input);
std::istream& operator>>(std::istream& in, DemoInput& input);

class CInputMonitor {
public:
    // The battle's recorder is made with its map's name, a player with none.
    explicit CInputMonitor(const char* mapName = nullptr);

    void Add(const DemoInput& input);
    // The end of the battle: its last step and its score.
    void SetResult(int32_t lastFrame, int32_t score);

    // Stamp, map name, score, last frame, record count, records. Reading appends to
    // the records already held and stops at a record the stream has no room for; it
    // answers 0 when the body was cut short (the records read are kept).
    int WriteBody(MemoryStream& stream) const;
    int ReadBody(MemoryStream& stream);
    // The stream emptied, then "DEM" and a zero byte before the body.
    int Write(MemoryStream& stream) const;
    // Skips the four head bytes (not checked), then the body.
    int Read(MemoryStream& stream);

    // "year-mm-dd - hh.mm.ss - map (score).dem" at the local time of now, in a buffer
    // the next call overwrites. Only letters, digits, blanks, '-' and '_' of the map
    // name are kept, so the name stays in the current folder.
    const char* MakeFileName() const;
    const char* MakeFileName(const std::tm& when) const;
    // The monitor with its head into a ".dem" file of the current folder named so; 0
    // when nothing was written.
    int32_t SaveToFile() const;
    // Empties the records, then reads the monitor from the file; 0 for no name or a
    // file that is missing or empty.
    int32_t LoadFromFile(const char* fileName);

    // The records from the read index on that are due at the frame (given at it or
    // before it), the read index moved past them. A process-wide list the next call
    // overwrites.
    const std::vector<DemoInput>& RecordsDueAt(uint32_t frame);
    bool IsPastEnd(int32_t frame) const { return frame > last_frame_; }
    // Frames from this one to the next record at another frame; -1 past the end or
    // without one.
    int32_t FramesToNextInput(int32_t frame) const;
    // Map name, records and the three numbers, without stamp and head.
    int32_t ByteSize() const;
    void Dump() const;

    DataStamp& GetStamp() { return stamp_; }
    const DataStamp& GetStamp() const { return stamp_; }
    const char* GetMapName() const { return map_name_.c_str(); }
    int32_t GetScore() const { return score_; }
    int32_t GetLastFrame() const { return last_frame_; }
    const std::vector<DemoInput>& GetRecords() const { return records_; }
    int32_t GetReadIndex() const { return read_index_; }

private:
    DataStamp stamp_;
    std::string map_name_;
    int32_t score_;
    int32_t last_frame_;
    std::vector<DemoInput> records_;
    int32_t read_index_;
};
