#include "Classes/Battle/CTooltip.h"

#include <cwchar>

#include "Graphics/Draw2D.h"
#include "Graphics/SpriteFont.h"

namespace {

// The longest text a tooltip holds, as its buffer of 100 characters allows.
const size_t kTooltipLength = 99;

}  // namespace

CTooltip::CTooltip(const boost::shared_ptr<Graphics::SpriteFont>& font)
    : visible_(0),
      position_(0.0f, 0.0f),
      size_(0.0f, 0.0f),
      font_(font),
      background_(0, 0, 0, 255),
      border_(255, 255, 255, 255) {}

void CTooltip::Show(const std::wstring& text, const Vector2& position) {
    if (!font_) return;
    visible_ = 1;
    text_ = text;
    size_ = Vector2(static_cast<float>(font_->MeasureString(text) + 4), static_cast<float>(font_->GetLineHeight() + 4));
    position_ = Vector2(position.x, position.y - size_.y);
}

void CTooltip::Draw() const {
    if (visible_ == 0) return;
    const float x = position_.x, y = position_.y, w = size_.x, h = size_.y;
    Graphics::Draw2D::FillRect(background_, x, y, w, h);
    Graphics::Draw2D::DrawLine(border_, x, y, x + w, y);
    Graphics::Draw2D::DrawLine(border_, x + w, y, x + w, y + h);
    Graphics::Draw2D::DrawLine(border_, x + w, y + h, x, y + h);
    Graphics::Draw2D::DrawLine(border_, x, y + h, x, y);
    if (font_) Graphics::Draw2D::DrawText(font_, x + 3.0f, y + 3.0f, text_);
}

void FormatWideText(wchar_t* buffer, size_t count, const wchar_t* format, ...) {
    if (buffer == nullptr || count == 0) return;
    va_list args;
    va_start(args, format);
    // A text longer than the buffer is cut, not lost.
    if (std::vswprintf(buffer, count, format, args) < 0) buffer[count - 1] = 0;
    va_end(args);
}

std::wstring FormatTooltipText(const std::wstring& text, int32_t number) {
    wchar_t digits[10];
    FormatWideText(digits, 10, L"%d", number);
    std::wstring result = text;
    for (size_t i = 0; i + 1 < result.size(); ++i)
        if (result[i] == L'%' && (result[i + 1] == L's' || result[i + 1] == L'd')) {
            result.replace(i, 2, digits);
            break;
        }
    if (result.size() > kTooltipLength) result.resize(kTooltipLength);
    return result;
}
