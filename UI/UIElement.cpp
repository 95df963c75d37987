#include "UI/UIElement.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "Core/ContentLoader.h"
#include "Core/Language.h"
#include "Core/Service.h"
#include "Graphics/Draw2D.h"
#include "Graphics/SpriteFont.h"
#include "Graphics/Texture2D.h"
#include "Graphics/UITextureLoader.h"
#include "UI/UIGlobals.h"

namespace UI {

namespace {

bool Present(irr::io::IrrXMLReader* reader, const char* name) { return reader->getAttributeValue(name) != nullptr; }

float IntegerOf(irr::io::IrrXMLReader* reader, const char* name) {
    return static_cast<float>(reader->getAttributeValueAsInt(name));
}

}  // namespace

uint8_t LowByte(float value) {
    if (!std::isfinite(value)) return 0;
    double whole = std::fmod(std::trunc(static_cast<double>(value)), 256.0);
    if (whole < 0) whole += 256.0;
    return static_cast<uint8_t>(whole);
}

void DrawTextureIn(const boost::shared_ptr<Graphics::Texture2D>& texture, const Vector2& position, const Vector2& size,
                   bool hasSource, const Vector2& sourceOrigin, const Vector2& sourceSize, const Color& color) {
    if (!texture) return;
    if (hasSource) Graphics::Draw2D::DrawTextureRegion(texture, position, size, sourceOrigin, sourceSize, color);
    else Graphics::Draw2D::DrawTexture(texture, position, size, color);
}

boost::shared_ptr<Graphics::SpriteFont> LoadFont(const char* file) {
    typedef Content::ContentLoader<Graphics::SpriteFont> FontLoader;
    if (file == nullptr || !Service<FontLoader>::Exists()) return boost::shared_ptr<Graphics::SpriteFont>();
    return Service<FontLoader>::Get()->Load(file);
}

boost::shared_ptr<Graphics::SpriteFont> ReadFont(irr::io::IrrXMLReader* reader) {
    const char* russian = reader->getAttributeValue("fontRUS");
    if (russian != nullptr && GetLanguageIndex() == kRussian) return LoadFont(russian);
    return LoadFont(reader->getAttributeValue("font"));
}

int TextWidth(const boost::shared_ptr<Graphics::SpriteFont>& font, const std::wstring& text) {
    return font ? font->MeasureString(text) : 0;
}

UIElement::UIElement() {}

UIElement::~UIElement() {}

bool UIElement::OnTouch(bool, const Vector2&, const TouchEvent&) { return false; }

void UIElement::Scroll(float) {}

void UIElement::OnPointerEnter() { hovered_ = true; }

void UIElement::OnPointerLeave() { hovered_ = false; }

void UIElement::ReadAttributes(irr::io::IrrXMLReader* reader) {
    if (const char* name = reader->getAttributeValue("name")) name_ = name;

    if (const char* file = reader->getAttributeValue("file")) {
        // A file that does not load leaves the element without a picture at its size.
        UITextureLoader* loader = Service<UITextureLoader>::Get();
        if (loader != nullptr) texture_ = loader->Load(file);
        if (texture_) size_ = Vector2(texture_->GetWidth(), texture_->GetHeight());
    }

    position_ = Vector2(IntegerOf(reader, "posx"), IntegerOf(reader, "posy"));

    if (Present(reader, "x0")) {
        const Vector2 corner(IntegerOf(reader, "x1"), IntegerOf(reader, "y1"));
        SetSourceRect(Vector2(IntegerOf(reader, "x0"), IntegerOf(reader, "y0")), corner);
    } else {
        has_source_rect_ = false;
    }

    if (Present(reader, "sizex")) size_.x = IntegerOf(reader, "sizex");
    if (Present(reader, "sizey")) size_.y = IntegerOf(reader, "sizey");
    if (Present(reader, "cutsizex")) cut_size_.x = IntegerOf(reader, "cutsizex");
    if (Present(reader, "cutsizey")) cut_size_.y = IntegerOf(reader, "cutsizey");

    visible_ = !Present(reader, "visible") || reader->getAttributeValueAsInt("visible") > 0;
    centered_ = Present(reader, "centered") && reader->getAttributeValueAsInt("centered") > 0;

    // Labels centre themselves on their text.
    if (centered_ && !Present(reader, "font")) {
        if (size_.x == source_size_.x && size_.y == source_size_.y) {
            // posx, posy name the centre.
            position_ = Vector2(position_.x - size_.x / 2, position_.y - size_.y / 2);
        } else {
            // The source size, centred in the box given (100 x 100 without a source rectangle).
            position_ =
                Vector2(position_.x + (size_.x - source_size_.x) / 2, position_.y + (size_.y - source_size_.y) / 2);
            size_ = source_size_;
        }
    }

    const char* align = reader->getAttributeValue("halign");
    h_align_ = align == nullptr ? 0 : std::strcmp(align, "center") == 0 ? 1 : std::strcmp(align, "right") == 0 ? 2 : 0;

    if (const char* tint = reader->getAttributeValue("tint")) ParseColor(tint, tint_);

    alpha_ = visible_ ? 1.0f : 0.0f;
    fade_speed_ = Present(reader, "fadeSpeed") ? reader->getAttributeValueAsFloat("fadeSpeed") : 0.0f;
    alpha_range_ = Present(reader, "alphaRange") ? reader->getAttributeValueAsFloat("alphaRange") * 0.5f : 0.5f;
    alpha_speed_ = Present(reader, "alphaSpeed") ? reader->getAttributeValueAsFloat("alphaSpeed") : 0.0f;
}

void UIElement::SetHover(bool inside) {
    hover_now_ = inside;
    if (hover_now_ && !hover_before_) OnPointerEnter();
    else if (!hover_now_ && hover_before_) OnPointerLeave();
    hover_before_ = hover_now_;
}

Color UIElement::GetDrawColor() const {
    if (!(alpha_speed_ > 0.0f)) return tint_;
    const float r = alpha_range_;
    Color color = tint_;
    color.a = LowByte((1.0f - r + r * std::sin(UiClock * alpha_speed_)) * 255.0f);
    return color;
}

void UIElement::SetSourceRect(const Vector2& origin, const Vector2& corner) {
    has_source_rect_ = true;
    source_origin_ = origin;
    source_corner_ = corner;
    source_size_ = Vector2(corner.x - origin.x, corner.y - origin.y);
    size_ = source_size_;
}

bool UIElement::IsPointInRect(const Vector2& position, const Vector2& size, const Vector2& point) {
    return position.x <= point.x && point.x <= position.x + size.x && position.y <= point.y &&
           point.y <= position.y + size.y;
}

bool UIElement::ParseColor(const char* text, Color& out) {
    // As "%d %d %d %d" scans, but a number too large for an int cannot overflow.
    long channels[4] = {255, 255, 255, 255};
    int converted = 0;
    const char* at = text;
    while (at != nullptr && converted < 4) {
        char* end = nullptr;
        const long value = std::strtol(at, &end, 10);
        if (end == at) break;
        channels[converted++] = value;
        at = end;
    }
    if (converted < 3) return false;
    out = Color(static_cast<uint8_t>(channels[0]), static_cast<uint8_t>(channels[1]), static_cast<uint8_t>(channels[2]),
                static_cast<uint8_t>(channels[3]));
    return true;
}

void UIElement::DrawOwnTexture(const Color& color) const {
    DrawTextureIn(texture_, position_, size_, has_source_rect_, source_origin_, source_size_, color);
}

}  // namespace UI
