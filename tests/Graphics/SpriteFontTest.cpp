// Sprite fonts: the ".cf" and ".fnt" readers, measuring, unloading, and the
// sample fonts loaded through the font loader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../platform/d3dx/ImageFixtures.h"
#include "Core/Assert.h"
#include "Core/ContentLoader.h"
#include "Draw2DTestDevice.h"
#include "Graphics/SpriteFont.h"
#include "Graphics/SpriteFontReader.h"
#include "Graphics/Texture2D.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/Fonts.h"

namespace {

using Graphics::SpriteFont;
using Graphics::SpriteFontGlyph;

std::vector<std::string> g_assertions;
void CollectAssertion(const char* condition, const char*, const char*, int) { g_assertions.push_back(condition); }

class SpriteFontTest : public draw2dtest::Draw2DTestDevice {
protected:
    void SetUp() override {
        Draw2DTestDevice::SetUp();
        WriteFile("page.bmp", texturetest::Bmp32(64, 32, [](int, int) { return 0xFFFFFFFFu; }));
        WriteFile("small.bmp", texturetest::Bmp32(32, 16, [](int, int) { return 0xFFFFFFFFu; }));
    }

    boost::shared_ptr<SpriteFont> Read(const std::string& name, const std::string& text) {
        WriteFile(name, text);
        return Content::CreateAsset<SpriteFont>(ScratchPath(name));
    }
};

void ExpectGlyph(const SpriteFontGlyph& glyph, std::vector<int> expected) {
    const std::vector<int> actual = {glyph.x,       glyph.y,       glyph.width,    glyph.height,
                                     glyph.xoffset, glyph.yoffset, glyph.xadvance, glyph.page};
    EXPECT_EQ(actual, expected);
}

TEST_F(SpriteFontTest, CfFontMapsItsRangeOntoTheGlyphLines) {
    auto font = Read("digits.cf",
                     "ignored header\n"
                     "chars_height = 12\n"
                     "chars_from = 32\n"
                     "chars_to = 34\n"
                     "image = page.bmp\n"
                     "uv_ofs = 2,3\n"
                     "x=0\t y=0\t w=5\n"
                     "x=6  \t  y=0\t w=7\n"  // runs of blanks match the format's blank and tab
                     "x=14\t y=13\t w=0\n");
    ASSERT_TRUE(font);
    EXPECT_TRUE(font->IsLoaded());
    EXPECT_EQ(font->GetName(), ScratchPath("digits.cf"));
    EXPECT_EQ(font->GetTypeId(), 9);
    ASSERT_EQ(font->glyphs_.size(), 3u);
    ExpectGlyph(font->glyphs_.at(32), {2, 3, 5, 12, 0, 0, 5, 0});
    ExpectGlyph(font->glyphs_.at(33), {8, 3, 7, 12, 0, 0, 7, 0});
    ExpectGlyph(font->glyphs_.at(34), {16, 16, 0, 12, 0, 0, 0, 0});
    EXPECT_EQ(font->line_height_, 12);
    EXPECT_EQ(font->default_width_, 5);
    EXPECT_EQ(font->page_image_name_, "page.bmp");
    ASSERT_TRUE(font->page_texture_);
    EXPECT_NE(font->page_texture_->GetTexture(), nullptr);
    EXPECT_EQ(font->page_width_, 64);
    EXPECT_EQ(font->page_height_, 32);
    // 32 and 33 by their widths, 34 (width 0) by the default width.
    EXPECT_EQ(font->MeasureString(std::wstring(L" !\"")), 5 + 7 + 5);
}

TEST_F(SpriteFontTest, CfFontWithoutImageOrEnoughLines) {
    // No image: the base name with ".png" (which does not exist here, so the
    // font has no page and a page size of 0, and still measures).
    g_assertions.clear();
    AssertionHandler previous = SetAssertionHandler(&CollectAssertion);
    auto font = Read("mono.cf",
                     "h\nchars_height = 9\nchars_from = 65\nchars_to = 70\nimage = \nuv_ofs = 0,0\n"
                     "x=0\t y=0\t w=4\nx=4\t y=0\t w=6\n");
    SetAssertionHandler(previous);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->page_image_name_, "mono.png");
    EXPECT_FALSE(font->page_texture_);
    EXPECT_EQ(font->page_width_, 0);
    EXPECT_EQ(g_assertions, std::vector<std::string>{"resource.get()"});
    // Six codes but two glyph lines: only 65 and 66 get glyphs.
    EXPECT_EQ(font->glyphs_.size(), 2u);
    EXPECT_EQ(font->MeasureString(std::string("AB")), 10);

    // A header without range gives no glyphs and no default width.
    auto bare = Read("bare.cf", "h\nchars_height = 9\n");
    ASSERT_TRUE(bare);
    EXPECT_TRUE(bare->glyphs_.empty());
    EXPECT_EQ(bare->MeasureString(std::string("AB")), 0);
}

