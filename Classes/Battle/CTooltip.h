#pragma once
// The battle's tooltip: a small box with the localized text of the HUD button or counter
// the pointer has rested on. One for the whole process (GlobalTooltip), made by the
// battle's set-up, updated by its step and drawn last by its HUD pass.
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>

#include <boost/shared_ptr.hpp>

#include "Maths/Color.h"
#include "Maths/Vector2.h"

namespace Graphics {
class SpriteFont;
}

class CTooltip {
public:
    // Hidden, at (0, 0), without text; black on white.
    explicit CTooltip(const boost::shared_ptr<Graphics::SpriteFont>& font);

    // Shows the text in a box the text's width + 4 by the line height + 4, resting on the
    // point. Nothing without a font (there is nothing to measure with).
    void Show(const std::wstring& text, const Vector2& position);
    void Hide() { visible_ = 0; }
    bool IsVisible() const { return visible_ != 0; }
    void SetBackgroundColour(const Color& colour) { background_ = colour; }
    void SetBorderColour(const Color& colour) { border_ = colour; }
    // The filled box, its four edges and the text 3 pixels in; nothing while hidden.
    void Draw() const;

    const std::wstring& GetText() const { return text_; }
    const Vector2& GetPosition() const { return position_; }
    const Vector2& GetSize() const { return size_; }
    const Color& GetBackgroundColour() const { return background_; }
    const Color& GetBorderColour() const { return border_; }

private:
    int32_t visible_;
    Vector2 position_;
    Vector2 size_;
    std::wstring text_;
    boost::shared_ptr<Graphics::SpriteFont> font_;
    Color background_;
    Color border_;
};

// printf-style wide formatting into a buffer of count characters (cut to fit, always
// terminated); for the battle's own format strings only.
void FormatWideText(wchar_t* buffer, size_t count, const wchar_t* format, ...);

// A tooltip's text for a numbered button: the first "%s" or "%d" of the language text
// becomes the number; every other character shows as written (a language text is never
// used as a format). At most 99 characters.
std::wstring FormatTooltipText(const std::wstring& text, int32_t number);
