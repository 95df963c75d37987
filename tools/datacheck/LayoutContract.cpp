#include "tools/datacheck/LayoutContract.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <iterator>
#include <map>

#include "Core/Language.h"
#include "UI/UIButton.h"
#include "UI/UIImage.h"
#include "UI/UILabel.h"
#include "UI/UIScrollableTextArea.h"
#include "UI/UISlider.h"
#include "UI/UITable.h"
#include "UI/UIWindowView.h"

namespace datacheck {

namespace {

namespace layouts = catalogue::layouts;
using layouts::Kind;

const int kRussian = 5;

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    return text;
}

bool CoversScreen(const UI::UIElement& element) {
    return element.position_.x <= 0.0f && element.position_.y <= 0.0f &&
           element.position_.x + element.size_.x >= layouts::kScreenWidth &&
           element.position_.y + element.size_.y >= layouts::kScreenHeight;
}

bool SameRect(const UI::UIElement& element, const layouts::Rect& rect) {
    return element.position_.x == float(rect.x) && element.position_.y == float(rect.y) &&
           element.size_.x == float(rect.w) && element.size_.y == float(rect.h);
}

bool ShareAPixel(const UI::UIElement& a, const UI::UIElement& b) {
    auto apart = [](float a0, float a1, float b0, float b1) { return int(a1) <= int(b0) || int(b1) <= int(a0); };
    return !apart(a.position_.x, a.position_.x + a.size_.x, b.position_.x, b.position_.x + b.size_.x) &&
           !apart(a.position_.y, a.position_.y + a.size_.y, b.position_.y, b.position_.y + b.size_.y);
}

bool TakesPresses(Kind kind) { return kind == Kind::Button || kind == Kind::EditField || kind == Kind::Slider; }

// The page an overlay name gives ("View", a number, anything), 0 for none:
// "Viewer..." names a page itself.
int OverlayPage(const std::string& name) {
    if (name.compare(0, 4, "View") != 0 || name.size() < 5 || !std::isdigit(static_cast<unsigned char>(name[4])))
        return 0;
    int page = 0;
    for (size_t i = 4; i < name.size() && std::isdigit(static_cast<unsigned char>(name[i])) && page < 100000; ++i)
        page = page * 10 + (name[i] - '0');
    return page;
}

bool IsBound(const layouts::Window& window, const std::string& name) {
    for (const layouts::Bound& bound : window.bound)
        if (bound.name == name) return true;
    return false;
}

bool IsPage(const std::string& name) { return name.compare(0, 6, "Viewer") == 0; }

// Whether the language rule of the loader keeps the catalogue's element.
bool LoadedInThisLanguage(const layouts::Window& window, const layouts::Element& element) {
    const bool russian = GetLanguageIndex() == kRussian;
    if (element.name == "backgroundRUS") return russian;
    if (element.name == "background" && russian) return window.Find("backgroundRUS") == nullptr;
    return true;
}

void CheckBound(const layouts::Bound& bound, const std::vector<const UI::UIElement*>& named,
                std::vector<std::string>& problems) {
    const char* needs = layouts::KindName(bound.kind);
    if (named.empty()) {
        problems.push_back(Format("no \"%s\": its %s is missing", bound.name.c_str(), needs));
        return;
    }
    if (named.size() > 1)
        problems.push_back(Format("\"%s\" %zu times: one %s is bound", bound.name.c_str(), named.size(), needs));
    const UI::UIElement& element = *named.back();
    const Kind kind = KindOf(element);
    if (kind != bound.kind) {
        problems.push_back(
            Format("\"%s\" is a %s, not the %s it must be", bound.name.c_str(), layouts::KindName(kind), needs));
        return;
    }
    if (const auto* slider = dynamic_cast<const UI::UISlider*>(&element)) {
        if (slider->bar_image_ == nullptr || !slider->bar_image_->texture_)
            problems.push_back(Format("\"%s\" has no bar image", bound.name.c_str()));
        if (kind == Kind::Slider && (slider->thumb_image_ == nullptr || !slider->thumb_image_->texture_))
            problems.push_back(Format("\"%s\" has no thumb image", bound.name.c_str()));
    }
}

void CheckPages(const UI::UIWindowView& loaded, LayoutFindings& findings) {
    for (const UI::UIElement* element : loaded)
        if (IsPage(element->name_)) findings.pages.push_back({element->name_, element->visible_, {}});
    const int count = int(findings.pages.size());
    if (count > layouts::kMaxTutorialPages)
        findings.problems.push_back(
            Format("%d tutorial pages: at most %d are held", count, layouts::kMaxTutorialPages));
    for (const UI::UIElement* element : loaded) {
        const int page = OverlayPage(element->name_);
        if (page == 0) continue;
        if (page > count || page > layouts::kMaxTutorialPages)
            findings.problems.push_back(Format("\"%s\" belongs to page %d of %d", element->name_.c_str(), page, count));
        else findings.pages[size_t(page - 1)].overlays.push_back(element->name_);
    }
}

}  // namespace

