#include "Classes/UI/IntroWindow.h"

#include <cstdio>

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Loading/GlobalFonts.h"
#include "Classes/UI/MenuStates.h"
#include "Core/Language.h"
#include "Core/RegistryLanguage.h"
#include "Core/Service.h"
#include "Game/Cursors.h"
#include "Graphics/Draw2D.h"
#include "Graphics/GraphicsDevice.h"
#include "shell/InputState.h"
#include "Video/VideoPlayer.h"

namespace {

const int kSpaceKey = 57;
const int kEscKey = 56;

}  // namespace

IntroWindow::IntroWindow() : video_player_(new VideoPlayer()) {}

IntroWindow::~IntroWindow() { video_player_.reset(); }

void IntroWindow::Update() {
    UI::UIWindowView::Update();
    if (IntroPhase == 0) {
        if (OpenVideo(kClip)) IntroPhase = 1;
        else ChooseLanguage();
    } else if (IntroPhase == 1) {
        // The clip restarts by itself at its end: its position goes back.
        const float position = video_player_ ? video_player_->GetTimePosition() : 0.0f;
        if (position < LastVideoTime) ChooseLanguage();
        LastVideoTime = position;
        int32_t* keys = GetInputState().keys;
        if (IsKeyPressed(keys, kSpaceKey, true) || IsKeyPressed(keys, kEscKey, true)) ChooseLanguage();
    }
}

void IntroWindow::DrawOverlay() {
    if (!video_player_) return;
    video_player_->Update();
    video_player_->UploadFrame();
    Graphics::Draw2D::Begin();
    if (video_element_ != nullptr)
        video_player_->Draw(video_element_->position_.x, video_element_->position_.y, video_element_->size_.x,
                            video_element_->size_.y);
    Graphics::Draw2D::End();
}

bool IntroWindow::OpenVideo(const std::string& file) {
    // The clip's texture needs the device.
    if (!video_player_ || !Service<Graphics::GraphicsDevice>::Exists()) return false;
    const std::string folder = Service<Config>::Exists() ? Service<Config>::Get()->Paths.VideosPath : std::string();
    return video_player_->Open(Service<Graphics::GraphicsDevice>::Get(), folder + file);
}

void IntroWindow::ChooseLanguage() {
    const int code = ReadLanguageFromRegistry(kLanguageRegistryKey, kLanguageRegistryValue);
    if (code == kNoLanguage) {
        post_event(EvBackPressed());
        return;
    }
    if (const LanguageInfo* language = FindLanguage(code)) {
        LoadLanguageFile(code, LanguageFilePath(language->file));
        std::fputs(language->message, stdout);
        std::fflush(stdout);
        LoadGlobalFonts();
    }
    post_event(EvSkipLangChoose());
    SelectCursor(0);
}
