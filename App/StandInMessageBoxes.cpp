// Stand-ins until the widget set and the in-game window exist (see
// StandInMessageBoxes.h).
#include "App/StandInMessageBoxes.h"

#include "Core/StandInTrace.h"
#include "Core/TextHelpers.h"

namespace UI {

UIMsgBox::UIMsgBox(const std::string& layoutPath, const std::string& message)
    : layout_path_(layoutPath), message_(ToWideString(message)) {}

UIMsgBox::~UIMsgBox() { standin::Report("message box deleted"); }

void UIMsgBox::Update() { standin::Report("message box updated"); }

void UIMsgBox::Draw() { standin::Report("message box drawn"); }

}  // namespace UI

CSummaryMsgBox::CSummaryMsgBox(const std::string& layoutPath) : UI::UIMsgBox(layoutPath, std::string()) {}

CSummaryMsgBox::~CSummaryMsgBox() {}

CWarningMsgBox::CWarningMsgBox(const std::string& layoutPath) : UI::UIMsgBox(layoutPath, std::string()) {}

CWarningMsgBox::~CWarningMsgBox() {}