TEST_F(SpriteFontTest, CfFontNumbersAtTheEndsOfTheIntRange) {
    // Positions wrap to the 16-bit glyph fields; codes past 0xFFFF give no glyph.
    auto wide = Read("wide.cf",
                     "h\nchars_height = 9\nchars_from = 65\nchars_to = 66\nimage = page.bmp\nuv_ofs = 1,1\n"
                     "x=2147483647\t y=-2147483648\t w=4\nx=65535\t y=65536\t w=4\n");
    ASSERT_TRUE(wide);
    ExpectGlyph(wide->glyphs_.at(65), {0, 1, 4, 9, 0, 0, 4, 0});
    ExpectGlyph(wide->glyphs_.at(66), {0, 1, 4, 9, 0, 0, 4, 0});

    auto top = Read("top.cf",
                    "h\nchars_height = 9\nchars_from = 2147483646\nchars_to = 2147483647\nimage = page.bmp\n"
                    "uv_ofs = 0,0\nx=0\t y=0\t w=4\nx=4\t y=0\t w=4\nx=8\t y=0\t w=4\n");
    ASSERT_TRUE(top);
    EXPECT_TRUE(top->glyphs_.empty());
}

TEST_F(SpriteFontTest, FntFontReadsItsKeys) {
    auto font = Read("f.fnt",
                     "info face=\"My Face\" size=-20 bold=1 italic=0 charset=\"\" unicode=1 smooth=1 aa=0 spacing=1,1\n"
                     "common lineHeight=22 base=17 scaleW=999 pages=2 packed=0\n"
                     "page id=0 file=\"page.bmp\"\n"
                     "chars count=5\n"
                     "char id=65 x=1 y=2 width=10 height=12 xoffset=-1 yoffset=3 xadvance=9 page=0 chnl=15\n"
                     "char id=65 x=50 y=50 width=50 height=50\n"            // a repeated id keeps the first glyph
                     "char id=67 x=7 y=8 width=3 height=4 xadvance=oops\n"  // not a number: stays 0
                     "char x=9 width=9\n"  // no id: the code of the line before (kept first)
                     "char id=32 x=0 y=0 width=0 height=0 xoffset=0 yoffset=0 xadvance=8\n"
                     "page id=1 file=small.bmp uvoffsx=4 uvoffsy=5\n"
                     "char id=66 x=1 y=1 width=2 height=2 xoffset=2 xadvance=10 nonsense\n"
                     "kerning first=65 second=66 amount=-3\n"
                     "kerning first=65 second=66 amount=-2\n"
                     "mystery first=1 second=2 amount=3\n");
    ASSERT_TRUE(font);
    // The face keeps its quotes and stops at the first blank.
    EXPECT_EQ(font->face_, "\"My");
    EXPECT_EQ(font->size_, -20);
    EXPECT_EQ(font->charset_, "\"\"");
    EXPECT_TRUE(font->bold_);
    EXPECT_FALSE(font->italic_);
    EXPECT_TRUE(font->unicode_);
    EXPECT_TRUE(font->smooth_);
    EXPECT_FALSE(font->aa_);
    EXPECT_EQ(font->line_height_, 22);
    EXPECT_EQ(font->default_width_, 17);
    EXPECT_EQ(font->page_count_, 2);
    // Only the last page line's image stays, and the page size is its texture's.
    EXPECT_EQ(font->page_image_name_, "small.bmp");
    EXPECT_EQ(font->page_width_, 32);
    EXPECT_EQ(font->page_height_, 16);
    ASSERT_EQ(font->glyphs_.size(), 4u);
    ExpectGlyph(font->glyphs_.at(65), {1, 2, 10, 12, -1, 3, 9, 0});
    ExpectGlyph(font->glyphs_.at(67), {7, 8, 3, 4, 0, 0, 0, 0});
    ExpectGlyph(font->glyphs_.at(32), {0, 0, 0, 0, 0, 0, 8, 0});
    // UV offsets of a page line apply to the char lines after it.
    ExpectGlyph(font->glyphs_.at(66), {5, 6, 2, 2, 2, 0, 10, 0});
    // A repeated pair replaces the amount; unknown tags are ignored.
    ASSERT_EQ(font->kerning_.size(), 1u);
    EXPECT_EQ(font->kerning_.at(65).size(), 1u);
    EXPECT_EQ(font->kerning_.at(65).at(66), -2);

    // Codes are taken as 16 bits, the amount as its low 8.
    auto wide = Read("k.fnt", "kerning first=65601 second=131138 amount=257\n");
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->kerning_.at(0x0041).at(0x0042), 1);
}

