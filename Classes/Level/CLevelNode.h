#pragma once
// One cell of the level grid: its corner position, the unit that occupies it (held
// weakly), the scenery object placed on it (owned) and the working values of the path
// search.
#include <cstdint>
#include <cstdlib>
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
    bool IsWalkable() const { return walkable_; }
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
    // Inline: the path search asks it for every neighbour under a range limit.
    int32_t ManhattanTo(const IntVector3& position) const {
        const int64_t sum = std::llabs(static_cast<int64_t>(position_.x) - position.x) +
                            std::llabs(static_cast<int64_t>(position_.y) - position.y);
        return sum > INT32_MAX ? INT32_MAX : static_cast<int32_t>(sum);
    }

    // A new scenery object at (x, y, 0) replaces (and deletes) the one the cell held.
    void SetObject(int32_t x, int32_t y, const std::string& name, int32_t visible, int32_t blocksMovement,
                   int32_t blocksSight);
    bool HasObject() const { return object_ != nullptr; }
    CLevelObject* GetObject() const { return object_; }

    // Path search values, valid during and right after a search: those of the last
    // search of the program, zero (and no parent) in a cell that search did not reach.
    void ClearPathData();
    int32_t GetG() const { return InLastSearch() ? g_ : 0; }
    int32_t GetH() const { return InLastSearch() ? h_ : 0; }
    int32_t GetF() const { return InLastSearch() ? f_ : 0; }
    CLevelNode* GetParent() const { return InLastSearch() ? parent_ : nullptr; }
    // The last search took the cell off its open list.
    bool IsClosed() const { return InLastSearch() && in_closed_; }

private:
    friend class CLevel;

    bool InLastSearch() const { return search_ == last_search_; }

    // The path search reads the first members for every neighbour it looks at: they
    // come first, together.
    // The search that last reached the cell; the search values belong to that search.
    uint64_t search_;
    // The search's open and closed membership, kept in the cell so that neither test
    // scans a list; open_order_ is the cell's place in the open list's insertion order.
    bool in_closed_;
    // No object, or one that does not block walking (set with the object).
    bool walkable_;
    uint32_t open_order_;
    int32_t g_;
    int32_t h_;
    int32_t f_;
    IntVector3 position_;
    boost::weak_ptr<CUnit> occupant_;
    CLevelNode* parent_;
    CLevelObject* object_;
    // Counts the searches of the program (64 bits: it never wraps).
    static inline uint64_t last_search_ = 0;
    // Counts the changes of walkable_ in any cell, so that a level's path search knows
    // when its own copy of the grid's walkability is out of date.
    static inline uint64_t walkability_changes_ = 0;
};
