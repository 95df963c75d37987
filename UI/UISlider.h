#pragma once
// The horizontal slider and the progress bar: a value 0..1 drawn as a bar
// image cut at the value, the slider's own frame texture over it and a thumb
// image at the value. A slider takes presses and drags on its rectangle and
// reports each new value; a progress bar takes no touch.
#include "UI/UIElement.h"

namespace UI {

class UIImage;

class UISlider : public UIElement {
public:
    typedef Delegate<float> ValueHandler;

    explicit UISlider(bool progress);

    void Draw() override;
    bool OnTouch(bool hit, const Vector2& position, const TouchEvent& event) override;
    void ReadAttributes(irr::io::IrrXMLReader* reader) override;
    // Run at the slider's closing tag: the track and the thumb anchor from
    // the nested images where the layout did not give them.
    void Finish();

    // The thumb's point placed on the value ("bcx", "bcy"); x < 0: half its size.
    Vector2 thumb_anchor_{-1.0f, -1.0f};
    // Nested images of the layout (owned by the window).
    UIImage* bar_image_ = nullptr;
    UIImage* thumb_image_ = nullptr;
    float track_x_ = -1.0f;      // screen x of value 0 ("xposin")
    float track_width_ = -1.0f;  // screen width from 0 to 1 ("xsizein")
    bool progress_;
    float value_ = 1.0f;
    float last_value_ = -1.0f;  // the value last reported
    ValueHandler value_handler_;
};

}  // namespace UI
