#include "tools/databuilder/FontBaker.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <memory>

namespace databuilder {

namespace {

struct Library {
    FT_Library handle = nullptr;
    ~Library() {
        if (handle != nullptr) FT_Done_FreeType(handle);
    }
};

struct Face {
    FT_Face handle = nullptr;
    ~Face() {
        if (handle != nullptr) FT_Done_Face(handle);
    }
};

struct Rendered {
    int code;
    int width, height;
    int left, top;  // bitmap_left, bitmap_top
    int advance;
    std::vector<uint8_t> coverage;  // width x height
};

bool Open(Library& library, Face& face, const std::string& path, int pixelSize, std::string* error) {
    if (FT_Init_FreeType(&library.handle) != 0) {
        *error = "FreeType did not start";
        return false;
    }
    if (FT_New_Face(library.handle, path.c_str(), 0, &face.handle) != 0) {
        *error = "cannot open " + path;
        return false;
    }
    if (FT_Set_Pixel_Sizes(face.handle, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        *error = "cannot size " + path;
        return false;
    }
    return true;
}

bool Render(FT_Face face, int code, Rendered* out) {
    if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER) != 0) return false;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.rows != 0) return false;
    out->code = code;
    out->width = static_cast<int>(bitmap.width);
    out->height = static_cast<int>(bitmap.rows);
    out->left = slot->bitmap_left;
    out->top = slot->bitmap_top;
    out->advance = static_cast<int>((slot->advance.x + 32) >> 6);
    out->coverage.assign(size_t(out->width) * out->height, 0);
    for (int row = 0; row < out->height; ++row) {
        const uint8_t* source = bitmap.buffer + ptrdiff_t(row) * bitmap.pitch;
        std::copy(source, source + out->width, out->coverage.begin() + ptrdiff_t(row) * out->width);
    }
    return true;
}

void Metrics(FT_Face face, BakedFont* font) {
    font->ascender = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    font->lineHeight = static_cast<int>((face->size->metrics.height + 63) >> 6);
}

// White with the coverage as alpha, clipped to the page.
void Blit(const Rendered& glyph, int x, int y, int clipWidth, int clipHeight, BakedFont* font) {
    for (int row = 0; row < glyph.height; ++row) {
        for (int column = 0; column < glyph.width; ++column) {
            const int px = x + column, py = y + row;
            if (column >= clipWidth || row >= clipHeight || px < 0 || py < 0 || px >= font->pageWidth ||
                py >= font->pageHeight)
                continue;
            const uint8_t alpha = glyph.coverage[size_t(row) * glyph.width + column];
            uint8_t* pixel = &font->pageRgba[(size_t(py) * font->pageWidth + px) * 4];
            pixel[0] = pixel[1] = pixel[2] = 255;
            pixel[3] = std::max(pixel[3], alpha);
        }
    }
}

void ClearPage(int width, int height, BakedFont* font) {
    font->pageWidth = width;
    font->pageHeight = height;
    font->pageRgba.assign(size_t(width) * height * 4, 0);
    // Transparent white, so filtering at glyph edges never darkens the tint.
    for (size_t i = 0; i < font->pageRgba.size(); i += 4) {
        font->pageRgba[i] = font->pageRgba[i + 1] = font->pageRgba[i + 2] = 255;
    }
}

int PowerOfTwo(int value) {
    int result = 1;
    while (result < value) result *= 2;
    return result;
}

// Shelves left to right, one pixel between cells and around the page; the
// height the shelves need, or -1 when a cell is wider than the page.
int Pack(const std::vector<Rendered>& glyphs, const std::vector<size_t>& order, int pageWidth,
         std::vector<std::pair<int, int>>* places) {
    places->assign(glyphs.size(), {0, 0});
    int x = 1, y = 1, shelf = 0;
    for (size_t index : order) {
        const Rendered& glyph = glyphs[index];
        const int width = std::max(glyph.width, 1), height = std::max(glyph.height, 1);
        if (width + 2 > pageWidth) return -1;
        if (x + width + 1 > pageWidth) {
            x = 1;
            y += shelf + 1;
            shelf = 0;
        }
        (*places)[index] = {x, y};
        x += width + 1;
        shelf = std::max(shelf, height);
    }
    return y + shelf + 1;
}

}  // namespace

