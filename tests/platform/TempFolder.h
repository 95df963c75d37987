#pragma once
// A fresh folder under the system's temporary folder, removed with its
// content when the object goes.
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "dmtest-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
        EXPECT_FALSE(path_.empty());
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // Writes a file (creating its folders) and returns its full path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::filesystem::path full = std::filesystem::path(path_) / name;
        std::filesystem::create_directories(full.parent_path());
        std::ofstream(full, std::ios::binary) << bytes;
        return full.string();
    }
    std::string MakeFolder(const std::string& name) const {
        std::filesystem::create_directories(std::filesystem::path(path_) / name);
        return *this / name;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::string path_;
};
