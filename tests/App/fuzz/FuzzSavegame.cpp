// Any bytes as "savegame.dat", continued as the main menu's Continue does: the file is
// refused or the battle it holds runs two seconds. Seeds: defended battles of the sample
// data saved early, in a fight and paused.
#include <cstdint>
#include <cstdio>
#include <string>

#include "FuzzGame.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzgame::Game& game = fuzzgame::TheGame();
    for (int steps : {150, 700, 1500}) {
        CDunmarchGame* battle = game.DefendedBattle(steps);
        if (battle == nullptr) continue;
        if (steps == 1500) battle->Pause();
        if (game.Window().WriteSavegame(0) == 1)
            fuzzinput::AddSeed("battle-" + std::to_string(steps) + ".sav", fuzzgame::Game::Read("savegame.dat"));
        game.Window().DestroyGame();
    }
    std::remove("savegame.dat");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    fuzzgame::Game& game = fuzzgame::TheGame();
    fuzzgame::Game::Write("savegame.dat", data, size);
    if (game.Window().StartGame(1) == 1) game.Frames(60);
    game.Window().DestroyGame();
    std::remove("savegame.dat");
    return 0;
}
