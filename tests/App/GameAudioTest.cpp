// Music and sounds by name through the loaders and the audio device the game
// registers, the settings' volumes, and sounds stopped when they are unloaded.
#include <gtest/gtest.h>

#include <vector>

#include "App/CGame.h"
#include "Audio/AudioDevice.h"
#include "Audio/PlayingSound.h"
#include "Audio/SoundStream.h"
#include "Core/Assert.h"
#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Game/GameAudio.h"
#include "GameFixture.h"

namespace {

void IgnoreAssertion(const char*, const char*, const char*, int) {}

float GainOf(const Audio::PlayingSound* entry) {
    ALfloat gain = -1.0f;
    alGetSourcef(entry->GetSource(), AL_GAIN, &gain);
    return gain;
}

std::vector<const Audio::PlayingSound*> Entries(const Audio::AudioDevice* device) {
    std::vector<const Audio::PlayingSound*> entries;
    for (const Audio::PlayingSound* e = device->GetFirst(); e; e = e->GetNext()) entries.push_back(e);
    return entries;
}

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

    // Plays on for the seconds, a frame at a time, as the shell's frames do.
    void PlayFor(double seconds) {
        for (int frame = 0; frame < seconds * 60; ++frame) {
            Audio::LoopbackAudio::Render(Audio::LoopbackAudio::kFrameSamples);
            game_->UpdateAudio();
        }
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
    ASSERT_TRUE(device->IsInitialized());
    game_->GetSettings().SetSoundVolume(0.5f);

    EXPECT_TRUE(PlaySound("BtnPress.wav", false));
    EXPECT_TRUE(PlaySound("btnpress.wav", false));  // already playing: nothing more
    ASSERT_EQ(device->CountAll(boost::shared_ptr<Audio::Sound>()), 1);
    EXPECT_TRUE(PlaySound("BtnPress.wav", true));  // a second instance
    ASSERT_EQ(device->CountPlaying(boost::shared_ptr<Audio::Sound>()), 2);
    for (const Audio::PlayingSound* entry : Entries(device)) {
        EXPECT_EQ(entry->GetGroup(), 0);
        EXPECT_EQ(GainOf(entry), 0.5f);
        EXPECT_FALSE(entry->IsLooped());
    }
    EXPECT_FALSE(PlaySound("no_such_sound.wav", true));
    EXPECT_EQ(device->CountAll(boost::shared_ptr<Audio::Sound>()), 2);

    // The click lasts a quarter of a second: then the frame's update removes both.
    PlayFor(0.2);
    EXPECT_EQ(device->CountPlaying(boost::shared_ptr<Audio::Sound>()), 2);
    PlayFor(0.1);
    EXPECT_EQ(device->CountAll(boost::shared_ptr<Audio::Sound>()), 0);
}

TEST_F(GameAudioTest, MusicLoopsOnTheMusicGroupUntilStopped) {
    game_->RunInitialize();
    Audio::AudioDevice* device = game_->GetAudioDevice();
    game_->GetSettings().SetMusicVolume(0.75f);

    PlayMainMenuMusic();
    EXPECT_TRUE(PlayMusic("mainmenuogg.ogg"));  // the playing track: nothing more
    ASSERT_EQ(device->CountAll(boost::shared_ptr<Audio::Sound>()), 1);
    const Audio::PlayingSound* menu = device->GetFirst();
    EXPECT_TRUE(menu->GetSound()->IsStream());
    EXPECT_EQ(menu->GetGroup(), 1);
    EXPECT_EQ(GainOf(menu), 0.75f);
    EXPECT_TRUE(menu->IsLooped());
    // Another track starts alongside, newest first.
    EXPECT_TRUE(PlayMusic("Harrowmere.ogg"));
    ASSERT_EQ(device->CountAll(boost::shared_ptr<Audio::Sound>()), 2);
    EXPECT_EQ(device->GetFirst()->GetNext(), menu);
    PlayFor(1.0);
    EXPECT_EQ(device->CountPlaying(boost::shared_ptr<Audio::Sound>()), 2);
    EXPECT_GT(menu->GetPosition(), 2u * 16384u);  // refilled as it plays

    EXPECT_TRUE(StopMusic());
    EXPECT_EQ(device->CountAll(boost::shared_ptr<Audio::Sound>()), 2);
    game_->UpdateAudio();
    EXPECT_EQ(device->CountAll(boost::shared_ptr<Audio::Sound>()), 0);
    EXPECT_FALSE(PlayMusic("no_such_track.ogg"));
}

TEST_F(GameAudioTest, UnloadingRemovesThePlayingSounds) {
    game_->RunInitialize();
    Audio::AudioDevice* device = game_->GetAudioDevice();
    ASSERT_TRUE(PlayMusic("MainMenuOGG.ogg"));
    ASSERT_TRUE(PlaySound("BtnPress.wav", false));
    const boost::shared_ptr<Audio::SoundStream> music =
        Service<Content::ContentLoader<Audio::SoundStream>>::Get()->Load("MainMenuOGG.ogg");
    game_->UnloadAllContent();
    EXPECT_EQ(device->CountAll(boost::shared_ptr<Audio::Sound>()), 0);
    EXPECT_FALSE(music->IsLoaded());
    EXPECT_EQ(music->GetHandler(), nullptr);
    EXPECT_TRUE(Service<Content::ContentLoader<Audio::SoundStream>>::Get()->GetCache().empty());
    EXPECT_TRUE(Service<Content::ContentLoader<Audio::Sound>>::Get()->GetCache().empty());
}

}  // namespace
