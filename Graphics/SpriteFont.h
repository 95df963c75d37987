#pragma once
// A bitmap font: one page texture with the glyph images and a table from
// 16-bit character codes to glyph rectangles and placement. Built by the font
// loader from a ".cf" or ".fnt" file (Graphics/SpriteFontReader.h); drawn by
// the 2D layer; measured by the text users.
//
// Measuring and drawing add an all-zero glyph for every code the table lacks,
// so a font must not be used from two threads at once.
#include <boost/call_traits.hpp>
#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <map>
#include <string>

#include "Core/AssetHooks.h"
#include "Graphics/GraphicsResource.h"
#include "Graphics/PointerTraits.h"

namespace Graphics {

class Texture2D;

// x and y: top-left texel on the page (UV offsets added); xoffset, yoffset:
// the image's displacement from the pen. A glyph of width 0 counts as absent.
struct SpriteFontGlyph {
    uint16_t x;
    uint16_t y;
    uint16_t width;
    uint16_t height;
    int16_t xoffset;
    int16_t yoffset;
    uint16_t xadvance;
    uint16_t page;
};

class SpriteFont : public GraphicsResource,
                   public boost::call_traits<SpriteFont>,
                   public Patterns::pointer_traits<SpriteFont> {
public:
    typedef std::map<uint16_t, SpriteFontGlyph> GlyphTable;
    typedef std::map<uint16_t, std::map<uint16_t, int8_t>> KerningTable;

    // Empty: metrics zero, no texture, no glyphs. `name` is the path it is read from.
    explicit SpriteFont(const std::string& name);
    ~SpriteFont() override;

    // Unloads, then reloads the page texture; the font counts as loaded again
    // only when that succeeded. Answers false in every case.
    bool Reload() override;
    // Unloads the page texture; the tables stay. False when the texture refused.
    bool Unload() override;

    // Width in pixels: per character xadvance - xoffset, or the default width
    // for a glyph of width 0. Narrow bytes widen with sign extension (0xE9 is
    // code 0xFFE9); the narrow form answers 0 for a font without glyphs.
    int MeasureString(const std::string& text);
    int MeasureString(const std::wstring& text);

    // Set by the font loader once the reader has returned the font.
    void MarkLoaded() { loaded_ = true; }

    // The glyph of a code; an absent code is entered as an all-zero glyph.
    const SpriteFontGlyph& FindGlyph(uint16_t code);

    uint16_t GetLineHeight() const { return line_height_; }
    int16_t GetSize() const { return size_; }
    const boost::shared_ptr<Texture2D>& GetPageTexture() const { return page_texture_; }

    // Read directly by the readers, the 2D layer and the text users.
    uint16_t line_height_ = 0;
    uint16_t default_width_ = 0;
    uint16_t page_width_ = 0;
    uint16_t page_height_ = 0;
    uint16_t page_count_ = 0;
    uint16_t uv_offset_x_ = 0;
    uint16_t uv_offset_y_ = 0;
    std::string page_image_name_;
    boost::shared_ptr<Texture2D> page_texture_;
    std::string face_;
    std::string charset_;
    int16_t size_ = 0;
    bool italic_ = false;
    bool bold_ = false;
    bool unicode_ = false;
    bool smooth_ = false;
    bool aa_ = false;
    GlyphTable glyphs_;
    // Read by no drawing or measuring operation.
    KerningTable kerning_;
};

}  // namespace Graphics

namespace Content {
template <>
boost::shared_ptr<Graphics::SpriteFont> CreateAsset<Graphics::SpriteFont>(const std::string& path);
template <>
bool ReleaseAsset<Graphics::SpriteFont>(boost::shared_ptr<Graphics::SpriteFont> asset);
template <>
bool ReloadAsset<Graphics::SpriteFont>(boost::shared_ptr<Graphics::SpriteFont> asset);
}  // namespace Content
