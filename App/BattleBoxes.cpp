#include "App/BattleBoxes.h"

#include "App/MessageBoxes.h"

namespace {

CSummaryMsgBox* OpenSummary() { return dynamic_cast<CSummaryMsgBox*>(GetMessageBox()); }

}  // namespace

bool BattleBoxes::ShowSummary() { return ShowSummaryBox() != nullptr; }

void BattleBoxes::SetSummaryAttackText(const std::wstring& text) {
    if (CSummaryMsgBox* box = OpenSummary()) box->SetAttackText(text);
}

void BattleBoxes::SetSummaryInfoText(const std::wstring& text) {
    if (CSummaryMsgBox* box = OpenSummary()) box->SetInfoText(text);
}

bool BattleBoxes::ShowWarning(const std::wstring& text) {
    CWarningMsgBox* box = ShowWarningBox();
    if (box == nullptr) return false;
    box->SetInfoText(text);
    return true;
}

void BattleBoxes::Close() { CloseMessageBox(); }

bool BattleBoxes::ShowMessage(const std::string& layoutFile, const std::string& text) {
    return ShowMessageBox(layoutFile, text) != nullptr;
}
