#pragma once
// Rows of text cells in up to ten fixed columns with one highlighted row, for
// score lists. Cells of a left-aligned column start at the column; those of a
// right-aligned one end short of the next column. It never consumes a touch.
#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <list>
#include <string>

#include "UI/UIElement.h"

namespace UI {

class UITable : public UIElement {
public:
    static constexpr int kMaxColumns = 10;

    void Draw() override;
    void ReadAttributes(irr::io::IrrXMLReader* reader) override;

    boost::shared_ptr<Graphics::SpriteFont> font_;
    std::list<std::list<std::string>> rows_;
    Vector2 offset_;
    int32_t row_height_ = 0;
    // Right margin of right-aligned cells.
    int32_t border_right_ = 0;
    // x of each column, relative to the table.
    std::list<int32_t> columns_x_;
    // Per column: 0 left, 1 right; cells of other columns are not drawn.
    std::list<int32_t> column_aligns_;
    Color highlight_color_{255, 255, 255, 255};
    Color text_color_highlight_{255, 255, 255, 255};
    Color text_color_{255, 255, 255, 255};
    int32_t highlight_row_ = -1;  // -1: none
};

// Up to `most` whole numbers separated by blanks, as "%d %d ..." scans them:
// reading stops at the first piece that is no number. Numbers beyond the
// int32 range are held at its ends.
int ReadIntegers(const char* text, int most, int32_t* out);

}  // namespace UI
