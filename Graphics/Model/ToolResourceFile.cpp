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
    : m_bOpen(true), m_bMemoryNotOwned(true), m_Size(size), m_pData(static_cast<const char*>(data)) {}

CToolResourceFile::~CToolResourceFile() { Close(); }

void CToolResourceFile::Close() {
    if (!m_bOpen) return;
    if (!m_bMemoryNotOwned) delete[] m_pData;
    m_bOpen = false;
    m_bMemoryNotOwned = false;
    m_Size = 0;
    m_pData = nullptr;
}
