// The cached content loaders: lower-cased keys and paths, one build per name,
// failed builds not cached, the unload-all pass, and the loader objects of the
// game (texture loaders with their own service slots, the holder of loaders).
#include "Core/ContentLoader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../Graphics/TextureTestSupport.h"
#include "Content/GameContentLoaders.h"
#include "Content/HiContentLoader.h"
#include "Core/Assert.h"
#include "Graphics/Texture2D.h"
#include "Graphics/UITextureLoader.h"

namespace {

// An asset that records how the loader treats it.
struct Probe {
    std::string path;
    bool refuseUnload = false;
    int unloads = 0;
};

std::vector<std::string> g_built;
std::string g_failing;  // a path whose build fails

struct Assertion {
    std::string condition, message;
};
std::vector<Assertion> g_assertions;
void RecordAssertion(const char* condition, const char* message, const char*, int) {
    g_assertions.push_back({condition, message});
}

}  // namespace

namespace Content {
template <>
boost::shared_ptr<Probe> CreateAsset<Probe>(const std::string& path) {
    g_built.push_back(path);
    if (path == g_failing) return boost::shared_ptr<Probe>();
    boost::shared_ptr<Probe> probe(new Probe);
    probe->path = path;
    return probe;
}
template <>
bool ReleaseAsset<Probe>(boost::shared_ptr<Probe> asset) {
    ++asset->unloads;
    return !asset->refuseUnload;
}
}  // namespace Content

namespace {

using Content::ContentLoader;

class ContentLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_built.clear();
        g_failing.clear();
        g_assertions.clear();
        previous_ = SetAssertionHandler(&RecordAssertion);
    }
    void TearDown() override { SetAssertionHandler(previous_); }

private:
    AssertionHandler previous_ = nullptr;
};

TEST_F(ContentLoaderTest, NamesAreLowerCasedAndBuiltOnce) {
    ContentLoader<Probe> loader("res-pc/textures/");
    boost::shared_ptr<Probe> first = loader.Load("mm_Palace_03_brick.dds");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->path, "res-pc/textures/mm_palace_03_brick.dds");
    EXPECT_EQ(loader.Load("MM_PALACE_03_BRICK.DDS"), first);
    EXPECT_EQ(loader.Load("mm_palace_03_brick.dds"), first);
    EXPECT_EQ(g_built.size(), 1u) << "later requests, in any case, come from the cache";

    boost::shared_ptr<Probe> sprite = loader.Load("Particles/IPHONE02.dds");
    EXPECT_EQ(sprite->path, "res-pc/textures/particles/iphone02.dds") << "the sub-folder stays in the path";
    EXPECT_EQ(loader.GetCache().count("particles/iphone02.dds"), 1u) << "and in the key";
    // Only ASCII letters change.
    EXPECT_EQ(loader.Load("\xC4rger.DDS")->path, "res-pc/textures/\xC4rger.dds");
    EXPECT_TRUE(g_assertions.empty());
}

TEST_F(ContentLoaderTest, AFailedBuildIsReportedAndNotCached) {
    ContentLoader<Probe> loader("root/");
    g_failing = "root/broken.dds";
    EXPECT_FALSE(loader.Load("Broken.dds"));
    ASSERT_EQ(g_assertions.size(), 1u);
    EXPECT_EQ(g_assertions[0].condition, "resource.get()");
    EXPECT_EQ(g_assertions[0].message, "root/broken.dds");
    EXPECT_TRUE(loader.GetCache().empty());
    EXPECT_FALSE(loader.Load("broken.dds"));
    EXPECT_EQ(g_built.size(), 2u) << "the second request tries the file again";
    g_failing.clear();
    EXPECT_TRUE(loader.Load("broken.dds"));
}

