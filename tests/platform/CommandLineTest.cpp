#include "platform/win32/CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(CommandLineTest, JoinsArgumentsAndQuotesThoseWithBlanks) {
    struct Case {
        std::vector<const char*> args;
        const char* expected;
    } cases[] = {
        {{}, ""},
        {{"-qaf=2"}, "-qaf=2"},
        {{"-qaf=2", "-info"}, "-qaf=2 -info"},
        // The value is quoted, so the shell still sees name and value.
        {{"-config=my file.xml"}, "-config=\"my file.xml\""},
        {{"-x=a=b c"}, "-x=\"a=b c\""},
        {{"two words"}, "\"two words\""},
        {{"tab\there"}, "\"tab\there\""},
        {{"", "-a"}, "\"\" -a"},
        {{nullptr}, "\"\""},
    };
    for (const Case& c : cases) EXPECT_EQ(JoinCommandLine(static_cast<int>(c.args.size()), c.args.data()), c.expected);
}

}  // namespace
