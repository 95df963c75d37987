// The loading screen's tips: the count is the unbroken run from "TextTip1", and the
// tip shown is one of those; without tips the area keeps what the layout gave it.
#include "Classes/UI/LoadingTips.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "Core/Language.h"
#include "UI/UIScrollableTextArea.h"
#include "support/ScratchFolder.h"

namespace {

std::string U32(uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
    return s;
}

// A language file of ASCII texts.
std::string Lan(const std::set<std::pair<std::string, std::string>>& entries) {
    std::string bytes = std::string("LAN\0", 4) + U32(1) + U32(static_cast<uint32_t>(entries.size()));
    for (const auto& entry : entries) {
        bytes += U32(static_cast<uint32_t>(entry.first.size())) + entry.first;
        bytes += U32(static_cast<uint32_t>(entry.second.size()));
        for (char c : entry.second) bytes += std::string{c, '\0'};
    }
    return bytes;
}

std::wstring Shown(const UI::UIScrollableTextArea& area) {
    std::wstring text;
    for (const std::wstring& line : area.lines_) text += (text.empty() ? L"" : L" ") + line;
    return text;
}

}  // namespace

TEST(LoadingTipsTest, TheCountIsTheRunFromTheFirstTip) {
    const struct {
        std::set<std::string> keys;
        int count;
    } cases[] = {
        {{}, 0},
        {{"TextTip2", "TextTip3"}, 0},  // no first tip: none at all
        {{"TextTip1"}, 1},
        {{"TextTip1", "TextTip2", "TextTip4"}, 2},  // the gap ends the run
        {{"TextTip1", "TextTip2", "TextTip3", "TextTip4", "TextTip5", "TextTip6", "TextTip7", "TextTip8"}, 8},
        {{"TextTip1", "TextTip01", "TextTip 2", "textTip2"}, 1},  // keys spelt otherwise are no tips
    };
    for (const auto& c : cases)
        EXPECT_EQ(CountLoadingTips([&](const std::string& key) { return c.keys.count(key) != 0; }), c.count)
            << c.keys.size() << " keys";
}

TEST(LoadingTipsTest, OneOfTheLanguagesTipsOrTheLayoutsText) {
    UI::UIScrollableTextArea area;
    area.size_ = Vector2(600.0f, 100.0f);
    area.SetText(std::wstring(L"from the layout"));
    // No language loaded: nothing to count, nothing to divide by.
    ShowLoadingTip(area);
    EXPECT_EQ(Shown(area), L"from the layout");

    ScratchFolder tmp;
    ASSERT_TRUE(LoadLanguageFile(kGerman, tmp.Write("none.lan", Lan({{"UiStart", "Start"}}))));
    ShowLoadingTip(area);
    EXPECT_EQ(Shown(area), L"from the layout");

    ASSERT_TRUE(LoadLanguageFile(kGerman, tmp.Write("ge.lan", Lan({{"TextTip1", "eins"}, {"TextTip2", "zwei"},
                                                                   {"TextTip4", "vier"}}))));
    ShowLoadingTip(area);
    const std::wstring tip = Shown(area);
    EXPECT_TRUE(tip == L"eins" || tip == L"zwei") << std::string(tip.begin(), tip.end());
}
