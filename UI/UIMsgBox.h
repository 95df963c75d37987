#pragma once
// A small modal window from a layout: one message text in the label named
// "Message" and one or more buttons, whose release is reported to the owner
// with the button. While a box exists (MessageBoxOpen) the other windows take
// no input. The layout's first element is the box's frame: the message is
// centred on it and everything the box draws is clipped to it.
#include <string>

#include "Core/Delegate.h"
#include "UI/UIWindowView.h"

namespace UI {

class UIButton;

class UIMsgBox : public UIWindowView {
public:
    typedef Delegate<UIButton*> ButtonHandler;

    // Loads the layout, sets the box up and opens it; each byte of the
    // message becomes one character.
    UIMsgBox(const std::string& layoutPath, const std::string& message);
    // Closes the box: MessageBoxOpen and the game's modal mode end.
    ~UIMsgBox() override;

    // Within the frame's rectangle, without fade overlay and without moving
    // the interface clock. A box without elements draws nothing.
    void Draw() override;

    // Runs once: takes input while open, binds the buttons to the box and
    // gives the message to the label named "Message".
    void Setup();
    // MessageBoxOpen, and the game's queued entry of this box, if it has one,
    // as its modal component.
    void Open();

    std::wstring message_;
    // Called with the button whose release closed the interaction.
    ButtonHandler button_handler_;
    // The layout's first element, or null.
    UIElement* frame_ = nullptr;

private:
    void OnButtonRelease(UIElement* button);
};

}  // namespace UI
