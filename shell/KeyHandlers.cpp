#include "shell/KeyHandlers.h"

#include <algorithm>

KeyHandlerList KeyDownListeners;
KeyHandlerList KeyUpListeners;

void KeyHandlerList::Add(const KeyHandler& handler) { entries_.push_back(handler); }

void KeyHandlerList::RemoveLast() {
    // The last entry still in the list (entries removed during a firing wait
    // for compaction as unbound placeholders).
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (!it->IsBound()) continue;
        it->Reset();
        has_removed_ = true;
        break;
    }
    Compact();
}

void KeyHandlerList::Remove(const KeyHandler& handler) {
    for (KeyHandler& e : entries_) {
        if (e.IsBound() && e == handler) {
            e.Reset();
            has_removed_ = true;
        }
    }
    Compact();
}

void KeyHandlerList::RemoveTarget(const void* target) {
    for (KeyHandler& e : entries_) {
        if (e.IsBound() && e.GetTarget() == target) {
            e.Reset();
            has_removed_ = true;
        }
    }
    Compact();
}

size_t KeyHandlerList::Count() const {
    return static_cast<size_t>(
        std::count_if(entries_.begin(), entries_.end(), [](const KeyHandler& e) { return e.IsBound(); }));
}

void KeyHandlerList::Fire(int32_t keyCode) {
    ++firing_;
    const size_t count = entries_.size();  // later additions wait for the next firing
    for (size_t i = 0; i < count && i < entries_.size(); ++i) {
        const KeyHandler handler = entries_[i];
        handler(keyCode);  // an unbound (removed) entry does nothing
    }
    --firing_;
    Compact();
}

void KeyHandlerList::Clear() {
    for (KeyHandler& e : entries_) e.Reset();
    has_removed_ = true;
    Compact();
}

void KeyHandlerList::Compact() {
    if (firing_ > 0 || !has_removed_) return;
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [](const KeyHandler& e) { return !e.IsBound(); }),
                   entries_.end());
    has_removed_ = false;
}
