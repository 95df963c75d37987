// The application's start-up and shutdown order, seen from the services and
// the trace lines of what it drives, and what stays behind after shutdown.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "App/CGame.h"
#include "Classes/Battle/GameWindow.h"
#include "Audio/AudioDevice.h"
#include "Audio/SoundStream.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Content/GameContentLoaders.h"
#include "Core/Service.h"
#include "Game/Cursors.h"
#include "Game/GameSettings.h"
#include "GameFixture.h"
#include "Graphics/Draw2D.h"
#include "Graphics/Renderer.h"
#include "support/RunDunmarch.h"
#include "support/ScratchDir.h"

namespace {

using Content::ContentLoader;

// The filled service slots and what else the order depends on, as one line.
std::string Snapshot() {
    std::string s;
    auto add = [&s](bool set, const char* name) {
        if (!set) return;
        if (!s.empty()) s += " ";
        s += name;
    };
    add(Service<Config>::Exists(), "config");
    add(Service<GameSettings>::Exists(), "settings");
    add(Service<Graphics::GraphicsDevice>::Exists(), "device");
    add(Graphics::GetDraw2DState().device != nullptr, "draw2d");
    add(Service<Graphics::GraphicsDevice>::Exists() &&
            Service<Graphics::GraphicsDevice>::Get()->GetViewport().Width == 1024,
        "viewport");
    add(Service<Audio::AudioDevice>::Exists(), "audio");
    add(Service<ContentLoader<Graphics::Texture2D>>::Exists(), "textures");
    add(Service<UITextureLoader>::Exists(), "uitextures");
    add(Service<ContentLoader<Graphics::TextureAtlas>>::Exists(), "atlases");
    add(Service<ContentLoader<Graphics::SpriteFont>>::Exists(), "fonts");
    add(Service<ContentLoader<Graphics::Model>>::Exists(), "models");
    add(Service<ContentLoader<Graphics::AnimationClips>>::Exists(), "clips");
    add(Service<ContentLoader<Audio::Sound>>::Exists(), "sounds");
    add(Service<ContentLoader<Audio::SoundStream>>::Exists(), "streams");
    add(Service<ContentLoader<Graphics::Texture2D>>::Exists() &&
            Service<ContentLoader<Graphics::Texture2D>>::Get()->GetCache().count("c_arrow.dds") == 1,
        "cursors");
    add(Service<Morvane::GameWindow>::Exists(), "window");
    add(Service<GameDictionary>::Exists(), "dictionary");
    add(Service<GameMachine>::Exists(), "machine");
    add(GetGame() != nullptr, "game");
    return s;
}

const char kAll[] =
    "config settings device draw2d viewport audio textures uitextures atlases fonts models clips sounds streams "
    "cursors window dictionary machine game";

class GameLifecycleTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        gamefixture::Hook() = [this](const char* line) {
            for (const char* prefix : {"audio device ", "in-game window ", "state "})
                if (std::string(line).rfind(prefix, 0) == 0) seen_.emplace_back(line, Snapshot());
        };
    }

    std::vector<std::pair<std::string, std::string>> seen_;
};

TEST_F(GameLifecycleTest, StartsAndStopsEveryServiceInOrder) {
    {
        // Volumes the settings file brings reach the audio device: it exists
        // before the settings are read.
        GameSettings saved;
        saved.SetSoundVolume(0.25f);
        saved.SetMusicVolume(0.5f);
        ASSERT_TRUE(saved.Save());
    }
    ASSERT_EQ(Snapshot(), "");

    game_->RunInitialize();
    EXPECT_EQ(Snapshot(), kAll);
    EXPECT_EQ(GetGame(), game_.get());
    EXPECT_TRUE(game_->IsLifecycleDone());
    EXPECT_EQ(Service<Graphics::GraphicsDevice>::Get(), game_->GetRenderer());
    EXPECT_EQ(Service<Config>::Get(), &game_->GetConfig());
    EXPECT_FALSE(game_->GetConfig().Maps.empty());
    EXPECT_FALSE(Service<GameDictionary>::Get()->GetMaps().empty());
    EXPECT_EQ(game_->GetSettings().GetSoundVolume(), 0.25f);
    EXPECT_EQ(game_->GetAudioDevice()->GetVolume(0), 0.25f);
    EXPECT_EQ(game_->GetAudioDevice()->GetVolume(1), 0.5f);
    EXPECT_EQ(game_->GetContentLoaders()->holder->Get<Graphics::Texture2D>().GetRootFolder(),
              game_->GetConfig().Paths.TexturesPath);
    EXPECT_EQ(Service<ContentLoader<Audio::Sound>>::Get()->GetRootFolder(), game_->GetConfig().Paths.SoundsPath);

    game_->RunShutdown();
    game_.reset();

    const std::vector<std::pair<std::string, std::string>> expected = {
        {"audio device opened", "config settings device draw2d viewport game"},
        {"in-game window created",
         "config settings device draw2d viewport audio textures uitextures atlases fonts models clips sounds streams "
         "cursors game"},
        {"in-game window initialised",
         "config settings device draw2d viewport audio textures uitextures atlases fonts models clips sounds streams "
         "cursors window dictionary game"},
        {"state entered: IntroWindow", kAll},
        // Shutdown: the machine is left while everything still stands.
        {"state left: IntroWindow", kAll},
        {"in-game window shut down",
         "config settings device viewport audio textures uitextures atlases fonts models clips sounds streams "
         "cursors window dictionary machine game"},
        {"in-game window deleted",
         "config settings device viewport audio textures uitextures atlases fonts models clips sounds streams "
         "cursors machine game"},
        // The content is unloaded after the audio device is shut down.
        {"audio device shut down",
         "config settings device viewport audio textures uitextures atlases fonts models clips sounds streams "
         "cursors machine game"},
    };
    EXPECT_EQ(seen_, expected);
    EXPECT_EQ(GetGame(), nullptr);
    EXPECT_TRUE(boxes_.Shown().empty()) << boxes_.Shown()[0].text;
}

