#pragma once
// The one open message box. The game updates and draws it after the state
// machine each frame; it lives until CloseMessageBox.
#include <string>

#include "App/CSummaryMsgBox.h"
#include "App/CWarningMsgBox.h"
#include "UI/UIMsgBox.h"

// The open box, or null.
UI::UIMsgBox* GetMessageBox();
// Each closes an open box first, then opens the new one from the configured
// interface folder and makes it current. The plain box closes on any of its
// buttons.
UI::UIMsgBox* ShowMessageBox(const std::string& layoutFile, const std::string& text);
CSummaryMsgBox* ShowSummaryBox();
CWarningMsgBox* ShowWarningBox();
// Deletes the open box, if any. Asked for while that box's update runs (from
// one of its buttons), the box stops being current at once and is deleted
// when its update has returned.
void CloseMessageBox();
// The open box's update, once per frame.
void UpdateMessageBox();