bool BakeProportional(const std::string& ttfPath, int pixelSize, const std::vector<int>& codes, BakedFont* font,
                      std::string* error) {
    Library library;
    Face face;
    if (!Open(library, face, ttfPath, pixelSize, error)) return false;
    Metrics(face.handle, font);

    std::vector<Rendered> glyphs;
    for (int code : codes) {
        if (FT_Get_Char_Index(face.handle, static_cast<FT_ULong>(code)) == 0) continue;
        Rendered glyph;
        if (!Render(face.handle, code, &glyph)) {
            *error = "cannot render U+" + std::to_string(code);
            return false;
        }
        // A blank glyph (space) gets a transparent cell as wide as its
        // advance: a glyph of width 0 would be measured with the font's
        // default width instead of its own advance.
        if (glyph.width == 0 || glyph.height == 0) {
            glyph.width = std::max(glyph.advance, 1);
            glyph.height = 1;
            glyph.left = 0;
            glyph.top = font->ascender;
            glyph.coverage.assign(size_t(glyph.width), 0);
        }
        glyphs.push_back(std::move(glyph));
    }

    // Tall glyphs first, then by code: compact shelves, the same every run.
    std::vector<size_t> order(glyphs.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return glyphs[a].height > glyphs[b].height; });

    std::vector<std::pair<int, int>> places, best;
    int bestWidth = 0, bestHeight = 0;
    for (int width = 64; width <= 2048; width *= 2) {
        const int needed = Pack(glyphs, order, width, &places);
        if (needed < 0) continue;
        const int height = PowerOfTwo(needed);
        if (height > 2048) continue;
        // The smallest page; of equal ones the squarest.
        const int64_t area = int64_t(width) * height, bestArea = int64_t(bestWidth) * bestHeight;
        const auto squareness = [](int w, int h) { return w > h ? w / h : h / w; };
        if (bestWidth == 0 || area < bestArea ||
            (area == bestArea && squareness(width, height) < squareness(bestWidth, bestHeight))) {
            bestWidth = width;
            bestHeight = height;
            best = places;
        }
    }
    if (bestWidth == 0) {
        *error = "the glyphs do not fit a 2048 x 2048 page";
        return false;
    }

    ClearPage(bestWidth, bestHeight, font);
    font->glyphs.clear();
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const Rendered& glyph = glyphs[i];
        Blit(glyph, best[i].first, best[i].second, glyph.width, glyph.height, font);
        font->glyphs.push_back({glyph.code, best[i].first, best[i].second, glyph.width, glyph.height, glyph.left,
                                font->ascender - glyph.top, glyph.advance});
    }

    font->kerning.clear();
    if (FT_HAS_KERNING(face.handle)) {
        for (const BakedGlyph& first : font->glyphs) {
            const FT_UInt left = FT_Get_Char_Index(face.handle, static_cast<FT_ULong>(first.code));
            for (const BakedGlyph& second : font->glyphs) {
                const FT_UInt right = FT_Get_Char_Index(face.handle, static_cast<FT_ULong>(second.code));
                FT_Vector delta;
                if (FT_Get_Kerning(face.handle, left, right, FT_KERNING_DEFAULT, &delta) != 0) continue;
                const int amount = static_cast<int>(delta.x >= 0 ? (delta.x + 32) >> 6 : -((-delta.x + 32) >> 6));
                if (amount != 0) font->kerning.push_back({first.code, second.code, amount});
            }
        }
    }
    return true;
}

bool BakeCells(const std::string& ttfPath, int pixelSize, int first, int last, BakedFont* font, std::string* error) {
    Library library;
    Face face;
    if (!Open(library, face, ttfPath, pixelSize, error)) return false;
    Metrics(face.handle, font);

    std::vector<Rendered> glyphs;
    int cellWidth = 1;
    for (int code = first; code <= last; ++code) {
        Rendered glyph;
        // Control codes and codes the face lacks stay blank cells.
        const bool drawable = FT_Get_Char_Index(face.handle, static_cast<FT_ULong>(code)) != 0;
        if (!drawable || !Render(face.handle, code, &glyph)) {
            glyph = Rendered{code, 0, 0, 0, 0, 0, {}};
        }
        cellWidth = std::max(cellWidth, glyph.advance);
        glyphs.push_back(std::move(glyph));
    }
    const int cellHeight = font->lineHeight;
    const int columns = 16;
    const int rows = (static_cast<int>(glyphs.size()) + columns - 1) / columns;
    ClearPage(PowerOfTwo(2 + columns * (cellWidth + 1)), PowerOfTwo(2 + rows * (cellHeight + 1)), font);

    font->glyphs.clear();
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const Rendered& glyph = glyphs[i];
        const int x = static_cast<int>(i % columns) * (cellWidth + 1);
        const int y = static_cast<int>(i / columns) * (cellHeight + 1);
        if (glyph.width > 0) {
            const int gx = std::max(glyph.left, 0), gy = std::max(font->ascender - glyph.top, 0);
            Blit(glyph, 1 + x + gx, 1 + y + gy, cellWidth - gx, cellHeight - gy, font);
        }
        font->glyphs.push_back({glyph.code, x, y, cellWidth, cellHeight, 0, 0, cellWidth});
    }
    font->kerning.clear();
    return true;
}

}  // namespace databuilder
