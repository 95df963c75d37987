#include "Core/KeyboardListeners.h"

#include <algorithm>

void KeyboardListenerList::Add(const KeyboardListener& listener) { entries_.push_back(listener); }

void KeyboardListenerList::Remove(const KeyboardListener& listener) {
    for (KeyboardListener& entry : entries_) {
        if (entry.IsBound() && entry == listener) {
            entry.Reset();
            has_removed_ = true;
        }
    }
    Compact();
}

void KeyboardListenerList::RemoveTarget(const void* target) {
    for (KeyboardListener& entry : entries_) {
        if (entry.IsBound() && entry.GetTarget() == target) {
            entry.Reset();
            has_removed_ = true;
        }
    }
    Compact();
}

bool KeyboardListenerList::HasListeners() const { return Count() != 0; }

size_t KeyboardListenerList::Count() const {
    return static_cast<size_t>(
        std::count_if(entries_.begin(), entries_.end(), [](const KeyboardListener& e) { return e.IsBound(); }));
}

void KeyboardListenerList::Fire(uint16_t character, int32_t keyCode) {
    // By index: a listener may add or remove entries (a key that closes a
    // window destroys its labels). Removed entries are reset in place until
    // the outermost firing ends.
    const size_t count = entries_.size();
    ++firing_;
    for (size_t i = 0; i < count && i < entries_.size(); ++i) {
        KeyboardListener listener = entries_[i];
        listener(character, keyCode);
    }
    --firing_;
    Compact();
}

void KeyboardListenerList::Clear() {
    for (KeyboardListener& entry : entries_) entry.Reset();
    has_removed_ = true;
    Compact();
}

void KeyboardListenerList::Compact() {
    if (firing_ != 0 || !has_removed_) return;
    entries_.erase(
        std::remove_if(entries_.begin(), entries_.end(), [](const KeyboardListener& e) { return !e.IsBound(); }),
        entries_.end());
    has_removed_ = false;
}

KeyboardListenerList& GetKeyboardListeners() {
    static KeyboardListenerList list;
    return list;
}

KeyboardListenerList& GetSecondaryKeyboardListeners() {
    static KeyboardListenerList list;
    return list;
}

void AddKeyboardListener(const KeyboardListener& listener) { GetKeyboardListeners().Add(listener); }

void RemoveKeyboardListener(const KeyboardListener& listener) { GetKeyboardListeners().Remove(listener); }

void RemoveKeyboardListeners(const void* target) { GetKeyboardListeners().RemoveTarget(target); }

bool HasKeyboardListeners() { return GetKeyboardListeners().HasListeners(); }

void FireKeyboardListeners(uint16_t character, int32_t keyCode) { GetKeyboardListeners().Fire(character, keyCode); }
