#include "SceneGraph/RenderLists.h"

namespace sg {

bool MBXSorter::Sort(RenderLists& /*lists*/) { return true; }

}  // namespace sg
