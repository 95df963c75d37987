// The model reader's file helpers: the read-only resource view over caller
// memory and the debug output of its errors.
#include "Graphics/Model/ToolDebugOutput.h"
#include "Graphics/Model/ToolResourceFile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CToolResourceFile, CloseNeverFreesCallerMemoryAndIsIdempotent) {
    char data[8] = "pod";
    CToolResourceFile file(data, sizeof data);
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(data, file.DataPtr());
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(0u, file.Size());
    EXPECT_EQ(nullptr, file.DataPtr());
    file.Close();
    EXPECT_STREQ("pod", data);  // a free of stack memory would have been reported
}

TEST(ToolDebugOutput, FormatsAndCutsToTheBuffer) {
    testing::internal::CaptureStderr();
    ToolDebugOutput("Error: %s %d\n", "value", 42);
    EXPECT_EQ("Error: value 42\n", testing::internal::GetCapturedStderr());

    const std::string longText(3000, 'x');
    testing::internal::CaptureStderr();
    ToolDebugOutput("%s", longText.c_str());
    EXPECT_EQ(std::string(1023, 'x'), testing::internal::GetCapturedStderr());
}

}  // namespace
