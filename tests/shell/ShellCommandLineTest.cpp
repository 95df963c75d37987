#include "shell/ShellCommandLine.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shell/ShellBase.h"
#include "shell/ShellHost.h"
#include "shell/ShellOptions.h"
#include "support/ScratchDir.h"

namespace {

using Pairs = std::vector<std::pair<std::optional<std::string>, std::optional<std::string>>>;

Pairs ParsePairs(const char* text) {
    ShellCommandLine line;
    line.Set(text);
    line.Parse();
    Pairs pairs;
    for (int i = 0; i < line.GetPairCount(); ++i) {
        const ShellOptionPair& p = line.GetPairs()[i];
        pairs.emplace_back(p.name ? std::optional<std::string>(p.name) : std::nullopt,
                           p.value ? std::optional<std::string>(p.value) : std::nullopt);
    }
    return pairs;
}

const std::nullopt_t none = std::nullopt;

TEST(ShellCommandLineTest, SplitsTokensIntoNameValuePairs) {
    struct Case {
        const char* text;
        Pairs expected;
    } cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"-width=640", {{"-width", "640"}}},
        {"-info", {{"-info", none}}},
        {"-a=1 \t -b=2", {{"-a", "1"}, {"-b", "2"}}},
        {"-name=", {{"-name", ""}}},
        // A second '=' starts the value again after it.
        {"-x=1=2", {{"-x", "2"}}},
        // Quotes keep blanks and '=' and vanish themselves.
        {"-config=\"my file.xml\" -y", {{"-config", "my file.xml"}, {"-y", none}}},
        {"\"-a b\"=c", {{"-a b", "c"}}},
        {"-e=\"\"", {{"-e", ""}}},
        {"\"a=b\"", {{"a=b", none}}},
        // An unclosed quote runs to the end of the text.
        {"-t=\"open end", {{"-t", "open end"}}},
        // A value without a name is kept as a pair and skipped when applied.
        {"=", {{none, ""}}},
    };
    for (const Case& c : cases) EXPECT_EQ(ParsePairs(c.text), c.expected) << "text: " << c.text;
}

TEST(ShellCommandLineTest, PrependPutsTheFileTextFirst) {
    ShellCommandLine line;
    line.Prepend("-a=1");  // no text yet: same as Set
    EXPECT_STREQ(line.GetText(), "-a=1");
    line.Prepend("-b=2");
    EXPECT_STREQ(line.GetText(), "-b=2 -a=1");

    ShellCommandLine joined;
    const char* args[] = {"-x", "", "-y=3"};
    joined.SetFromArguments(3, args);
    EXPECT_STREQ(joined.GetText(), "-x  -y=3");
}

TEST(ShellCommandLineTest, LoadFileTurnsLinesIntoOneLine) {
    ScratchDir dir;
    using namespace std::string_view_literals;
    struct Case {
        std::string_view bytes;
        const char* expected;
    } cases[] = {
        {"-width=800\r\n-height=600\r\n"sv, "-width=800  -height=600   -qaf=1"},
        {"-width=800\n-height=600"sv, "-width=800 -height=600 -qaf=1"},
        {""sv, " -qaf=1"},
        // A NUL byte ends its line's text; the next line carries on from there.
        {"-a=1\0junk\n-b=2\n"sv, "-a=1-b=2  -qaf=1"},
        {"\xff\xfe\x01-odd=\x80\n"sv, "\xff\xfe\x01-odd=\x80  -qaf=1"},
    };
    for (const Case& c : cases) {
        dir.Write("ShellCL.txt", std::string(c.bytes));
        ShellCommandLine line;
        line.Set("-qaf=1");
        ASSERT_TRUE(line.LoadFile(dir.File("ShellCL.txt").c_str()));
        EXPECT_STREQ(line.GetText(), c.expected);
        line.Parse();  // odd bytes parse without trouble
    }
    ShellCommandLine missing;
    EXPECT_FALSE(missing.LoadFile(dir.File("absent.txt").c_str()));
    EXPECT_EQ(missing.GetText(), nullptr);
    // A folder opens like a file here but is no option file.
    std::filesystem::create_directory(dir.File("folder"));
    EXPECT_FALSE(missing.LoadFile(dir.File("folder").c_str()));
    EXPECT_EQ(missing.GetText(), nullptr);
}

