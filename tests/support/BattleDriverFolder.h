#pragma once
// A game folder of its own over the sample data (links to it) with a copy of the
// battle driver; the driver's runs in it share its files. Header only.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/RunDunmarch.h"
#include "support/SampleGameFolder.h"
#include "support/ScratchDir.h"

namespace testsupport {

class BattleDriverFolder {
public:
    BattleDriverFolder() {
        MakeSampleGameFolder(root_, {"dunmarch-battle"}, {"config.xml", "res-pc", "res-common", "test-scripts"});
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
