// Any bytes as the demo "test.dem", replayed as the game replays one: a battle on the
// demo's map with its recorded input, 300 steps. Seed: the recording of a defended
// battle of the sample data.
#include <cstdint>
#include <cstdio>

#include "Classes/Battle/CInputMonitor.h"
#include "FuzzGame.h"
#include "IO/MemoryStream.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzgame::Game& game = fuzzgame::TheGame();
    if (CDunmarchGame* battle = game.DefendedBattle(600)) {
        MemoryStream stream;
        if (battle->GetInputMonitor() && battle->GetInputMonitor()->Write(stream) == 1) {
            int length = 0;
            const char* bytes = stream.GetBuffer(length);
            fuzzinput::AddSeed("defended.dem", std::string(bytes, static_cast<size_t>(length)));
        }
    }
    game.Window().DestroyGame();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    fuzzgame::Game& game = fuzzgame::TheGame();
    fuzzgame::Game::Write("test.dem", data, size);
    game.Window().SetDemoPlayback(1);
    if (game.Window().StartGame(0) == 1) game.Frames(300);
    game.Window().DestroyGame();
    game.Window().SetDemoPlayback(0);
    std::remove("test.dem");
    return 0;
}
