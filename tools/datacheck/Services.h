#pragma once
// The services a check needs and the game would have registered: each published for as
// long as the check runs, unless one already is.
#include <memory>

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Core/Service.h"

namespace datacheck {

template <class T>
class Published {
public:
    explicit Published(T* object) : published_(object != nullptr && !Service<T>::Exists()) {
        if (published_) Service<T>::Register(object);
    }
    ~Published() {
        if (published_) Service<T>::Unregister();
    }
    Published(const Published&) = delete;
    Published& operator=(const Published&) = delete;

private:
    bool published_;
};

// The registered game dictionary, or one read from the configuration's folders.
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
    Published<GameDictionary> published_;
};

}  // namespace datacheck
