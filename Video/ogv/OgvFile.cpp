#include "Video/ogv/OgvFile.h"

#include "IO/File.h"

OgvFile::~OgvFile() { Close(); }

bool OgvFile::Open(const std::string& path) {
    Close();
    file = IO::File::OpenRead(path);
    name = path;
    return file != nullptr;
}

void OgvFile::Close() {
    delete file;
    file = nullptr;
}

int32_t OgvFile::Read(void* buffer, int32_t count) {
    if (file == nullptr || count <= 0) return 0;
    return static_cast<int32_t>(file->Read(buffer, static_cast<size_t>(count)));
}

void OgvFile::Seek(int32_t offset) {
    if (file != nullptr) file->Seek(0, offset);
}

int32_t OgvFile::Size() {
    if (file == nullptr) return 0;
    const long size = file->GetSize();
    return size < 0 ? 0 : static_cast<int32_t>(size);
}

int32_t OgvFile::Tell() { return file == nullptr ? 0 : static_cast<int32_t>(file->Tell()); }
