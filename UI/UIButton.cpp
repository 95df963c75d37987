#include "UI/UIButton.h"

#include "UI/UIGlobals.h"
#include "UI/UIImage.h"

namespace UI {

void UIButton::ReadAttributes(irr::io::IrrXMLReader* reader) {
    UIElement::ReadAttributes(reader);
    tints_[0] = tint_;
    if (const char* press = reader->getAttributeValue("tintPress")) ParseColor(press, tints_[1]);
    if (const char* over = reader->getAttributeValue("tintOver")) ParseColor(over, tints_[2]);
    // A radio button is never a check box.
    if (reader->getAttributeValue("radioGrp") != nullptr) {
        radio_group_ = reader->getAttributeValueAsInt("radioGrp");
    } else {
        radio_group_ = -1;
        check_box_ = reader->getAttributeValue("chkBox") != nullptr && reader->getAttributeValueAsInt("chkBox") > 0;
    }
}

void UIButton::SetChecked(bool value) {
    checked_ = value;
    state_ = value ? 1 : 0;
}

void UIButton::Draw() {
    // The over look never hides a pressed or selected button.
    const int32_t look = hovered_ && state_ != 1 ? 2 : state_;
    if (!visible_ || !texture_) return;
    if (look == 2 && over_image_ != nullptr) {
        over_image_->Draw();
    } else if (look == 1 && pressed_image_ != nullptr) {
        pressed_image_->Draw();
    } else if (look >= 0 && look <= 2) {  // a state set outside 0..2 has no look
        DrawOwnTexture(tints_[look]);
    }
}

bool UIButton::OnTouch(bool hit, const Vector2&, const TouchEvent& event) {
    const bool press = event.phase == kTouchPress;
    if (check_box_) {
        if (hit && press) SetChecked(!checked_);
    } else if (radio_group_ == -1) {
        state_ = hit && press ? 1 : 0;
    } else if (hit && press) {
        state_ = 1;
        CurrentRadioGroup = radio_group_;
        radio_state_ = 2;
    } else if (!hit && (event.phase == kTouchRelease || event.phase == kTouchDrag)) {
        state_ = radio_state_ > 0 ? 1 : 0;
    }
    return hit;
}

}  // namespace UI