class ShellApplyTest : public ::testing::Test {
protected:
    ShellOptions& Apply(const char* text) {
        host_.app_ = &shell_;
        shell_.host_ = &host_;
        host_.command_line_.Set(text);
        host_.command_line_.Parse();
        host_.command_line_.Apply(shell_);
        return *shell_.options_;
    }

    ShellBase shell_;
    ShellHost host_;
};

TEST_F(ShellApplyTest, AppliesEveryOption) {
    ShellOptions& o = Apply(
        "-WIDTH=640 -height=480 -aa=2 -fullscreen=1 -sw=1 -qaf=5 -qat=2.5 -posx=10 -posy=20 -ps=0 "
        "-cbpp=16 -rotatekeys=1 -c=5-9 -info");
    EXPECT_EQ(o.windowWidth, 640);
    EXPECT_EQ(o.windowHeight, 480);
    EXPECT_EQ(o.fsaaMode, 2);
    EXPECT_TRUE(o.fullscreen);
    EXPECT_TRUE(o.softwareRenderingRequested);
    EXPECT_EQ(o.quitAfterFrame, 5);
    EXPECT_FLOAT_EQ(o.quitAfterTime, 2.5f);
    EXPECT_EQ(o.windowX, 10);
    EXPECT_EQ(o.windowY, 20);
    EXPECT_FALSE(o.defaultPosition);
    EXPECT_FALSE(o.powerSaving);
    EXPECT_EQ(o.colourBits, 16);
    EXPECT_EQ(std::vector<int>(host_.key_rotation_, host_.key_rotation_ + 4), (std::vector<int>{1, 2, 0, 3}));
    EXPECT_EQ(o.captureStart, 5);
    EXPECT_EQ(o.captureStop, 9);
    EXPECT_TRUE(o.outputInfo);
}

TEST_F(ShellApplyTest, AliasesAndLaterValuesWin) {
    ShellOptions& o = Apply(
        "-width=800 -FSAAMode=1 -quitafterframe=3 -quitaftertime=1 -colorbpp=8 "
        "-powersaving=0 -colourbpp=24 -width=640 -c=7");
    EXPECT_EQ(o.windowWidth, 640);  // the command line comes after the option file
    EXPECT_EQ(o.fsaaMode, 1);
    EXPECT_EQ(o.quitAfterFrame, 3);
    EXPECT_FLOAT_EQ(o.quitAfterTime, 1.0f);
    EXPECT_EQ(o.colourBits, 24);
    EXPECT_FALSE(o.powerSaving);
    EXPECT_EQ(o.captureStart, 7);
    EXPECT_EQ(o.captureStop, 7);
}

TEST_F(ShellApplyTest, IgnoresBadAndUnknownInput) {
    // Refused values, malformed numbers, switches in the other form, unknown
    // names and options the option set does not store.
    ShellOptions& o = Apply(
        "-width=abc -height=0 -aa=3 -cbpp=-1 -rotatekeys=4 -info=1 -fullscreen -width -bogus=1 "
        "-vsync=0 -priority=5 -config=1 =7 \"\" -qat=x");
    const ShellOptions defaults;
    EXPECT_EQ(o.windowWidth, defaults.windowWidth);
    EXPECT_EQ(o.windowHeight, defaults.windowHeight);
    EXPECT_EQ(o.fsaaMode, 0);
    EXPECT_EQ(o.colourBits, 0);
    EXPECT_EQ(std::vector<int>(host_.key_rotation_, host_.key_rotation_ + 4), (std::vector<int>{2, 0, 3, 1}));
    EXPECT_FALSE(o.outputInfo);
    EXPECT_FALSE(o.fullscreen);
    EXPECT_EQ(o.swapInterval, 1);
    EXPECT_EQ(o.priority, 2);
    EXPECT_TRUE(o.defaultPosition);
    // atof("x") is 0: the quit-after-time test is switched on at 0 s, as the option says.
    EXPECT_EQ(o.quitAfterTime, 0.0f);
}

}  // namespace
