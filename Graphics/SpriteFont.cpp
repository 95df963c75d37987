#include "Graphics/SpriteFont.h"

#include "Graphics/SpriteFontReader.h"
#include "Graphics/Texture2D.h"

namespace Graphics {

namespace {

int Advance(const SpriteFont& font, const SpriteFontGlyph& glyph) {
    return glyph.width != 0 ? int(glyph.xadvance) - int(glyph.xoffset) : int(font.default_width_);
}

}  // namespace

SpriteFont::SpriteFont(const std::string& name) : GraphicsResource(ResourceSpriteFont, name) {}

SpriteFont::~SpriteFont() = default;

const SpriteFontGlyph& SpriteFont::FindGlyph(uint16_t code) {
    // operator[] enters an absent code as a value-initialised (all-zero) glyph.
    return glyphs_[code];
}

int SpriteFont::MeasureString(const std::string& text) {
    if (glyphs_.empty()) {
        return 0;
    }
    int width = 0;
    for (char byte : text) {
        // Sign extension, as the narrow-to-wide conversion does.
        const uint16_t code = static_cast<uint16_t>(static_cast<int16_t>(static_cast<signed char>(byte)));
        width += Advance(*this, FindGlyph(code));
    }
    return width;
}

int SpriteFont::MeasureString(const std::wstring& text) {
    int width = 0;
    for (wchar_t unit : text) {
        width += Advance(*this, FindGlyph(static_cast<uint16_t>(unit)));
    }
    return width;
}

bool SpriteFont::Unload() {
    if (!loaded_) {
        return true;
    }
    if (page_texture_ && !page_texture_->Unload()) {
        return false;
    }
    loaded_ = false;
    return true;
}

bool SpriteFont::Reload() {
    SpriteFont::Unload();
    if (page_texture_ && page_texture_->Reload()) {
        loaded_ = true;
    }
    return false;
}

}  // namespace Graphics

namespace Content {

template <>
boost::shared_ptr<Graphics::SpriteFont> CreateAsset<Graphics::SpriteFont>(const std::string& path) {
    boost::shared_ptr<Graphics::SpriteFont> font = Graphics::ReadSpriteFont(path);
    if (font) {
        font->MarkLoaded();
    }
    return font;
}

template <>
bool ReleaseAsset<Graphics::SpriteFont>(boost::shared_ptr<Graphics::SpriteFont> asset) {
    return asset->Unload();
}

template <>
bool ReloadAsset<Graphics::SpriteFont>(boost::shared_ptr<Graphics::SpriteFont> asset) {
    return asset->Reload();
}

}  // namespace Content
