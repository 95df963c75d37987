#pragma once
// The one open message box. The game updates and draws it after the state
// machine each frame; it lives until CloseMessageBox.
#include <string>

#include "App/StandInMessageBoxes.h"

// The open box, or null.
UI::UIMsgBox* GetMessageBox();
// Each closes an open box first, then opens the new one from the configured
// interface folder and makes it current. The plain box closes on any of its
// buttons.
UI::UIMsgBox* ShowMessageBox(const std::string& layoutFile, const std::string& text);
CSummaryMsgBox* ShowSummaryBox();
CWarningMsgBox* ShowWarningBox();
// Deletes the open box, if any.
void CloseMessageBox();
