// Any bytes as a sprite font, by turns a text font (".fnt") and a code-range font
// (".cf"); the glyphs read are then looked up.
#include <cstdint>
#include <string>

#include "Graphics/SpriteFont.h"
#include "Graphics/SpriteFontReader.h"
#include "tests/support/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    for (const char* name : {"font.fnt", "font.cf"}) {
        boost::shared_ptr<Graphics::SpriteFont> font =
            Graphics::ReadSpriteFont(fuzzinput::WriteNamed(name, data, size));
        if (!font) continue;
        for (uint16_t code : {uint16_t(0), uint16_t('A'), uint16_t(0xFFFF)}) (void)font->FindGlyph(code);
    }
    return 0;
}
