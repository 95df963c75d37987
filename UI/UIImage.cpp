#include "UI/UIImage.h"

#include "Core/FrameClock.h"

namespace UI {

void UIImage::Draw() {
    if (!texture_) return;
    if (fade_speed_ == 0.0f) {
        if (visible_) DrawOwnTexture(GetDrawColor());
        return;
    }
    if (!visible_ && alpha_ == 0.0f) return;
    Color color = tint_;
    color.a = LowByte(alpha_ * 255.0f);
    DrawOwnTexture(color);
    // The new alpha shows in the next frame.
    const float step = GetFrameDelta() * fade_speed_;
    alpha_ += visible_ ? step : -step;
    if (alpha_ < 0.0f) alpha_ = 0.0f;
    if (alpha_ > 1.0f) alpha_ = 1.0f;
}

}  // namespace UI
