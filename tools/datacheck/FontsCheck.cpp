// Every font of the fonts folder through the font loader (its page through the
// interface texture loader) on the recording null device, and every text of
// each language file measured with the three fonts that language draws with:
// a character without glyph in one of them is a failure.
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "Classes/Dictionary/Config/Config.h"
#include "Core/ContentLoader.h"
#include "Core/Language.h"
#include "Core/Service.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/SpriteFont.h"
#include "Graphics/UITextureLoader.h"
#include "IO/File.h"
#include "platform/d3d9/Extensions.h"
#include "tools/catalogue/Fonts.h"
#include "tools/catalogue/LanguageKeys.h"
#include "tools/datacheck/Check.h"
#include "tools/datacheck/NullGraphics.h"
#include "tools/datacheck/ScopedService.h"

namespace {

namespace fonts = catalogue::fonts;
using FontLoader = Content::ContentLoader<Graphics::SpriteFont>;

// Distinct characters of the text that the font has no glyph for (line
// breaks are layout, not glyphs).
std::set<unsigned> Missing(const Graphics::SpriteFont& font, const std::wstring& text) {
    std::set<unsigned> missing;
    for (wchar_t unit : text) {
        const uint16_t code = static_cast<uint16_t>(unit);
        if (code == 10 || code == 13) continue;
        const auto glyph = font.glyphs_.find(code);
        if (glyph == font.glyphs_.end() || glyph->second.width == 0) missing.insert(code);
    }
    return missing;
}

}  // namespace

DATACHECK(fonts, 35) {
    if (!Service<Config>::Exists()) {
        report.Fail("no configuration");
        return;
    }
    const Config::PathSet& paths = Service<Config>::Get()->Paths;
    datacheck::NullGraphics graphics;
    if (!graphics.Ready()) {
        report.Fail("no null device for the font pages");
        return;
    }
    UITextureLoader interfaceTextures(paths.UiTexturePath);
    const datacheck::ScopedService<UITextureLoader> publishTextures(&interfaceTextures);

    FontLoader loader(paths.FontsPath);
    std::set<std::string> names;
    for (const fonts::Font& font : fonts::kAll) names.insert(font.file);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(paths.FontsPath, error)) {
        const std::string extension = entry.path().extension().string();
        if (entry.is_regular_file() && (extension == ".fnt" || extension == ".cf"))
            names.insert(entry.path().filename().string());
    }
    if (error) report.Fail("%s cannot be listed: %s", paths.FontsPath.c_str(), error.message().c_str());

    std::map<std::string, boost::shared_ptr<Graphics::SpriteFont>> loaded;
    for (const std::string& name : names) {
        boost::shared_ptr<Graphics::SpriteFont> font = loader.Load(name);
        if (!font) {
            report.Fail("%s%s does not load", paths.FontsPath.c_str(), name.c_str());
            continue;
        }
        if (!font->page_texture_ || font->page_width_ == 0) {
            report.Fail("%s: its page %s does not load", name.c_str(), font->page_image_name_.c_str());
            continue;
        }
        if (font->glyphs_.empty() || font->line_height_ == 0) {
            report.Fail("%s has no glyphs or no line height", name.c_str());
            continue;
        }
        size_t pairs = 0;
        for (const auto& first : font->kerning_) pairs += first.second.size();
        report.Line("%s: %zu glyphs, %zu kerning pairs, line height %d, page %s %dx%d", name.c_str(),
                    font->glyphs_.size(), pairs, font->line_height_, font->page_image_name_.c_str(), font->page_width_,
                    font->page_height_);
        loaded[name] = font;
    }

    // Each language's texts in its three fonts, and one sample string measured.
    for (const catalogue::lang::LanguageFile& language : catalogue::lang::kFiles) {
        const std::string path = paths.LanguagePath + language.file;
        std::unique_ptr<IO::File> file(IO::File::OpenRead(path.c_str()));
        LanguageTable table;
        if (!file || ReadLanguageEntries(*file, table) != kLanguageReadOk) {
            report.Fail("%s does not read", path.c_str());
            continue;
        }
        const fonts::LanguageFonts chosen = fonts::ForLanguage(language.code);
        const fonts::Font* slots[] = {chosen.title, chosen.main, chosen.small};
        int widths[3] = {0, 0, 0};
        for (int slot = 0; slot < 3; ++slot) {
            const auto found = loaded.find(slots[slot]->file);
            if (found == loaded.end()) {
                report.Fail("%s: its font %s did not load", language.file, slots[slot]->file);
                continue;
            }
            Graphics::SpriteFont& font = *found->second;
            std::set<unsigned> missing;
            for (const auto& text : table) {
                const std::set<unsigned> lacking = Missing(font, text.second);
                missing.insert(lacking.begin(), lacking.end());
            }
            if (!missing.empty())
                report.Fail("%s: %s lacks %zu characters of its texts (first U+%04X)", language.file, slots[slot]->file,
                            missing.size(), *missing.begin());
            widths[slot] = font.MeasureString(table[catalogue::lang::kTextClickContinue]);
            if (widths[slot] <= 0)
                report.Fail("%s: the sample string measures %d in %s", language.file, widths[slot], slots[slot]->file);
        }
        report.Line("%s: \"%s\" measures %d, %d and %d pixels in %s, %s and %s", language.file,
                    catalogue::lang::kTextClickContinue, widths[0], widths[1], widths[2], chosen.title->file,
                    chosen.main->file, chosen.small->file);
    }

    loader.UnloadAll();
}
