// Music and sounds by name through the loaders and the audio device the game
// registers, the settings' volumes, and sounds stopped when they are unloaded.
#include <gtest/gtest.h>

#include "App/CGame.h"
#include "Audio/StandInAudioDevice.h"
#include "Audio/StandInSound.h"
#include "Core/Assert.h"
#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Game/GameAudio.h"
#include "GameFixture.h"

namespace {

void IgnoreAssertion(const char*, const char*, const char*, int) {}

class GameAudioTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        previous_handler_ = SetAssertionHandler(&IgnoreAssertion);
    }
    void TearDown() override {
        SetAssertionHandler(previous_handler_);
        GameTest::TearDown();
    }

    AssertionHandler previous_handler_ = nullptr;
};

TEST_F(GameAudioTest, WithoutTheGameServicesNothingPlays) {
    EXPECT_FALSE(PlaySound("BtnPress.wav", true));
    EXPECT_FALSE(PlayMusic("MainMenuOGG.ogg"));
    EXPECT_FALSE(StopMusic());
    EXPECT_TRUE(boxes_.Shown().empty());
}

TEST_F(GameAudioTest, SoundsPlayOnceOnTheEffectsGroup) {
    game_->RunInitialize();
    Audio::AudioDevice* device = game_->GetAudioDevice();
    game_->GetSettings().SetSoundVolume(0.5f);

    EXPECT_TRUE(PlaySound("BtnPress.wav", false));
    EXPECT_TRUE(PlaySound("btnpress.wav", false));  // already playing: nothing more
    ASSERT_EQ(device->GetPlaying().size(), 1u);
    EXPECT_TRUE(PlaySound("BtnPress.wav", true));  // a second instance
    ASSERT_EQ(device->GetPlaying().size(), 2u);
    for (const Audio::AudioDevice::Playing& p : device->GetPlaying()) {
        EXPECT_EQ(p.group, 0);
        EXPECT_EQ(p.gain, 0.5f);
        EXPECT_FALSE(p.looped);
    }
    EXPECT_FALSE(PlaySound("no_such_sound.wav", true));
    EXPECT_EQ(device->GetPlaying().size(), 2u);
}

TEST_F(GameAudioTest, MusicLoopsOnTheMusicGroupUntilStopped) {
    game_->RunInitialize();
    Audio::AudioDevice* device = game_->GetAudioDevice();
    game_->GetSettings().SetMusicVolume(0.75f);

    PlayMainMenuMusic();
    EXPECT_TRUE(PlayMusic("mainmenuogg.ogg"));  // the playing track: nothing more
    ASSERT_EQ(device->GetPlaying().size(), 1u);
    const Audio::AudioDevice::Playing& menu = device->GetPlaying().front();
    EXPECT_EQ(menu.group, 1);
    EXPECT_EQ(menu.gain, 0.75f);
    EXPECT_TRUE(menu.looped);
    // Another track starts alongside.
    EXPECT_TRUE(PlayMusic("Harrowmere.ogg"));
    EXPECT_EQ(device->GetPlaying().size(), 2u);
    device->Update();
    EXPECT_EQ(device->GetPlaying().size(), 2u);

    EXPECT_TRUE(StopMusic());
    device->Update();
    EXPECT_TRUE(device->GetPlaying().empty());
    EXPECT_FALSE(PlayMusic("no_such_track.ogg"));
}

TEST_F(GameAudioTest, UnloadingStopsAPlayingSound) {
    game_->RunInitialize();
    Audio::AudioDevice* device = game_->GetAudioDevice();
    ASSERT_TRUE(PlayMusic("MainMenuOGG.ogg"));
    ASSERT_TRUE(PlaySound("BtnPress.wav", false));
    game_->UnloadAllContent();
    for (const Audio::AudioDevice::Playing& p : device->GetPlaying()) {
        EXPECT_NE(p.state, AL_PLAYING);
        EXPECT_FALSE(p.sound->IsLoaded());
    }
    EXPECT_TRUE(Service<Content::ContentLoader<Audio::SoundStream>>::Get()->GetCache().empty());
}

}  // namespace
