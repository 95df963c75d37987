#include "Classes/UI/LoadingTips.h"

#include <ctime>
#include <random>

#include "Core/Language.h"
#include "UI/UIScrollableTextArea.h"

std::string LoadingTipKey(int n) { return "TextTip" + std::to_string(n); }

int CountLoadingTips(const std::function<bool(const std::string& key)>& hasText) {
    int count = 0;
    while (hasText(LoadingTipKey(count + 1))) ++count;
    return count;
}

void ShowLoadingTip(UI::UIScrollableTextArea& area) {
    const int count = CountLoadingTips(&HasLocalizedText);
    if (count == 0) return;
    std::minstd_rand generator(static_cast<std::minstd_rand::result_type>(std::time(nullptr)));
    const int tip = std::uniform_int_distribution<int>(1, count)(generator);
    area.SetText(GetLocalizedText(LoadingTipKey(tip)));
}
