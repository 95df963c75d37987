#pragma once
// One loader per asset type: it knows the folder of its files and keeps every
// asset it built, keyed by the lower-cased name it was asked for, so a second
// request for a name (in any letter case) returns the same object without
// touching the file. The per-type hooks of Core/AssetHooks.h build, unload
// and reload the assets.
//
// No locks: the main thread and the loader thread call by strict turns.
#include <boost/algorithm/string/case_conv.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/unordered_map.hpp>

#include <locale>
#include <string>

#include "Core/Assert.h"
#include "Core/AssetHooks.h"

namespace Graphics {
class TextureAtlas;
}

namespace Content {

template <class T>
class ContentLoader {
public:
    typedef boost::unordered_map<std::string, boost::shared_ptr<T>> Cache;

    ContentLoader() : cache_(11) {}
    // The root is put in front of every name as it is (no separator added).
    explicit ContentLoader(const std::string& rootFolder) : root_folder_(rootFolder), cache_(11) {}
    virtual ~ContentLoader() { UnloadAll(); }
    ContentLoader(const ContentLoader&) = delete;
    ContentLoader& operator=(const ContentLoader&) = delete;

    // The cached or newly built asset; empty (and not cached) when it cannot be built.
    boost::shared_ptr<T> Load(const std::string& name);
    // The file Load reads for the name: the root and the lower-cased name.
    std::string PathOf(const std::string& name) const { return root_folder_ + KeyOf(name); }
    // Unloads and forgets every cached asset. At the first asset that refuses,
    // stops and answers false, leaving the cache as it is.
    bool UnloadAll();

    const std::string& GetRootFolder() const { return root_folder_; }
    void SetRootFolder(const std::string& rootFolder) { root_folder_ = rootFolder; }
    const Cache& GetCache() const { return cache_; }

private:
    static std::string KeyOf(const std::string& name) {
        std::string key = name;
        boost::algorithm::to_lower(key, std::locale::classic());
        return key;
    }

    std::string root_folder_;
    Cache cache_;
};

template <class T>
boost::shared_ptr<T> ContentLoader<T>::Load(const std::string& name) {
    const std::string key = KeyOf(name);
    typename Cache::const_iterator cached = cache_.find(key);
    if (cached != cache_.end()) {
        return cached->second;
    }
    const std::string path = root_folder_ + key;
    boost::shared_ptr<T> resource = CreateAsset<T>(path);
    if (!resource.get()) {
        // The path that failed is the message.
        ::ReportAssertion("resource.get()", path.c_str(), __FILE__, __LINE__);
        return resource;
    }
    cache_.insert(typename Cache::value_type(key, resource));
    return resource;
}

template <class T>
bool ContentLoader<T>::UnloadAll() {
    for (typename Cache::iterator entry = cache_.begin(); entry != cache_.end(); ++entry) {
        if (!ReleaseAsset<T>(entry->second)) {
            return false;
        }
    }
    cache_.clear();
    return true;
}

// Atlases are never built through a loader: their loader has no Load.
template <>
boost::shared_ptr<Graphics::TextureAtlas> ContentLoader<Graphics::TextureAtlas>::Load(const std::string& name) = delete;

}  // namespace Content
