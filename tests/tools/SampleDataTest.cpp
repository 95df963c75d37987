// The files the data builder generated into the game's folder, read back through the
// game's own readers and compared with the catalogue they were written from.
#include <gtest/gtest.h>

#include <squish.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "Classes/Dictionary/Config/Config.h"
#include "Core/Language.h"
#include "IO/File.h"
#include "tools/catalogue/Config.h"
#include "support/RunDunmarch.h"
#include "support/ScratchFolder.h"
#include "tools/catalogue/Layouts.h"
#include "tools/catalogue/LanguageKeys.h"
#include "tools/catalogue/Textures.h"
#include "platform/d3d9/common/Formats.h"
#include "platform/d3dx/ImageDecoders.h"

namespace {

namespace cfg = catalogue::config;
namespace layouts = catalogue::layouts;

}  // namespace

TEST(SampleDataTest, ConfigNamesTheCatalogueFolders) {
    Config config;
    ASSERT_TRUE(config.Read((testsupport::BuildGameDir() + "/" + cfg::kFileName).c_str()));
    const Config::PathSet& p = config.Paths;
    EXPECT_EQ(cfg::kResourcePc, p.ResourcesPcPath);
    EXPECT_EQ(cfg::kResourceCommon, p.ResourcesCommonPath);
    const struct {
        const cfg::Folder& folder;
        const std::string& value;
    } folders[] = {
        {cfg::kUi, p.UiPath},
        {cfg::kUiTexture, p.UiTexturePath},
        {cfg::kVideos, p.VideosPath},
        {cfg::kTextures, p.TexturesPath},
        {cfg::kFonts, p.FontsPath},
        {cfg::kMeshes, p.MeshesPath},
        {cfg::kMapViews, p.MapViewsPath},
        {cfg::kLanguage, p.LanguagePath},
        {cfg::kLogic, p.LogicPath},
        {cfg::kSounds, p.SoundsPath},
        {cfg::kMaps, p.MapsPath},
        {cfg::kWaves, p.WavesPath},
        {cfg::kDefenders, p.DefendersPath},
        {cfg::kAttackers, p.AttackersPath},
        {cfg::kWeapons, p.WeaponsPath},
        {cfg::kAnims, p.AnimsPath},
        {cfg::kParticles, p.ParticlesPath},
    };
    for (const auto& f : folders) EXPECT_EQ(f.folder.Path(), f.value) << f.folder.element;

    ASSERT_EQ(1u, config.Maps.size());
    EXPECT_EQ("Harrowmere", config.Maps[0]);
    const struct {
        const cfg::Spell* spells;
        size_t count;
    } spells[Config::kSpellKinds] = {{cfg::kSlowdown, std::size(cfg::kSlowdown)},
                                     {cfg::kFirestorm, std::size(cfg::kFirestorm)},
                                     {cfg::kLightning, std::size(cfg::kLightning)}};
    for (int kind = 0; kind < Config::kSpellKinds; ++kind) {
        ASSERT_EQ(spells[kind].count, config.Spells[kind].size()) << kind;
        for (size_t level = 0; level < spells[kind].count; ++level) {
            EXPECT_EQ(spells[kind].spells[level].weapon, config.Spells[kind][level].weapon);
            EXPECT_EQ(spells[kind].spells[level].price, config.Spells[kind][level].price);
            EXPECT_EQ(spells[kind].spells[level].cooldown, config.Spells[kind][level].cooldown);
        }
    }
    ASSERT_EQ(std::size(cfg::kColors), config.Colors.size());
    EXPECT_EQ("red", config.Colors[0].name);
    EXPECT_EQ(std::size(cfg::kSpawnPointTypes), config.SpawnPointTypes.size());
    EXPECT_EQ(cfg::kWebsiteUrl, config.Website.first);
    EXPECT_EQ(cfg::kBannerSiteUrl, config.BannerSite.first);
    EXPECT_EQ(cfg::kInterfaceTexture, config.Interface.first);
    EXPECT_EQ(0u, config.Website.first.find("http://127.0.0.1"));
    EXPECT_EQ(0u, config.BannerSite.first.find("http://127.0.0.1"));
    EXPECT_EQ(0u, config.Submission[0].find("http://127.0.0.1"));
}

TEST(SampleDataTest, EveryLanguageFileHoldsEveryCatalogueKey) {
    for (const catalogue::lang::LanguageFile& lan : catalogue::lang::kFiles) {
        SCOPED_TRACE(lan.file);
        const std::string path = testsupport::BuildGameDir() + "/" + cfg::kLanguage.Path() + lan.file;
        std::unique_ptr<IO::File> file(IO::File::OpenRead(path));
        ASSERT_NE(nullptr, file);
        LanguageTable table;
        ASSERT_EQ(kLanguageReadOk, ReadLanguageEntries(*file, table));
        EXPECT_EQ(std::size(catalogue::lang::kAllKeys), table.size());
        for (const char* key : catalogue::lang::kAllKeys) {
            const auto it = table.find(key);
            ASSERT_NE(table.end(), it) << key;
            EXPECT_FALSE(it->second.empty()) << key;
        }
        // The tips run from TextTip1 without a gap.
        EXPECT_EQ(0u, table.count("TextTip" + std::to_string(catalogue::lang::kTipCount + 1)));
        // Russian is written in Cyrillic.
        if (lan.code == kRussian) {
            EXPECT_EQ(L"\u0410\u0442\u0430\u043a\u0430", table.at("TextAttack"));
        }
    }
}

