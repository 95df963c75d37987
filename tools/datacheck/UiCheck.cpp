// Every window layout of the "ui" folder through the window's own loader, on
// the recording null device with the interface texture and font loaders:
// each widget with its tag, name, rectangle, texture and nested images, and
// the fonts and language key of each label, table and text area. A layout
// that gives no widget fails, and so does every "file" or font that does not
// load (the loader's assertion), a label or table without font, and a key
// that a language file lacks. The layouts of the catalogue must all be there
// and keep its promises (tools/datacheck/LayoutContract.h); the tutorial's
// pages are listed with their overlays. A caption (a label whose box lies on a
// button) is measured in every language with the font the game gives it there,
// and fails when it is wider than its button leaves it.
#include <boost/algorithm/string/case_conv.hpp>

#include <algorithm>
#include <cstdio>
#include <functional>
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

// What a label, table or text area names of fonts and texts, and the box the
// layout gives it (before the label aligns its text in it).
struct TextAttributes {
    std::string tag;
    std::string font;
    std::string font_rus;
    std::string key;
    float x = 0, y = 0, width = 0, height = 0;
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
        found.push_back(
            TextAttributes{name, text("font"), text("fontRUS"), text("texttr"),
                           reader->getAttributeValueAsFloat("posx"), reader->getAttributeValueAsFloat("posy"),
                           reader->getAttributeValueAsFloat("sizex"), reader->getAttributeValueAsFloat("sizey")});
    }
    return found;
}

struct LanguageFile {
    int code;
    std::string file;
    LanguageTable table;
};

// The seven language files, read as the language check reads them; a file
// that does not read is that check's failure and is left out here.
std::vector<LanguageFile> ReadLanguages(const std::string& folder) {
    std::vector<LanguageFile> languages;
    for (int code = kEnglish; code <= kJapanese; ++code) {
        const char* file = FindLanguage(code)->file;
        std::unique_ptr<IO::File> in(IO::File::OpenRead((folder + file).c_str()));
        LanguageTable table;
        if (in && ReadLanguageEntries(*in, table) == kLanguageReadOk)
            languages.push_back(LanguageFile{code, file, std::move(table)});
    }
    return languages;
}

// The button a label's box lies on (its middle inside the button), if any.
const UI::UIElement* ButtonUnder(const UI::UIWindowView& window, const TextAttributes& label) {
    const float x = label.x + label.width / 2, y = label.y + label.height / 2;
    for (const UI::UIElement* element : window)
        if (dynamic_cast<const UI::UIButton*>(element) != nullptr && x >= element->position_.x &&
            x < element->position_.x + element->size_.x && y >= element->position_.y &&
            y < element->position_.y + element->size_.y)
            return element;
    return nullptr;
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

typedef std::function<boost::shared_ptr<Graphics::SpriteFont>(const std::string&)> FontSource;

// A caption keeps this clear of either side of its button: the face's rim and
// some air, or it reads as spilling over.
const int kCaptionMargin = 12;

// A caption in every language, with the font the game gives it there (its
// Russian one in Russian): a line with its widest, and a failure for each
// language in which it is wider than its button leaves it. A missing key or
// font is reported with the label.
void MeasureCaption(datacheck::Report& report, const std::string& file, const std::string& name,
                    const TextAttributes& label, const UI::UIElement& button,
                    const std::vector<LanguageFile>& languages, const FontSource& fontNamed) {
    const int room = static_cast<int>(button.size_.x) - 2 * kCaptionMargin;
    int widest = 0;
    std::string widestIn = "-";
    for (const LanguageFile& language : languages) {
        const auto text = language.table.find(label.key);
        const std::string& face = language.code == kRussian && !label.font_rus.empty() ? label.font_rus : label.font;
        if (text == language.table.end() || face.empty()) continue;
        const boost::shared_ptr<Graphics::SpriteFont> font = fontNamed(face);
        if (!font) continue;
        const int width = font->MeasureString(text->second);
        if (width > widest) widest = width, widestIn = language.file;
        if (width > room)
            report.Fail("%s: caption \"%s\" in %s is %d pixels wide, wider than its button \"%s\" leaves it (%d)",
                        file.c_str(), name.c_str(), language.file.c_str(), width, button.name_.c_str(), room);
    }
    report.Line("      caption on %s: %d of %d pixels at the widest (%s)", button.name_.c_str(), widest, room,
                widestIn.c_str());
}

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
    const std::vector<LanguageFile> languages = ReadLanguages(paths.LanguagePath);
    // Each font tried once, quietly: the widgets that name a font that does
    // not load are reported with it.
    std::map<std::string, boost::shared_ptr<Graphics::SpriteFont>> loaded;
    const FontSource fontNamed = [&](const std::string& font) {
        const auto known = loaded.find(font);
        if (known != loaded.end()) return known->second;
        const AssertionHandler previous = SetAssertionHandler(&IgnoreAssertion);
        boost::shared_ptr<Graphics::SpriteFont> result = fonts.Load(font);
        SetAssertionHandler(previous);
        return loaded[font] = result;
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
                    if (!font->empty() && !fontNamed(*font))
                        report.Fail("%s: %s \"%s\": font %s does not load", file.c_str(), tag, name.c_str(),
                                    font->c_str());
                if (!text->key.empty())
                    for (const LanguageFile& language : languages)
                        if (language.table.count(text->key) == 0)
                            report.Fail("%s: %s \"%s\": %s lacks the key %s", file.c_str(), tag, name.c_str(),
                                        language.file.c_str(), text->key.c_str());
                if (text->tag == "text" && !text->key.empty())
                    if (const UI::UIElement* button = ButtonUnder(window, *text))
                        MeasureCaption(report, file, name, *text, *button, languages, fontNamed);
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
