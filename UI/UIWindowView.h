#pragma once
// The base of every menu window and of the message box: an ordered list of
// widgets built from layout files, drawn in list order under the window's
// fade overlay and fed with the frame's pointer input.
//
// The window owns the widgets and nested images its layouts made and deletes
// them with itself; the list itself holds plain pointers. A handler may
// destroy the window that called it: the dispatch then stops at once.
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "Core/Delegate.h"
#include "Game/GameComponent.h"

namespace UI {

class UIButton;
class UIElement;
class UILabel;

class UIWindowView : public Game::GameDrawableComponentInterface, public std::list<UIElement*> {
public:
    typedef Delegate<int32_t, UIButton*> RadioHandler;

    // Initialised at once.
    UIWindowView();
    ~UIWindowView() override;
    UIWindowView(const UIWindowView&) = delete;
    UIWindowView& operator=(const UIWindowView&) = delete;

    // Adds the window's entry to the key-down listeners.
    void Initialize() override;
    // Removes the window's key-down entry and empties the list; run by the
    // destructor.
    void Shutdown() override;
    // UpdateElements while enabled.
    void Update() override;
    // Advances the interface clock (also when hidden); when visible, draws the
    // elements and the black overlay of opacity 255 - alpha_.
    void Draw() override;

    // Appends the widgets of the layout file (its path lower-cased). A file
    // that is missing, empty, no XML or cut short adds none.
    void LoadLayout(std::string path);
    // Hover, wheel, press and release dispatch, drags to sliders and text
    // areas, and radio settling for the frame's pointer input.
    void UpdateElements();

    float alpha_ = 0.0f;  // fade: 0 black .. 255 fully shown
    // Called with (group, button) when a radio group settles.
    RadioHandler radio_handler_;
    // Takes input while a message box is open.
    bool modal_ = false;
    std::vector<UILabel*> edit_fields_;
    UIButton* default_button_ = nullptr;
    // Runs the default button's handlers at the next update.
    bool activate_default_ = false;

private:
    std::vector<std::unique_ptr<UIElement>> owned_;
    // False once the window is destroyed; a dispatch holds a copy.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace UI
