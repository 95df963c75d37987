// The stream's save and load through the game's file handle.
#include "IO/File.h"
#include "IO/MemoryStream.h"

#include <climits>

int MemoryStream::SaveToFile(IO::File* file) const {
    if (file == nullptr || failed_) return -1;
    if (content_.empty()) return 1;
    return file->Write(content_.data(), content_.size()) == content_.size() ? 1 : -1;
}

int MemoryStream::LoadFromFile(IO::File* file) {
    Clear();
    if (file == nullptr) return -1;
    const long size = file->GetSize();
    if (size < 0 || size > INT_MAX || file->Seek(0, 0) != 0) return -1;
    content_.resize(static_cast<size_t>(size));
    if (size > 0) content_.resize(file->Read(content_.data(), content_.size()));
    write_pos_ = content_.size();
    return 1;
}
