#pragma once
// A block of word-wrapped text clipped to its rectangle, scrolled by dragging
// (a flick coasts to a stop) and by the mouse wheel, with an optional scroll
// bar of two nested images. An area with a picture taller than itself scrolls
// the picture. It never consumes a touch.
#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "UI/UIElement.h"

namespace UI {

class UIImage;

class UIScrollableTextArea : public UIElement {
public:
    // Four lines per wheel notch.
    static constexpr int kLinesPerNotch = 4;

    void Draw() override;
    bool OnTouch(bool hit, const Vector2& position, const TouchEvent& event) override;
    void Scroll(float delta) override;
    void ReadAttributes(irr::io::IrrXMLReader* reader) override;

    // Line breaks (CR LF, LF, CR) and bars each start a new line; words are
    // wrapped greedily to the width and a word wider than the area stands
    // alone. Blank lines are dropped. Scrolling starts again from the top.
    void SetText(const std::wstring& text);
    // Each byte becomes one character.
    void SetText(const std::string& text);

    boost::shared_ptr<Graphics::SpriteFont> font_;
    std::vector<std::wstring> lines_;  // never empty strings
    std::vector<int32_t> line_widths_;
    int32_t line_height_ = 0;
    // Content height minus area height; negative when the content fits.
    int32_t max_scroll_ = 0;
    int32_t v_align_ = 0;  // 0 top, 1 centre, 2 bottom (when the text fits)
    // y scrolls the text and the picture; x only shifts the picture.
    Vector2 scroll_;
    Vector2 content_size_{100.0f, 100.0f};
    Vector2 drag_start_;
    Vector2 scroll_at_start_;
    bool dragging_ = false;
    bool was_dragging_ = false;
    bool last_hit_ = false;
    // Coasting speed of scroll_.y in units per second; positive moves the text up.
    float velocity_ = 0.0f;
    float last_y_ = 0.0f;
    // Nested images of the layout (owned by the window).
    UIImage* track_image_ = nullptr;
    UIImage* thumb_image_ = nullptr;
};

}  // namespace UI
