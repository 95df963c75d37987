#pragma once
// The keyboard listener list through which the window procedure reaches text
// input fields: each listener is called with (character, program key code).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Core/Delegate.h"

using KeyboardListener = Delegate<uint16_t, int32_t>;

// An ordered list of listeners. A listener removed while the list fires is
// not called any more, also within that same firing; one added while it
// fires is first called by the next firing.
class KeyboardListenerList {
public:
    void Add(const KeyboardListener& listener);
    // Removes every entry equal to the listener, or every entry of the target.
    void Remove(const KeyboardListener& listener);
    void RemoveTarget(const void* target);
    bool HasListeners() const;
    size_t Count() const;
    void Fire(uint16_t character, int32_t keyCode);
    void Clear();

private:
    void Compact();

    std::vector<KeyboardListener> entries_;
    int firing_ = 0;
    bool has_removed_ = false;
};

// The keyboard listener list of the process.
KeyboardListenerList& GetKeyboardListeners();
// A second list of the same kind; nothing adds to it or fires it.
KeyboardListenerList& GetSecondaryKeyboardListeners();

void AddKeyboardListener(const KeyboardListener& listener);
// A listener's target calls one of these before it is destroyed, so that the
// list never calls into a destroyed object.
void RemoveKeyboardListener(const KeyboardListener& listener);
void RemoveKeyboardListeners(const void* target);
bool HasKeyboardListeners();
// Calls each listener in the order they were added.
void FireKeyboardListeners(uint16_t character, int32_t keyCode);
