#include "Content/HiContentLoader.h"

namespace Content {

HiContentLoader::HiContentLoader() = default;

HiContentLoader::~HiContentLoader() = default;

}  // namespace Content
