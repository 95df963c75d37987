#pragma once
// A menu window and its controller as one object: the view with its elements
// and the controller (instantiated for the window type) whose handlers reach the
// window by converting themselves to it. Adds nothing of its own.
#include "UI/UIWindowView.h"

namespace UI {

template <class W, template <class> class Controller>
class UIWindowFacade : public UIWindowView, public Controller<W> {};

}  // namespace UI
