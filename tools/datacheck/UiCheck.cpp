// Every window layout of the "ui" folder through the window's own loader, on
// the recording null device with the interface texture and font loaders:
// each widget with its tag, name, rectangle, texture and nested images, and
// the fonts and language key of each label, table and text area. A layout
// that gives no widget fails, and so does every "file" or font that does not
// load (the loader's assertion), a label or table without font, and a key
// that a language file lacks. The layouts of the catalogue must all be there
// and keep its promises (tools/datacheck/LayoutContract.h); the tutorial's
// pages are listed with their overlays.
#include <boost/algorithm/string/case_conv.hpp>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Classes/Dictionary/Config/Config.h"
#include "Core/Assert.h"
#include "Core/ContentLoader.h"
#include "Core/Language.h"
#include "Core/Service.h"
#include "Graphics/SpriteFont.h"
#include "Graphics/Texture2D.h"
#include "Graphics/UITextureLoader.h"
#include "IO/File.h"
#include "IO/XmlReader.h"
#include "UI/UIButton.h"
#include "UI/UIImage.h"
#include "UI/UILabel.h"
#include "UI/UIScrollableTextArea.h"
#include "UI/UISlider.h"
#include "UI/UITable.h"
#include "UI/UIWindowView.h"
#include "tools/catalogue/Layouts.h"
#include "tools/catalogue/Textures.h"
#include "tools/datacheck/Check.h"
#include "tools/datacheck/LayoutContract.h"
#include "tools/datacheck/NullGraphics.h"
#include "tools/datacheck/ScopedService.h"

namespace {

typedef Content::ContentLoader<Graphics::SpriteFont> FontLoader;

const char* TagOf(const UI::UIElement& element) {
    if (const auto* slider = dynamic_cast<const UI::UISlider*>(&element))
        return slider->progress_ ? "progress" : "slider";
    if (dynamic_cast<const UI::UIButton*>(&element) != nullptr) return "button";
    if (dynamic_cast<const UI::UIImage*>(&element) != nullptr) return "image";
    if (dynamic_cast<const UI::UILabel*>(&element) != nullptr) return "text";
    if (dynamic_cast<const UI::UITable*>(&element) != nullptr) return "table";
    if (dynamic_cast<const UI::UIScrollableTextArea*>(&element) != nullptr) return "area";
    return "?";
}

bool IsTextTag(const std::string& tag) { return tag == "text" || tag == "table" || tag == "area"; }

// What a label, table or text area names of fonts and texts.
struct TextAttributes {
    std::string tag;
    std::string font;
    std::string font_rus;
    std::string key;
};

// The text widgets' attributes in layout order, which is their order in the window.
std::vector<TextAttributes> ReadTextAttributes(std::string path) {
    boost::algorithm::to_lower(path);
    std::vector<TextAttributes> found;
    std::unique_ptr<irr::io::IrrXMLReader> reader(CreateXmlReader(path));
    while (reader && reader->read()) {
        const char* name = reader->getNodeName();
        if (reader->getNodeType() != irr::io::EXN_ELEMENT || name == nullptr || !IsTextTag(name)) continue;
        auto text = [&](const char* attribute) {
            const char* value = reader->getAttributeValue(attribute);
            return std::string(value != nullptr ? value : "");
        };
        found.push_back(TextAttributes{name, text("font"), text("fontRUS"), text("texttr")});
    }
    return found;
}

// The seven language files, read as the language check reads them; a file
// that does not read is that check's failure and is left out here.
std::map<std::string, LanguageTable> ReadLanguages(const std::string& folder) {
    std::map<std::string, LanguageTable> languages;
    for (int code = kEnglish; code <= kJapanese; ++code) {
        const char* file = FindLanguage(code)->file;
        std::unique_ptr<IO::File> in(IO::File::OpenRead((folder + file).c_str()));
        LanguageTable table;
        if (in && ReadLanguageEntries(*in, table) == kLanguageReadOk) languages[file] = std::move(table);
    }
    return languages;
}

std::string Describe(const UI::UIElement& element) {
    char rectangle[96];
    std::snprintf(rectangle, sizeof(rectangle), "(%g, %g) %gx%g", element.position_.x, element.position_.y,
                  element.size_.x, element.size_.y);
    return element.name_ + " " + rectangle + " " + (element.texture_ ? element.texture_->GetName() : "no texture") +
           (element.visible_ ? "" : ", hidden");
}

void Nested(datacheck::Report& report, const char* role, const UI::UIImage* image) {
    if (image != nullptr) report.Line("      %-8s %s", role, Describe(*image).c_str());
}

void IgnoreAssertion(const char*, const char*, const char*, int) {}

namespace layouts = catalogue::layouts;

// The window held against its catalogue entry: one line for it, one failure
// per broken promise, and the tutorial's pages.
void Contract(datacheck::Report& report, const layouts::Window& expected, const UI::UIWindowView& window) {
    const datacheck::LayoutFindings findings = datacheck::CheckLayout(expected, window);
    for (const datacheck::TutorialPage& page : findings.pages) {
        std::string overlays;
        for (const std::string& overlay : page.overlays) overlays += " " + overlay;
        report.Line("  page %s%s:%s", page.name.c_str(), page.visible ? " (shown first)" : "",
                    overlays.empty() ? " no overlay" : overlays.c_str());
    }
    for (const std::string& problem : findings.problems) report.Fail("%s: %s", expected.file.c_str(), problem.c_str());
    if (findings.problems.empty())
        report.Line("%s: %zu widgets, names bound: %zu, as the catalogue has it", expected.file.c_str(), window.size(),
                    expected.bound.size());
}

}  // namespace

