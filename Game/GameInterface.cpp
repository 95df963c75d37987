#include "Game/GameInterface.h"

#include <cstdio>
#include <string>

#include "Audio/AudioDevice.h"
#include "Core/Service.h"
#include "Game/Cursors.h"
#include "Graphics/Draw2D.h"
#include "Graphics/SpriteFont.h"

namespace Game {

namespace {

GameInterface* g_game_interface = nullptr;

}  // namespace

GameInterface* GetGameInterface() { return g_game_interface; }

void SetGameInterface(GameInterface* game) { g_game_interface = game; }

void GameInterface::UpdateAudio() {
    if (Service<Audio::AudioDevice>::Exists()) Service<Audio::AudioDevice>::Get()->Update();
}

void GameInterface::DrawCursor() { ::DrawCursor(); }

void GameInterface::DrawFps() {
    if (!show_fps_ || !fps_font_) return;
    char text[64];
    std::snprintf(text, sizeof text, "FPS: %4.1f, %4.1f", last_second_fps_, fps_);
    Graphics::Draw2D::Begin();
    Graphics::Draw2D::DrawText(fps_font_, fps_x_, fps_y_, std::string(text));
    Graphics::Draw2D::End();
}

}  // namespace Game
