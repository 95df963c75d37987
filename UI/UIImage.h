#pragma once
// The plain picture widget: the element with its texture, the alpha pulse and
// the fade effect. It never consumes a touch.
#include "UI/UIElement.h"

namespace UI {

class UIImage : public UIElement {
public:
    void Draw() override;
};

}  // namespace UI
