#include "Classes/UI/LoadingWindow.h"

#include "Classes/UI/MenuStates.h"
#include "Core/Assert.h"
#include "Game/Cursors.h"
#include "Game/GameAudio.h"

LoadingWindow::LoadingWindow() {
    PlayMainMenuMusic();
    SelectCursor(-1);
    loader_.reset(new LoaderTurns());
    const LoaderTurns::Result started = loader_->Start();
    DM_ASSERT(started != LoaderTurns::kTurnFailed, "Could not resume thread");
}

LoadingWindow::~LoadingWindow() { loader_.reset(); }

void LoadingWindow::Update() {
    UI::UIWindowView::Update();
    if (LoadingFinished.load() != 0) {
        if (load_bar_ != nullptr) load_bar_->visible_ = false;
        if (start_button_ != nullptr) start_button_->visible_ = true;
        if (start_text_ != nullptr) start_text_->visible_ = true;
        SelectCursor(0);
    } else if (load_bar_ != nullptr) {
        load_bar_->value_ = static_cast<float>(LoadingProgress.load()) / 100.0f;
    }
}

void LoadingWindow::Draw() {
    UI::UIWindowView::Draw();
    if (!loader_) return;
    const LoaderTurns::Result turn = loader_->Turn();
    DM_ASSERT(turn != LoaderTurns::kTurnFailed, "Could not resume thread");
}

void LoadingWindow::OnStartPressed(UI::UIElement*) {
    PlaySound("BtnPress.wav", true);
    post_event(EvLoadingFinised());
}
