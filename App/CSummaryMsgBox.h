#pragma once
// The wave summary box of a battle: a message box from "SummaryWindow.xml"
// whose text areas "Attack" and "Info" take the wave's caption and the
// running summary.
#include <string>

#include "UI/UIMsgBox.h"

namespace UI {
class UIScrollableTextArea;
}

class CSummaryMsgBox : public UI::UIMsgBox {
public:
    // Keeps the layout's areas named "Attack" and "Info" (the last of each
    // name; null when there is none).
    explicit CSummaryMsgBox(const std::string& layoutPath);
    ~CSummaryMsgBox() override;

    // Each is laid out anew in its area; nothing without the area.
    void SetAttackText(std::wstring text);
    void SetInfoText(std::wstring text);

    // Owned by the box's layout.
    UI::UIScrollableTextArea* attack_ = nullptr;
    UI::UIScrollableTextArea* info_ = nullptr;
};
