#include "platform/win32/MessageBox.h"

#include <gtest/gtest.h>

TEST(MessageBoxTest, CaptureRecordsBoxesInsteadOfShowingThem) {
    platform::MessageBoxCapture capture;
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "first", "Program Error", MB_ICONERROR));
    {
        platform::MessageBoxCapture inner;
        MessageBoxA(nullptr, "inner", "Caption", MB_OK);
        ASSERT_EQ(1u, inner.Shown().size());
    }
    MessageBoxA(nullptr, nullptr, nullptr, MB_ICONWARNING);

    auto shown = capture.Shown();
    ASSERT_EQ(2u, shown.size());
    EXPECT_EQ("first", shown[0].text);
    EXPECT_EQ("Program Error", shown[0].caption);
    EXPECT_EQ(MB_ICONERROR, shown[0].type);
    EXPECT_EQ("", shown[1].text);
}

TEST(MessageBoxTest, HeadlessBoxIsOneLineOnStandardError) {
    ASSERT_TRUE(platform::IsHeadless()) << "tests run with DUNMARCH_HEADLESS set";
    testing::internal::CaptureStderr();
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "Service expired or doesn't exist.", "Program Error", MB_ICONERROR));
    EXPECT_EQ("Program Error: Service expired or doesn't exist.\n", testing::internal::GetCapturedStderr());
}
