// Every window layout of the "ui" folder through the window's own loader, on
// the recording null device with the interface texture loader: each widget
// with its tag, name, rectangle, texture and nested images. A layout that
// gives no widget fails, and so does every "file" that does not load (the
// loader's assertion).
#include <cstdio>
#include <string>
#include <vector>

#include "Classes/Dictionary/Config/Config.h"
#include "Graphics/UITextureLoader.h"
#include "Core/Service.h"
#include "Graphics/Texture2D.h"
#include "IO/File.h"
#include "UI/UIButton.h"
#include "UI/UIImage.h"
#include "UI/UISlider.h"
#include "UI/UIWindowView.h"
#include "tools/datacheck/Check.h"
#include "tools/datacheck/NullGraphics.h"
#include "tools/datacheck/ScopedService.h"

namespace {

const char* TagOf(const UI::UIElement& element) {
    if (const auto* slider = dynamic_cast<const UI::UISlider*>(&element))
        return slider->progress_ ? "progress" : "slider";
    if (dynamic_cast<const UI::UIButton*>(&element) != nullptr) return "button";
    if (dynamic_cast<const UI::UIImage*>(&element) != nullptr) return "image";
    return "?";
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

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
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

    const std::vector<std::string> files = ListDirectory(paths.UiPath);
    int layouts = 0;
    for (const std::string& file : files) {
        if (!EndsWith(file, ".xml") && !EndsWith(file, ".XML")) continue;
        ++layouts;
        // Named first, so a texture the loader reports falls under its layout.
        report.Line("%s:", file.c_str());
        UI::UIWindowView window;
        window.LoadLayout(paths.UiPath + file);
        report.Line("  %zu widgets", window.size());
        if (window.empty()) report.Fail("%s gives no widget (empty, no XML or cut short)", file.c_str());
        for (const UI::UIElement* element : window) {
            report.Line("  %-8s %s", TagOf(*element), Describe(*element).c_str());
            if (const auto* button = dynamic_cast<const UI::UIButton*>(element)) {
                Nested(report, "pressed", button->pressed_image_);
                Nested(report, "over", button->over_image_);
            } else if (const auto* slider = dynamic_cast<const UI::UISlider*>(element)) {
                Nested(report, "bar", slider->bar_image_);
                Nested(report, "thumb", slider->thumb_image_);
            }
        }
    }
    report.Line("layouts in %s: %d", paths.UiPath.c_str(), layouts);
}
