// Path search (A* over the eight-connected grid) and line of sight.
//
// The open list is ordered by f and, among equal f, by the order in which cells were
// first added, so the cell taken next is the one a front-to-back scan of an
// insertion-ordered list taking only strictly smaller f would take. It is kept as a
// binary heap whose stale entries (a cell whose f has since dropped, or that was closed)
// are skipped; open and closed membership are flags in the cells. The heap's room is
// reserved when a search starts, so no step allocates.
#include <algorithm>
#include <vector>

#include "Classes/Level/CLevel.h"

namespace {

const int32_t kSearchNeighbours[8][2] = {{-500, -500}, {0, -500},   {500, -500}, {-500, 0},
                                         {500, 0},     {-500, 500}, {0, 500},    {500, 500}};

struct OpenEntry {
    int32_t f;
    uint32_t order;
    CLevelNode* cell;
};

// The heap's top is the smallest (f, order).
bool After(const OpenEntry& a, const OpenEntry& b) { return a.f != b.f ? a.f > b.f : a.order > b.order; }

// One search state for the whole program: the search is not reentrant.
std::vector<OpenEntry> g_open;
uint32_t g_next_order = 0;

void PushOpen(CLevelNode* cell, int32_t f, uint32_t order) {
    g_open.push_back(OpenEntry{f, order, cell});
    std::push_heap(g_open.begin(), g_open.end(), After);
}

}  // namespace

void CLevel::ClearSearchState() {
    g_open.clear();
    g_next_order = 0;
    // Every closed cell adds at most eight entries, and the start one more.
    const size_t cells = static_cast<size_t>(rows_.size()) * width_;
    if (g_open.capacity() < cells * 8 + 1) g_open.reserve(cells * 8 + 1);
    for (const std::unique_ptr<CLevelNode[]>& row : rows_)
        for (uint32_t column = 0; column < width_; ++column) {
            CLevelNode& cell = row[column];
            cell.ClearPathData();
            cell.in_open_ = false;
            cell.in_closed_ = false;
            cell.open_order_ = 0;
        }
}

int CLevel::FindPath(const CUnit* unit, CLevelNode* start, CLevelNode* goal, std::vector<CLevelNode*>& path,
                     int32_t stopBeforeGoal, int32_t ignoreStandingUnits, int32_t range) {
    if (start == nullptr || goal == nullptr) return 0;
    ClearSearchState();
    path.clear();
    // Without a walker no moving unit is slower than it, so none blocks.
    const int32_t walkerSpeed = unit != nullptr ? unit->GetSpeed() : 0;

    start->in_open_ = true;
    start->open_order_ = g_next_order++;
    PushOpen(start, start->f_, start->open_order_);

    while (!g_open.empty()) {
        std::pop_heap(g_open.begin(), g_open.end(), After);
        const OpenEntry taken = g_open.back();
        g_open.pop_back();
        CLevelNode* current = taken.cell;
        if (!current->in_open_ || current->f_ != taken.f) continue;
        current->in_open_ = false;
        current->in_closed_ = true;

        if (current == goal) {
            // Goal first; the start has no parent and is never part of the path.
            for (CLevelNode* cell = goal; cell->parent_ != nullptr; cell = cell->parent_)
                if (!(stopBeforeGoal != 0 && cell == goal)) path.push_back(cell);
            return 1;
        }

        const IntVector3& at = current->position_;
        for (const int32_t(&offset)[2] : kSearchNeighbours) {
            const int32_t dx = offset[0];
            const int32_t dy = offset[1];
            CLevelNode* candidate = GetCellAt(at.x + dx, at.y + dy);
            if (candidate == nullptr || candidate->in_closed_ || !candidate->IsWalkable()) continue;
            if (range > 0 && start->ManhattanTo(candidate->position_) > range) continue;
            if (const boost::shared_ptr<CUnit> occupant = candidate->occupant_.lock()) {
                if (occupant->IsMoving()) {
                    // Only a slower mover right next to the start is in the way.
                    if (candidate->IsAdjacent(start) && occupant->GetSpeed() < walkerSpeed) continue;
                } else if (ignoreStandingUnits == 0 && !(stopBeforeGoal != 0 && candidate == goal)) {
                    continue;
                }
            }
            if (dx != 0 && dy != 0) {
                // No cutting corners past blocked cells (their occupants do not matter).
                const CLevelNode* sideX = GetCellAt(at.x + dx, at.y);
                const CLevelNode* sideY = GetCellAt(at.x, at.y + dy);
                if (sideX == nullptr || !sideX->IsWalkable() || sideY == nullptr || !sideY->IsWalkable()) continue;
            }
            // Distances are whole numbers: the sum equals the truncated float sum.
            const int32_t g = current->g_ + static_cast<int32_t>(current->DistanceTo(candidate));
            if (!candidate->in_open_) {
                candidate->g_ = g;
                candidate->h_ = static_cast<int32_t>(candidate->DistanceTo(goal));
                candidate->f_ = g + candidate->h_;
                candidate->parent_ = current;
                candidate->in_open_ = true;
                candidate->open_order_ = g_next_order++;
                PushOpen(candidate, candidate->f_, candidate->open_order_);
            } else if (g < candidate->g_) {
                candidate->g_ = g;
                candidate->f_ = g + candidate->h_;
                candidate->parent_ = current;
                PushOpen(candidate, candidate->f_, candidate->open_order_);
            }
        }
    }
    return 0;
}

int CLevel::HasLineOfSight(const CLevelNode* a, const CLevelNode* b) const {
    if (a == nullptr || b == nullptr) return 0;
    const IntVector3& p = a->GetPosition();
    const IntVector3& q = b->GetPosition();
    return IsLineClear(IntVector3(p.x + 250, p.y + 250, p.z), IntVector3(q.x + 250, q.y + 250, q.z));
}

int CLevel::IsLineClear(const IntVector3& p, const IntVector3& q) const {
    // Wide intermediates: the products of two int32 differences do not fit 64 bits
    // for every input. Division truncates toward zero, as the integer line always did.
    typedef __int128 Wide;
    if (q.x != p.x) {
        const int64_t from = std::min(p.x, q.x);
        const int64_t to = std::max(p.x, q.x);
        for (int64_t x = from; x <= to; x += 500) {
            const Wide y =
                static_cast<Wide>(x - p.x) * (static_cast<int64_t>(q.y) - p.y) / (static_cast<int64_t>(q.x) - p.x) +
                p.y;
            const CLevelNode* cell = GetCellAt(static_cast<int32_t>(x), static_cast<int32_t>(y));
            if (cell == nullptr || !cell->IsTransparent()) return 0;
        }
    }
    if (q.y != p.y) {
        const int64_t from = std::min(p.y, q.y);
        const int64_t to = std::max(p.y, q.y);
        for (int64_t y = from; y <= to; y += 500) {
            const Wide x =
                static_cast<Wide>(y - p.y) * (static_cast<int64_t>(q.x) - p.x) / (static_cast<int64_t>(q.y) - p.y) +
                p.x;
            const CLevelNode* cell = GetCellAt(static_cast<int32_t>(x), static_cast<int32_t>(y));
            if (cell == nullptr || !cell->IsTransparent()) return 0;
        }
    }
    return 1;
}
