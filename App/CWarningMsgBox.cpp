#include "App/CWarningMsgBox.h"

#include "UI/UIScrollableTextArea.h"

CWarningMsgBox::CWarningMsgBox(const std::string& layoutPath) : UI::UIMsgBox(layoutPath, std::string()) {
    for (UI::UIElement* element : *this)
        if (element->name_ == "Info") info_ = dynamic_cast<UI::UIScrollableTextArea*>(element);
}

CWarningMsgBox::~CWarningMsgBox() {}

void CWarningMsgBox::SetInfoText(std::wstring text) {
    if (info_ != nullptr) info_->SetText(text);
}
