// Stand-in until the menu flow exists (see StandInGameMachine.h).
#include "App/StandInGameMachine.h"

#include "Core/StandInTrace.h"
#include "Game/Cursors.h"
#include "Graphics/Draw2D.h"

IntroWindow::IntroWindow() {
    standin::Report("intro window entered");
    SelectCursor(0);
}

IntroWindow::~IntroWindow() { standin::Report("intro window left"); }

boost::statechart::result IntroWindow::react(const EvUpdate&) { return discard_event(); }

boost::statechart::result IntroWindow::react(const EvDraw&) {
    Graphics::Draw2D::Clear(Color(0, 0, 0));
    return discard_event();
}
