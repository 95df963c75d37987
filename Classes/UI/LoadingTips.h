#pragma once
// The loading screen's tips: the language's texts "TextTip1", "TextTip2", ... up to
// the first missing number.
#include <functional>
#include <string>

namespace UI {
class UIScrollableTextArea;
}

// "TextTip<n>".
std::string LoadingTipKey(int n);
// The length of the unbroken run of tip keys from 1 that hasText finds.
int CountLoadingTips(const std::function<bool(const std::string& key)>& hasText);
// One of the current language's tips, chosen at random by a generator seeded
// anew at each call, into the area. Without tips the area keeps its text.
void ShowLoadingTip(UI::UIScrollableTextArea& area);
