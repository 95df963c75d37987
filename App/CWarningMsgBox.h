#pragma once
// The box that warns of modified game data: a message box from
// "WarningWindow.xml" whose text area "Info" takes the warning.
#include <string>

#include "UI/UIMsgBox.h"

namespace UI {
class UIScrollableTextArea;
}

class CWarningMsgBox : public UI::UIMsgBox {
public:
    // Keeps the layout's area named "Info" (the last one; null when none).
    explicit CWarningMsgBox(const std::string& layoutPath);
    ~CWarningMsgBox() override;

    // Laid out anew in the area; nothing without the area.
    void SetInfoText(std::wstring text);

    // Owned by the box's layout.
    UI::UIScrollableTextArea* info_ = nullptr;
};
