#include "Graphics/GraphicsResource.h"

#include <boost/functional/hash.hpp>

namespace Graphics {

namespace {
// Constructed resources; kept for the record, nothing reads it.
int32_t g_constructedResources = 0;
}  // namespace

GraphicsResource::GraphicsResource(int32_t typeId, const std::string& name)
    : name_(name), type_id_(typeId), name_hash_(static_cast<uint32_t>(boost::hash<std::string>()(name))) {
    ++g_constructedResources;
}

GraphicsResource::~GraphicsResource() = default;

}  // namespace Graphics
