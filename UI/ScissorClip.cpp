#include "UI/ScissorClip.h"

#include <algorithm>
#include <cmath>

#include "Core/Service.h"
#include "Graphics/GraphicsDevice.h"

namespace UI {

namespace {

ScissorClip* g_innermost = nullptr;

// Truncated toward zero, held inside the range a RECT edge can take.
LONG Edge(float value) {
    if (std::isnan(value)) return 0;
    const double whole = std::trunc(static_cast<double>(value));
    return static_cast<LONG>(std::clamp(whole, -1.0e9, 1.0e9));
}

}  // namespace

ScissorClip::ScissorClip(float left, float top, float right, float bottom) {
    if (Service<Graphics::GraphicsDevice>::Exists()) device_ = Service<Graphics::GraphicsDevice>::Get()->GetDevice();
    rect_ = {Edge(left), Edge(top), Edge(right), Edge(bottom)};
    outer_ = g_innermost;
    if (outer_ != nullptr) {
        const RECT& outer = outer_->rect_;
        rect_.left = std::max(rect_.left, outer.left);
        rect_.top = std::max(rect_.top, outer.top);
        rect_.right = std::min(rect_.right, outer.right);
        rect_.bottom = std::min(rect_.bottom, outer.bottom);
    }
    // An empty intersection clips everything away.
    rect_.right = std::max(rect_.right, rect_.left);
    rect_.bottom = std::max(rect_.bottom, rect_.top);
    g_innermost = this;
    if (device_ == nullptr) return;
    device_->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
    device_->SetScissorRect(&rect_);
}

ScissorClip::~ScissorClip() {
    g_innermost = outer_;
    if (device_ == nullptr) return;
    if (outer_ != nullptr) device_->SetScissorRect(&outer_->rect_);
    else device_->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
}

}  // namespace UI
