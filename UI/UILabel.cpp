#include "UI/UILabel.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "Core/KeyboardListeners.h"
#include "Core/Language.h"
#include "Core/TextHelpers.h"
#include "Graphics/Draw2D.h"
#include "Graphics/SpriteFont.h"
#include "UI/ScissorClip.h"
#include "UI/UIGlobals.h"

namespace UI {

namespace {

const int32_t kDefaultCapacity = 50;

// The program's key codes of text editing.
enum EditKey : int32_t {
    kKeyLeft = 50,
    kKeyRight = 51,
    kKeyEnd = 52,
    kKeyHome = 53,
    kKeyBackspace = 59,
    kKeyInsert = 61,
    kKeyDelete = 62,
};

// Names and e-mail addresses: digits, letters, '.', '@', '_' and '-'.
bool Accepted(uint16_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' || c == '@' ||
           c == '_' || c == '-';
}

}  // namespace

UILabel::UILabel() : buffer_(kDefaultCapacity + 1, L'\0') {
    Refresh(true);
    AddKeyboardListener(KeyboardListener::FromMethod<&UILabel::OnKey>(this));
}

UILabel::~UILabel() {
    RemoveKeyboardListeners(this);
    if (FocusedLabel == this) FocusedLabel = nullptr;
}

void UILabel::ReadAttributes(irr::io::IrrXMLReader* reader) {
    UIElement::ReadAttributes(reader);
    font_ = ReadFont(reader);
    const int32_t capacity =
        reader->getAttributeValue("maxLen") != nullptr ? reader->getAttributeValueAsInt("maxLen") : kDefaultCapacity;
    const char* pass = reader->getAttributeValue("passChar");
    pass_char_ = pass != nullptr ? static_cast<uint16_t>(static_cast<signed char>(pass[0])) : 0;
    if (const char* key = reader->getAttributeValue("texttr")) {
        SetText(GetLocalizedText(key), capacity);
    } else {
        const char* text = reader->getAttributeValue("text");
        SetText(std::string(text != nullptr ? text : ""), capacity);
    }
    offset_ = Vector2(static_cast<float>(reader->getAttributeValueAsInt("ofsx")),
                      static_cast<float>(reader->getAttributeValueAsInt("ofsy")));

    // Aligned once, on the text read here.
    const int width = TextWidth(font_, text_);
    if (centered_) {
        const int size = font_ ? std::abs(static_cast<int>(font_->GetSize())) : 0;
        position_ = Vector2(position_.x - width / 2, position_.y - size / 2);
    }
    // The box moves with the text but keeps the right edge the layout gave
    // it: the text's slack would otherwise hang past it, over whatever lies
    // beside it, and a label takes the presses on its box.
    float shift = 0.0f;
    if (h_align_ == 1) shift = (size_.x - width) / 2;
    else if (h_align_ == 2) shift = size_.x - width;
    position_.x += shift;
    size_.x -= shift;
    editable_ = reader->getAttributeValue("editable") != nullptr && reader->getAttributeValueAsInt("editable") > 0;
    // The caret and the scroll depend on the place, offset and editability
    // read after the text.
    Refresh(true);
}

void UILabel::SetText(const std::wstring& text, int32_t maxLen) {
    if (maxLen > 0) {
        max_len_ = std::min(maxLen, kMaxCapacity);
        buffer_.assign(static_cast<size_t>(max_len_) + 1, L'\0');
    }
    const size_t count = std::min(text.size(), static_cast<size_t>(max_len_));
    std::fill(std::copy(text.begin(), text.begin() + count, buffer_.begin()), buffer_.end(), L'\0');
    Refresh(true);
}

void UILabel::SetText(const std::string& text, int32_t maxLen) { SetText(ToWideString(text), maxLen); }

std::string UILabel::GetText() const { return ToNarrowString(text_); }

void UILabel::Refresh(bool cursorToEnd) {
    text_.assign(buffer_.data());
    length_ = static_cast<int32_t>(text_.size());
    if (cursorToEnd) cursor_ = length_;
    if (pass_char_ != 0) masked_text_.assign(static_cast<size_t>(length_), static_cast<wchar_t>(pass_char_));
    const std::wstring& shown = ShownText();
    caret_ = position_;
    if (!font_) return;
    const int before = TextWidth(font_, shown.substr(0, static_cast<size_t>(std::clamp(cursor_, 0, length_))));
    caret_.x += before;
    const int full = TextWidth(font_, shown);
    const int room = std::max(2, static_cast<int>(size_.x - offset_.x - 5 - 2 * TextWidth(font_, L"_")));
    if (full > room && editable_) {
        clip_ = true;
        // The end in view; a caret left of the view steps it back half a field at a time.
        scroll_x_ = full - room;
        while (before - scroll_x_ < 0) scroll_x_ = static_cast<int32_t>(scroll_x_ - room * 0.5);
        scroll_x_ = std::max(scroll_x_, 0);
    } else {
        scroll_x_ = 0;
        clip_ = false;
    }
}

void UILabel::Draw() {
    if (!visible_ || !font_) return;
    const Color color = GetDrawColor();
    DrawOwnTexture(color);
    {
        std::optional<ScissorClip> clip;
        if (clip_)
            clip.emplace(position_.x + offset_.x, position_.y, position_.x + size_.x - offset_.x,
                         position_.y + size_.y);
        Graphics::Draw2D::DrawText(font_, position_.x + offset_.x - scroll_x_, position_.y + offset_.y, ShownText(),
                                   color);
    }
    if (editable_ && FocusedLabel == this) {
        blink_ += 3;
        if (blink_ > 255) blink_ = 120;
        Graphics::Draw2D::DrawText(font_, caret_.x + offset_.x - scroll_x_, caret_.y + offset_.y,
                                   std::wstring(insert_mode_ ? L"|" : L"_"),
                                   Color(255, 80, 80, static_cast<uint8_t>(blink_)));
    }
}

bool UILabel::OnTouch(bool hit, const Vector2&, const TouchEvent& event) {
    if (event.phase == kTouchPress) FocusedLabel = hit && editable_ ? this : nullptr;
    return hit;
}

void UILabel::OnKey(uint16_t character, int32_t keyCode) {
    if (FocusedLabel != this) return;
    length_ = static_cast<int32_t>(std::find(buffer_.begin(), buffer_.end(), L'\0') - buffer_.begin());
    cursor_ = std::clamp(cursor_, 0, length_);
    bool changed = false;
    if (character != 0 && Accepted(character)) {
        const wchar_t typed = static_cast<wchar_t>(character);
        if (!insert_mode_ && cursor_ < length_) {
            buffer_[cursor_++] = typed;
            changed = true;
        } else if (length_ < max_len_) {
            // Opens a place at the caret (none to move at the end).
            std::copy_backward(buffer_.begin() + cursor_, buffer_.begin() + length_, buffer_.begin() + length_ + 1);
            buffer_[cursor_++] = typed;
            changed = true;
        }
    }
    switch (keyCode) {
        case kKeyLeft:
            if (cursor_ > 0) --cursor_;
            break;
        case kKeyRight:
            if (cursor_ < length_) ++cursor_;
            break;
        case kKeyEnd: cursor_ = length_; break;
        case kKeyHome: cursor_ = 0; break;
        case kKeyBackspace:
            if (cursor_ == 0 || length_ == 0) return;
            std::copy(buffer_.begin() + cursor_, buffer_.end(), buffer_.begin() + cursor_ - 1);
            buffer_.back() = L'\0';
            --cursor_;
            changed = true;
            break;
        case kKeyInsert: insert_mode_ = !insert_mode_; break;
        case kKeyDelete:
            if (cursor_ < length_) {
                std::copy(buffer_.begin() + cursor_ + 1, buffer_.end(), buffer_.begin() + cursor_);
                buffer_.back() = L'\0';
                changed = true;
            }
            break;
        default: break;
    }
    Refresh(false);
    if (changed && edit_handler_) edit_handler_(this);
}

}  // namespace UI
