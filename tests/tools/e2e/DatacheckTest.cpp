// dunmarch-datacheck run as a person would run it: in the game's folder on the data the
// build generated, and on broken copies of it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

std::string GameDir() {
    const char* build = std::getenv("DM_BUILD_DIR");
    // Tests run in the build folder's tests/ folder when DM_BUILD_DIR is not given.
    return fs::absolute(std::string(build ? build : "..") + "/game").lexically_normal().string();
}

struct Outcome {
    int exitCode;
    std::string output;
};

Outcome Datacheck(const std::string& folder) {
    const std::string command = "cd '" + folder + "' && '" + GameDir() + "/dunmarch-datacheck' 2>&1";
    Outcome run{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// config.xml and the language files, copied into a folder of their own.
void CopyConfigAndLanguages(const std::string& to) {
    fs::copy_file(GameDir() + "/config.xml", to + "/config.xml");
    fs::create_directories(to + "/res-common");
    fs::copy(GameDir() + "/res-common/language", to + "/res-common/language", fs::copy_options::recursive);
}

}  // namespace

TEST(DatacheckTest, SampleDataPasses) {
    const Outcome run = Datacheck(GameDir());
    EXPECT_EQ(0, run.exitCode) << run.output;
    for (const char* expected : {"[config]", "maps (1): Harrowmere", "spell firestorm", "[language]",
                                 "en.lan: ", "jp.lan: ", "[stamp]", "data checksum of the 14 of 14 files", " 0 failed"})
        EXPECT_NE(std::string::npos, run.output.find(expected)) << expected << "\n" << run.output;
    EXPECT_EQ(std::string::npos, run.output.find("FAILED")) << run.output;
}

TEST(DatacheckTest, MissingOrBrokenFilesFail) {
    ScratchFolder empty;
    Outcome run = Datacheck(empty.Path());
    EXPECT_EQ(1, run.exitCode);
    EXPECT_NE(std::string::npos, run.output.find("config.xml is missing")) << run.output;

    ScratchFolder copy;
    CopyConfigAndLanguages(copy.Path());
    fs::resize_file(copy / "res-common/language/ru.lan", 100);
    fs::remove(copy / "res-common/language/sp.lan");
    run = Datacheck(copy.Path());
    EXPECT_EQ(1, run.exitCode);
    EXPECT_NE(std::string::npos, run.output.find("ru.lan: truncated")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("sp.lan is missing")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("res-common/anims/orccaster.xml, the data stamp's \"orccaster.xml\", "
                                                 "is missing"))
        << run.output;

    // Two files of one base name: the stamp's checksum would depend on the order of reading.
    ScratchFolder twice;
    CopyConfigAndLanguages(twice.Path());
    twice.Write("res-common/anims/archer.xml", "<animation fps=\"15\"/>");
    twice.Write("res-pc/ui/Archer.XML", "<ui/>");
    run = Datacheck(twice.Path());
    EXPECT_EQ(1, run.exitCode);
    EXPECT_NE(std::string::npos, run.output.find("2 files are named archer.xml")) << run.output;

    // A folder element ahead of its root trips the reader's assertion.
    ScratchFolder early;
    CopyConfigAndLanguages(early.Path());
    std::string xml = ScratchFolder::Read(early / "config.xml");
    xml.replace(xml.find("<config>"), 8, "<config><fonts joined=\"1\" path=\"x/\"/>");
    early.Write("config.xml", xml);
    run = Datacheck(early.Path());
    EXPECT_EQ(1, run.exitCode);
    EXPECT_NE(std::string::npos, run.output.find("IPHONE OR IPAD RESOURCES PATH EMPTY")) << run.output;
}