Kind KindOf(const UI::UIElement& element) {
    if (const auto* slider = dynamic_cast<const UI::UISlider*>(&element))
        return slider->progress_ ? Kind::Progress : Kind::Slider;
    if (dynamic_cast<const UI::UIButton*>(&element) != nullptr) return Kind::Button;
    if (const auto* label = dynamic_cast<const UI::UILabel*>(&element))
        return label->editable_ ? Kind::EditField : Kind::Label;
    if (dynamic_cast<const UI::UIScrollableTextArea*>(&element) != nullptr) return Kind::Area;
    if (dynamic_cast<const UI::UITable*>(&element) != nullptr) return Kind::Table;
    return Kind::Image;
}

LayoutFindings CheckLayout(const layouts::Window& expected, const UI::UIWindowView& loaded) {
    LayoutFindings findings;
    std::vector<std::string>& problems = findings.problems;
    if (loaded.empty()) {
        problems.push_back("no widget");
        return findings;
    }
    std::map<std::string, std::vector<const UI::UIElement*>> byName;
    for (const UI::UIElement* element : loaded) byName[element->name_].push_back(element);

    // The game never clears a menu frame: the first image paints all of it.
    // A box starts with its frame, which clips and centres the rest.
    const UI::UIElement& first = *loaded.front();
    if (KindOf(first) != Kind::Image || !first.texture_)
        problems.push_back(Format("the first element \"%s\" is no image with a texture", first.name_.c_str()));
    else if (!expected.box && (!first.visible_ || !CoversScreen(first)))
        problems.push_back(Format("the first image \"%s\" does not cover the screen", first.name_.c_str()));

    for (const layouts::Bound& bound : expected.bound) CheckBound(bound, byName[bound.name], problems);
    for (const UI::UIElement* element : loaded)
        if (KindOf(*element) == Kind::Button && !element->texture_)
            problems.push_back(Format("button \"%s\" has no \"file\": it is invisible", element->name_.c_str()));
    if (const auto named = byName.find("Message"); named != byName.end())
        for (const UI::UIElement* element : named->second)
            if (KindOf(*element) == Kind::EditField)
                problems.push_back("\"Message\" is editable: the box gives it no text");

    for (const layouts::Cover& cover : expected.covers) {
        const auto over = byName.find(cover.cover), under = byName.find(cover.covered);
        if (over == byName.end() || over->second.empty() || under == byName.end() || under->second.empty()) continue;
        const UI::UIElement& a = *over->second.back();
        const UI::UIElement& b = *under->second.back();
        if (a.position_.x != b.position_.x || a.position_.y != b.position_.y || a.size_.x != b.size_.x ||
            a.size_.y != b.size_.y)
            problems.push_back(
                Format("\"%s\" does not lie exactly over \"%s\"", cover.cover.c_str(), cover.covered.c_str()));
    }

    // A label consumes the presses on its box: a control listed after it
    // would lose those under the box. Checked as the window opens; what the
    // controller shows later (the form's "OK" in place of its two buttons) is
    // its own affair.
    for (auto label = loaded.begin(); label != loaded.end(); ++label) {
        if (KindOf(**label) != Kind::Label || !(*label)->visible_) continue;
        for (auto control = std::next(label); control != loaded.end(); ++control)
            if ((*control)->visible_ && TakesPresses(KindOf(**control)) && ShareAPixel(**label, **control))
                problems.push_back(Format("\"%s\" lies over \"%s\" and takes its presses there",
                                          (*label)->name_.c_str(), (*control)->name_.c_str()));
    }

    // Where the catalogue puts them, which is where tests click; a label's
    // box moves with its text, so only its presence counts.
    for (const layouts::Element& element : expected.elements) {
        if (!LoadedInThisLanguage(expected, element)) continue;
        const auto named = byName.find(element.name);
        if (named == byName.end() || named->second.empty()) {
            if (IsBound(expected, element.name)) continue;  // reported above
            problems.push_back(Format("no \"%s\" (%s in the catalogue)", element.name.c_str(), element.Tag()));
            continue;
        }
        const UI::UIElement& found = *named->second.front();
        const Kind kind = KindOf(found);
        if (kind == Kind::Label || kind == Kind::EditField || element.kind == Kind::Label ||
            element.kind == Kind::EditField)
            continue;
        if (!SameRect(found, element.rect))
            problems.push_back(Format("\"%s\" at (%g, %g) %gx%g, the catalogue's at (%d, %d) %dx%d",
                                      element.name.c_str(), found.position_.x, found.position_.y, found.size_.x,
                                      found.size_.y, element.rect.x, element.rect.y, element.rect.w, element.rect.h));
    }
    CheckPages(loaded, findings);
    return findings;
}

}  // namespace datacheck
