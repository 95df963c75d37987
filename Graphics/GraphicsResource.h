#pragma once
// The base of every asset a content loader builds: textures, atlases, fonts,
// models, clip tables, emitter descriptions and sounds.
#include <boost/noncopyable.hpp>

#include <cstdint>
#include <string>

namespace Graphics {

// Resource kinds (type ids).
enum ResourceType : int32_t {
    ResourceTextureFromMemory = 4,  // the dynamic texture and the texture decoded from memory
    ResourceTextureFromFile = 5,
    ResourceTextureAtlas = 8,
    ResourceSpriteFont = 9,
    ResourceModel = 10,
    ResourceAnimationClips = 11,
    ResourceEmitterDesc = 12,
    ResourceSound = 13,
};

class GraphicsResource : boost::noncopyable {
public:
    GraphicsResource(int32_t typeId, const std::string& name);
    virtual ~GraphicsResource();

    virtual bool Reload() = 0;
    virtual bool Unload() = 0;

    const std::string& GetName() const { return name_; }
    int32_t GetTypeId() const { return type_id_; }
    bool IsLoaded() const { return loaded_; }
    uint32_t GetNameHash() const { return name_hash_; }

protected:
    int32_t reserved_ = 0;
    std::string name_;
    int32_t type_id_;
    bool loaded_ = false;
    uint32_t name_hash_;
};

}  // namespace Graphics
