#pragma once
// The bytes of a clip. Not owned by the clip: its creator keeps and deletes it.
#include <cstdint>
#include <string>

class OgvDataSource {
public:
    virtual ~OgvDataSource() = default;
    // Bytes read into buffer, at most count; 0 at the end of the data.
    virtual int32_t Read(void* buffer, int32_t count) = 0;
    virtual std::string Name() = 0;
    // To an offset from the start.
    virtual void Seek(int32_t offset) = 0;
    virtual int32_t Size() = 0;
    virtual int32_t Tell() = 0;
};
