#include "Graphics/AnimationClips/AnimationClips.h"

#include <cstring>
#include <memory>

#include "Core/Assert.h"
#include "IO/File.h"
#include "IO/XmlReader.h"

namespace Graphics {

AnimationClips::AnimationClips(const std::string& path) : GraphicsResource(ResourceAnimationClips, path), clips_(11) {}

AnimationClips::~AnimationClips() { clips_.clear(); }

boost::shared_ptr<AnimationClips> AnimationClips::LoadFromFile(const std::string& path) {
    // The reader factory hands back a reader even for a missing file.
    if (!IO::FileExists(path)) {
        return boost::shared_ptr<AnimationClips>();
    }
    std::unique_ptr<irr::io::IrrXMLReader> reader(CreateXmlReader(path));
    if (!reader) {
        return boost::shared_ptr<AnimationClips>();
    }
    boost::shared_ptr<AnimationClips> table(new AnimationClips(path));
    while (reader->read()) {
        if (reader->getNodeType() != irr::io::EXN_ELEMENT) {
            continue;
        }
        const char* element = reader->getNodeName();
        if (std::strcmp(element, "animation") == 0) {
            table->fps_ = reader->getAttributeValueAsFloat("fps");
        } else if (std::strcmp(element, "clip") == 0) {
            AnimationClip clip;
            clip.extra = reader->getAttributeCount() >= 4 ? reader->getAttributeValueAsInt(3) : -1;
            const char* name = reader->getAttributeValue(0);
            clip.last = reader->getAttributeValueAsInt(2);
            clip.first = reader->getAttributeValueAsInt(1);
            if (name == nullptr) {
                continue;  // a clip element without attributes names nothing
            }
            table->clips_.insert(ClipMap::value_type(name, clip));  // the first of a name stays
        }
    }
    return table;
}

const AnimationClip& AnimationClips::GetClip(const std::string& name) const {
    static const AnimationClip kNoClip = {0, 0, -1};
    ClipMap::const_iterator found = clips_.find(name);
    if (found == clips_.end()) {
        DM_ASSERT(found != clips_.end(), "Could not find specified anim clip");
        return kNoClip;
    }
    return found->second;
}

bool AnimationClips::HasClip(const std::string& name) const { return clips_.find(name) != clips_.end(); }

}  // namespace Graphics

namespace Content {

template <>
boost::shared_ptr<Graphics::AnimationClips> CreateAsset<Graphics::AnimationClips>(const std::string& path) {
    boost::shared_ptr<Graphics::AnimationClips> table = Graphics::AnimationClips::LoadFromFile(path);
    if (table) {
        table->loaded_ = true;
    }
    return table;
}

template <>
bool ReleaseAsset<Graphics::AnimationClips>(boost::shared_ptr<Graphics::AnimationClips> asset) {
    return asset->Unload();
}

template <>
bool ReloadAsset<Graphics::AnimationClips>(boost::shared_ptr<Graphics::AnimationClips> asset) {
    return asset->Reload();
}

}  // namespace Content
