#pragma once
// The loading screen: the loader thread loads every asset by turns with the main
// thread, one step against one frame (Classes/Loading/LoaderHandover.h), while the
// screen shows the progress and a tip; once it has finished, "Start" leads to the
// main menu.
#include <memory>
#include <string>

#include "Classes/Loading/LoaderHandover.h"
#include "Classes/UI/BaseStateWindow.h"
#include "Classes/UI/LoadingTips.h"
#include "Classes/UI/WindowControllers.h"
#include "UI/UIScrollableTextArea.h"
#include "UI/UISlider.h"

struct MainWindow;

// Keeps the progress bar, the start controls (hidden until the loading is over)
// and the tip area, which gets one tip of the current language.
template <class W>
struct LoadingWindowController {
    void BindLayout(UI::UIWindowView& view, W* window) {
        load_bar_ = nullptr;
        start_button_ = nullptr;
        start_text_ = nullptr;
        tip_area_ = nullptr;
        LoadWindowLayout(view, W::kLayout);
        for (UI::UIElement* element : view) {
            const std::string& name = element->name_;
            if (name == "loadbar") {
                load_bar_ = dynamic_cast<UI::UISlider*>(element);
            } else if (name == "Start") {
                start_button_ = element;
                BindRelease<&W::OnStartPressed>(window, element);
            } else if (name == "Start_txt") {
                start_text_ = element;
            } else if (name == "TextTip1") {
                tip_area_ = dynamic_cast<UI::UIScrollableTextArea*>(element);
            }
        }
        if (tip_area_ != nullptr) ShowLoadingTip(*tip_area_);
        if (start_button_ != nullptr) start_button_->visible_ = false;
        if (start_text_ != nullptr) start_text_->visible_ = false;
    }

    UI::UISlider* load_bar_ = nullptr;
    UI::UIElement* start_button_ = nullptr;
    UI::UIElement* start_text_ = nullptr;
    UI::UIScrollableTextArea* tip_area_ = nullptr;
};

struct LoadingWindow
    : BaseStateWindow<LoadingWindow, LoadingWindowController, Transition<EvLoadingFinised, MainWindow>> {
    static constexpr const char* kName = "LoadingWindow";
    static constexpr const char* kLayout = "LoadingWindow.xml";

    // The menu music, no cursor; starts the loader and waits for its first
    // hand-over.
    LoadingWindow();
    // A loader still loading is stopped at its turn and joined.
    ~LoadingWindow() override;

    // The progress, or once loaded the start controls and the arrow (every frame).
    void Update() override;
    // The window, then one turn for the loader while it has work left.
    void Draw() override;
    // The click and straight to the main menu, without a fade-out.
    void OnStartPressed(UI::UIElement*);

    std::unique_ptr<LoaderTurns> loader_;
};
