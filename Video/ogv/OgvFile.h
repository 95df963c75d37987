#pragma once
// A clip's bytes through the engine's file layer (a packed archive entry of the name is
// preferred). While no file is open every read gives 0 bytes and the size is 0.
#include "Video/ogv/OgvDataSource.h"

namespace IO {
class File;
}

class OgvFile : public OgvDataSource {
public:
    OgvFile() = default;
    ~OgvFile() override;

    // Closes the file in use and opens name; false when it could not be opened (the name
    // is kept all the same, for the clip's log lines).
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file != nullptr; }

    int32_t Read(void* buffer, int32_t count) override;
    std::string Name() override { return name; }
    void Seek(int32_t offset) override;
    int32_t Size() override;
    int32_t Tell() override;

private:
    IO::File* file = nullptr;
    std::string name;
};
