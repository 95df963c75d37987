#pragma once
// A point the level file places on the map: a way point of the attackers' routes or a
// spawn point. It knows its level, its number in the file and its links to way points.
#include <cstdint>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "Classes/Level/CGenericObject.h"

class CLevel;
class CWayPoint;

class CLevelPoint : public CGenericObject {
public:
    typedef std::vector<boost::shared_ptr<CWayPoint>> Links;

    // z is 0.
    CLevelPoint(CLevel* level, int32_t number, int32_t objectId, int32_t x, int32_t y, int32_t direction);
    ~CLevelPoint() override;

    CLevel* GetLevel() const { return level_; }
    int32_t GetNumber() const { return number_; }
    void SetNumber(int32_t number) { number_ = number; }

    const Links& GetLinks() const { return links_; }
    void AddLink(const boost::shared_ptr<CWayPoint>& wayPoint) { links_.push_back(wayPoint); }
    void ClearLinks() { links_.clear(); }
    // links[number mod link count]; empty when there are no links.
    boost::shared_ptr<CWayPoint> GetLink(int32_t number) const;

private:
    CLevel* level_;
    int32_t number_;
    Links links_;
};