TEST_F(SpriteFontTest, MeasureString) {
    SpriteFont font("memory");
    font.default_width_ = 17;
    // No glyphs: narrow text is 0, wide text its length times the default width.
    EXPECT_EQ(font.MeasureString(std::string("abc")), 0);
    EXPECT_EQ(font.MeasureString(std::wstring(L"abc")), 3 * 17);
    EXPECT_EQ(font.glyphs_.size(), 3u);  // looked-up codes were entered

    font.glyphs_.clear();
    font.glyphs_[L'a'] = SpriteFontGlyph{0, 0, 6, 9, 2, 0, 10, 0};
    font.glyphs_[L' '] = SpriteFontGlyph{0, 0, 0, 0, 0, 0, 8, 0};
    font.glyphs_[0xE9] = SpriteFontGlyph{0, 0, 5, 9, 0, 0, 5, 0};
    struct Case {
        std::wstring wide;
        std::string narrow;
        int width;
    } cases[] = {
        {L"", "", 0},
        {L"a", "a", 8},   // xadvance - xoffset
        {L" ", " ", 17},  // width 0: the default width, not the advance of 8
        {L"a a", "a a", 8 + 17 + 8},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(font.MeasureString(c.wide), c.width) << c.narrow;
        EXPECT_EQ(font.MeasureString(c.narrow), c.width) << c.narrow;
    }
    // A narrow 0xE9 widens by sign extension to 0xFFE9, which has no glyph;
    // the wide unit 0x00E9 has one.
    EXPECT_EQ(font.MeasureString(std::string("\xE9")), 17);
    EXPECT_EQ(font.glyphs_.count(0xFFE9), 1u);
    EXPECT_EQ(font.MeasureString(std::wstring(1, wchar_t(0xE9))), 5);
}

TEST_F(SpriteFontTest, UnreadableFileFailsAndIsNotCached) {
    EXPECT_FALSE(Content::CreateAsset<SpriteFont>(ScratchPath("missing.fnt")));
    WriteFile("empty.fnt", std::string());
    EXPECT_FALSE(Content::CreateAsset<SpriteFont>(ScratchPath("empty.fnt")));

    g_assertions.clear();
    AssertionHandler previous = SetAssertionHandler(&CollectAssertion);
    Content::ContentLoader<SpriteFont> loader(scratch.string() + "/");
    EXPECT_FALSE(loader.Load("missing.fnt"));
    SetAssertionHandler(previous);
    EXPECT_EQ(g_assertions, std::vector<std::string>{"resource.get()"});
    EXPECT_TRUE(loader.GetCache().empty());
}

TEST_F(SpriteFontTest, UnloadKeepsTablesAndReloadAnswersFalse) {
    auto font = Read("u.fnt", "page file=page.bmp\nchar id=65 x=0 y=0 width=4 height=4 xadvance=4\n");
    ASSERT_TRUE(font && font->page_texture_);
    EXPECT_TRUE(font->Unload());
    EXPECT_FALSE(font->IsLoaded());
    EXPECT_EQ(font->page_texture_->GetTexture(), nullptr);
    EXPECT_EQ(font->glyphs_.size(), 1u);
    EXPECT_TRUE(font->Unload());  // not loaded: nothing to do

    EXPECT_FALSE(font->Reload());
    EXPECT_NE(font->page_texture_->GetTexture(), nullptr);
}

TEST_F(SpriteFontTest, SampleFontsLoadThroughTheFontLoader) {
    namespace fonts = catalogue::fonts;
    Service<UITextureLoader>::Unregister();
    UITextureLoader interfaceTextures(catalogue::config::kUiTexture.Path());
    Service<UITextureLoader>::Register(&interfaceTextures);
    Content::ContentLoader<SpriteFont> loader(catalogue::config::kFonts.Path());

    for (const fonts::Font& entry : fonts::kAll) {
        SCOPED_TRACE(entry.file);
        auto font = loader.Load(entry.file);
        ASSERT_TRUE(font);
        EXPECT_TRUE(font->IsLoaded());
        ASSERT_TRUE(font->page_texture_);
        EXPECT_EQ(font->page_image_name_, entry.page);
        EXPECT_GT(font->page_width_, 0);
        EXPECT_GT(font->line_height_, 0);
        // Every Latin-1 letter, and the Russian alphabet in the Russian fonts,
        // is a glyph that lies on the page.
        std::vector<int> codes;
        for (const fonts::CharRange& range : fonts::kLatin1)
            for (int code = range.first; code <= range.last; ++code) codes.push_back(code);
        if (entry.cyrillic)
            for (int code = 0x410; code <= 0x44F; ++code) codes.push_back(code);
        for (int code : codes) {
            ASSERT_EQ(font->glyphs_.count(uint16_t(code)), 1u) << code;
            const SpriteFontGlyph& glyph = font->glyphs_.at(uint16_t(code));
            EXPECT_GT(glyph.width, 0) << code;
            EXPECT_LE(glyph.x + glyph.width, font->page_width_) << code;
            EXPECT_LE(glyph.y + glyph.height, font->page_height_) << code;
        }
        // A space advances by its own width, not by the default width.
        const int space = font->MeasureString(std::wstring(L" "));
        EXPECT_GT(space, 0);
        EXPECT_LT(space, font->line_height_);
        if (entry.format == fonts::Format::Fnt) {
            EXPECT_FALSE(font->kerning_.empty());
        }
    }
    // Requests in other letter cases are cache hits.
    EXPECT_EQ(loader.Load("TARRAGON_40.FNT"), loader.Load("tarragon_40.fnt"));
    EXPECT_TRUE(loader.UnloadAll());
    Service<UITextureLoader>::Unregister();
}

}  // namespace
