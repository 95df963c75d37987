#include "Classes/Level/CLevelPoint.h"

#include "Classes/Level/CWayPoint.h"

CLevelPoint::CLevelPoint(CLevel* level, int32_t number, int32_t objectId, int32_t x, int32_t y, int32_t direction)
    : CGenericObject(objectId, x, y, 0, direction), level_(level), number_(number) {}

CLevelPoint::~CLevelPoint() = default;

boost::shared_ptr<CWayPoint> CLevelPoint::GetLink(int32_t number) const {
    if (links_.empty()) return boost::shared_ptr<CWayPoint>();
    const int64_t count = static_cast<int64_t>(links_.size());
    // A negative number still picks a link instead of indexing before the list.
    int64_t index = static_cast<int64_t>(number) % count;
    if (index < 0) index += count;
    return links_[static_cast<size_t>(index)];
}
