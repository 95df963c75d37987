#pragma once
// One line of text in a sprite font; an editable label is also a text input
// field with a bounded edit buffer, a caret, insert and overwrite modes, a
// pass character for hidden input and a horizontal scroll that keeps the
// caret in view. Keys reach it through the keyboard listener list; only the
// label that holds FocusedLabel takes them.
#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "UI/UIElement.h"

namespace UI {

class UILabel : public UIElement {
public:
    // At most this many characters, whatever a layout asks.
    static constexpr int32_t kMaxCapacity = 1024;

    // Registers the label as a keyboard listener.
    UILabel();
    // Leaves the listener list and gives up the focus: no key reaches a
    // label whose window is gone.
    ~UILabel() override;

    void Draw() override;
    // A press takes the focus when it hits an editable label and drops it
    // otherwise. Consumes what hits it.
    bool OnTouch(bool hit, const Vector2& position, const TouchEvent& event) override;
    void ReadAttributes(irr::io::IrrXMLReader* reader) override;

    // maxLen > 0 gives a new, empty buffer of that capacity (at most
    // kMaxCapacity) first; the text is cut to the capacity. The caret goes to
    // the end.
    void SetText(const std::wstring& text, int32_t maxLen);
    // Each byte becomes one character.
    void SetText(const std::string& text, int32_t maxLen);
    // Each character cut to its low byte.
    std::string GetText() const;
    // Takes the text from the buffer, places the caret and scrolls an
    // overlong editable text so the caret stays in view.
    void Refresh(bool cursorToEnd);
    // The keyboard listener: (character, 0) for a typed character, (0, key
    // code) for a key press.
    void OnKey(uint16_t character, int32_t keyCode);

    // The text shown: the stars of a pass character, else the text.
    const std::wstring& ShownText() const { return pass_char_ != 0 ? masked_text_ : text_; }

    boost::shared_ptr<Graphics::SpriteFont> font_;
    // Called with the label after a key changed its text.
    Handler edit_handler_;
    std::wstring text_;
    std::wstring masked_text_;
    // max_len_ + 1 characters; everything behind the text is zero.
    std::vector<wchar_t> buffer_;
    uint16_t pass_char_ = 0;
    int32_t cursor_ = 0;
    int32_t length_ = 0;
    int32_t max_len_ = 50;
    bool insert_mode_ = true;
    int32_t blink_ = 120;  // caret alpha 120..255
    Vector2 caret_;
    Vector2 offset_;
    bool editable_ = false;
    int32_t scroll_x_ = 0;
    bool clip_ = false;
};

}  // namespace UI
