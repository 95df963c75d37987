#pragma once
// A game folder of a run's own under a scratch folder: "game" holds a copy of
// the program and links to the sample data (so screenshots and savegames land
// there), "Data" beside it links the data builder's served files, and "user"
// is the run's per-user data folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/RunDunmarch.h"
#include "support/ScratchDir.h"

namespace gamefolder {

inline void Make(const ScratchDir& root) {
    namespace fs = std::filesystem;
    const std::string game = testsupport::BuildDir() + "/game";
    ASSERT_TRUE(fs::exists(game + "/dunmarch")) << game;
    ASSERT_TRUE(fs::exists(game + "/config.xml")) << "build the sample_data target";
    fs::create_directories(root.File("game"));
    fs::create_directories(root.File("user"));
    fs::copy_file(game + "/dunmarch", root.File("game/dunmarch"));
    for (const char* entry : {"config.xml", "res-pc", "res-common"})
        fs::create_symlink(game + "/" + entry, root.File("game/") + entry);
    const std::string data = testsupport::BuildDir() + "/Data";
    if (fs::exists(data)) fs::create_directory_symlink(data, root.File("Data"));
}

}  // namespace gamefolder
