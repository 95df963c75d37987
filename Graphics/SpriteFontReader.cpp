#include "Graphics/SpriteFontReader.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "Core/Service.h"
#include "Graphics/SpriteFont.h"
#include "Graphics/Texture2D.h"
#include "Graphics/UITextureLoader.h"
#include "IO/File.h"

namespace Graphics {

namespace {

const int kMaxCfGlyphLines = 256;

// Loads the page image named by the font and takes the page size from it.
void LoadPage(SpriteFont& font) {
    boost::shared_ptr<Texture2D> texture;
    if (UITextureLoader* loader = Service<UITextureLoader>::Get()) {
        texture = loader->Load(font.page_image_name_);
    }
    font.page_texture_ = texture;
    font.page_width_ = texture ? static_cast<uint16_t>(static_cast<int>(texture->GetWidth())) : 0;
    font.page_height_ = texture ? static_cast<uint16_t>(static_cast<int>(texture->GetHeight())) : 0;
}

// A decimal number at the start of the value; false (out unchanged) when
// there is none.
bool ReadNumber(const std::string& value, long* out) {
    const char* start = value.c_str();
    char* end = nullptr;
    const long number = std::strtol(start, &end, 10);
    if (end == start) {
        return false;
    }
    *out = number;
    return true;
}

template <class T>
void SetNumber(const std::string& value, T& field) {
    long number;
    if (ReadNumber(value, &number)) {
        field = static_cast<T>(number);
    }
}

void SetFlag(const std::string& value, bool& field) {
    long number;
    if (ReadNumber(value, &number)) {
        field = number != 0;
    }
}

// The text between the first and the last double quote; a value without
// quotes whole.
std::string Unquote(const std::string& value) {
    const size_t first = value.find('"');
    if (first == std::string::npos) {
        return value;
    }
    const size_t last = value.rfind('"');
    if (last == first) {
        return value.substr(first + 1);
    }
    return value.substr(first + 1, last - first - 1);
}

std::vector<std::string> SplitWords(const std::string& line) {
    std::vector<std::string> words;
    size_t position = 0;
    while (position < line.size()) {
        const size_t start = line.find_first_not_of(" \t\r", position);
        if (start == std::string::npos) {
            break;
        }
        size_t end = line.find_first_of(" \t\r", start);
        if (end == std::string::npos) {
            end = line.size();
        }
        words.push_back(line.substr(start, end - start));
        position = end;
    }
    return words;
}

void ReadInfo(SpriteFont& font, const std::string& key, const std::string& value) {
    if (key == "face") {
        font.face_ = value;
    } else if (key == "size") {
        SetNumber(value, font.size_);
    } else if (key == "charset") {
        font.charset_ = value;
    } else if (key == "bold") {
        SetFlag(value, font.bold_);
    } else if (key == "italic") {
        SetFlag(value, font.italic_);
    } else if (key == "unicode") {
        SetFlag(value, font.unicode_);
    } else if (key == "smooth") {
        SetFlag(value, font.smooth_);
    } else if (key == "aa") {
        SetFlag(value, font.aa_);
    }
}

void ReadCommon(SpriteFont& font, const std::string& key, const std::string& value) {
    if (key == "lineHeight") {
        SetNumber(value, font.line_height_);
    } else if (key == "base") {
        SetNumber(value, font.default_width_);
    } else if (key == "pages") {
        SetNumber(value, font.page_count_);
    }
}

void ReadPageKey(SpriteFont& font, const std::string& key, const std::string& value) {
    if (key == "file") {
        font.page_image_name_ = Unquote(value);
    } else if (key == "uvoffsx") {
        SetNumber(value, font.uv_offset_x_);
    } else if (key == "uvoffsy") {
        SetNumber(value, font.uv_offset_y_);
    }
}

void ReadCharKey(uint16_t& code, SpriteFontGlyph& glyph, const std::string& key, const std::string& value) {
    if (key == "id") {
        SetNumber(value, code);
    } else if (key == "x") {
        SetNumber(value, glyph.x);
    } else if (key == "y") {
        SetNumber(value, glyph.y);
    } else if (key == "width") {
        SetNumber(value, glyph.width);
    } else if (key == "height") {
        SetNumber(value, glyph.height);
    } else if (key == "xoffset") {
        SetNumber(value, glyph.xoffset);
    } else if (key == "yoffset") {
        SetNumber(value, glyph.yoffset);
    } else if (key == "xadvance") {
        SetNumber(value, glyph.xadvance);
    } else if (key == "page") {
        SetNumber(value, glyph.page);
    }
}

}  // namespace

boost::shared_ptr<SpriteFont> ReadSpriteFont(const std::string& path) {
    uint8_t* buffer = nullptr;
    uint32_t size = 0;
    const uint32_t read = IO::ReadWholeFile(path, buffer, size);
    if (read == 0 || read != size) {
        std::free(buffer);
        return boost::shared_ptr<SpriteFont>();
    }
    const std::string text(reinterpret_cast<const char*>(buffer), read);
    std::free(buffer);

    boost::shared_ptr<SpriteFont> font(new SpriteFont(path));
    const size_t dot = path.rfind('.');
    const std::string extension = dot == std::string::npos ? std::string() : path.substr(dot);
    const size_t slash = path.rfind('/');
    const size_t baseStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t baseEnd = dot == std::string::npos || dot < baseStart ? path.size() : dot;
    const std::string baseName = path.substr(baseStart, baseEnd - baseStart);

    if (extension == ".cf") {
        ReadCfFont(*font, text, baseName);
    } else {
        ReadFntFont(*font, text);
    }
    return font;
}

void ReadCfFont(SpriteFont& font, const std::string& text, const std::string& baseName) {
    int height = 0;
    int first = 0;
    int last = -1;  // no range until the header gives one
    char image[302] = "";
    int uvX = font.uv_offset_x_;
    int uvY = font.uv_offset_y_;
    int xs[kMaxCfGlyphLines] = {};
    int ys[kMaxCfGlyphLines] = {};
    int ws[kMaxCfGlyphLines] = {};
    int glyphLines = 0;

    std::istringstream stream(text);
    std::string line;
    for (int index = 0; std::getline(stream, line); ++index) {
        switch (index) {
            case 0: break;
            case 1: std::sscanf(line.c_str(), "chars_height = %d", &height); break;
            case 2: std::sscanf(line.c_str(), "chars_from = %d", &first); break;
            case 3: std::sscanf(line.c_str(), "chars_to = %d", &last); break;
            case 4: std::sscanf(line.c_str(), "image = %301s", image); break;
            case 5: std::sscanf(line.c_str(), "uv_ofs = %d,%d", &uvX, &uvY); break;
            default:
                if (glyphLines < kMaxCfGlyphLines) {
                    const int k = glyphLines++;
                    std::sscanf(line.c_str(), "x=%d\t y=%d\t w=%d", &xs[k], &ys[k], &ws[k]);
                }
                break;
        }
    }
    font.uv_offset_x_ = static_cast<uint16_t>(uvX);
    font.uv_offset_y_ = static_cast<uint16_t>(uvY);

    // The file's numbers may be any int: codes are counted in 64 bits and
    // positions added modulo 2^16, the width of the glyph fields.
    for (int k = 0; k < glyphLines && int64_t{first} + k <= last; ++k) {
        const int64_t code = int64_t{first} + k;
        if (code < 0 || code > 0xFFFF) {
            continue;
        }
        SpriteFontGlyph glyph;
        glyph.x = static_cast<uint16_t>(font.uv_offset_x_ + static_cast<unsigned>(xs[k]));
        glyph.y = static_cast<uint16_t>(font.uv_offset_y_ + static_cast<unsigned>(ys[k]));
        glyph.width = static_cast<uint16_t>(ws[k]);
        glyph.height = static_cast<uint16_t>(height);
        glyph.xoffset = 0;
        glyph.yoffset = 0;
        glyph.xadvance = static_cast<uint16_t>(ws[k]);
        glyph.page = 0;
        font.glyphs_.insert(SpriteFont::GlyphTable::value_type(static_cast<uint16_t>(code), glyph));
    }

    font.page_image_name_ = image[0] != '\0' ? std::string(image) : baseName + ".png";
    LoadPage(font);
    font.line_height_ = static_cast<uint16_t>(height);
    font.default_width_ = static_cast<uint16_t>(ws[0]);
}

void ReadFntFont(SpriteFont& font, const std::string& text) {
    uint16_t code = 0;  // a "char" line without id reuses the code before
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        const std::vector<std::string> words = SplitWords(line);
        if (words.empty()) {
            continue;
        }
        const std::string& tag = words[0];
        if (tag != "info" && tag != "common" && tag != "page" && tag != "char" && tag != "kerning") {
            continue;
        }
        SpriteFontGlyph glyph = {};
        long kernFirst = 0, kernSecond = 0, kernAmount = 0;
        for (size_t i = 1; i < words.size(); ++i) {
            const size_t equals = words[i].find('=');
            if (equals == std::string::npos) {
                continue;
            }
            const std::string key = words[i].substr(0, equals);
            const std::string value = words[i].substr(equals + 1);
            if (tag == "info") {
                ReadInfo(font, key, value);
            } else if (tag == "common") {
                ReadCommon(font, key, value);
            } else if (tag == "page") {
                ReadPageKey(font, key, value);
            } else if (tag == "char") {
                ReadCharKey(code, glyph, key, value);
            } else if (key == "first") {
                ReadNumber(value, &kernFirst);
            } else if (key == "second") {
                ReadNumber(value, &kernSecond);
            } else if (key == "amount") {
                ReadNumber(value, &kernAmount);
            }
        }
        if (tag == "page") {
            LoadPage(font);
        } else if (tag == "char") {
            glyph.x = static_cast<uint16_t>(glyph.x + font.uv_offset_x_);
            glyph.y = static_cast<uint16_t>(glyph.y + font.uv_offset_y_);
            font.glyphs_.insert(SpriteFont::GlyphTable::value_type(code, glyph));
        } else if (tag == "kerning") {
            font.kerning_[static_cast<uint16_t>(kernFirst)][static_cast<uint16_t>(kernSecond)] =
                static_cast<int8_t>(static_cast<uint8_t>(kernAmount & 0xFF));
        }
    }
}

}  // namespace Graphics
