#pragma once
// The clickable widget: a push button, a check box or a member of a radio
// group, with three looks (normal, pressed, pointer over) drawn by tinting its
// texture or by one of two nested state images. It consumes every touch that
// lands on it; what a click does is its release handler's business.
#include <cstdint>

#include "UI/UIElement.h"

namespace UI {

class UIImage;

class UIButton : public UIElement {
public:
    void Draw() override;
    bool OnTouch(bool hit, const Vector2& position, const TouchEvent& event) override;
    void ReadAttributes(irr::io::IrrXMLReader* reader) override;

    void SetChecked(bool value);
    bool IsChecked() const { return checked_; }

    // Own texture's colour per draw state: 0 normal, 1 pressed, 2 over.
    Color tints_[3] = {Color(255, 255, 255, 255), Color(255, 255, 255, 255), Color(255, 255, 255, 255)};
    // 0 normal, 1 pressed (also a selected radio button or a checked box).
    int32_t state_ = 0;
    // Nested images of the layout (owned by the window), drawn in states 1 and 2.
    UIImage* pressed_image_ = nullptr;
    UIImage* over_image_ = nullptr;
    int32_t radio_group_ = -1;  // -1: in no group
    int32_t radio_state_ = 0;   // 0 off, 1 selected, 2 just pressed
    bool check_box_ = false;
    bool checked_ = false;
};

}  // namespace UI
