#include "Content/GameContentLoaders.h"

#include "Core/Service.h"

namespace Content {

namespace {

template <class T, class Loader>
void PublishWhenEmpty(const boost::shared_ptr<Loader>& loader) {
    if (!Service<T>::Exists()) Service<T>::Register(loader.get());
}

template <class T>
void UnpublishWhenSet() {
    if (Service<T>::Exists()) Service<T>::Unregister();
}

}  // namespace

GameContentLoaders::GameContentLoaders(const ContentRoots& roots)
    : holder(new HiContentLoader),
      worldTextures(new ContentLoader<Graphics::Texture2D>(roots.textures)),
      interfaceTextures(new UITextureLoader(roots.uiTextures)),
      fonts(new ContentLoader<Graphics::SpriteFont>(roots.fonts)),
      atlases(new ContentLoader<Graphics::TextureAtlas>(roots.textures)),
      models(new ContentLoader<Graphics::Model>(roots.meshes)),
      animationClips(new ContentLoader<Graphics::AnimationClips>(roots.anims)) {
    holder->Get<Graphics::Texture2D>().SetRootFolder(roots.textures);
}

void GameContentLoaders::Publish() {
    PublishWhenEmpty<ContentLoader<Graphics::Texture2D>>(worldTextures);
    PublishWhenEmpty<UITextureLoader>(interfaceTextures);
    PublishWhenEmpty<ContentLoader<Graphics::TextureAtlas>>(atlases);
    PublishWhenEmpty<ContentLoader<Graphics::SpriteFont>>(fonts);
    PublishWhenEmpty<ContentLoader<Graphics::Model>>(models);
    PublishWhenEmpty<ContentLoader<Graphics::AnimationClips>>(animationClips);
}

void GameContentLoaders::UnloadAll() {
    worldTextures->UnloadAll();
    interfaceTextures->UnloadAll();
    fonts->UnloadAll();
    atlases->UnloadAll();
    models->UnloadAll();
    animationClips->UnloadAll();
}

void GameContentLoaders::Unpublish() {
    UnpublishWhenSet<ContentLoader<Graphics::SpriteFont>>();
    UnpublishWhenSet<ContentLoader<Graphics::TextureAtlas>>();
    UnpublishWhenSet<UITextureLoader>();
    UnpublishWhenSet<ContentLoader<Graphics::Texture2D>>();
}

}  // namespace Content
