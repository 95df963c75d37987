#include "UI/UISlider.h"

#include <cmath>

#include "UI/UIImage.h"

namespace UI {

namespace {

// Held to 0..1; what is no number counts as 0.
float Clamped(float value) { return value >= 1.0f ? 1.0f : value > 0.0f ? value : 0.0f; }

}  // namespace

UISlider::UISlider(bool progress) : progress_(progress) {}

void UISlider::ReadAttributes(irr::io::IrrXMLReader* reader) {
    UIElement::ReadAttributes(reader);
    if (reader->getAttributeValue("bcx") != nullptr)
        thumb_anchor_ = Vector2(static_cast<float>(reader->getAttributeValueAsInt("bcx")),
                                static_cast<float>(reader->getAttributeValueAsInt("bcy")));
    if (reader->getAttributeValue("xposin") != nullptr)
        track_x_ = static_cast<float>(reader->getAttributeValueAsInt("xposin"));
    if (reader->getAttributeValue("xsizein") != nullptr)
        track_width_ = static_cast<float>(reader->getAttributeValueAsInt("xsizein"));
}

void UISlider::Finish() {
    if (thumb_image_ != nullptr && thumb_anchor_.x < 0.0f) thumb_anchor_ = thumb_image_->size_ / 2.0f;
    if (bar_image_ != nullptr && track_x_ < 0.0f) track_x_ = bar_image_->position_.x;
    if (bar_image_ != nullptr && track_width_ < 0.0f) track_width_ = bar_image_->size_.x;
    if (track_width_ == 0.0f) track_width_ = 100.0f;
}

bool UISlider::OnTouch(bool hit, const Vector2& position, const TouchEvent& event) {
    if (progress_) return false;
    if (hit && (event.phase == kTouchPress || event.phase == kTouchDrag)) {
        value_ = Clamped((position.x - track_x_) / track_width_);
        if (value_ != last_value_ && value_handler_) value_handler_(value_);
        last_value_ = value_;
    }
    return hit;
}

void UISlider::Draw() {
    if (!visible_ || bar_image_ == nullptr) return;
    // A value set from outside 0..1 draws as its nearest end, so the bar
    // never runs past its own width nor the thumb off the track.
    const float value = Clamped(value_);
    const UIImage& bar = *bar_image_;
    if (bar.texture_) {
        // Cut off at the value, not squeezed.
        const float width = std::trunc(value * bar.size_.x);
        const float sourceWidth = std::trunc(value * bar.source_size_.x);
        if (width != 0.0f)
            DrawTextureIn(bar.texture_, bar.position_, Vector2(width, bar.size_.y), bar.has_source_rect_,
                          bar.source_origin_, Vector2(sourceWidth, bar.source_size_.y), bar.tint_);
    }
    DrawOwnTexture(tint_);
    if (thumb_image_ != nullptr && thumb_image_->texture_) {
        const UIImage& thumb = *thumb_image_;
        const Vector2 corner(bar.position_.x + bar.size_.x * value - thumb_anchor_.x,
                             bar.position_.y + bar.size_.y * 0.5f - thumb_anchor_.y);
        DrawTextureIn(thumb.texture_, corner, thumb.size_, thumb.has_source_rect_, thumb.source_origin_,
                      thumb.source_size_, thumb.tint_);
    }
}

}  // namespace UI
