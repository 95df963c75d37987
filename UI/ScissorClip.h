#pragma once
// Clips what is drawn while it lives to a rectangle of the virtual screen,
// through the device's scissor test. Clips nest: an inner clip is cut to the
// outer one and gives the outer rectangle back when it ends, so a clipped
// label inside a message box stays within the box's frame. Main thread only.
#include "platform/d3d9/d3d9.h"

namespace UI {

class ScissorClip {
public:
    // The corners are truncated to whole units.
    ScissorClip(float left, float top, float right, float bottom);
    ~ScissorClip();
    ScissorClip(const ScissorClip&) = delete;
    ScissorClip& operator=(const ScissorClip&) = delete;

private:
    IDirect3DDevice9* device_ = nullptr;
    RECT rect_ = {};
    ScissorClip* outer_ = nullptr;
};

}  // namespace UI
