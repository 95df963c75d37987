// The texture-atlas index: fractions turned into texels of the page, pages
// loaded once through the world texture loader, skipped lines, carried-over
// fields of a line that does not match, and unload and reload of the pages.
#include "Graphics/TextureAtlas.h"

#include <gtest/gtest.h>

#include <string>

#include "Core/Assert.h"
#include "Core/ContentLoader.h"
#include "Graphics/Texture2D.h"
#include "TextureTestSupport.h"

namespace {

using Graphics::TextureAtlas;
using Graphics::TextureAtlasEntry;

void IgnoreAssertion(const char*, const char*, const char*, int) {}

class TextureAtlasTest : public texturetest::NullDeviceTest {
protected:
    void SetUp() override {
        NullDeviceTest::SetUp();
        textures.reset(new Content::ContentLoader<Graphics::Texture2D>(folder));
        Service<Content::ContentLoader<Graphics::Texture2D>>::Register(textures.get());
        Write("page.dds", texturetest::Dds(1024, 512));
        Write("small.dds", texturetest::Dds(64, 32));
        previous = SetAssertionHandler(&IgnoreAssertion);
    }
    void TearDown() override {
        SetAssertionHandler(previous);
        Service<Content::ContentLoader<Graphics::Texture2D>>::Unregister();
        textures.reset();
        NullDeviceTest::TearDown();
    }
    boost::shared_ptr<TextureAtlas> Read(const std::string& text) {
        return Content::CreateAsset<TextureAtlas>(Write("atlas.tai", std::vector<uint8_t>(text.begin(), text.end())));
    }

    std::unique_ptr<Content::ContentLoader<Graphics::Texture2D>> textures;
    AssertionHandler previous = nullptr;
};

bool Rect(const TextureAtlasEntry& e, float x, float y, float w, float h) {
    return e.xOffset == x && e.yOffset == y && e.width == w && e.height == h;
}

TEST_F(TextureAtlasTest, FractionsBecomeTexelsOfThePage) {
    boost::shared_ptr<TextureAtlas> atlas = Read(
        "# texture\t\tpage , index , type , x , y , depth , width , height\n"
        "\n"
        "spark.dds\t\tpage.dds , 0 , 2D , 0.5 , 0.25 , 0.75 , 0.25 , 0.125\n"
        "smoke.dds\t\tpage.dds , 1 , Volume , 0 , 0 , 0 , 0.5 , 0.5\n"
        "ring.dds\t\tsmall.dds , 2 , Cube , 0.5 , 0.5 , 0 , 0.5 , 0.5\n"
        "odd.dds\t\tsmall.dds , 3 , Sphere , 0 , 0 , 0 , 1 , 1\n"
        "spark.dds\t\tsmall.dds , 9 , 2D , 0 , 0 , 0 , 1 , 1\n");
    ASSERT_TRUE(atlas);
    EXPECT_EQ(atlas->GetTypeId(), Graphics::ResourceTextureAtlas);
    ASSERT_EQ(atlas->entries_.size(), 4u) << "comments and empty lines are skipped; the first spark stays";
    const TextureAtlasEntry& spark = atlas->entries_.at("spark.dds");
    EXPECT_TRUE(Rect(spark, 512, 128, 256, 64));
    EXPECT_EQ(spark.depthOffset, 0.75f) << "the depth stays as written";
    EXPECT_EQ(spark.atlasType, 0);
    EXPECT_EQ(spark.atlasIndex, 0);
    EXPECT_EQ(spark.atlasFileName, "page.dds");
    EXPECT_EQ(atlas->entries_.at("smoke.dds").atlasType, 1);
    EXPECT_EQ(atlas->entries_.at("ring.dds").atlasType, 2);
    EXPECT_TRUE(Rect(atlas->entries_.at("ring.dds"), 32, 16, 32, 16));
    EXPECT_EQ(atlas->entries_.at("odd.dds").atlasType, 0) << "a word not known counts as 2D";

    EXPECT_EQ(atlas->pages_.size(), 2u);
    EXPECT_EQ(textures->GetCache().size(), 2u) << "each page is loaded once";
    EXPECT_EQ(atlas->pages_.at("page.dds"), textures->Load("page.dds"));
}

TEST_F(TextureAtlasTest, ALineThatDoesNotMatchKeepsThePreviousFields) {
    const std::string longName(80, 'x');
    boost::shared_ptr<TextureAtlas> atlas = Read(
        "a.dds\t\tpage.dds , 4 , 2D , 0.5 , 0.5 , 0 , 0.25 , 0.25\n"
        "b.dds\n" +
        longName + "\t\tpage.dds , 0 , 2D , 0 , 0 , 0 , 1 , 1\n");
    ASSERT_TRUE(atlas);
    const TextureAtlasEntry& b = atlas->entries_.at("b.dds");
    EXPECT_EQ(b.atlasFileName, "page.dds");
    EXPECT_EQ(b.atlasIndex, 4);
    EXPECT_TRUE(Rect(b, 512, 256, 256, 128)) << "scaled once, from the fractions of the line before";
    // A name over 51 characters is cut there; its rest is taken for the page,
    // which does not load, so the line is left out.
    EXPECT_EQ(atlas->entries_.size(), 2u);
}

TEST_F(TextureAtlasTest, LinesWhosePageCannotBeLoadedAreLeftOut) {
    boost::shared_ptr<TextureAtlas> atlas = Read(
        "gone.dds\t\tmissing.dds , 0 , 2D , 0 , 0 , 0 , 1 , 1\n"
        "here.dds\t\tsmall.dds , 0 , 2D , 0 , 0 , 0 , 1 , 1\n");
    ASSERT_TRUE(atlas);
    EXPECT_EQ(atlas->entries_.size(), 1u);
    EXPECT_EQ(atlas->pages_.count("missing.dds"), 0u);
    EXPECT_FALSE(Content::CreateAsset<TextureAtlas>(Path("no_index.tai")));

    Service<Content::ContentLoader<Graphics::Texture2D>>::Unregister();
    EXPECT_TRUE(Read("x.dds\t\tsmall.dds , 0 , 2D , 0 , 0 , 0 , 1 , 1\n")->entries_.empty())
        << "no texture loader: no page";
    Service<Content::ContentLoader<Graphics::Texture2D>>::Register(textures.get());
}

TEST_F(TextureAtlasTest, UnloadAndReloadReachThePages) {
    boost::shared_ptr<TextureAtlas> atlas = Read("a.dds\t\tpage.dds , 0 , 2D , 0 , 0 , 0 , 1 , 1\n");
    ASSERT_TRUE(atlas);
    EXPECT_TRUE(atlas->IsLoaded());
    boost::shared_ptr<Graphics::Texture2D> page = atlas->pages_.at("page.dds");
    EXPECT_TRUE(Content::ReleaseAsset<TextureAtlas>(atlas));
    EXPECT_FALSE(page->IsLoaded());
    EXPECT_EQ(atlas->entries_.size(), 1u) << "entries and pages stay";
    EXPECT_EQ(atlas->pages_.size(), 1u);
    EXPECT_TRUE(atlas->Unload()) << "a second unload changes nothing";

    EXPECT_FALSE(Content::ReloadAsset<TextureAtlas>(atlas));
    EXPECT_TRUE(page->IsLoaded());
}

}  // namespace
