#pragma once
// A run's game folder under a scratch folder: "game" holds copies of the programs and
// links to the sample data (so what the run writes, screenshots, savegames and
// recordings, lands there and never in the build), "Data" beside it links the data
// builder's served files, and "user" is the run's per-user data folder. Header only.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>

#include "support/RunDunmarch.h"
#include "support/ScratchDir.h"

namespace testsupport {

inline void MakeSampleGameFolder(const ScratchDir& root, std::initializer_list<const char*> programs,
                                 std::initializer_list<const char*> entries = {"config.xml", "res-pc", "res-common"},
                                 const std::string& gameDir = BuildGameDir()) {
    namespace fs = std::filesystem;
    const fs::path game = fs::absolute(gameDir);
    ASSERT_TRUE(fs::exists(game / "config.xml")) << game << ": build the sample_data target";
    fs::create_directories(root.File("game"));
    fs::create_directories(root.File("user"));
    for (const char* program : programs) {
        ASSERT_TRUE(fs::exists(game / program)) << game / program;
        fs::copy_file(game / program, root.File("game/") + program);
    }
    for (const char* entry : entries) fs::create_symlink(game / entry, root.File("game/") + entry);
    const fs::path data = game.parent_path() / "Data";
    if (fs::exists(data)) fs::create_directory_symlink(data, root.File("Data"));
}

}  // namespace testsupport
