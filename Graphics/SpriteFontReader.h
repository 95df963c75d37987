#pragma once
// The font reader behind the font loader: the engine's ".cf" format (a
// header and one line per glyph of a contiguous code range) and the key=value
// ".fnt" text format ("info", "common", "page", "char", "kerning" lines).
// Page images come through Service<UITextureLoader>; a page that does not
// load leaves the font without page texture and with page size 0.
#include <boost/shared_ptr.hpp>

#include <string>

namespace Graphics {

class SpriteFont;

// Reads the file whole; ".cf" (exact case) picks that format, any other
// extension the ".fnt" one. Empty for a file that cannot be read whole.
boost::shared_ptr<SpriteFont> ReadSpriteFont(const std::string& path);

// Parse file text into the font. baseName (the file name without folder and
// extension) names the page image "<baseName>.png" when the ".cf" header
// gives none. At most 256 glyph lines are read; codes of the range past the
// last glyph line read get no glyph.
void ReadCfFont(SpriteFont& font, const std::string& text, const std::string& baseName);
void ReadFntFont(SpriteFont& font, const std::string& text);

}  // namespace Graphics
