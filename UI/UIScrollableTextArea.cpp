#include "UI/UIScrollableTextArea.h"

#include <boost/algorithm/string/replace.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#include "Core/FrameClock.h"
#include "Core/Language.h"
#include "Core/TextHelpers.h"
#include "Graphics/Draw2D.h"
#include "Graphics/SpriteFont.h"
#include "Graphics/Texture2D.h"
#include "UI/ScissorClip.h"
#include "UI/UIImage.h"

namespace UI {

namespace {

const float kMaxFlickSpeed = 3000.0f;
const float kStopSpeed = 0.5f;
const float kFriction = 3.0f;
const float kFlickGain = 0.8f;

// The frame time the flick and the coasting use: 0.001 .. 0.1 s.
float StepSeconds() { return std::clamp(GetFrameDelta(), 0.001f, 0.1f); }

// Held to 0 .. high; 0 when high is not above it.
float ScrollRange(float value, int32_t high) {
    return high > 0 ? std::clamp(value, 0.0f, static_cast<float>(high)) : 0.0f;
}

// The pieces between separators, empty ones included.
std::vector<std::wstring> Split(const std::wstring& text, const wchar_t* separators) {
    std::vector<std::wstring> pieces;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find_first_of(separators, start);
        pieces.push_back(text.substr(start, at == std::wstring::npos ? std::wstring::npos : at - start));
        if (at == std::wstring::npos) return pieces;
        start = at + 1;
    }
}

}  // namespace

void UIScrollableTextArea::ReadAttributes(irr::io::IrrXMLReader* reader) {
    UIElement::ReadAttributes(reader);
    font_ = ReadFont(reader);
    if (reader->getAttributeValue("lineH") != nullptr) line_height_ = reader->getAttributeValueAsInt("lineH");
    else line_height_ = font_ ? font_->GetLineHeight() : 0;
    if (const char* key = reader->getAttributeValue("texttr")) {
        SetText(GetLocalizedText(key));
    } else {
        const char* text = reader->getAttributeValue("text");
        SetText(std::string(text != nullptr ? text : ""));
    }
    const char* align = reader->getAttributeValue("valign");
    v_align_ = align == nullptr ? 0 : std::strcmp(align, "center") == 0 ? 1 : std::strcmp(align, "bottom") == 0 ? 2 : 0;
    if (texture_) {
        // The picture scrolls; the text's range comes back with the next SetText.
        content_size_ = has_source_rect_ ? source_size_ : Vector2(texture_->GetWidth(), texture_->GetHeight());
        scroll_ = drag_start_ = scroll_at_start_ = Vector2();
        max_scroll_ = static_cast<int32_t>(content_size_.y - size_.y);
    }
}

void UIScrollableTextArea::SetText(const std::wstring& text) {
    std::wstring normal = text;
    boost::algorithm::replace_all(normal, L"\r\n", L"|");
    boost::algorithm::replace_all(normal, L"\n", L"|");
    boost::algorithm::replace_all(normal, L"\r", L"|");
    boost::algorithm::replace_all(normal, L"|", L"\n\r");

    // Greedy wrap; the carriage return of a break stays at the front of the
    // word after it, which so begins a new line. Such a word takes no blank
    // before it: the blank would end the line before, and a centred or
    // right-aligned line would stand off by it.
    const int space = TextWidth(font_, L" ");
    int line = 0;
    bool first = true;
    std::wstring out;
    for (const std::wstring& word : Split(normal, L" \n")) {
        const int width = TextWidth(font_, word);
        if (size_.x < line + space + width) {
            line = 0;
            out += L'\n';
        } else if (!first && (word.empty() || word[0] != L'\r')) {
            out += L' ';
            line += space;
        }
        out += word;
        line += width;
        if (word.find(L'\r') != std::wstring::npos) line = width;
        first = false;
    }

    lines_.clear();
    line_widths_.clear();
    for (const std::wstring& piece : Split(out, L"\n\r")) {
        if (piece.empty()) continue;
        lines_.push_back(piece);
        line_widths_.push_back(TextWidth(font_, piece));
    }
    drag_start_ = scroll_at_start_ = scroll_ = Vector2();
    max_scroll_ = static_cast<int32_t>(static_cast<float>(lines_.size()) * line_height_ - size_.y);
}

