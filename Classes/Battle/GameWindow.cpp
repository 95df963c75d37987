#include "Classes/Battle/GameWindow.h"

#include <cstring>
#include <fstream>
#include <vector>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CInputMonitor.h"
#include "Classes/Battle/FileReplacing.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Core/FrameClock.h"
#include "Core/Service.h"
#include "Game/GameAudio.h"
#include "Graphics/GraphicsDevice.h"
#include "IO/File.h"
#include "IO/MemoryStream.h"
#include "platform/Trace.h"
#include "shell/KeyHandlers.h"
#include "shell/TouchEvent.h"

int32_t StepAccumulator = 0;
int32_t PreviousStepCount = 0;
int32_t SelectedMapIndex = 0;

namespace Morvane {

namespace {

const int32_t kSpaceKey = 57;
const int32_t kEscapeKey = 56;

}  // namespace

GameWindow::GameWindow() {
    KeyUpListeners.Add(KeyHandler::FromMethod<&GameWindow::OnKey>(this));
    PlatformTrace("in-game window created");
}

GameWindow::~GameWindow() {
    KeyUpListeners.RemoveTarget(this);
    battle_.reset();
    if (dictionary_ && Service<GameDictionary>::Exists() && Service<GameDictionary>::Get() == dictionary_.get())
        Service<GameDictionary>::Unregister();
    dictionary_.reset();
    PlatformTrace("in-game window deleted");
}

void GameWindow::Initialize() {
    dictionary_.reset(new GameDictionary);
    if (Service<Config>::Exists()) dictionary_->Load(*Service<Config>::Get());
    if (!Service<GameDictionary>::Exists()) Service<GameDictionary>::Register(dictionary_.get());
    PlatformTrace("in-game window initialised");
}

void GameWindow::Shutdown() {
    DestroyGame();
    PlatformTrace("in-game window shut down");
}

void GameWindow::Update() {
    if (!battle_) return;
    // In float, as the frame clock gives it: 33 ms frames add 33.
    StepAccumulator += static_cast<int32_t>(GetFrameDelta() * 1000.0f);
    if (!battle_->IsPlayingDemo()) FeedInput();
    if (!battle_) return;

    int32_t steps = 0;
    for (;;) {
        // After a frame of two steps the next one makes at least one.
        const bool due = StepAccumulator >= CDunmarchGame::kStepTime || (steps == 0 && PreviousStepCount == 2);
        if (!due) break;
        int32_t n = battle_->GetSpeedMode();
        if (n > 0) {
            for (; n > 0; --n) {
                if (battle_->IsPlayingDemo()) FeedInput();
                battle_->Update(CDunmarchGame::kStepTime, false, n == 1);
            }
        } else {
            battle_->Update(CDunmarchGame::kStepTime, true, true);
        }
        StepAccumulator -= CDunmarchGame::kStepTime;
        ++steps;
        if (steps == 2) {
            // A stall is not caught up.
            if (StepAccumulator > 500) StepAccumulator = 0;
            break;
        }
        if (PreviousStepCount == 0) break;
    }
    battle_->TickPauseTimeout();
    PreviousStepCount = steps;
}

void GameWindow::FeedInput() {
    if (!battle_) return;
    const bool demo = battle_->IsPlayingDemo();
    if (demo)
        for (const DemoInput& input : battle_->GetDueInputs()) battle_->ApplyRecordedInput(input);
    for (const TouchEvent& event : TouchEvents) battle_->OnPointerInput(event, demo);
}

void GameWindow::OnKey(int32_t keyCode) {
    if (BattleActive == 0 || !battle_) return;
    CDunmarchGame& battle = *battle_;
    if (keyCode >= 1 && keyCode <= 6 && !battle.IsPlayingDemo()) {
        if (battle.HasSelectedSpot()) battle.SelectButton(0, keyCode - 1);
        else if (battle.HasSelectedDefenders()) battle.SelectButton(keyCode, 0);
        else if (battle.HasSelectedAttacker() && keyCode <= 3) battle.SelectButton(6 + keyCode, 0);
    }
    if (keyCode == kSpaceKey) battle.CycleSpeed();
    else if (keyCode == kEscapeKey) battle.OpenInGameMenu();
}

void GameWindow::Draw() {
    Service<Graphics::GraphicsDevice>::Get();
    if (battle_) battle_->Draw();
}

int32_t GameWindow::StartGame(int32_t continueFlag) {
    StopMusic();
    if (continueFlag != 0) {
        if (SavegameExists() == 0) return 0;
        const std::string map = ReadSavegameMap();
        // A battle that cannot be set up or loaded is not left behind half built.
        if (CreateGame(map.c_str(), 1) != 1) {
            DestroyGame();
            return 0;
        }
        if (LoadSavegame() != 1) return 0;
        DeleteSavegame();
        return 1;
    }
    if (!Service<Config>::Exists()) return 0;
    const std::vector<std::string>& maps = Service<Config>::Get()->Maps;
    if (maps.empty() || SelectedMapIndex < 0 || static_cast<size_t>(SelectedMapIndex) >= maps.size()) return 0;
    return CreateGame(maps[static_cast<size_t>(SelectedMapIndex)].c_str(), 0);
}

int32_t GameWindow::CreateGame(const char* mapName, int32_t continueFlag) {
    DestroyGame();
    battle_.reset(new CDunmarchGame(mapName != nullptr ? mapName : ""));
    if (!Service<CDunmarchGame>::Exists()) Service<CDunmarchGame>::Register(battle_.get());
    battle_->SetDemoPlayback(demo_playback_);
    return battle_->Init(continueFlag != 0);
}

void GameWindow::DestroyGame() {
    if (battle_) battle_->Stop();
    if (Service<CDunmarchGame>::Exists()) Service<CDunmarchGame>::Unregister();
    battle_.reset();
}

namespace {

const char kSavegameFile[] = "savegame.dat";
const char kSavegameMagic[4] = {'S', 'A', 'V', '\0'};
const int32_t kSavegameVersion = 1000;

// The whole file into the stream; false when it cannot be read.
bool ReadSavegame(MemoryStream& stream) {
    std::vector<uint8_t> bytes;
    if (!IO::ReadWholeFile(kSavegameFile, bytes)) return false;
    stream.Write(bytes.data(), static_cast<int>(bytes.size()));
    return true;
}

// The head, checked: a file of another kind or version is not read further.
bool ReadHead(MemoryStream& stream) {
    char magic[4] = {};
    int32_t first = 0, second = 0;
    return stream.Read(magic, 4) == 1 && std::memcmp(magic, kSavegameMagic, 4) == 0 && stream.ReadInt32(first) == 1 &&
           stream.ReadInt32(second) == 1 && first == kSavegameVersion && second == kSavegameVersion;
}

}  // namespace

int32_t GameWindow::SavegameExists() const {
    std::ifstream file(kSavegameFile, std::ios::binary);
    return file.is_open() ? 1 : 0;
}

const std::string& GameWindow::ReadSavegameMap() {
    savegame_map_.clear();
    MemoryStream stream;
    if (ReadSavegame(stream) && ReadHead(stream)) stream.ReadString(savegame_map_);
    return savegame_map_;
}

int32_t GameWindow::LoadSavegame() {
    MemoryStream stream;
    if (!ReadSavegame(stream)) return 0;
    if (!battle_ || !ReadHead(stream) || battle_->Load(stream) != 1) {
        // Half rebuilt: nothing of it may run.
        DestroyGame();
        return 0;
    }
    return 1;
}

int32_t GameWindow::WriteSavegame(int32_t memoryOnly) {
    if (!battle_) return 0;
    MemoryStream stream;
    stream.Write(kSavegameMagic, 4);
    stream.WriteInt32(kSavegameVersion);
    stream.WriteInt32(kSavegameVersion);
    battle_->Save(stream);
    if (memoryOnly != 0) return 1;
    int length = 0;
    const char* bytes = stream.GetBuffer(length);
    return WriteFileReplacing(kSavegameFile, bytes, static_cast<size_t>(length)) ? 1 : 0;
}

int32_t GameWindow::DeleteSavegame() {
    if (SavegameExists() == 0) return 0;
    return IO::DeleteFile(kSavegameFile) ? 1 : 0;
}

void GameWindow::QuitToMenu(int32_t) {
    DestroyGame();
    StopMusic();
    PlayMainMenuMusic();
}

// No account requests exist (nothing opens the login window): sends nothing.
boost::shared_ptr<CNetThread> GameWindow::RequestLogin(const std::string&, const std::string&) {
    return boost::shared_ptr<CNetThread>();
}

// No account requests exist (nothing opens the registration window): sends nothing.
boost::shared_ptr<CNetThread> GameWindow::RequestRegistration(const std::string&, const std::string&,
                                                              const std::string&, const std::string&,
                                                              const std::string&) {
    return boost::shared_ptr<CNetThread>();
}

}  // namespace Morvane
