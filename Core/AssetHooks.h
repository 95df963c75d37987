#pragma once
// The per-type construction hooks of the content loaders. Each asset type
// declares its specialisations beside its class and defines them with it.
#include <boost/shared_ptr.hpp>

#include <string>

namespace Content {

// Builds the asset from the file at the full path; empty on failure.
template <class T>
boost::shared_ptr<T> CreateAsset(const std::string& path);

// The asset's Unload; false when it refused.
template <class T>
bool ReleaseAsset(boost::shared_ptr<T> asset);

// The asset's Reload.
template <class T>
bool ReloadAsset(boost::shared_ptr<T> asset);

}  // namespace Content
