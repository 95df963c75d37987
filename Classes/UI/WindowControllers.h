#pragma once
// What every window controller shares: the layout named after the window, read
// from the configured "ui" folder, and the handlers it binds to elements by
// name. A handler reaches its window by the controller's fixed relation to it
// (the controller is a base of the window).
#include <cstdint>

#include "Game/GameAudio.h"
#include "UI/UIElement.h"
#include "UI/UIWindowView.h"

// Appends the widgets of the layout file (the "ui" folder of the configuration
// joined with the file name) to the window.
void LoadWindowLayout(UI::UIWindowView& window, const char* file);

// The usual button handler: the click (restarted), the id, the fade-out.
template <int32_t Id, class W>
void LeaveWithId(W* window, UI::UIElement*) {
    if (window->HandlersClosed) return;
    PlaySound("BtnPress.wav", true);
    window->PendingButtonId = Id;
    window->StartFadeOut();
}

template <int32_t Id, class W>
void BindLeave(W* window, UI::UIElement* element) {
    element->release_handler_ = UI::UIElement::Handler::FromFunction<&LeaveWithId<Id, W>>(window);
}

// A member of the window or of its controller as the element's release handler.
template <auto Handler, class W>
void BindRelease(W* window, UI::UIElement* element) {
    element->release_handler_ = UI::UIElement::Handler::FromMethod<Handler>(window);
}

// "SFX_vol" and "Music_vol": a slider of that name shows the stored volume
// and sets it as it moves. False for any other element.
bool BindVolumeSlider(UI::UIElement* element);

// The window's button action for windows whose ids 1, 2, ... post the events
// in that order: the event of the pending id (none for another id), and the
// id is reset.
template <class... Events, class W>
void PostEventOfId(W& window) {
    int32_t id = 0;
    ((++id == window.PendingButtonId ? (window.post_event(Events()), true) : false) || ...);
    window.PendingButtonId = 0;
}

// "Continue" with a savegame: the saved battle is restored (and its file
// deleted); only then the id and the fade-out.
template <int32_t Id, class W>
void ContinueSavedBattle(W* window, bool (*start)(int32_t)) {
    if (window->HandlersClosed) return;
    PlaySound("BtnPress.wav", true);
    if (!start(1)) return;
    window->HandlersClosed = true;
    window->PendingButtonId = Id;
    window->StartFadeOut();
}
