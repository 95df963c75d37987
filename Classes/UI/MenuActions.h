#pragma once
// What the menu windows' handlers do outside the window: the battle through
// the in-game window, the volumes through the settings, web pages, the banner.
// Each skips its step when the service it needs is missing.
#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <string>

class CNetThread;

namespace UI {
class UIElement;
class UISlider;
}  // namespace UI

// Esc went down this frame; the key is left for others to see.
bool EscapePressed();

// "btnunactive.wav": a control that is not available (the element is the target).
void PlayUnavailable(UI::UIElement* element, UI::UIElement* touched);
// The banner feed's image over the element, when the feed has an image and a link.
void ShowBanner(UI::UIElement* element);
// The configured web site.
void OpenWebsite();
// The link the banner feed received, whether or not its image came; the configured
// banner site when no link came.
void OpenBannerLink();

// A savegame to continue (the in-game window's test).
bool SavegameAvailable();
// GameWindow::StartGame (1: the saved battle, 0: a new one); false without the
// in-game window or when it fails.
bool StartBattle(int32_t continueFlag);
// Any battle the in-game window still holds goes.
void DestroyBattle();
// The battle leaves for the menu (its menu music starts); false without the in-game window.
bool QuitBattleToMenu();
// The running battle was continued from the savegame.
bool BattleIsRestored();

// The in-game window's account requests, for the login and registration
// layouts; empty without the in-game window.
boost::shared_ptr<CNetThread> SendLoginRequest(const std::string& login, const std::string& password);
boost::shared_ptr<CNetThread> SendRegistrationRequest(const std::string& login, const std::string& password,
                                                      const std::string& email, const std::string& firstName,
                                                      const std::string& lastName);

// The stored volume of the effects (sound) or the music; 1.0 without settings.
float StoredVolume(bool sound);
// A volume slider's handlers: the volume at once; the effects' with a click.
void SetSoundVolumeFromSlider(UI::UISlider* slider, float value);
void SetMusicVolumeFromSlider(UI::UISlider* slider, float value);
// "settings.dat" when the settings exist; its result does not stop anything.
void SaveGameSettings();

// The player name and e-mail of the last submission; empty without settings.
void RememberedIdentity(std::string& name, std::string& email);
// Both kept in the settings and "settings.dat" written, when the settings exist.
void RememberIdentity(const std::string& name, const std::string& email);

// "1" to "10": the map slots of the play window.
bool IsMapTestNumber(const std::string& text);
