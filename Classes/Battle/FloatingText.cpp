#include "Classes/Battle/FloatingText.h"

FloatingText::FloatingText(const std::string& text, const IntVector3& position) : text_(text), position_(position) {
    Reset();
}

FloatingText::FloatingText(const std::string& text, const IntVector3& position, const Color& color)
    : FloatingText(text, position) {
    color_ = color;
}

void FloatingText::Reset() {
    elapsed_ = 0;
    fade_start_ = 500;
    lifetime_ = 1500;
    velocity_ = Vector2(0.0f, -30.0f);
    color_ = Color(255, 255, 255, 255);
}

bool FloatingText::Update(int32_t dt) {
    elapsed_ += dt;
    if (elapsed_ >= lifetime_) return false;
    const float seconds = static_cast<float>(dt) / 1000.0f;
    offset_ = offset_ + velocity_ * seconds;
    return true;
}

Color FloatingText::GetColor() const {
    if (elapsed_ < fade_start_) return color_;
    const float t = static_cast<float>(elapsed_ - fade_start_) / static_cast<float>(lifetime_ - fade_start_);
    Color clear = color_;
    clear.a = 0;
    return Color::Lerp(color_, clear, t);
}
