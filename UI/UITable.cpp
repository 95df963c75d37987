#include "UI/UITable.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <limits>

#include "Graphics/Draw2D.h"
#include "Graphics/SpriteFont.h"

namespace UI {

namespace {

const int32_t kDefaultRowHeight = 30;
const int32_t kLoneColumnX = 100;

}  // namespace

int ReadIntegers(const char* text, int most, int32_t* out) {
    int count = 0;
    const char* at = text;
    while (at != nullptr && count < most) {
        char* end = nullptr;
        const long long value = std::strtoll(at, &end, 10);
        if (end == at) break;
        out[count++] = static_cast<int32_t>(
            std::clamp<long long>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
        at = end;
    }
    return count;
}

void UITable::ReadAttributes(irr::io::IrrXMLReader* reader) {
    UIElement::ReadAttributes(reader);
    // A table has no Russian font of its own.
    font_ = LoadFont(reader->getAttributeValue("font"));
    offset_ = Vector2(static_cast<float>(reader->getAttributeValueAsInt("ofsx")),
                      static_cast<float>(reader->getAttributeValueAsInt("ofsy")));
    row_height_ = reader->getAttributeValueAsInt("rowHeight");
    if (row_height_ == 0) row_height_ = kDefaultRowHeight;
    border_right_ = reader->getAttributeValueAsInt("colBorderR");
    if (const char* colour = reader->getAttributeValue("rectClrHl")) ParseColor(colour, highlight_color_);
    if (const char* colour = reader->getAttributeValue("textClr")) ParseColor(colour, text_color_);
    if (const char* colour = reader->getAttributeValue("textClrHl")) ParseColor(colour, text_color_highlight_);

    int32_t columns[kMaxColumns] = {};
    int32_t aligns[kMaxColumns] = {};
    int count = 0;
    if (const char* text = reader->getAttributeValue("columnsx")) count = ReadIntegers(text, kMaxColumns, columns);
    if (count == 0) {
        columns[0] = kLoneColumnX;
        count = 1;
    }
    if (const char* text = reader->getAttributeValue("colAligns")) ReadIntegers(text, kMaxColumns, aligns);
    columns_x_.assign(columns, columns + count);
    column_aligns_.assign(aligns, aligns + count);
}

void UITable::Draw() {
    if (!visible_ || !font_) return;
    DrawOwnTexture(tint_);
    if (columns_x_.empty()) return;
    const float firstX = static_cast<float>(columns_x_.front());
    const float lastX = static_cast<float>(columns_x_.back());
    int32_t index = 0;
    for (const std::list<std::string>& row : rows_) {
        const float y = static_cast<float>(index) * static_cast<float>(row_height_);
        const bool highlighted = index == highlight_row_;
        if (highlighted)
            Graphics::Draw2D::FillRect(highlight_color_, position_.x + firstX, position_.y + y, lastX - firstX,
                                       static_cast<float>(row_height_));
        const Color& color = highlighted ? text_color_highlight_ : text_color_;
        auto column = columns_x_.begin();
        auto align = column_aligns_.begin();
        for (auto cell = row.begin(); cell != row.end() && column != columns_x_.end(); ++cell, ++column, ++align) {
            const float cellY = position_.y + y + offset_.y;
            if (*align == 0) {
                Graphics::Draw2D::DrawText(font_, position_.x + *column + offset_.x, cellY, *cell, color);
            } else if (*align == 1) {
                const auto next = std::next(column);
                if (next == columns_x_.end()) continue;
                const float x = position_.x + *next - font_->MeasureString(*cell) - border_right_ + offset_.x;
                Graphics::Draw2D::DrawText(font_, x, cellY, *cell, color);
            }
        }
        ++index;
    }
}

}  // namespace UI