void UIScrollableTextArea::SetText(const std::string& text) { SetText(ToWideString(text)); }

bool UIScrollableTextArea::OnTouch(bool hit, const Vector2& position, const TouchEvent& event) {
    const int32_t phase = event.phase;
    if (hit && (phase == kTouchPress || phase == kTouchDrag) && !dragging_) {
        drag_start_ = position;
        scroll_at_start_ = scroll_;
        dragging_ = true;
    }
    // Leaving the area ends a drag as a release does, so the flick starts there
    // and coasts while the touch stays outside.
    if (phase == kTouchRelease || !hit) dragging_ = false;
    if (max_scroll_ > 0) {
        if (dragging_) {
            velocity_ = 0.0f;
        } else if (was_dragging_ || (last_hit_ && !hit)) {
            // A flick: the speed of the last move goes on.
            velocity_ =
                std::clamp((last_y_ - position.y) * kFlickGain / StepSeconds(), -kMaxFlickSpeed, kMaxFlickSpeed);
        }
    }
    last_y_ = position.y;
    was_dragging_ = dragging_;
    last_hit_ = hit;
    if (hit && phase == kTouchDrag && max_scroll_ > 0)
        scroll_.y = ScrollRange(scroll_at_start_.y + drag_start_.y - position.y, max_scroll_);
    return false;
}

void UIScrollableTextArea::Scroll(float delta) {
    scroll_.y = ScrollRange(scroll_.y + static_cast<float>(line_height_) * delta * kLinesPerNotch, max_scroll_);
}

void UIScrollableTextArea::Draw() {
    if (!visible_) return;
    if (max_scroll_ > 0 && std::fabs(velocity_) >= kStopSpeed) {
        const float dt = StepSeconds();
        scroll_.y += velocity_ * dt;
        velocity_ -= velocity_ * kFriction * dt;
        if (std::fabs(velocity_) < kStopSpeed) velocity_ = 0.0f;
        scroll_.y = ScrollRange(scroll_.y, max_scroll_);
    }
    if (texture_) {
        const Vector2 source = has_source_rect_ ? scroll_ + source_origin_ : scroll_;
        Graphics::Draw2D::DrawTextureRegion(texture_, position_, size_, source, size_, tint_);
    }
    if (!font_ || lines_.empty()) return;

    {
        const ScissorClip clip(position_.x, position_.y, position_.x + size_.x, position_.y + size_.y);
        const float height = static_cast<float>(line_height_) * static_cast<float>(lines_.size());
        float y = position_.y - scroll_.y;
        if (max_scroll_ < 0) {
            if (v_align_ == 1) y += (size_.y - height) / 2;
            else if (v_align_ == 2) y += size_.y - height;
        }
        std::optional<float> start;
        std::wstring visible;
        std::vector<int32_t>& offsets = Graphics::Draw2D::GetLineOffsets();
        for (size_t i = 0; i < lines_.size(); ++i, y += line_height_) {
            if (!(position_.y < y + line_height_ && y < position_.y + size_.y)) continue;
            if (!start) start = y;
            visible += lines_[i];
            visible += L'\r';
            if (h_align_ == 1) offsets.push_back(static_cast<int32_t>((size_.x - line_widths_[i]) / 2));
            else if (h_align_ == 2) offsets.push_back(static_cast<int32_t>(size_.x - line_widths_[i]));
        }
        if (start) {
            // The advance is the area's for its own draw only.
            const int32_t advance = Graphics::Draw2D::GetLineAdvance();
            Graphics::Draw2D::SetLineAdvance(line_height_);
            Graphics::Draw2D::DrawText(font_, position_.x, *start, visible, tint_);
            Graphics::Draw2D::SetLineAdvance(advance);
        }
    }

    if (max_scroll_ <= 0) return;
    if (track_image_ != nullptr) track_image_->Draw();
    if (thumb_image_ != nullptr) thumb_image_->Draw();
    const float total = static_cast<float>(max_scroll_) + size_.y;
    if (track_image_ != nullptr && thumb_image_ != nullptr && total > 0.0f) {
        // Shown from the next frame.
        thumb_image_->position_.y = track_image_->position_.y + scroll_.y / total * track_image_->size_.y;
        thumb_image_->size_.y = size_.y / total * track_image_->size_.y;
    }
}

}  // namespace UI
