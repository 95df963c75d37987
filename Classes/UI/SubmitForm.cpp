// The score submission form: its checks, its states on screen, and the
// request it polls once per frame.
#include <cstdint>
#include <string>

#include "Classes/Battle/GameWindow.h"
#include "Classes/UI/MenuActions.h"
#include "Classes/UI/MenuStates.h"
#include "Core/FrameClock.h"
#include "Game/GameAudio.h"
#include "Net/CNetThread.h"
#include "Net/HttpRequest.h"
#include "platform/Trace.h"

int32_t BusyTimer = 0;

namespace {

const char* const kSlotNames[kSubmitSlotCount] = {"Sending_score",
                                                  "Score_sent_successfully",
                                                  "Sending_score_failure",
                                                  "Incorrect mail",
                                                  "Incorrect user data",
                                                  "Dunmarch_1",
                                                  "Dunmarch_2",
                                                  "Dunmarch_3",
                                                  "Dunmarch_4",
                                                  "Submit",
                                                  "Cancel",
                                                  "OK",
                                                  "SubmitInActive",
                                                  "CancelInActive",
                                                  nullptr,
                                                  "Submit_txt",
                                                  "Cancel_txt",
                                                  "OK_txt",
                                                  "NoConnection",
                                                  "Text use only"};

bool Visible(const UI::UIElement* element) { return element != nullptr && element->visible_; }

}  // namespace

int SubmitSlotOf(const std::string& name) {
    for (int slot = 0; slot < kSubmitSlotCount; ++slot)
        if (kSlotNames[slot] != nullptr && name == kSlotNames[slot]) return slot;
    return -1;
}

void ShowSubmitSlots(UI::UIElement* const* slots, int first, int last, bool visible) {
    for (int slot = first; slot <= last; ++slot)
        if (slots[slot] != nullptr) slots[slot]->visible_ = visible;
}

bool IsValidEmail(const std::string& text) {
    if (text.empty()) return false;
    for (const char c : text) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit && c != '-' && c != '.' && c != '_' && c != '@') return false;
    }
    const size_t at = text.find('@');
    const size_t dot = text.rfind('.');
    if (at == std::string::npos || dot == std::string::npos) return false;
    return at <= dot && dot != at + 1 && at != 0 && dot != text.size() - 1;
}

void SubmitWindow::ShowStatusText(int slot) {
    ShowSubmitSlots(FormSlots, kSlotSending, kSlotIncorrectUserData, false);
    ShowSubmitSlots(FormSlots, slot, slot, true);
}

void SubmitWindow::ShowBusyFrame(int frame) {
    ShowSubmitSlots(FormSlots, kSlotBusyFirst, kSlotBusyFirst + 3, false);
    ShowSubmitSlots(FormSlots, kSlotBusyFirst + frame, kSlotBusyFirst + frame, true);
}

// A caption is hidden with its button only when the button is there.
void SubmitWindow::ShowButtonPair(int button, bool visible) {
    if (!visible && FormSlots[kSlotButtonFirst + button] == nullptr) return;
    ShowSubmitSlots(FormSlots, kSlotButtonFirst + button, kSlotButtonFirst + button, visible);
    ShowSubmitSlots(FormSlots, kSlotCaptionFirst + button, kSlotCaptionFirst + button, visible);
}

void SubmitWindow::SetSubmitFormState(int32_t state) {
    if (SubmitFormState == 0) ShowSubmitSlots(FormSlots, kSlotTextUseOnly, kSlotTextUseOnly, false);
    SubmitFormState = state;
    PlatformTrace("submit form state: %d", static_cast<int>(state));
    switch (state) {
        case 1:
        case 2:
            ShowStatusText(state == 1 ? kSlotIncorrectMail : kSlotIncorrectUserData);
            ShowSubmitSlots(FormSlots, kSlotCoverFirst, kSlotCoverFirst + 2, false);
            break;
        case 3:
            ShowStatusText(kSlotSending);
            ShowSubmitSlots(FormSlots, kSlotCoverFirst, kSlotCoverFirst + 2, true);
            break;
        case 4:
            ShowSubmitSlots(FormSlots, kSlotBusyFirst, kSlotBusyFirst + 3, false);
            ShowStatusText(kSlotSent);
            ShowButtonPair(0, false);
            ShowButtonPair(1, false);
            ShowButtonPair(2, true);
            ShowSubmitSlots(FormSlots, kSlotCoverFirst, kSlotCoverFirst + 2, false);
            break;
        case 5:
            ShowSubmitSlots(FormSlots, kSlotBusyFirst, kSlotBusyFirst + 3, false);
            ShowStatusText(kSlotFailure);
            ShowSubmitSlots(FormSlots, kSlotCoverFirst, kSlotCoverFirst + 2, false);
            break;
        default: break;
    }
}

void SubmitWindow::Update() {
    UI::UIWindowView::Update();
    if (SubmitFormState != 3) return;
    if (SubmitRequest && !SubmitRequest->IsRunning()) {
        const bool sent = Morvane::GameWindow::ParseSubmitReply(
            SubmitRequest->Succeeded(), SubmitRequest->GetUnusedText(), SubmitRequest->GetReply());
        SetSubmitFormState(sent ? 4 : 5);
        SubmitRequest.reset();
        return;
    }
    if (BusyFrameIndex == -1) {
        BusyFrameIndex = 0;
        BusyTimer = 0;
        ShowBusyFrame(0);
        return;
    }
    // One step a frame at most; a long frame's excess waits for the next.
    BusyTimer = static_cast<int32_t>(GetFrameDelta() * 1000.0f + static_cast<float>(BusyTimer));
    if (BusyTimer <= 100) return;
    BusyTimer -= 100;
    BusyFrameIndex = (BusyFrameIndex + 1) % 4;
    ShowBusyFrame(BusyFrameIndex);
}

// While a request runs the buttons are greyed: they only say so.
void SubmitWindow::PlayFormSound() {
    PlaySound(Visible(FormSlots[kSlotCoverFirst]) ? "btnunactive.wav" : "BtnPress.wav", true);
}

void SubmitWindow::OnSubmit(UI::UIElement*) {
    PlayFormSound();
    ShowSubmitSlots(FormSlots, kSlotNoConnection, kSlotNoConnection, false);
    if (!IsOnline()) {
        ShowSubmitSlots(FormSlots, kSlotNoConnection, kSlotNoConnection, true);
        return;
    }
    if (SubmitFormState == 3 || SubmitFormState == 4) return;
    const std::string name = NameField != nullptr ? NameField->GetText() : std::string();
    const std::string email = EmailField != nullptr ? EmailField->GetText() : std::string();
    if (!IsValidEmail(email)) {
        SetSubmitFormState(1);
        return;
    }
    if (name.empty()) {
        SetSubmitFormState(2);
        return;
    }
    // Remembered before the request, whatever becomes of it.
    RememberIdentity(name, email);
    SubmitRequest = Morvane::GameWindow::SubmitScore(name, email);
    SetSubmitFormState(SubmitRequest ? 3 : 6);
}

void SubmitWindow::OnCancel(UI::UIElement*) {
    PlayFormSound();
    if (SubmitFormState == 3) return;
    PendingButtonId = 1;
    StartFadeOut();
}

void SubmitWindow::OnFormEdited(UI::UIElement*) {
    if (SubmitFormState != 1 && SubmitFormState != 2 && SubmitFormState != 5 && SubmitFormState != 6) return;
    ShowSubmitSlots(FormSlots, kSlotSending, kSlotIncorrectUserData, false);
    ShowSubmitSlots(FormSlots, kSlotNoConnection, kSlotNoConnection, false);
}
