// Tables: the column and colour attributes, and rows drawn in their columns,
// right-aligned cells against the next column, and the highlighted row.
#include <gtest/gtest.h>

#include <list>
#include <memory>
#include <string>
#include <vector>

#include "UI/UITable.h"
#include "UITestFixture.h"

namespace {

using uitest::RGBA;
using uitest::XY;

class UITableTest : public uitest::UITest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(UITest::SetUp());
        TestFont();
    }

    // A window of one table in the test font.
    std::unique_ptr<UI::UIWindowView> Table(const std::string& attributes) {
        return Window(R"(<table name="t" font="test.fnt" )" + attributes + "/>");
    }
    static UI::UITable& TableOf(UI::UIWindowView& window) { return *dynamic_cast<UI::UITable*>(window.front()); }
};

TEST_F(UITableTest, Columns) {
    const struct {
        const char* attributes;
        std::list<int32_t> columns;
        std::list<int32_t> aligns;
        int32_t rowHeight;
    } cases[] = {
        {"", {100}, {0}, 30},
        {R"(colAligns="1 0" rowHeight="0")", {100}, {1}, 30},
        {R"(columnsx="10 200 300" colAligns="0 1 0 1 1" rowHeight="24")", {10, 200, 300}, {0, 1, 0}, 24},
        {R"(columnsx="5 15" colAligns="1")", {5, 15}, {1, 0}, 30},
        {R"(columnsx="0 1 2 3 4 5 6 7 8 9 10 11")", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 30},
        {R"(columnsx="7 x 9" colAligns="-1")", {7}, {-1}, 30},
        {R"(columnsx="99999999999 -99999999999")", {2147483647, -2147483647 - 1}, {0, 0}, 30},
        {R"(columnsx="none")", {100}, {0}, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attributes);
        auto window = Table(c.attributes);
        const UI::UITable& table = TableOf(*window);
        EXPECT_EQ(table.columns_x_, c.columns);
        EXPECT_EQ(table.column_aligns_, c.aligns);
        EXPECT_EQ(table.row_height_, c.rowHeight);
    }
    auto window = Table(R"(ofsx="3" ofsy="4" colBorderR="6" rectClrHl="1 2 3 4" textClr="5 6 7" textClrHl="9 9 9 9")");
    const UI::UITable& table = TableOf(*window);
    EXPECT_EQ(XY(table.offset_), std::make_pair(3.0f, 4.0f));
    EXPECT_EQ(table.border_right_, 6);
    EXPECT_EQ(RGBA(table.highlight_color_), std::make_tuple(1, 2, 3, 4));
    EXPECT_EQ(RGBA(table.text_color_), std::make_tuple(5, 6, 7, 255));
    EXPECT_EQ(RGBA(table.text_color_highlight_), std::make_tuple(9, 9, 9, 9));
    EXPECT_EQ(table.highlight_row_, -1);
}

TEST_F(UITableTest, RowsInTheirColumns) {
    // Rank left at 10, name left at 60, score right against 300, a last
    // right-aligned column that has no next one, and one of alignment 2.
    auto window = Table(R"(posx="100" posy="200" columnsx="10 60 200 300 400" colAligns="0 0 1 1 2"
                            rowHeight="25" colBorderR="8" ofsx="2" ofsy="3"
                            rectClrHl="0 0 90 200" textClr="200 200 200" textClrHl="255 255 0")");
    UI::UITable& table = TableOf(*window);
    table.rows_ = {{"1", "Ann", "950", "x"}, {"2", "Bob", "75"}, {"3", "Cy", "5", "y", "z", "extra", "more"}};
    table.highlight_row_ = 1;
    null->ClearLog();
    DrawAlone(table);

    // The bar from the first column to the last, one row high, under the second row.
    const std::vector<uitest::Quad> quads = Quads();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(XY(quads[0].position), std::make_pair(110.0f, 225.0f));
    EXPECT_EQ(XY(quads[0].size), std::make_pair(390.0f, 25.0f));
    EXPECT_EQ(RGBA(quads[0].color), std::make_tuple(0, 0, 90, 200));

    struct Cell {
        std::wstring text;
        std::pair<float, float> pen;
        bool highlighted;
    };
    const std::vector<Cell> expected = {
        {L"1", {112, 203}, false},  {L"Ann", {162, 203}, false}, {L"950", {364, 203}, false},  // 100 + 300 - 30 - 8 + 2
        {L"x", {484, 203}, false},                                                             // against 400
        {L"2", {112, 228}, true},   {L"Bob", {162, 228}, true},  {L"75", {374, 228}, true},   {L"3", {112, 253}, false},
        {L"Cy", {162, 253}, false}, {L"5", {384, 253}, false},   {L"y", {484, 253}, false},
    };
    const std::vector<uitest::Text> texts = Texts();
    ASSERT_EQ(texts.size(), expected.size()) << "no alignment 2, nothing past the columns";
    for (size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(texts[i].text, expected[i].text);
        EXPECT_EQ(XY(texts[i].pens[0]), expected[i].pen);
        EXPECT_EQ(RGBA(texts[i].color),
                  expected[i].highlighted ? std::make_tuple(255, 255, 0, 255) : std::make_tuple(200, 200, 200, 255));
    }

    // A highlighted row beyond the rows shows no bar; a right-aligned last column nothing.
    auto lone = Table(R"(columnsx="10" colAligns="1")");
    TableOf(*lone).rows_ = {{"9"}};
    TableOf(*lone).highlight_row_ = 3;
    table.highlight_row_ = 7;
    null->ClearLog();
    DrawAlone(table);
    DrawAlone(TableOf(*lone));
    EXPECT_TRUE(Quads().empty());
    EXPECT_EQ(Texts().size(), expected.size());
    for (const uitest::Text& text : Texts()) EXPECT_EQ(RGBA(text.color), std::make_tuple(200, 200, 200, 255));
}

}  // namespace
