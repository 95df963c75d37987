#include "Classes/UI/LanguageWindow.h"

#include "Classes/Battle/HudTables.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Loading/GlobalFonts.h"
#include "Classes/UI/MenuStates.h"
#include "Core/Language.h"
#include "Core/ProcessGlobals.h"
#include "Core/Service.h"
#include "Game/Cursors.h"
#include "Game/GameAudio.h"
#include "Game/GameInterface.h"
#include "Graphics/GraphicsDevice.h"

std::string LanguageFilePath(const char* file) {
    const std::string folder = Service<Config>::Exists() ? Service<Config>::Get()->Paths.LanguagePath : std::string();
    return folder + file;
}

LanguageWindow::LanguageWindow() { SelectCursor(0); }

void LanguageWindow::OnButton() { post_event(EvLangPressed()); }

void LanguageWindow::OnLanguagePressed(UI::UIElement* button) {
    PlaySound("BtnPress.wav", true);
    for (int code = kEnglish; code <= kJapanese; ++code) {
        const LanguageInfo* language = FindLanguage(code);
        if (language != nullptr && button->name_ == language->button) {
            LoadLanguageFile(code, LanguageFilePath(language->file));
            break;
        }
    }
    LoadGlobalFonts();
    if (Game::GameInterface* game = outermost_context().GetGame()) game->OnLanguageChanged();
    SetActiveRendererBinding(
        Service<Graphics::GraphicsDevice>::Exists() ? Service<Graphics::GraphicsDevice>::Get() : nullptr, LargeFont);
    StartFadeOut();
}