TEST_F(ContentLoaderTest, UnloadAllStopsAtTheFirstRefusal) {
    ContentLoader<Probe> loader("");
    EXPECT_TRUE(loader.UnloadAll()) << "an empty cache";
    loader.Load("a");
    loader.Load("b");
    loader.Load("c");
    std::vector<boost::shared_ptr<Probe>> order;
    for (const auto& entry : loader.GetCache()) order.push_back(entry.second);
    ASSERT_EQ(order.size(), 3u);
    order[1]->refuseUnload = true;

    EXPECT_FALSE(loader.UnloadAll());
    EXPECT_EQ(order[0]->unloads, 1);
    EXPECT_EQ(order[1]->unloads, 1);
    EXPECT_EQ(order[2]->unloads, 0) << "not visited";
    EXPECT_EQ(loader.GetCache().size(), 3u) << "nothing is forgotten";

    order[1]->refuseUnload = false;
    EXPECT_TRUE(loader.UnloadAll());
    EXPECT_TRUE(loader.GetCache().empty());
    EXPECT_EQ(order[2]->unloads, 1);
}

TEST_F(ContentLoaderTest, DestroyingALoaderUnloadsWhatItHolds) {
    boost::shared_ptr<Probe> kept;
    {
        ContentLoader<Probe> loader("");
        kept = loader.Load("kept");
    }
    EXPECT_EQ(kept->unloads, 1);
    EXPECT_EQ(kept.use_count(), 1) << "the loader's reference is gone";
}

TEST_F(ContentLoaderTest, TwoLoadersKeepTwoCaches) {
    ContentLoader<Probe> sounds("sounds/");
    ContentLoader<Probe> streams("sounds/");
    EXPECT_NE(sounds.Load("music.ogg"), streams.Load("music.ogg"));
    EXPECT_EQ(g_built.size(), 2u);
}

class TextureLoaderTest : public texturetest::NullDeviceTest {};

TEST_F(TextureLoaderTest, TexturesAreReadOnceAndUnloadedTogether) {
    ContentLoader<Graphics::Texture2D> loader(folder);
    const std::string path = Write("sub/wall.dds", texturetest::Dds(16, 8));
    boost::shared_ptr<Graphics::Texture2D> wall = loader.Load("Sub/Wall.DDS");
    ASSERT_TRUE(wall);
    EXPECT_EQ(wall->GetName(), path);
    std::filesystem::remove(path);
    EXPECT_EQ(loader.Load("sub/wall.dds"), wall) << "the file is not read again";

    AssertionHandler previous = SetAssertionHandler(&RecordAssertion);
    Write("broken.dds", {'D', 'D', 'S', ' ', 1, 2, 3});
    EXPECT_FALSE(loader.Load("broken.dds"));
    SetAssertionHandler(previous);
    EXPECT_EQ(loader.GetCache().size(), 1u);

    const size_t live = LiveResources();
    EXPECT_TRUE(loader.UnloadAll());
    EXPECT_FALSE(wall->IsLoaded());
    EXPECT_EQ(LiveResources(), live - 1);
    EXPECT_TRUE(loader.GetCache().empty());
}

TEST_F(TextureLoaderTest, TheInterfaceLoaderHasAServiceSlotOfItsOwn) {
    ContentLoader<Graphics::Texture2D> world(folder + "world/");
    UITextureLoader ui(folder + "ui/");
    Service<ContentLoader<Graphics::Texture2D>>::Register(&world);
    Service<UITextureLoader>::Register(&ui);
    EXPECT_EQ(Service<ContentLoader<Graphics::Texture2D>>::Get(), &world);
    EXPECT_EQ(Service<UITextureLoader>::Get(), &ui);
    Write("ui/hud.dds", texturetest::Dds(4, 4));
    EXPECT_TRUE(Service<UITextureLoader>::Get()->Load("hud.dds"));
    EXPECT_TRUE(world.GetCache().empty());
    Service<UITextureLoader>::Unregister();
    Service<ContentLoader<Graphics::Texture2D>>::Unregister();
}

