#pragma once
// A game folder of its own over the sample data (links to it) with a copy of the
// battle driver; the driver's runs in it share its files. Header only.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/RunDunmarch.h"
#include "support/ScratchDir.h"

namespace testsupport {

class BattleDriverFolder {
public:
    BattleDriverFolder() {
        namespace fs = std::filesystem;
        const std::string game = BuildGameDir();
        EXPECT_TRUE(fs::exists(game + "/dunmarch-battle")) << game;
        fs::create_directories(root_.File("game"));
        fs::create_directories(root_.File("user"));
        fs::copy_file(game + "/dunmarch-battle", File("dunmarch-battle"));
        for (const char* entry : {"config.xml", "res-pc", "res-common", "test-scripts"})
            fs::create_symlink(game + "/" + entry, File(entry));
        const fs::path data = fs::path(game).parent_path() / "Data";
        if (fs::exists(data)) fs::create_directory_symlink(data, root_.File("Data"));
    }
    std::string File(const std::string& name) const { return root_.File("game/" + name); }
    ProgramResult Run(const std::string& arguments) const {
        return RunGameProgram(root_.File("game/"), "dunmarch-battle", arguments,
                              "XDG_DATA_HOME='" + root_.File("user") + "'");
    }

private:
    ScratchDir root_;
};

}  // namespace testsupport
