#pragma once
// The content loaders of the running game with the root folders config.xml
// names, and the steps the application takes with them: create (at start-up,
// once config.xml is read), publish, unload all and unpublish (at shutdown).
// The application object holds one of these for its loaders. The sound and
// sound-stream loaders ("sounds") join when sounds exist.
#include <boost/shared_ptr.hpp>

#include <string>

#include "Content/HiContentLoader.h"
#include "Core/ContentLoader.h"
#include "Graphics/AnimationClips/AnimationClips.h"
#include "Graphics/Model/Model.h"
#include "Graphics/SpriteFont.h"
#include "Graphics/Texture2D.h"
#include "Graphics/TextureAtlas.h"
#include "Graphics/UITextureLoader.h"

namespace Content {

// The configured folders, each ending in its separator ("res-pc/textures/").
struct ContentRoots {
    std::string textures;    // "textures"
    std::string uiTextures;  // "uitexture"
    std::string fonts;       // "fonts"
    std::string meshes;      // "meshes"
    std::string anims;       // "anims"
};

struct GameContentLoaders {
    // Creates, in this order, the holder (its texture part rooted at the
    // textures folder), then the world textures, interface textures, fonts,
    // atlases ("textures"), models and animation clips.
    explicit GameContentLoaders(const ContentRoots& roots);

    // Registers each loader whose service slot is still empty, in the order
    // world textures, interface textures, atlases, fonts, models, animation clips.
    void Publish();
    // The unload-all pass of each loader in the order world textures, interface
    // textures, fonts, atlases, models, animation clips; each answer is ignored.
    void UnloadAll();
    // Clears the slots of the fonts, atlases, interface and world textures
    // (each only when registered); the model and clip slots stay.
    void Unpublish();

    boost::shared_ptr<HiContentLoader> holder;
    boost::shared_ptr<ContentLoader<Graphics::Texture2D>> worldTextures;
    boost::shared_ptr<UITextureLoader> interfaceTextures;
    boost::shared_ptr<ContentLoader<Graphics::SpriteFont>> fonts;
    boost::shared_ptr<ContentLoader<Graphics::TextureAtlas>> atlases;
    boost::shared_ptr<ContentLoader<Graphics::Model>> models;
    boost::shared_ptr<ContentLoader<Graphics::AnimationClips>> animationClips;
};

}  // namespace Content