TEST_F(GameLifecycleTest, ShutdownEmptiesTheLoadersAndARepeatedStartUpFindsEverySlotFree) {
    game_->RunInitialize();
    Content::GameContentLoaders* loaders = game_->GetContentLoaders();
    ASSERT_FALSE(loaders->worldTextures->GetCache().empty());
    game_->RunShutdown();
    EXPECT_TRUE(loaders->worldTextures->GetCache().empty());
    EXPECT_EQ(Snapshot(), "");

    // As the shell does after a repeated start-up: the same game again.
    game_->RunInitialize();
    EXPECT_EQ(Snapshot(), kAll);
    game_->RunShutdown();
    EXPECT_EQ(Snapshot(), "");
    EXPECT_TRUE(boxes_.Shown().empty()) << boxes_.Shown()[0].text;
}

// Every file under the folder, by path, with its bytes.
std::map<std::string, std::string> FilesUnder(const std::string& folder) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> files;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file() && !e.is_symlink())
            files[e.path().string()] = testsupport::ReadWholeFile(e.path().string());
    return files;
}

// A config.xml that cannot be read (emptied, cut short, noise) refuses the start: a box
// names the file, no service is left behind, the game is not the running one, and
// neither the game folder nor the user's folder gains or loses a byte. A missing one is
// no damage: the game starts with every folder empty.
TEST_F(GameLifecycleTest, ADamagedConfigurationRefusesTheStartAndStartsNothing) {
    namespace fs = std::filesystem;
    const std::string good = testsupport::ReadWholeFile(game_dir_ + "/config.xml");
    ASSERT_FALSE(good.empty());
    std::string noise(good.size(), '\0');
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>(i * 7919u >> 3);
    const struct {
        const char* name;
        const char* bytes;  // null: no file
        size_t size;
    } kCases[] = {
        {"missing", nullptr, 0},
        {"emptied", "", 0},
        {"truncated", good.data(), good.size() / 2},
        {"noise", noise.data(), noise.size()},
    };
    {
        GameSettings saved;
        saved.SetSoundVolume(0.25f);
        ASSERT_TRUE(saved.Save());
    }
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ScratchDir scratch;
        fs::create_directories(scratch.File("game"));
        for (const char* entry : {"res-pc", "res-common"})
            fs::create_symlink(fs::absolute(game_dir_ + "/" + entry), scratch.File("game/") + entry);
        if (c.bytes != nullptr) scratch.Write("game/config.xml", std::string(c.bytes, c.size));
        fs::current_path(scratch.File("game"));
        const std::map<std::string, std::string> gameBefore = FilesUnder(scratch.Folder());
        const std::map<std::string, std::string> userBefore = FilesUnder(user_data_.Folder());
        boxes_.Clear();
        seen_.clear();

        if (c.bytes == nullptr) {
            EXPECT_TRUE(game_->RunInitialize());
            EXPECT_EQ(GetGame(), game_.get());
            EXPECT_TRUE(game_->GetConfig().Paths.ResourcesCommonPath.empty());
            game_->RunShutdown();
            fs::current_path(game_dir_);
            continue;
        }
        EXPECT_FALSE(game_->RunInitialize());
        EXPECT_TRUE(game_->StartRefused());
        EXPECT_EQ(Snapshot(), "");
        EXPECT_EQ(GetGame(), nullptr);
        EXPECT_TRUE(seen_.empty()) << seen_[0].first;
        EXPECT_TRUE(game_->GetConfig().Paths.ResourcesCommonPath.empty());
        ASSERT_EQ(1u, boxes_.Shown().size());
        EXPECT_NE(std::string::npos, boxes_.Shown()[0].text.find("config.xml")) << boxes_.Shown()[0].text;
        EXPECT_EQ(FilesUnder(scratch.Folder()), gameBefore);
        EXPECT_EQ(FilesUnder(user_data_.Folder()), userBefore);

        // The same game starts once the file is whole again.
        scratch.Write("game/config.xml", good);
        EXPECT_TRUE(game_->RunInitialize());
        EXPECT_EQ(Snapshot(), kAll);
        game_->RunShutdown();
        EXPECT_EQ(Snapshot(), "");
        fs::current_path(game_dir_);
    }
}

}  // namespace
