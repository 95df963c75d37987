#pragma once
// The one binary serialiser for saved and transmitted state (savegame, demo,
// data stamp, score request). Values are raw little-endian bytes, strings an
// int32 length and their bytes; the format is the order of the calls.
//
// Results: 1 done; -1 once the stream has failed (and for a null pointer);
// reads return 0 when fewer bytes were left, after which the stream has
// failed and every further operation returns -1 until Clear.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace IO {
class File;
}

class MemoryStream {
public:
    MemoryStream();
    ~MemoryStream();
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    // Empties the content, puts both positions at 0 and makes the stream good.
    void Clear();

    // Length of the whole content; 0 when the stream has failed.
    int GetSize() const;
    // Moves the write position to an absolute offset (the read position stays).
    // An offset outside the content fails the stream.
    int Seek(int offset);
    // The write position, -1 when failed.
    int Tell() const;
    // Bytes between the read position and the end of the content, -1 when failed.
    // Readers bound the counts and lengths they read from a file by it.
    int GetBytesLeft() const;

    // A zero-terminated flat copy of the content, owned by the stream and
    // replaced by the next call; null (length 0) when there is no content.
    const char* GetBuffer(int& length);
    void FreeBuffer();

    int SaveTo(std::ostream& out) const;
    int SaveToFile(IO::File* file) const;
    int LoadFrom(std::istream& in);
    int LoadFromFile(IO::File* file);

    // XORs the content with the key, byte i with key[i mod keyLength]; applied
    // twice with the same key it restores the content.
    void Scramble(const char* key, int keyLength);

    int Write(const void* data, int n);
    int WriteInt32(int32_t value);
    int WriteUInt32(uint32_t value);
    int WriteInt64(int64_t value);
    int WriteUInt64(uint64_t value);
    int WriteFloat(float value);
    int WriteString(const std::string& s);
    // The other stream's content as a string: its length, then its bytes.
    int WriteStream(MemoryStream& other);

    int Read(void* data, int n);
    int ReadInt32(int32_t& value);
    int ReadUInt32(uint32_t& value);
    int ReadInt64(int64_t& value);
    int ReadUInt64(uint64_t& value);
    int ReadFloat(float& value);
    // A stored length of 0 or less leaves s as it was and returns 1; the text
    // ends at its first zero byte.
    int ReadString(std::string& s);

private:
    int WriteLE(uint64_t value, int bytes);
    int ReadLE(uint64_t& value, int bytes);
    void Append(const char* data, size_t n);

    std::vector<char> content_;
    size_t write_pos_ = 0;
    size_t read_pos_ = 0;
    bool failed_ = false;
    char* flat_ = nullptr;
};
