#include "Graphics/Model/ToolResourceFile.h"

#include <cstdlib>

namespace {

// The tools layer's table of in-memory files. Nothing registers a file in it;
// it is emptied at exit, freeing what it owns.
struct ToolMemoryFile {
    char* name;
    void* data;
    size_t size;
    bool owned;
};

struct ToolMemoryFileTable {
    ToolMemoryFile* entries = nullptr;
    int count = 0;

    ~ToolMemoryFileTable() {
        for (int i = 0; i < count; ++i) {
            if (entries[i].owned) {
                std::free(entries[i].name);
                std::free(entries[i].data);
            }
        }
        std::free(entries);
        entries = nullptr;
        count = 0;
    }
};

ToolMemoryFileTable s_memoryFiles;

}  // namespace

CToolResourceFile::CToolResourceFile(const void* data, size_t size)
    : open_(true), memory_not_owned_(true), size_(size), data_(static_cast<const char*>(data)) {}

CToolResourceFile::~CToolResourceFile() { Close(); }

void CToolResourceFile::Close() {
    if (!open_) return;
    if (!memory_not_owned_) delete[] data_;
    open_ = false;
    memory_not_owned_ = false;
    size_ = 0;
    data_ = nullptr;
}
