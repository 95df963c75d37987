#pragma once
// The base of every widget: a rectangle of the 1024 x 768 virtual screen with
// an optional texture, a tint, a name, two handler slots and a hover state,
// and the attributes every element of a layout file may carry. Controllers
// change the fields directly.
#include <irrlicht/irrXML.h>

#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <string>

#include "Core/Delegate.h"
#include "Maths/Color.h"
#include "Maths/Vector2.h"
#include "shell/TouchEvent.h"

namespace Graphics {
class SpriteFont;
class Texture2D;
}  // namespace Graphics

namespace UI {

class UIElement {
public:
    typedef Delegate<UIElement*> Handler;

    UIElement();
    virtual ~UIElement();
    UIElement(const UIElement&) = delete;
    UIElement& operator=(const UIElement&) = delete;

    virtual void Draw() = 0;
    // A touch offered by the window; hit tells whether position lies on the
    // element. True consumes it: no later element is offered it.
    virtual bool OnTouch(bool hit, const Vector2& position, const TouchEvent& event);
    // Mouse-wheel movement over the element.
    virtual void Scroll(float delta);
    // The attributes of the layout tag the reader stands on.
    virtual void ReadAttributes(irr::io::IrrXMLReader* reader);
    virtual void OnPointerEnter();
    virtual void OnPointerLeave();

    // Once per frame for a visible element: enter and leave on a change only.
    void SetHover(bool inside);
    // The tint, with the alpha of the pulse while one runs.
    Color GetDrawColor() const;
    // Draws only the rectangle origin..corner (texels) of the texture, at that size.
    void SetSourceRect(const Vector2& origin, const Vector2& corner);

    // All four edges belong to the rectangle.
    static bool IsPointInRect(const Vector2& position, const Vector2& size, const Vector2& point);
    // "r g b [a]": false and out unchanged with fewer than three numbers;
    // each channel is the low byte of its number, alpha 255 when absent.
    static bool ParseColor(const char* text, Color& out);

    bool visible_ = true;
    bool centered_ = false;
    Vector2 position_;
    Vector2 size_{100.0f, 100.0f};
    // The hit size of drags when its x is above 0.
    Vector2 cut_size_{-1.0f, -1.0f};
    Color tint_{255, 255, 255, 255};
    boost::shared_ptr<Graphics::Texture2D> texture_;
    // The fade effect: alpha 0..1, moved by fade_speed_ per second (0: no fade).
    float alpha_ = 1.0f;
    float fade_speed_ = 0.0f;
    // The alpha pulse: its depth and angular speed (on above 0).
    float alpha_range_ = 0.5f;
    float alpha_speed_ = 0.0f;
    Handler press_handler_;
    Handler release_handler_;
    std::string name_ = "none";
    bool has_source_rect_ = false;
    Vector2 source_origin_;
    Vector2 source_corner_{100.0f, 100.0f};
    Vector2 source_size_{100.0f, 100.0f};
    int32_t h_align_ = 0;  // 0 left, 1 centre, 2 right
    bool hovered_ = false;
    bool hover_now_ = false;
    bool hover_before_ = false;

protected:
    // The texture over the element's rectangle (through its source rectangle
    // when it has one), in the colour.
    void DrawOwnTexture(const Color& color) const;
};

// The integer part of value, low 8 bits (0 for what is no number).
uint8_t LowByte(float value);

// A texture over a rectangle: the source rectangle (texels) when hasSource,
// else the whole texture stretched. Nothing without a texture.
void DrawTextureIn(const boost::shared_ptr<Graphics::Texture2D>& texture, const Vector2& position, const Vector2& size,
                   bool hasSource, const Vector2& sourceOrigin, const Vector2& sourceSize, const Color& color);

// The font file through the font loader; empty for no file, without the
// loader or when the file does not load.
boost::shared_ptr<Graphics::SpriteFont> LoadFont(const char* file);
// The font of the reader's "font" attribute, or of its "fontRUS" in Russian
// when it has one, through the font loader. Empty when neither is given or
// the file does not load.
boost::shared_ptr<Graphics::SpriteFont> ReadFont(irr::io::IrrXMLReader* reader);
// The text's width in whole pixels; 0 without a font.
int TextWidth(const boost::shared_ptr<Graphics::SpriteFont>& font, const std::wstring& text);

}  // namespace UI
