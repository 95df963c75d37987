#pragma once
// A spawn point of the level file: an attackers' entry (kind 1), a defender slot
// (kind 2) or the keeper's place (kind 3). A slot shows a selection effect whose look
// depends on whether it is free, selected or the target of a move.
#include <cstdint>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Classes/Level/CLevelPoint.h"

class CUnit;
class MemoryStream;

class CSpawnPoint : public CLevelPoint {
public:
    enum Kind { kAttackerEntry = 1, kDefenderSlot = 2, kKeeperPlace = 3 };

    // variant: the slot's type (0 or 1 for defender slots, 0 for the other kinds).
    CSpawnPoint(CLevel* level, int32_t number, int32_t objectId, int32_t x, int32_t y, int32_t direction, int32_t kind,
                int32_t variant);
    ~CSpawnPoint() override;

    bool IsSpawnPoint() const override { return true; }
    // Move-target flag, occupant's object id (-1 for none), path value; int32 each.
    // 1 done, -1 once the stream has failed.
    virtual int Save(MemoryStream& stream) const;

    // A switch node with the three selection effects of the variant (none for another
    // variant), attached to the world.
    void BuildNode();
    // Child 2 while a move target, else child 1 while selected, else child 0.
    void ShowSelection();
    // The node shows only for free defender slots.
    void UpdateVisibility();
    // This is the level's selected spawn point.
    bool IsSelected() const;

    // Releases a present occupant first when asked, then occupies and refreshes the node.
    void SetOccupant(const boost::shared_ptr<CUnit>& unit, int32_t releaseFirst, int32_t reason);
    // A non-empty unit is given the point (its spot bonus) with the reason.
    void Occupy(const boost::shared_ptr<CUnit>& unit, int32_t reason);
    // A present occupant drops the spot bonus and leaves.
    void Release(int32_t reason, int32_t second);
    bool IsOccupiedBy(const CUnit* unit) const;
    // Empty occupant, or its unit no longer exists.
    bool IsFree() const { return occupant_.expired(); }
    bool HasOccupant() const { return !IsFree(); }
    boost::weak_ptr<CUnit> GetOccupant() const { return occupant_; }

    // The level's shared pointer to this point; empty without a level.
    boost::shared_ptr<CSpawnPoint> GetShared() const;

    int32_t GetKind() const { return kind_; }
    bool IsDefenderSpot() const { return kind_ == kDefenderSlot; }
    int32_t GetVariant() const { return variant_; }
    // The side that uses the point: 1 for entries, 2 for slots and the keeper's place.
    int32_t GetSide() const { return kind_ == kAttackerEntry ? 1 : 2; }

    // The move-target flag; setting it refreshes the selection effect.
    int32_t IsHighlighted() const { return move_target_; }
    void SetHighlighted(int32_t flag);

    // For defender slots the result of the level's path search from the first entry.
    int32_t GetPathValue() const { return path_value_; }
    void SetPathValue(int32_t value) { path_value_ = value; }
    bool IsReachable() const { return path_value_ != 0; }

private:
    int32_t kind_;
    int32_t variant_;
    int32_t move_target_;
    boost::weak_ptr<CUnit> occupant_;
    int32_t path_value_;
};

// One spawn point's entry of the savegame, read back in the order Save wrote it.
struct SpawnPointSaveRecord {
    int32_t moveTarget = 0;
    int32_t occupantId = -1;
    int32_t pathValue = 1;

    // 1 done, otherwise the stream's failure result; fields not read stay.
    int Read(MemoryStream& stream);
};
