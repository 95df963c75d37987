#pragma once
// Writing and reading the battle's savegame records field by field. The first failure
// of the stream sticks: later fields are skipped and the result reports it. A count or
// text length read from the stream that is negative, or that the bytes still left could
// not hold, fails the read, so a damaged savegame never makes a reader allocate or loop
// on a number it could not have written.
#include <cstdint>
#include <string>

#include "IO/MemoryStream.h"
#include "Maths/IntVector3.h"

class RecordWriter {
public:
    explicit RecordWriter(MemoryStream& stream) : stream_(stream) {}
    RecordWriter& Int(int32_t value) {
        if (result_ == 1) result_ = stream_.WriteInt32(value);
        return *this;
    }
    RecordWriter& UInt(uint32_t value) {
        if (result_ == 1) result_ = stream_.WriteUInt32(value);
        return *this;
    }
    RecordWriter& Float(float value) {
        if (result_ == 1) result_ = stream_.WriteFloat(value);
        return *this;
    }
    RecordWriter& Vector(const IntVector3& v) { return Int(v.x).Int(v.y).Int(v.z); }
    RecordWriter& Text(const std::string& text) {
        if (result_ == 1) result_ = stream_.WriteString(text);
        return *this;
    }
    // 1 done, -1 once the stream has failed.
    int Result() const { return result_ == 1 ? 1 : -1; }

private:
    MemoryStream& stream_;
    int result_ = 1;
};

class RecordReader {
public:
    explicit RecordReader(MemoryStream& stream) : stream_(stream) {}
    RecordReader& Int(int32_t& value) {
        if (result_ == 1) result_ = stream_.ReadInt32(value);
        return *this;
    }
    RecordReader& UInt(uint32_t& value) {
        if (result_ == 1) result_ = stream_.ReadUInt32(value);
        return *this;
    }
    RecordReader& Float(float& value) {
        if (result_ == 1) result_ = stream_.ReadFloat(value);
        return *this;
    }
    RecordReader& Vector(IntVector3& v) { return Int(v.x).Int(v.y).Int(v.z); }
    // A count of elements that take at least elementBytes each in the stream.
    RecordReader& Count(int32_t& count, int elementBytes) {
        Int(count);
        if (result_ == 1 && (count < 0 || static_cast<int64_t>(count) * elementBytes > stream_.GetBytesLeft()))
            result_ = -1;
        return *this;
    }
    RecordReader& Text(std::string& text) {
        int32_t length = 0;
        Count(length, 1);
        if (result_ != 1) return *this;
        std::string bytes(static_cast<size_t>(length), '\0');
        if (length > 0) result_ = stream_.Read(&bytes[0], length);
        // As the stream's own strings: the text ends at its first zero byte.
        if (result_ == 1) text.assign(bytes.c_str());
        return *this;
    }
    // 1 done; otherwise the record read is not to be used.
    int Result() const { return result_; }

private:
    MemoryStream& stream_;
    int result_ = 1;
};
