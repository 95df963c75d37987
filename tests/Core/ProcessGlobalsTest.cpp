#include "Core/ProcessGlobals.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

namespace Graphics {
class SpriteFont {
public:
    int size = 12;
};
}  // namespace Graphics

TEST(ProcessGlobalsTest, BindingHoldsTheFontUntilCleared) {
    auto font = boost::make_shared<Graphics::SpriteFont>();
    auto* device = reinterpret_cast<Graphics::GraphicsDevice*>(0x1000);
    EXPECT_FALSE(TestAndSetRendererBindingFlag());  // nothing bound: stays clear
    SetActiveRendererBinding(device, font);
    EXPECT_EQ(2, font.use_count());
    EXPECT_EQ(device, GetActiveRenderer());
    EXPECT_FALSE(TestAndSetRendererBindingFlag());
    EXPECT_TRUE(TestAndSetRendererBindingFlag());
    EXPECT_TRUE(TestAndClearRendererBindingFlag());
    EXPECT_FALSE(TestAndClearRendererBindingFlag());
    ClearActiveRendererBinding();
    EXPECT_EQ(1, font.use_count());
    EXPECT_EQ(nullptr, GetActiveRenderer());
}

TEST(ProcessGlobalsTest, CachedValuesAreFilledOnce) {
    EXPECT_LE(GetComputerName().size(), 15u);
    EXPECT_EQ(&GetComputerName(), &GetComputerName());

    EXPECT_EQ("", GetCommandLineText());  // no source yet
    SetCommandLineTextSource([] { return "dunmarch -qaf 3"; });
    EXPECT_EQ("dunmarch -qaf 3", GetCommandLineText());
    SetCommandLineTextSource([] { return "other"; });
    EXPECT_EQ("dunmarch -qaf 3", GetCommandLineText());
}
