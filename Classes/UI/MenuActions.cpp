#include "Classes/UI/MenuActions.h"

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/GameWindow.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Online/BannerFeed.h"
#include "Core/Service.h"
#include "Game/GameAudio.h"
#include "Game/GameSettings.h"
#include "Graphics/Texture2D.h"
#include "shell/DeviceIdentity.h"
#include "shell/InputState.h"
#include "UI/UIElement.h"

bool EscapePressed() {
    const int kEscape = 56;
    return IsKeyPressed(GetInputState().keys, kEscape, false);
}

void PlayUnavailable(UI::UIElement*, UI::UIElement*) { PlaySound("btnunactive.wav", true); }

void ShowBanner(UI::UIElement* element) {
    const boost::shared_ptr<Graphics::Texture2D> image = TheBannerFeed().GetImage();
    const std::string link = TheBannerFeed().GetLink();
    if (!image || link.empty()) return;
    element->texture_ = image;
    element->size_ = Vector2(static_cast<float>(image->GetWidth()), static_cast<float>(image->GetHeight()));
    element->has_source_rect_ = false;
}

void OpenWebsite() {
    if (!Service<Config>::Exists()) return;
    const std::string& site = Service<Config>::Get()->Website.first;
    // A browser that does not start leaves the menu as it is.
    if (!site.empty()) OpenUrl(site);
}

void OpenBannerLink() {
    std::string link = TheBannerFeed().GetLink();
    if (link.empty()) {
        if (!Service<Config>::Exists()) return;
        link = Service<Config>::Get()->BannerSite.first;
    }
    if (!link.empty()) OpenUrl(link);
}

bool SavegameAvailable() {
    return Service<Morvane::GameWindow>::Exists() && Service<Morvane::GameWindow>::Get()->SavegameExists() != 0;
}

bool StartBattle(int32_t continueFlag) {
    return Service<Morvane::GameWindow>::Exists() && Service<Morvane::GameWindow>::Get()->StartGame(continueFlag) != 0;
}

void DestroyBattle() {
    if (Service<Morvane::GameWindow>::Exists()) Service<Morvane::GameWindow>::Get()->DestroyGame();
}

bool QuitBattleToMenu() {
    if (!Service<Morvane::GameWindow>::Exists()) return false;
    Service<Morvane::GameWindow>::Get()->QuitToMenu(0);
    return true;
}

bool BattleIsRestored() { return Service<CDunmarchGame>::Exists() && Service<CDunmarchGame>::Get()->IsRestored() != 0; }

boost::shared_ptr<CNetThread> SendLoginRequest(const std::string& login, const std::string& password) {
    if (!Service<Morvane::GameWindow>::Exists()) return boost::shared_ptr<CNetThread>();
    return Service<Morvane::GameWindow>::Get()->RequestLogin(login, password);
}

boost::shared_ptr<CNetThread> SendRegistrationRequest(const std::string& login, const std::string& password,
                                                      const std::string& email, const std::string& firstName,
                                                      const std::string& lastName) {
    if (!Service<Morvane::GameWindow>::Exists()) return boost::shared_ptr<CNetThread>();
    return Service<Morvane::GameWindow>::Get()->RequestRegistration(login, password, email, firstName, lastName);
}

float StoredVolume(bool sound) {
    if (!Service<GameSettings>::Exists()) return 1.0f;
    GameSettings* settings = Service<GameSettings>::Get();
    return sound ? settings->GetSoundVolume() : settings->GetMusicVolume();
}

void SetSoundVolumeFromSlider(UI::UISlider*, float value) {
    if (Service<GameSettings>::Exists()) Service<GameSettings>::Get()->SetSoundVolume(value);
    // Not restarted: a drag does not pile clicks up.
    PlaySound("BtnPress.wav", false);
}

void SetMusicVolumeFromSlider(UI::UISlider*, float value) {
    if (Service<GameSettings>::Exists()) Service<GameSettings>::Get()->SetMusicVolume(value);
}

void SaveGameSettings() {
    if (Service<GameSettings>::Exists()) Service<GameSettings>::Get()->Save();
}

void RememberedIdentity(std::string& name, std::string& email) {
    name.clear();
    email.clear();
    if (!Service<GameSettings>::Exists()) return;
    name = Service<GameSettings>::Get()->GetPlayerName();
    email = Service<GameSettings>::Get()->GetEmail();
}

void RememberIdentity(const std::string& name, const std::string& email) {
    if (!Service<GameSettings>::Exists()) return;
    GameSettings* settings = Service<GameSettings>::Get();
    settings->SetPlayerName(name);
    settings->SetEmail(email);
    settings->Save();
}

bool IsMapTestNumber(const std::string& text) {
    for (int n = 1; n <= 10; ++n)
        if (text == std::to_string(n)) return true;
    return false;
}