TEST(SampleDataTest, EveryLayoutTextHasATextInEveryLanguage) {
    for (const catalogue::lang::LanguageFile& lan : catalogue::lang::kFiles) {
        SCOPED_TRACE(lan.file);
        std::unique_ptr<IO::File> file(
            IO::File::OpenRead(testsupport::BuildGameDir() + "/" + cfg::kLanguage.Path() + lan.file));
        ASSERT_NE(nullptr, file);
        LanguageTable table;
        ASSERT_EQ(kLanguageReadOk, ReadLanguageEntries(*file, table));
        int keys = 0;
        for (const layouts::Window& window : layouts::Windows())
            for (const layouts::Element& element : window.elements) {
                if (element.texttr.empty()) continue;
                ++keys;
                const auto it = table.find(element.texttr);
                ASSERT_NE(table.end(), it) << window.file << " " << element.name << " " << element.texttr;
                EXPECT_FALSE(it->second.empty()) << window.file << " " << element.name << " " << element.texttr;
            }
        EXPECT_GT(keys, 50);
    }
}

// The layouts and their images: every file the writer makes, made again in
// another folder, is byte for byte the one the build made.
TEST(SampleDataTest, LayoutsWrittenAgainGiveTheSameBytes) {
    ScratchFolder again;
    const std::string command =
        std::string("'") + DM_TEST_BUILD_DIR + "/tools/databuilder/databuilder' '" + again.Path() + "' layouts";
    ASSERT_EQ(0, std::system(command.c_str()));
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(again.Path())) {
        if (!entry.is_regular_file()) continue;
        ++files;
        const std::string relative = std::filesystem::relative(entry.path(), again.Path()).string();
        EXPECT_EQ(ScratchFolder::Read(testsupport::BuildGameDir() + "/" + relative),
                  ScratchFolder::Read(entry.path().string()))
            << relative;
    }
    // The seventeen layouts and their images, and nothing else of the folders.
    const auto written = std::distance(std::filesystem::directory_iterator(again / cfg::kUi.Path()),
                                       std::filesystem::directory_iterator());
    EXPECT_EQ(layouts::Windows().size(), size_t(written));
    EXPECT_GT(files, 40);
}

// Every pixel on the rim of a cursor's shape has a pixel beside it (or is one)
// that stands out from a black screen and one that stands out from a white one.
TEST(SampleDataTest, CursorsShowTheirOutlineOnDarkAndLightScreens) {
    for (const char* name : catalogue::textures::kCursors) {
        SCOPED_TRACE(name);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(IO::ReadWholeFile(testsupport::BuildGameDir() + "/" + cfg::kTextures.Path() + name, bytes));
        d3dx::Image image;
        ASSERT_EQ(D3D_OK, d3dx::DecodeDds(bytes.data(), bytes.size(), d3dx::kDefaultTexturePixels, &image));
        const int w = int(image.width), h = int(image.height);
        std::vector<uint8_t> rgba(size_t(w) * h * 4);
        ASSERT_TRUE(d3dx::IsCompressed(image.format));
        squish::DecompressImage(rgba.data(), w, h, image.levels[0].data(), d3d9::SquishFlags(image.format));
        auto alpha = [&](int x, int y) {
            return x < 0 || y < 0 || x >= w || y >= h ? 0 : rgba[(size_t(y) * w + x) * 4 + 3];
        };
        // Brightness of the pixel drawn over a screen of the given brightness.
        auto over = [&](int x, int y, float screen) {
            const uint8_t* p = &rgba[(size_t(y) * w + x) * 4];
            const float a = p[3] / 255.0f;
            return (0.3f * p[0] + 0.59f * p[1] + 0.11f * p[2]) * a + screen * (1 - a);
        };
        int rim = 0;
        for (float screen : {0.0f, 255.0f}) {
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    if (alpha(x, y) < 128) continue;
                    if (alpha(x - 1, y) >= 128 && alpha(x + 1, y) >= 128 && alpha(x, y - 1) >= 128 &&
                        alpha(x, y + 1) >= 128)
                        continue;
                    ++rim;
                    bool seen = false;
                    for (int dy = -1; dy <= 1 && !seen; ++dy)
                        for (int dx = -1; dx <= 1 && !seen; ++dx)
                            seen =
                                alpha(x + dx, y + dy) >= 128 && std::abs(over(x + dx, y + dy, screen) - screen) >= 100;
                    EXPECT_TRUE(seen) << "rim pixel (" << x << ", " << y << ") is lost on a screen of " << screen;
                }
        }
        EXPECT_GT(rim, 40);
    }
}
