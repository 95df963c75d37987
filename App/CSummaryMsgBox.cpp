#include "App/CSummaryMsgBox.h"

#include "UI/UIScrollableTextArea.h"

CSummaryMsgBox::CSummaryMsgBox(const std::string& layoutPath) : UI::UIMsgBox(layoutPath, std::string()) {
    for (UI::UIElement* element : *this) {
        if (element->name_ == "Attack") attack_ = dynamic_cast<UI::UIScrollableTextArea*>(element);
        else if (element->name_ == "Info") info_ = dynamic_cast<UI::UIScrollableTextArea*>(element);
    }
}

CSummaryMsgBox::~CSummaryMsgBox() {}

void CSummaryMsgBox::SetAttackText(std::wstring text) {
    if (attack_ != nullptr) attack_->SetText(text);
}

void CSummaryMsgBox::SetInfoText(std::wstring text) {
    if (info_ != nullptr) info_->SetText(text);
}