TEST_F(TextureLoaderTest, TheHolderReachesEachPartByType) {
    Content::HiContentLoader holder;
    EXPECT_EQ(holder.Get<Graphics::Texture2D>().GetRootFolder(), "");
    EXPECT_EQ(holder.Get<Graphics::TextureAtlas>().GetRootFolder(), "");
    EXPECT_TRUE(holder.Get<Graphics::Model>().GetCache().empty());
    holder.Get<Graphics::Texture2D>().SetRootFolder(folder);
    Write("part.dds", texturetest::Dds(4, 4));
    EXPECT_TRUE(holder.Get<Graphics::Texture2D>().Load("part.dds"));
    EXPECT_EQ(&Loki::Field<Graphics::Texture2D>(holder), &holder.Get<Graphics::Texture2D>());
    EXPECT_EQ(holder.Get<Graphics::Texture2D>().GetCache().size(), 1u);
}

TEST_F(TextureLoaderTest, TheGamesLoadersTakeTheirRootsAndSlots) {
    const Content::ContentRoots roots = {folder + "textures/", folder + "ui/", folder + "fonts/", folder + "meshes/",
                                         folder + "anims/"};
    Content::GameContentLoaders loaders(roots);
    EXPECT_EQ(loaders.worldTextures->GetRootFolder(), roots.textures);
    EXPECT_EQ(loaders.interfaceTextures->GetRootFolder(), roots.uiTextures);
    EXPECT_EQ(loaders.fonts->GetRootFolder(), roots.fonts);
    EXPECT_EQ(loaders.atlases->GetRootFolder(), roots.textures);
    EXPECT_EQ(loaders.models->GetRootFolder(), roots.meshes);
    EXPECT_EQ(loaders.animationClips->GetRootFolder(), roots.anims);
    EXPECT_EQ(loaders.holder->Get<Graphics::Texture2D>().GetRootFolder(), roots.textures);
    EXPECT_EQ(loaders.holder->Get<Graphics::SpriteFont>().GetRootFolder(), "");

    // A slot already taken keeps its object.
    ContentLoader<Graphics::Model> earlier("elsewhere/");
    Service<ContentLoader<Graphics::Model>>::Register(&earlier);
    loaders.Publish();
    EXPECT_EQ(Service<ContentLoader<Graphics::Model>>::Get(), &earlier);
    EXPECT_EQ(Service<ContentLoader<Graphics::Texture2D>>::Get(), loaders.worldTextures.get());
    EXPECT_EQ(Service<UITextureLoader>::Get(), loaders.interfaceTextures.get());
    EXPECT_EQ(Service<ContentLoader<Graphics::AnimationClips>>::Get(), loaders.animationClips.get());

    Write("textures/wall.dds", texturetest::Dds(4, 4));
    Write("anims/warrior.xml", {'<', 'c', 'l', 'i', 'p', '/', '>'});
    boost::shared_ptr<Graphics::Texture2D> wall = loaders.worldTextures->Load("wall.dds");
    ASSERT_TRUE(wall);
    ASSERT_TRUE(loaders.animationClips->Load("warrior.xml"));
    loaders.UnloadAll();
    EXPECT_FALSE(wall->IsLoaded());
    EXPECT_TRUE(loaders.worldTextures->GetCache().empty());
    EXPECT_TRUE(loaders.animationClips->GetCache().empty());

    loaders.Unpublish();
    EXPECT_FALSE(Service<ContentLoader<Graphics::Texture2D>>::Exists());
    EXPECT_FALSE(Service<UITextureLoader>::Exists());
    EXPECT_FALSE(Service<ContentLoader<Graphics::SpriteFont>>::Exists());
    EXPECT_FALSE(Service<ContentLoader<Graphics::TextureAtlas>>::Exists());
    EXPECT_TRUE(Service<ContentLoader<Graphics::Model>>::Exists()) << "the model and clip slots stay";
    EXPECT_TRUE(Service<ContentLoader<Graphics::AnimationClips>>::Exists());
    Service<ContentLoader<Graphics::Model>>::Unregister();
    Service<ContentLoader<Graphics::AnimationClips>>::Unregister();
}

}  // namespace
