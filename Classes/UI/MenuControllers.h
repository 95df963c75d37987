#pragma once
// The controllers of the menu windows: each loads its window's layout and binds
// handlers to the elements it knows by name (exact, case-sensitive; the first
// name of the controller's list that matches decides). A controller is a base
// of its window, instantiated with the window type. It binds while the window
// is being built: it walks the view and keeps the window only as the target of
// its handlers, which run once the window is complete.
#include <string>

#include "Classes/UI/WindowControllers.h"
#include "UI/UIElement.h"

template <class W>
struct MainWindowController {
    void BindLayout(UI::UIWindowView& view, W* window) {
        LoadWindowLayout(view, W::kLayout);
        for (UI::UIElement* element : view) {
            const std::string& name = element->name_;
            if (name == "Play") BindLeave<1>(window, element);
            else if (name == "Settings") BindLeave<3>(window, element);
            else if (name == "Info") BindLeave<4>(window, element);
        }
    }
};

template <class W>
struct ControlsWindowController {
    void BindLayout(UI::UIWindowView& view, W*) { LoadWindowLayout(view, W::kLayout); }
};

template <class W>
struct ScoreWindowController {
    void BindLayout(UI::UIWindowView& view, W* window) {
        LoadWindowLayout(view, W::kLayout);
        for (UI::UIElement* element : view) {
            if (element->name_ == "Yes") BindLeave<1>(window, element);
            if (element->name_ == "No") BindLeave<2>(window, element);
        }
    }
};

template <class W>
struct SubmitWindowController {
    void BindLayout(UI::UIWindowView& view, W* window) {
        LoadWindowLayout(view, W::kLayout);
        for (UI::UIElement* element : view)
            if (element->name_ == "OK") BindLeave<2>(window, element);
    }
};

template <class W>
struct InGameQuitWindowController {
    void BindLayout(UI::UIWindowView& view, W*) { LoadWindowLayout(view, W::kLayout); }
};

template <class W>
struct SettingsWindowController {
    void BindLayout(UI::UIWindowView& view, W*) { LoadWindowLayout(view, W::kLayout); }
};

template <class W>
struct HelpWindowController {
    void BindLayout(UI::UIWindowView& view, W* window) {
        LoadWindowLayout(view, W::kLayout);
        for (UI::UIElement* element : view) {
            const std::string& name = element->name_;
            if (name == "Back") BindLeave<1>(window, element);
            else if (name == "Tutorial") BindLeave<2>(window, element);
            else if (name == "Credits") BindLeave<3>(window, element);
            else if (name == "Tournament") BindLeave<4>(window, element);
        }
    }
};

// The pages below the help window know only "Back".
template <class W>
struct HelpPageController {
    void BindLayout(UI::UIWindowView& view, W* window) {
        LoadWindowLayout(view, W::kLayout);
        for (UI::UIElement* element : view)
            if (element->name_ == "Back") BindLeave<1>(window, element);
    }
};

template <class W>
using TutorialWindowController = HelpPageController<W>;
template <class W>
using CreditsWindowController = HelpPageController<W>;
template <class W>
using TournamentWindowController = HelpPageController<W>;

template <class W>
struct PlayWindowController {
    void BindLayout(UI::UIWindowView& view, W* window) {
        LoadWindowLayout(view, W::kLayout);
        for (UI::UIElement* element : view)
            if (element->name_ == "Back") BindLeave<3>(window, element);
    }
};
