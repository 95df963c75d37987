#pragma once
// Shared by the libFuzzer targets: the input as a file the readers can open, and
// the seeds a target adds to its corpus.
//
// scripts/fuzz seeds each corpus with the sample data's files of the target's
// kind and sets DM_FUZZ_SEEDS to the corpus folder: a target whose files the
// sample data lacks writes seeds of its own there in LLVMFuzzerInitialize,
// before the corpus is read.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fuzzinput {

// One memory file, rewritten per input; its path opens like any file's.
inline std::string WriteInput(const uint8_t* data, size_t size) {
    static const int fd = memfd_create("dm_fuzz", 0);
    if (ftruncate(fd, 0) != 0) return std::string();
    size_t done = 0;
    while (done < size) {
        const ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (n <= 0) return std::string();
        done += static_cast<size_t>(n);
    }
    return "/proc/self/fd/" + std::to_string(fd);
}

// A scratch folder of the process's own, for readers that go by a file's name.
inline const std::string& ScratchFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/dm-fuzz-XXXXXX";
        if (mkdtemp(pattern) == nullptr) std::abort();
        return std::string(pattern);
    }();
    return folder;
}

// Writes the input as <scratch>/<name> and returns its path.
inline std::string WriteNamed(const std::string& name, const uint8_t* data, size_t size) {
    const std::string path = ScratchFolder() + "/" + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
    return path;
}

// Adds one seed to the corpus folder named by DM_FUZZ_SEEDS (when set).
inline void AddSeed(const std::string& name, const std::string& bytes) {
    const char* folder = std::getenv("DM_FUZZ_SEEDS");
    if (folder == nullptr) return;
    std::ofstream(std::string(folder) + "/" + name, std::ios::binary) << bytes;
}

}  // namespace fuzzinput
