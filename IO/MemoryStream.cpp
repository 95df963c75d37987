#include "IO/MemoryStream.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <istream>
#include <ostream>

MemoryStream::MemoryStream() = default;

MemoryStream::~MemoryStream() { FreeBuffer(); }

void MemoryStream::Clear() {
    content_.clear();
    write_pos_ = 0;
    read_pos_ = 0;
    failed_ = false;
}

int MemoryStream::GetSize() const {
    if (failed_) return 0;
    return static_cast<int>(content_.size());
}

int MemoryStream::Seek(int offset) {
    if (failed_) return -1;
    if (offset < 0 || static_cast<size_t>(offset) > content_.size()) {
        failed_ = true;
        return -1;
    }
    write_pos_ = static_cast<size_t>(offset);
    return offset;
}

int MemoryStream::Tell() const {
    if (failed_) return -1;
    return static_cast<int>(write_pos_);
}

int MemoryStream::GetBytesLeft() const {
    if (failed_) return -1;
    return static_cast<int>(content_.size() - std::min(read_pos_, content_.size()));
}

const char* MemoryStream::GetBuffer(int& length) {
    FreeBuffer();
    length = GetSize();
    if (length <= 0) return nullptr;
    flat_ = new char[static_cast<size_t>(length) + 1];
    std::memcpy(flat_, content_.data(), static_cast<size_t>(length));
    flat_[length] = 0;
    return flat_;
}

void MemoryStream::FreeBuffer() {
    delete[] flat_;
    flat_ = nullptr;
}

int MemoryStream::SaveTo(std::ostream& out) const {
    // A failed stream holds a partial record; writing it would leave a file
    // that looks complete.
    if (!out || failed_) return -1;
    if (!content_.empty()) out.write(content_.data(), static_cast<std::streamsize>(content_.size()));
    return out ? 1 : -1;
}

int MemoryStream::LoadFrom(std::istream& in) {
    Clear();
    if (!in) return -1;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (!in || size < 0 || size > INT_MAX) return -1;
    content_.resize(static_cast<size_t>(size));
    if (size > 0) {
        in.read(content_.data(), static_cast<std::streamsize>(size));
        content_.resize(static_cast<size_t>(in.gcount()));
    }
    write_pos_ = content_.size();
    return 1;
}

void MemoryStream::Scramble(const char* key, int keyLength) {
    FreeBuffer();
    if (keyLength < 1 || key == nullptr) return;
    const int n = GetSize();
    if (n <= 0) return;
    for (int i = 0; i < n; ++i) content_[static_cast<size_t>(i)] ^= key[i % keyLength];
    // As Clear followed by writing the new content.
    read_pos_ = 0;
    write_pos_ = content_.size();
}

void MemoryStream::Append(const char* data, size_t n) {
    if (n == 0) return;
    const size_t end = write_pos_ + n;
    if (end > content_.size()) content_.resize(end);
    std::memcpy(content_.data() + write_pos_, data, n);
    write_pos_ = end;
}

int MemoryStream::Write(const void* data, int n) {
    if (failed_ || data == nullptr || n < 0) return -1;
    if (static_cast<size_t>(n) > static_cast<size_t>(INT_MAX) - write_pos_) {
        // Sizes are reported as int; a longer content cannot be completed.
        failed_ = true;
        return -1;
    }
    Append(static_cast<const char*>(data), static_cast<size_t>(n));
    return 1;
}

int MemoryStream::WriteLE(uint64_t value, int bytes) {
    unsigned char b[8];
    for (int i = 0; i < bytes; ++i) b[i] = static_cast<unsigned char>(value >> (8 * i));
    return Write(b, bytes);
}

int MemoryStream::WriteInt32(int32_t value) { return WriteLE(static_cast<uint32_t>(value), 4); }

int MemoryStream::WriteUInt32(uint32_t value) { return WriteLE(value, 4); }

int MemoryStream::WriteInt64(int64_t value) { return WriteLE(static_cast<uint64_t>(value), 8); }

int MemoryStream::WriteUInt64(uint64_t value) { return WriteLE(value, 8); }

int MemoryStream::WriteFloat(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return WriteLE(bits, 4);
}

int MemoryStream::WriteString(const std::string& s) {
    if (failed_) return -1;
    if (s.size() > static_cast<size_t>(INT_MAX)) {
        failed_ = true;
        return -1;
    }
    const int n = static_cast<int>(s.size());
    if (WriteInt32(n) != 1) return -1;
    return Write(s.data(), n);
}

int MemoryStream::WriteStream(MemoryStream& other) {
    if (failed_) return -1;
    int length = 0;
    const char* bytes = other.GetBuffer(length);
    if (WriteInt32(length) != 1) return -1;
    if (length > 0) return Write(bytes, length);
    return 1;
}

int MemoryStream::Read(void* data, int n) {
    if (failed_ || data == nullptr || n < 0) return -1;
    const size_t left = content_.size() - std::min(read_pos_, content_.size());
    if (static_cast<size_t>(n) > left) {
        if (left > 0) std::memcpy(data, content_.data() + read_pos_, left);
        read_pos_ = content_.size();
        failed_ = true;
        return 0;
    }
    if (n > 0) std::memcpy(data, content_.data() + read_pos_, static_cast<size_t>(n));
    read_pos_ += static_cast<size_t>(n);
    return 1;
}

int MemoryStream::ReadLE(uint64_t& value, int bytes) {
    unsigned char b[8];
    const int r = Read(b, bytes);
    if (r != 1) return r;
    value = 0;
    for (int i = 0; i < bytes; ++i) value |= static_cast<uint64_t>(b[i]) << (8 * i);
    return 1;
}

int MemoryStream::ReadInt32(int32_t& value) {
    uint64_t v;
    const int r = ReadLE(v, 4);
    if (r == 1) value = static_cast<int32_t>(static_cast<uint32_t>(v));
    return r;
}

int MemoryStream::ReadUInt32(uint32_t& value) {
    uint64_t v;
    const int r = ReadLE(v, 4);
    if (r == 1) value = static_cast<uint32_t>(v);
    return r;
}

int MemoryStream::ReadInt64(int64_t& value) {
    uint64_t v;
    const int r = ReadLE(v, 8);
    if (r == 1) value = static_cast<int64_t>(v);
    return r;
}

int MemoryStream::ReadUInt64(uint64_t& value) { return ReadLE(value, 8); }

int MemoryStream::ReadFloat(float& value) {
    uint64_t v;
    const int r = ReadLE(v, 4);
    if (r == 1) {
        const uint32_t bits = static_cast<uint32_t>(v);
        std::memcpy(&value, &bits, sizeof value);
    }
    return r;
}

int MemoryStream::ReadString(std::string& s) {
    if (failed_) return -1;
    int32_t length = 0;
    ReadInt32(length);  // at the very end the length stays 0
    if (length <= 0) return 1;
    // The length comes from the file: check it against what is left before
    // touching memory, so a damaged length fails cleanly.
    if (length > GetBytesLeft()) {
        read_pos_ = content_.size();
        failed_ = true;
        return -1;
    }
    const char* begin = content_.data() + read_pos_;
    const char* end = std::find(begin, begin + length, '\0');
    s.assign(begin, end);
    read_pos_ += static_cast<size_t>(length);
    return 1;
}
