#pragma once
// The controllers of the menu windows: each loads its window's layout and binds
// handlers to the elements it knows by name (exact, case-sensitive; the first
// name of the controller's list that matches decides). A controller is a base
// of its window, instantiated with the window type. It binds while the window
// is being built: it walks the view and keeps the window only as the target of
// its handlers, which run once the window is complete.
#include <cstdio>
#include <string>

#include "Classes/UI/MenuActions.h"
#include "Classes/UI/WindowControllers.h"
#include "UI/UIElement.h"
#include "UI/UILabel.h"

// "Continue" and its inactive look, as the main menu and the play window
// have them: decided once, when the window is built.
template <class W>
bool BindContinue(W* window, UI::UIElement* element, bool savegame) {
    if (element->name_ == "Continue") {
        if (savegame) BindRelease<&W::OnContinue>(window, element);
        else element->release_handler_ = UI::UIElement::Handler::FromFunction<&PlayUnavailable>(element);
        return true;
    }
    if (element->name_ == "ContinueInActive_in") {
        if (savegame) element->visible_ = false;
        return true;
    }
    return false;
}

template <class W>
struct MainWindowController {
    void BindLayout(UI::UIWindowView& view, W* window) {
        LoadWindowLayout(view, W::kLayout);
        const bool savegame = SavegameAvailable();
        for (UI::UIElement* element : view) {
            const std::string& name = element->name_;
            if (name == "Play") BindLeave<1>(window, element);
            else if (BindContinue(window, element, savegame)) continue;
            else if (name == "Settings") BindLeave<3>(window, element);
            else if (name == "More") BindRelease<&W::OnMore>(window, element);
            else if (name == "Banner") {
                BindRelease<&W::OnBanner>(window, element);
                ShowBanner(element);
            } else if (name == "Quit") BindRelease<&W::OnQuit>(window, element);
            else if (name == "Info") BindLeave<4>(window, element);
        }
        // No battle outlives a visit of the menu.
        DestroyBattle();
    }
};

template <class W>
struct ControlsWindowController {
    void BindLayout(UI::UIWindowView& view, W* window) {
        LoadWindowLayout(view, W::kLayout);
        for (UI::UIElement* element : view)
            if (element->name_ == "background") BindRelease<&W::OnStart>(window, element);
    }
};

template <class W>
struct ScoreWindowController {
    void BindLayout(UI::UIWindowView& view, W* window) {
        LoadWindowLayout(view, W::kLayout);
        for (UI::UIElement* element : view) {
            if (element->name_ == "Yes") BindLeave<1>(window, element);
            if (element->name_ == "No") BindLeave<2>(window, element);
        }
    }
};

// The score submission form's elements by slot; slot 14 has no element.
enum SubmitSlot {
    kSlotSending = 0,
    kSlotSent = 1,
    kSlotFailure = 2,
    kSlotIncorrectMail = 3,
    kSlotIncorrectUserData = 4,
    kSlotBusyFirst = 5,    // four frames
    kSlotButtonFirst = 9,  // "Submit", "Cancel", "OK"
    kSlotCoverFirst = 12,  // greyed looks of the three buttons
    kSlotCaptionFirst = 15,
    kSlotNoConnection = 18,
    kSlotTextUseOnly = 19,
    kSubmitSlotCount = 20,
};

// The slot an element name fills, -1 for none.
int SubmitSlotOf(const std::string& name);
// Shows or hides the bound slots first..last (null ones are skipped).
void ShowSubmitSlots(UI::UIElement* const* slots, int first, int last, bool visible);

// The form: the two fields and the 20 slots by name, the handlers of the
// buttons and fields, and the fields filled with the identity remembered from
// the last submission.
template <class W>
struct SubmitWindowController {
    void BindLayout(UI::UIWindowView& view, W* window) {
        NameField = nullptr;
        EmailField = nullptr;
        for (UI::UIElement*& slot : FormSlots) slot = nullptr;
        LoadWindowLayout(view, W::kLayout);
        for (UI::UIElement* element : view) {
            const std::string& name = element->name_;
            if (name == "Name" || name == "E-mail") {
                UI::UILabel* field = dynamic_cast<UI::UILabel*>(element);
                if (field == nullptr) continue;
                (name == "Name" ? NameField : EmailField) = field;
                field->edit_handler_ = UI::UIElement::Handler::FromMethod<&W::OnFormEdited>(window);
                continue;
            }
            const int slot = SubmitSlotOf(name);
            if (slot < 0) continue;
            FormSlots[slot] = element;
            if (slot == kSlotButtonFirst) BindRelease<&W::OnSubmit>(window, element);
            if (slot == kSlotButtonFirst + 1) BindRelease<&W::OnCancel>(window, element);
            if (slot == kSlotButtonFirst + 2) BindLeave<2>(window, element);
        }
        ShowSubmitSlots(FormSlots, kSlotSending, kSlotIncorrectUserData, false);
        ShowSubmitSlots(FormSlots, kSlotBusyFirst, kSlotBusyFirst + 3, false);
        ShowSubmitSlots(FormSlots, kSlotButtonFirst + 2, kSlotButtonFirst + 2, false);
        ShowSubmitSlots(FormSlots, kSlotCaptionFirst + 2, kSlotCaptionFirst + 2, false);
        ShowSubmitSlots(FormSlots, kSlotCoverFirst, kSlotCoverFirst + 2, false);
        ShowSubmitSlots(FormSlots, kSlotNoConnection, kSlotNoConnection, false);
        std::string name, email;
        RememberedIdentity(name, email);
        if (NameField != nullptr) NameField->SetText(name, 0);
        if (EmailField != nullptr) EmailField->SetText(email, 0);
    }

