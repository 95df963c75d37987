#pragma once
// A model's animation-clip table: named frame ranges of its one long timeline
// and the frame rate, read from an XML file:
//   <animation fps="30"/>
//   <clip name="walk" first="0" last="24" event="12"/>
// Clip attributes are taken by position (name, first, last, optional event
// frame); the names of the attributes are free.
#include <boost/functional/hash.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/unordered_map.hpp>

#include <cstdint>
#include <string>

#include "Core/AssetHooks.h"
#include "Graphics/GraphicsResource.h"

namespace Graphics {

struct AnimationClip {
    int32_t first;
    int32_t last;   // played up to last - 1
    int32_t extra;  // the event frame; -1 when the element has none
};

class AnimationClips : public GraphicsResource {
public:
    typedef boost::unordered_map<std::string, AnimationClip, boost::hash<std::string>> ClipMap;

    explicit AnimationClips(const std::string& path);
    ~AnimationClips() override;

    bool Reload() override { return true; }
    bool Unload() override { return true; }

    // Empty when the file cannot be read; a file without clips gives an empty table.
    static boost::shared_ptr<AnimationClips> LoadFromFile(const std::string& path);

    // A name not in the table fails an assertion and gives {0, 0, -1}.
    const AnimationClip& GetClip(const std::string& name) const;
    bool HasClip(const std::string& name) const;
    // 0 until an "animation" element sets it.
    float GetFps() const { return fps_; }
    const ClipMap& GetClips() const { return clips_; }

private:
    // Marks the table it built as loaded.
    friend boost::shared_ptr<AnimationClips> Content::CreateAsset<AnimationClips>(const std::string& path);

    float fps_ = 0.0f;
    ClipMap clips_;
};

}  // namespace Graphics

namespace Content {
template <>
boost::shared_ptr<Graphics::AnimationClips> CreateAsset<Graphics::AnimationClips>(const std::string& path);
template <>
bool ReleaseAsset<Graphics::AnimationClips>(boost::shared_ptr<Graphics::AnimationClips> asset);
template <>
bool ReloadAsset<Graphics::AnimationClips>(boost::shared_ptr<Graphics::AnimationClips> asset);
}  // namespace Content
