#pragma once
// One cell of the level grid: its corner position, the unit standing in it (held
// weakly), the scenery object placed on it (owned) and the working values of the path
// search.
#include <cstdint>
#include <string>

#include <boost/weak_ptr.hpp>

#include "Maths/IntVector3.h"

class CLevel;
class CLevelObject;
class CUnit;

class CLevelNode {
public:
    CLevelNode();
    // Deletes the scenery object.
    virtual ~CLevelNode();
    CLevelNode(const CLevelNode&) = delete;
    CLevelNode& operator=(const CLevelNode&) = delete;

    const IntVector3& GetPosition() const { return position_; }
    void SetPosition(const IntVector3& position) { position_ = position; }

    // No object, or one that does not block movement / sight.
    bool IsWalkable() const;
    bool IsTransparent() const;

    bool HasOccupant() const { return !occupant_.expired(); }
    boost::weak_ptr<CUnit> GetOccupant() const { return occupant_; }
    void SetOccupant(const boost::weak_ptr<CUnit>& unit) { occupant_ = unit; }

    // 1 when both position differences are at most 500 (a cell is adjacent to itself);
    // 0 for null.
    int IsAdjacent(const CLevelNode* cell) const;
    // Integer Euclidean distance of the positions: 500 to a side neighbour, 707 to a
    // diagonal one. 0 for null.
    float DistanceTo(const CLevelNode* cell) const;
    // |dx| + |dy|; 0 for null.
    float ManhattanDistanceTo(const CLevelNode* cell) const;
    int32_t ManhattanTo(const IntVector3& position) const;

    // A new scenery object at (x, y, 0) replaces (and deletes) the one the cell held.
    void SetObject(int32_t x, int32_t y, const std::string& name, int32_t visible, int32_t blocksMovement,
                   int32_t blocksSight);
    bool HasObject() const { return object_ != nullptr; }
    CLevelObject* GetObject() const { return object_; }

    // Path search values, valid during and right after a search.
    void ClearPathData();
    int32_t GetG() const { return g_; }
    int32_t GetH() const { return h_; }
    int32_t GetF() const { return f_; }
    CLevelNode* GetParent() const { return parent_; }

private:
    friend class CLevel;

    IntVector3 position_;
    boost::weak_ptr<CUnit> occupant_;
    CLevelObject* object_;
    int32_t g_;
    int32_t h_;
    int32_t f_;
    CLevelNode* parent_;
    // The search's open and closed membership, kept in the cell so that neither test
    // scans a list; open_order_ is the cell's place in the open list's insertion order.
    uint32_t open_order_;
    bool in_open_;
    bool in_closed_;
};
