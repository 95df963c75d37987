#include "Classes/Battle/CInputMonitor.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <istream>
#include <ostream>

#include "IO/File.h"
#include "IO/MemoryStream.h"

namespace {

const char kMagic[4] = {'D', 'E', 'M', '\0'};
const int kRecordSize = 16;

// Characters a file name may take from a map name.
bool KeptInFileName(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == ' ' || c == '-' || c == '_';
}

}  // namespace

int DemoInput::Write(MemoryStream& stream) const {
    stream.WriteUInt32(frame);
    stream.WriteInt32(type);
    stream.WriteInt32(x);
    stream.WriteInt32(y);
    return 1;
}

int DemoInput::Read(MemoryStream& stream) {
    stream.ReadUInt32(frame);
    stream.ReadInt32(type);
    stream.ReadInt32(x);
    stream.ReadInt32(y);
    return 1;
}

std::ostream& operator<<(std::ostream& out, const DemoInput& input) {
    return out << input.frame << ' ' << input.type << ' ' << input.x << ' ' << input.y;
}

std::istream& operator>>(std::istream& in, DemoInput& input) {
    return in >> input.frame >> input.type >> input.x >> input.y;
}

CInputMonitor::CInputMonitor(const char* mapName)
    : map_name_(mapName != nullptr ? mapName : ""), score_(0), last_frame_(0), read_index_(0) {}

void CInputMonitor::Add(const DemoInput& input) { records_.push_back(input); }

void CInputMonitor::SetResult(int32_t lastFrame, int32_t score) {
    last_frame_ = lastFrame;
    score_ = score;
}

int CInputMonitor::WriteBody(MemoryStream& stream) const {
    stamp_.Write(stream);
    stream.WriteString(map_name_);
    stream.WriteInt32(score_);
    stream.WriteInt32(last_frame_);
    stream.WriteInt32(static_cast<int32_t>(records_.size()));
    for (const DemoInput& record : records_) record.Write(stream);
    return 1;
}

int CInputMonitor::ReadBody(MemoryStream& stream) {
    const bool stamped = stamp_.Read(stream) == 1;
    stream.ReadString(map_name_);
    stream.ReadInt32(score_);
    stream.ReadInt32(last_frame_);
    int32_t count = 0;
    stream.ReadInt32(count);
    // The count comes from the file: only as many records as the stream still holds.
    int32_t read = 0;
    for (; read < count && stream.GetBytesLeft() >= kRecordSize; ++read) {
        DemoInput record;
        record.Read(stream);
        records_.push_back(record);
    }
    return stamped && read == std::max(count, 0) && stream.GetBytesLeft() >= 0 ? 1 : 0;
}

int CInputMonitor::Write(MemoryStream& stream) const {
    stream.Clear();
    stream.Write(kMagic, sizeof kMagic);
    return WriteBody(stream);
}

int CInputMonitor::Read(MemoryStream& stream) {
    char magic[sizeof kMagic];
    stream.Read(magic, sizeof magic);
    return ReadBody(stream);
}

const char* CInputMonitor::MakeFileName() const {
    const std::time_t now = std::time(nullptr);
    std::tm local = {};
    localtime_r(&now, &local);
    return MakeFileName(local);
}

const char* CInputMonitor::MakeFileName(const std::tm& when) const {
    static char buffer[1024];
    std::string map;
    for (const char c : map_name_)
        if (KeptInFileName(c)) map += c;
    std::snprintf(buffer, sizeof buffer - 4, "%d-%02d-%02d - %02d.%02d.%02d - %s (%d)", when.tm_year + 1900,
                  when.tm_mon + 1, when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec, map.c_str(), score_);
    std::strcat(buffer, ".dem");
    return buffer;
}

int32_t CInputMonitor::SaveToFile() const {
    MemoryStream stream;
    Write(stream);
    int length = 0;
    const char* bytes = stream.GetBuffer(length);
    if (bytes == nullptr || length <= 0) return 0;
    const char* name = MakeFileName();
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    if (!out) return 0;
    out.write(bytes, length);
    out.close();
    if (!out) return 0;
    std::printf("Demo saved to %s (map: %s, score: %d, last frame: %d)\n", name, map_name_.c_str(), score_,
                last_frame_);
    return 1;
}

int32_t CInputMonitor::LoadFromFile(const char* fileName) {
    records_.clear();
    if (fileName == nullptr || *fileName == '\0') return 0;
    std::vector<uint8_t> bytes;
    if (!IO::ReadWholeFile(fileName, bytes)) return 0;
    MemoryStream stream;
    stream.Write(bytes.data(), static_cast<int>(bytes.size()));
    Read(stream);
    return 1;
}

const std::vector<DemoInput>& CInputMonitor::RecordsDueAt(uint32_t frame) {
    static std::vector<DemoInput> due;
    due.clear();
    // A record of a frame already passed (out of order, or of a frame the replay never
    // stopped at) is due now rather than holding back every later one.
    while (static_cast<size_t>(read_index_) < records_.size() && records_[read_index_].frame <= frame)
        due.push_back(records_[read_index_++]);
    return due;
}

int32_t CInputMonitor::FramesToNextInput(int32_t frame) const {
    if (IsPastEnd(frame)) return -1;
    for (size_t i = static_cast<size_t>(read_index_); i < records_.size(); ++i)
        if (static_cast<int32_t>(records_[i].frame) != frame) return static_cast<int32_t>(records_[i].frame) - frame;
    return -1;
}

int32_t CInputMonitor::ByteSize() const {
    return static_cast<int32_t>(map_name_.size() + kRecordSize * records_.size() + 12);
}

void CInputMonitor::Dump() const {
    std::printf("===== INPUT =====\n");
    for (const DemoInput& record : records_)
        std::printf("%8d %d %4d %4d\n", static_cast<int>(record.frame), record.type, record.x, record.y);
    std::printf("=================\n");
}