DATACHECK(ui, 50) {
    if (!Service<Config>::Exists()) {
        report.Fail("no configuration (the config check registers it)");
        return;
    }
    const Config::PathSet& paths = Service<Config>::Get()->Paths;
    datacheck::NullGraphics graphics;
    if (!graphics.Ready()) {
        report.Fail("no null Direct3D device for the interface textures");
        return;
    }
    UITextureLoader textures(paths.UiTexturePath);
    const datacheck::ScopedService<UITextureLoader> publish(&textures);
    FontLoader fonts(paths.FontsPath);
    const datacheck::ScopedService<FontLoader> publishFonts(&fonts);
    const std::map<std::string, LanguageTable> languages = ReadLanguages(paths.LanguagePath);
    // Each font tried once, quietly: the widgets that name a font that does
    // not load are reported with it.
    std::map<std::string, bool> loadable;
    auto loads = [&](const std::string& font) {
        const auto known = loadable.find(font);
        if (known != loadable.end()) return known->second;
        const AssertionHandler previous = SetAssertionHandler(&IgnoreAssertion);
        const bool loaded = static_cast<bool>(fonts.Load(font));
        SetAssertionHandler(previous);
        return loadable[font] = loaded;
    };

    const std::vector<std::string> files = ListDirectory(paths.UiPath);
    for (const layouts::Window& expected : layouts::Windows())
        if (std::none_of(files.begin(), files.end(),
                         [&](const std::string& file) { return layouts::FindWindow(file) == &expected; }))
            report.Fail("%s (%s) is missing", expected.file.c_str(), (paths.UiPath + expected.DiskName()).c_str());
    int count = 0;
    for (const std::string& file : files) {
        if (!datacheck::EndsWith(file, ".xml") && !datacheck::EndsWith(file, ".XML")) continue;
        // The HUD's layout is no window (its own check reads it).
        if (datacheck::Lower(file) == catalogue::textures::kHudLayout) continue;
        ++count;
        // Named first, so a texture the loader reports falls under its layout.
        report.Line("%s:", file.c_str());
        UI::UIWindowView window;
        window.LoadLayout(paths.UiPath + file);
        report.Line("  %zu widgets", window.size());
        if (window.empty()) report.Fail("%s gives no widget (empty, no XML or cut short)", file.c_str());
        const std::vector<TextAttributes> texts =
            window.empty() ? std::vector<TextAttributes>() : ReadTextAttributes(paths.UiPath + file);
        auto text = texts.begin();
        for (const UI::UIElement* element : window) {
            const char* tag = TagOf(*element);
            report.Line("  %-8s %s", tag, Describe(*element).c_str());
            if (IsTextTag(tag) && text != texts.end()) {
                const std::string& name = element->name_;
                report.Line("      font %s, fontRUS %s, texttr %s", text->font.empty() ? "-" : text->font.c_str(),
                            text->font_rus.empty() ? "-" : text->font_rus.c_str(),
                            text->key.empty() ? "-" : text->key.c_str());
                if (text->font.empty() && text->tag != "area")
                    report.Fail("%s: %s \"%s\" has no font", file.c_str(), tag, name.c_str());
                for (const std::string* font : {&text->font, &text->font_rus})
                    if (!font->empty() && !loads(*font))
                        report.Fail("%s: %s \"%s\": font %s does not load", file.c_str(), tag, name.c_str(),
                                    font->c_str());
                if (!text->key.empty())
                    for (const auto& language : languages)
                        if (language.second.count(text->key) == 0)
                            report.Fail("%s: %s \"%s\": %s lacks the key %s", file.c_str(), tag, name.c_str(),
                                        language.first.c_str(), text->key.c_str());
                ++text;
            }
            if (const auto* button = dynamic_cast<const UI::UIButton*>(element)) {
                Nested(report, "pressed", button->pressed_image_);
                Nested(report, "over", button->over_image_);
            } else if (const auto* slider = dynamic_cast<const UI::UISlider*>(element)) {
                Nested(report, "bar", slider->bar_image_);
                Nested(report, "thumb", slider->thumb_image_);
            }
        }
        if (const layouts::Window* expected = layouts::FindWindow(file)) Contract(report, *expected, window);
    }
    report.Line("layouts in %s: %d", paths.UiPath.c_str(), count);
}
