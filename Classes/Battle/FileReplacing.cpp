#include "Classes/Battle/FileReplacing.h"

#include <cstdio>

#include "IO/File.h"

bool WriteFileReplacing(const std::string& name, const void* data, size_t size) {
    const std::string beside = name + ".new";
    std::FILE* file = std::fopen(beside.c_str(), "wb");
    if (file == nullptr) return false;
    bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    written = std::fflush(file) == 0 && written;
    written = std::fclose(file) == 0 && written;
    // The replacement needs a file to replace; the first one is simply moved in.
    const bool placed =
        written && (IO::FileExists(name) ? IO::ReplaceFile(name, beside) : IO::MoveFile(beside, name));
    if (!placed) IO::DeleteFile(beside);
    return placed;
}
