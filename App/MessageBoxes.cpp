#include "App/MessageBoxes.h"

#include <memory>

#include "App/CGame.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Core/Service.h"
#include "UI/UIGlobals.h"

namespace {

UI::UIMsgBox* CurrentMessageBox = nullptr;
// The box whose update runs, and whether it was closed meanwhile.
UI::UIMsgBox* UpdatingBox = nullptr;
bool ClosedWhileUpdating = false;

std::string UiFolder() { return Service<Config>::Exists() ? Service<Config>::Get()->Paths.UiPath : std::string(); }

void CloseFromButton(void* /*game*/, UI::UIButton* /*button*/) { CloseMessageBox(); }

template <class Box>
Box* MakeCurrent(Box* box) {
    box->button_handler_ = Delegate<UI::UIButton*>(GetGame(), &CloseFromButton);
    CurrentMessageBox = box;
    return box;
}

}  // namespace

UI::UIMsgBox* GetMessageBox() { return CurrentMessageBox; }

// An open box is deleted before it is replaced, so none is ever dropped.
UI::UIMsgBox* ShowMessageBox(const std::string& layoutFile, const std::string& text) {
    CloseMessageBox();
    return MakeCurrent(new UI::UIMsgBox(UiFolder() + layoutFile, text));
}

CSummaryMsgBox* ShowSummaryBox() {
    CloseMessageBox();
    return MakeCurrent(new CSummaryMsgBox(UiFolder() + "SummaryWindow.xml"));
}

CWarningMsgBox* ShowWarningBox() {
    CloseMessageBox();
    return MakeCurrent(new CWarningMsgBox(UiFolder() + "WarningWindow.xml"));
}

void CloseMessageBox() {
    UI::UIMsgBox* box = CurrentMessageBox;
    CurrentMessageBox = nullptr;
    if (box != nullptr && box == UpdatingBox) ClosedWhileUpdating = true;
    else delete box;
}

void UpdateMessageBox() {
    UI::UIMsgBox* box = CurrentMessageBox;
    if (box == nullptr) return;
    UpdatingBox = box;
    ClosedWhileUpdating = false;
    box->Update();
    UpdatingBox = nullptr;
    if (!ClosedWhileUpdating) return;
    delete box;
    // A box opened in its place during the update is open, whatever the
    // closed one's going said.
    if (CurrentMessageBox != nullptr) CurrentMessageBox->Open();
}
