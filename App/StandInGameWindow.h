#pragma once
// Stand-in until the in-game window exists: Morvane::GameWindow as the game
// creates, initialises, shuts down and deletes it. It builds and publishes the
// game dictionary as the real one does; it holds no battle.
#include <boost/shared_ptr.hpp>

#include "Game/GameComponent.h"

class GameDictionary;

namespace Morvane {

// Stand-in until the in-game window exists.
class GameWindow : public Game::GameDrawableComponentInterface {
public:
    GameWindow();
    // Withdraws the dictionary's service slot when it holds this window's
    // dictionary, so no slot points at a deleted dictionary.
    ~GameWindow() override;

    // Builds the dictionary from Service<Config> and registers it unless its
    // slot is taken.
    void Initialize() override;
    void Shutdown() override;
    void Update() override;
    void Draw() override;

    const boost::shared_ptr<GameDictionary>& GetDictionary() const { return dictionary_; }

private:
    boost::shared_ptr<GameDictionary> dictionary_;
};

}  // namespace Morvane