    UI::UILabel* NameField = nullptr;
    UI::UILabel* EmailField = nullptr;
    UI::UIElement* FormSlots[kSubmitSlotCount] = {};
};

template <class W>
struct InGameQuitWindowController {
    void BindLayout(UI::UIWindowView& view, W* window) {
        LoadWindowLayout(view, W::kLayout);
        const bool warn = !BattleIsRestored();
        for (UI::UIElement* element : view) {
            const std::string& name = element->name_;
            if (name == "Yes") BindRelease<&W::OnYes>(window, element);
            else if (name == "No") BindRelease<&W::OnNo>(window, element);
            else if (name == "NoSubmitionAfterExiting_txt" || name == "background_text") element->visible_ = warn;
        }
    }
};

template <class W>
struct SettingsWindowController {
    void BindLayout(UI::UIWindowView& view, W* window) {
        LoadWindowLayout(view, W::kLayout);
        for (UI::UIElement* element : view) {
            const std::string& name = element->name_;
            if (name == "Back") BindRelease<&W::OnBack>(window, element);
            else BindVolumeSlider(element);
        }
    }
};

template <class W>
struct HelpWindowController {
    void BindLayout(UI::UIWindowView& view, W* window) {
        LoadWindowLayout(view, W::kLayout);
        for (UI::UIElement* element : view) {
            const std::string& name = element->name_;
            if (name == "Back") BindLeave<1>(window, element);
            else if (name == "Tutorial") BindLeave<2>(window, element);
            else if (name == "Credits") BindLeave<3>(window, element);
            else if (name == "Tournament") BindLeave<4>(window, element);
        }
    }
};

// The pages below the help window know only "Back".
template <class W>
struct HelpPageController {
    void BindLayout(UI::UIWindowView& view, W* window) {
        LoadWindowLayout(view, W::kLayout);
        for (UI::UIElement* element : view)
            if (element->name_ == "Back") BindLeave<1>(window, element);
    }
};

// The number n of an overlay name "View<n>..." (its page, from 1); 0 when the
// name is no overlay's ("Viewer..." pages included) or n is out of reach.
int TutorialOverlayPage(const std::string& name);

// The tutorial's picture pages ("Viewer..." in layout order, at most 64), the
// overlays of each page ("View<n>_...") and the page counter "PageNum". It
// opens at the last page the layout shows.
template <class W>
struct TutorialWindowController {
    static constexpr int kMaxPages = 64;

    void BindLayout(UI::UIWindowView& view, W* window) {
        page_count_ = 0;
        current_page_ = 0;
        previous_page_ = -1;
        pages_[0] = nullptr;
        page_counter_ = nullptr;
        LoadWindowLayout(view, W::kLayout);
        for (UI::UIElement* element : view) {
            const std::string& name = element->name_;
            if (name == "Back") BindLeave<1>(window, element);
            if (name == "Next") BindRelease<&W::OnNext>(window, element);
            if (name == "Prev") BindRelease<&W::OnPrev>(window, element);
            if (name == "PageNum") page_counter_ = element;
            if (name.compare(0, 6, "Viewer") == 0 && page_count_ < kMaxPages) {
                if (element->visible_) current_page_ = page_count_;
                pages_[page_count_++] = element;
            }
            // Decided with the page known so far; the first turn puts it right.
            if (const int page = TutorialOverlayPage(name)) element->visible_ = page == current_page_ + 1;
        }
        UpdatePageNumber();
    }

    int PageCount() const { return page_count_; }
    int CurrentPage() const { return current_page_; }

    // A page on (+1) or back (-1), wrapping both ways; the pages' overlays go with them.
    static void TurnPage(W& window, int delta) {
        TutorialWindowController& self = window;
        if (self.page_count_ == 0) return;
        self.previous_page_ = self.current_page_;
        self.current_page_ = (delta + self.current_page_ + self.page_count_) % self.page_count_;
        self.pages_[self.previous_page_]->visible_ = false;
        self.pages_[self.current_page_]->visible_ = true;
        for (UI::UIElement* element : window)
            if (TutorialOverlayPage(element->name_) == self.previous_page_ + 1) element->visible_ = false;
        for (UI::UIElement* element : window)
            if (TutorialOverlayPage(element->name_) == self.current_page_ + 1) element->visible_ = true;
        self.UpdatePageNumber();
    }

    void UpdatePageNumber() {
        UI::UILabel* label = dynamic_cast<UI::UILabel*>(page_counter_);
        if (label == nullptr) return;
        char text[32];
        std::snprintf(text, sizeof text, "%2d/%d", current_page_ + 1, page_count_);
        label->SetText(std::string(text), 0);
    }

private:
    UI::UIElement* pages_[kMaxPages] = {};
    int current_page_ = 0;
    int previous_page_ = -1;
    int page_count_ = 0;
    UI::UIElement* page_counter_ = nullptr;
};
template <class W>
using CreditsWindowController = HelpPageController<W>;
template <class W>
using TournamentWindowController = HelpPageController<W>;

template <class W>
struct PlayWindowController {
    void BindLayout(UI::UIWindowView& view, W* window) {
        LoadWindowLayout(view, W::kLayout);
        const bool savegame = SavegameAvailable();
        for (UI::UIElement* element : view) {
            const std::string& name = element->name_;
            if (name == "NewGame") BindRelease<&W::OnNewGame>(window, element);
            else if (BindContinue(window, element, savegame)) continue;
            else if (name == "Back") BindLeave<3>(window, element);
            else if (name.compare(0, 8, "_MapTest") == 0 && IsMapTestNumber(name.substr(8))) element->visible_ = false;
        }
    }
};
