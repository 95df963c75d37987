#pragma once
// The game dictionary as a check's service: the one registered, or one read for the
// check from the configuration's folders.
#include <memory>

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Core/Service.h"
#include "tools/datacheck/ScopedService.h"

namespace datacheck {

class DictionaryInService {
public:
    explicit DictionaryInService(const Config& config)
        : own_(Service<GameDictionary>::Exists() ? nullptr : new GameDictionary()),
          published_(Loaded(own_.get(), config)) {}
    const GameDictionary& Get() const { return *Service<GameDictionary>::Get(); }

private:
    static GameDictionary* Loaded(GameDictionary* dictionary, const Config& config) {
        if (dictionary != nullptr) dictionary->Load(config);
        return dictionary;
    }

    std::unique_ptr<GameDictionary> own_;
    ScopedService<GameDictionary> published_;
};

}  // namespace datacheck
