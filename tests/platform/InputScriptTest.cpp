// The input script: its lines, its commands and what a bad line reports, as a
// table; and the await's frame offset and bound.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/InputScript.h"

namespace {

using platform::InputCommand;

struct Case {
    const char* text;
    bool ok;
    const char* expected;  // the commands as "frame kind x y key wheel [text]", or the error's start
};

std::string Describe(const std::vector<InputCommand>& commands) {
    static const char* kKinds[] = {"click", "press", "move",  "release", "key",   "type",
                                   "wheel", "shot",  "await", "tap",     "keytap"};
    std::string out;
    for (const InputCommand& c : commands) {
        out += std::to_string(c.frame) + " " + kKinds[c.kind] + " " + std::to_string(c.x) + " " + std::to_string(c.y) +
               " " + std::to_string(c.virtualKey) + " " + std::to_string(c.wheel);
        if (!c.text.empty()) out += " [" + c.text + "]";
        if (c.kind == InputCommand::kAwait)
            out += " every " + std::to_string(c.every) + " within " + std::to_string(c.within);
        out += "; ";
    }
    return out;
}

TEST(InputScriptTest, LinesAndCommands) {
    const Case cases[] = {
        {"", true, ""},
        {"# a comment\n\n  \n", true, ""},
        {"3 click 512 300", true, "3 click 512 300 0 0; "},
        {"0 press 0 0\n1 move 1023 767\n2 release 10 20", true,
         "0 press 0 0 0 0; 1 move 1023 767 0 0; 2 release 10 20 0 0; "},
        {"4 key Esc\r\n4 key space\n5 key F12\n6 key q\n7 key 9", true,
         "4 key 0 0 27 0; 4 key 0 0 32 0; 5 key 0 0 123 0; 6 key 0 0 81 0; 7 key 0 0 57 0; "},
        {"2 tap 10 20\n2 keytap Esc", true, "2 tap 10 20 0 0; 2 keytap 0 0 27 0; "},
        {"1 type Anna Smith", true, "1 type 0 0 0 0 [Anna Smith]; "},
        {"1 wheel -3", true, "1 wheel 0 0 0 -3; "},
        {"5 shot", true, "5 shot 0 0 0 0; "},
        {"0 await state entered: MainWindow", true,
         "0 await 0 0 0 0 [state entered: MainWindow] every 0 within 3000; "},
        {"0 await every 10 500 550 within 90 state entered: MainWindow", true,
         "0 await 500 550 0 0 [state entered: MainWindow] every 10 within 90; "},
        {"\n\nx click 1 1", false, "input script: line 3: the frame is not a number"},
        {"-1 shot", false, "input script: line 1: the frame is not a number"},
        {"5", false, "input script: line 1: no command"},
        {"1 jump 3 4", false, "input script: line 1: unknown command"},
        {"1 click 3", false, "input script: line 1: needs X Y"},
        {"1 click 1024 3", false, "input script: line 1: needs X Y"},
        {"1 click 3 4 5", false, "input script: line 1: needs X Y"},
        {"1 key Hyper", false, "input script: line 1: unknown key"},
        {"1 keytap", false, "input script: line 1: unknown key"},
        {"1 tap 3", false, "input script: line 1: needs X Y"},
        {"1 type", false, "input script: line 1: needs UTF-8 text"},
        {"1 type \xff", false, "input script: line 1: needs UTF-8 text"},
        {"1 wheel 0", false, "input script: line 1: needs a number of notches"},
        {"1 shot now", false, "input script: line 1: takes no arguments"},
        {"1 await", false, "input script: line 1: needs the text"},
        {"1 await every 0 1 1 x", false, "input script: line 1: every needs N X Y"},
        {"1 await within -5 x", false, "input script: line 1: within needs"},
        {"4 shot\n2 shot", false, "input script: line 2: frames go back"},
    };
    for (const Case& c : cases) {
        std::vector<platform::ScriptLine> lines;
        std::vector<InputCommand> commands;
        std::string error;
        const bool ok =
            platform::ReadScriptLines(c.text, &lines, &error) && platform::ParseInputScript(lines, &commands, &error);
        EXPECT_EQ(ok, c.ok) << c.text << "\n" << error;
        if (c.ok) EXPECT_EQ(Describe(commands), c.expected) << c.text;
        else EXPECT_EQ(error.rfind(c.expected, 0), 0u) << c.text << "\n" << error;
    }
}

TEST(InputScriptTest, AMissingFileIsAnError) {
    std::vector<platform::ScriptLine> lines;
    std::string error;
    EXPECT_FALSE(platform::ReadScriptFile("/nonexistent/script.txt", &lines, &error));
    EXPECT_EQ(error, "input script: cannot read /nonexistent/script.txt");
}

// Without a window the messages go nowhere; the await's timing still shows in
// when the later lines run: a shot two frames after the line was seen.
TEST(InputScriptTest, AwaitHoldsTheScriptAndLaterFramesCountFromTheSighting) {
    std::vector<platform::ScriptLine> lines;
    std::vector<InputCommand> commands;
    std::string error;
    ASSERT_TRUE(platform::ReadScriptLines("1 shot\n2 await within 5 ready\n4 shot\n", &lines, &error));
    ASSERT_TRUE(platform::ParseInputScript(lines, &commands, &error)) << error;
    platform::InputScriptPlayer player(commands);
    std::vector<long> shots;
    for (long frame = 0; frame < 12; ++frame) {
        if (frame == 6) player.OnTraceLine("all ready now");
        ASSERT_TRUE(player.BeforeFrame(nullptr, frame)) << player.Error();
        if (player.ShotRequested()) shots.push_back(frame);
    }
    // Seen as frame 6 begins: the await's frame 2 is frame 6, so 4 is 8.
    EXPECT_EQ(shots, (std::vector<long>{1, 8}));
    EXPECT_TRUE(player.Finished());

    // A line written before the await's previous command ran does not count,
    // and waiting past the bound fails.
    platform::InputScriptPlayer late(commands);
    late.OnTraceLine("ready");
    bool failed = false;
    for (long frame = 0; frame < 12 && !failed; ++frame) failed = !late.BeforeFrame(nullptr, frame);
    EXPECT_TRUE(failed);
    EXPECT_EQ(late.Error(), "input script: line 2: \"ready\" not seen within 5 frames");
}

}  // namespace
