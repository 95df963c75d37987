#pragma once
// The key-down and key-up handler lists: each handler is called with its
// target and the program key code.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Core/Delegate.h"

using KeyHandler = Delegate<int32_t>;

// An ordered list of handlers. A handler removed while the list fires is not
// called any more, also within that firing; one added while it fires is first
// called by the next firing. A handler's target removes it before the target
// is destroyed.
class KeyHandlerList {
public:
    void Add(const KeyHandler& handler);
    void RemoveLast();
    // Removes every entry equal to the handler / every entry of the target.
    void Remove(const KeyHandler& handler);
    void RemoveTarget(const void* target);
    size_t Count() const;
    void Fire(int32_t keyCode);
    void Clear();

private:
    void Compact();

    std::vector<KeyHandler> entries_;
    int firing_ = 0;
    bool has_removed_ = false;
};

extern KeyHandlerList KeyDownListeners;
extern KeyHandlerList KeyUpListeners;
