// The library's text and growable array: buffers, lengths and capacities as the effect
// reader and the per-frame batches rely on them.
#include <gtest/gtest.h>

#include "particles/CSArray.h"
#include "particles/CSString.h"

namespace {

TEST(CSString, EmptyTextsAndCopies) {
    const CSString fromEmpty("");
    EXPECT_EQ(fromEmpty.GetLength(), 0);
    EXPECT_EQ(fromEmpty.GetCapacity(), 1);
    ASSERT_NE(fromEmpty.GetBuffer(), nullptr);
    EXPECT_EQ(fromEmpty.GetBuffer()[0], '\0');

    const CSString copy(fromEmpty);  // an empty source gives no buffer
    EXPECT_EQ(copy.GetBuffer(), nullptr);
    EXPECT_EQ(copy.GetCapacity(), 0);
    EXPECT_STREQ(copy.c_str(), "");

    CSString text("abc");
    EXPECT_EQ(text.GetLength(), 3);
    EXPECT_EQ(text.GetCapacity(), 4);
    const CSString textCopy(text);
    EXPECT_STREQ(textCopy.c_str(), "abc");
    EXPECT_NE(textCopy.GetBuffer(), text.GetBuffer());

    text.Assign("xyz", 0);  // empty, the buffer kept with its terminator first
    EXPECT_EQ(text.GetLength(), 0);
    EXPECT_EQ(text.GetCapacity(), 4);
    EXPECT_STREQ(text.c_str(), "");

    text.Assign("longer text", 6);  // grows to n + 1
    EXPECT_STREQ(text.c_str(), "longer");
    EXPECT_EQ(text.GetCapacity(), 7);
    text.Assign(text.c_str() + 2, 3);  // from its own buffer
    EXPECT_STREQ(text.c_str(), "nge");
    EXPECT_EQ(text.GetCapacity(), 7);
}

TEST(CSString, EqualsIgnoringCase) {
    EXPECT_TRUE(CSString("Fire").EqualsNoCase("fIRE"));
    EXPECT_FALSE(CSString("Fire").EqualsNoCase("fires"));
    EXPECT_TRUE(CSString().EqualsNoCase(""));
    EXPECT_TRUE(CSString().EqualsNoCase(nullptr));
    EXPECT_FALSE(CSString("a").EqualsNoCase(nullptr));
}

TEST(CSArray, GrowsByItsStep) {
    CSArray<int> array;
    EXPECT_EQ(array.GetCapacity(), 0u);
    EXPECT_EQ(array.GetData(), nullptr);
    for (int i = 0; i < 17; ++i) {
        array.Append(i);
        EXPECT_EQ(array.GetCapacity(), i < 16 ? 16u : 32u) << "after " << i + 1;
    }
    EXPECT_EQ(array.GetCount(), 17u);
    EXPECT_EQ(array[16], 16);

    const int* buffer = array.GetData();
    array.Reserve(20);  // not above the capacity: nothing changes
    EXPECT_EQ(array.GetData(), buffer);
    EXPECT_EQ(array.GetCapacity(), 32u);

    array.Reset();  // the count goes, the buffer stays
    EXPECT_EQ(array.GetCount(), 0u);
    EXPECT_EQ(array.GetCapacity(), 32u);
    EXPECT_EQ(array.GetData(), buffer);
    array.Free();
    EXPECT_EQ(array.GetCapacity(), 0u);
    EXPECT_EQ(array.GetData(), nullptr);
}

}  // namespace
