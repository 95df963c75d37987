#pragma once
// The in-game window: how the application and the menus reach the battle. It owns the
// game dictionary and the running battle, turns the frame time into fixed 33 ms battle
// steps (at most two a frame), feeds the battle the frame's pointer input and starts,
// ends and leaves battles. Service<CDunmarchGame> is filled exactly while a battle exists.
#include <cstdint>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "Game/GameComponent.h"

class CDunmarchGame;
class CNetThread;
class GameDictionary;
struct HighscoreEntry;

// Frame time not yet used by battle steps (ms; may go below 0), and the steps the last
// window update made. Both live on from battle to battle.
extern int32_t StepAccumulator;
extern int32_t PreviousStepCount;
// The map of the configuration's list a new game starts on; set by the menus.
extern int32_t SelectedMapIndex;

namespace Morvane {

class GameWindow : public Game::GameDrawableComponentInterface {
public:
    // Joins the shell's key-up list.
    GameWindow();
    // Leaves the key-up list; the battle, then the dictionary (its service slot withdrawn
    // when it holds it).
    ~GameWindow() override;

    // Builds the dictionary from the configuration and publishes it unless the slot is taken.
    void Initialize() override;
    void Shutdown() override;
    // The fixed-step loop of one frame.
    void Update() override;
    void Draw() override;

    // 1: continue the saved battle ("savegame.dat", deleted once the battle is rebuilt
    // from it); 0: a new battle on the selected map. 1 when a battle was set up; a
    // savegame that cannot be used answers 0 and stays.
    int32_t StartGame(int32_t continueFlag);
    // The previous battle ends first; the new one is published and set up.
    int32_t CreateGame(const char* mapName, int32_t continueFlag);
    void DestroyGame();
    // ---- "savegame.dat" in the current folder: the head "SAV", 1000, 1000, then the
    // battle's section ----
    int32_t SavegameExists() const;
    // The saved battle's map; empty without a file. A buffer the next call overwrites.
    const std::string& ReadSavegameMap();
    // The file into the battle just set up for its map; 0 without a file, for another
    // head or a section the battle cannot use (the battle is then destroyed).
    int32_t LoadSavegame();
    // The running battle into the file, written beside and put in place in one step
    // (with memoryOnly only built); 0 without a battle or when it could not be written.
    int32_t WriteSavegame(int32_t memoryOnly);
    int32_t DeleteSavegame();

    // The battles created from now on replay "test.dem" (nothing in the game's own flow
    // sets it; the tools do).
    void SetDemoPlayback(int32_t on) { demo_playback_ = on; }
    void QuitToMenu(int32_t flag);

    // Only the login and registration windows would ask for these, and nothing opens
    // them: no account requests exist, so each sends nothing and returns an empty thread.
    boost::shared_ptr<CNetThread> RequestLogin(const std::string& login, const std::string& password);
    boost::shared_ptr<CNetThread> RequestRegistration(const std::string& login, const std::string& password,
                                                      const std::string& email, const std::string& firstName,
                                                      const std::string& lastName);

    // ---- the score server; these use the services only (Classes/Online) ----
    // Sends the running battle's score with the form's name and e-mail on a started
    // request thread; empty without configuration, battle, level or recording.
    static boost::shared_ptr<CNetThread> SubmitScore(const std::string& name, const std::string& email);
    // True when the server accepted the score; otherwise the reason goes to the
    // standard output as it stands. Either way the wait box closes and the arrow
    // cursor returns. The three-argument form ignores the request's spare text.
    static bool ParseSubmitReply(bool sent, const std::string& reply);
    static bool ParseSubmitReply(bool sent, const std::string& unused, const std::string& reply);
    // An online high-score list into its rows and the player's own row; the value of
    // "result". Shows the server's message (or the failure) in a plain box.
    static bool ParseHighscoreReply(bool sent, const std::string& reply, std::vector<HighscoreEntry>& list,
                                    HighscoreEntry& own);

    const boost::shared_ptr<GameDictionary>& GetDictionary() const { return dictionary_; }
    const boost::shared_ptr<CDunmarchGame>& GetBattle() const { return battle_; }

    // A released key while the battle screen is in front: 1 to 6 press the button of the
    // group the HUD offers (not while a demo plays: only its recording drives the battle),
    // Space cycles the speed, Esc opens the in-game menu.
    void OnKey(int32_t keyCode);

private:
    void FeedInput();

    boost::shared_ptr<GameDictionary> dictionary_;
    boost::shared_ptr<CDunmarchGame> battle_;
    int32_t demo_playback_ = 0;
    std::string savegame_map_;
};

}  // namespace Morvane
