#pragma once
// A loaded window layout held against the catalogue's window: the names its
// controller binds, each once and of the kind it needs (a slider with its bar
// and thumb, an editable label, a text area ...), every element of the
// catalogue where the catalogue puts it, a first image that covers the screen
// (or the box's frame), a texture on every button, greyed covers exactly over
// what they grey, no label's box over a control listed after it (both shown),
// and the tutorial's pages with the overlays that name them.
#include <string>
#include <vector>

#include "tools/catalogue/Layouts.h"

namespace UI {
class UIElement;
class UIWindowView;
}  // namespace UI

namespace datacheck {

// The catalogue's kind of a loaded widget.
catalogue::layouts::Kind KindOf(const UI::UIElement& element);

struct TutorialPage {
    std::string name;
    bool visible = false;
    std::vector<std::string> overlays;  // the elements "View<n>..." of this page
};

struct LayoutFindings {
    std::vector<std::string> problems;  // empty when the layout keeps the catalogue's promises
    std::vector<TutorialPage> pages;    // the "Viewer" elements, in layout order
};

// The window as LoadLayout made it, in the language now loaded ("backgroundRUS"
// stands in for "background" in Russian).
LayoutFindings CheckLayout(const catalogue::layouts::Window& expected, const UI::UIWindowView& loaded);

}  // namespace datacheck
