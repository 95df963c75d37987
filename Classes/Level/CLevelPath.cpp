// Path search (A* over the eight-connected grid) and line of sight.
//
// The open list is ordered by f and, among equal f, by the order in which cells were
// first added, so the cell taken next is the one a front-to-back scan of an
// insertion-ordered list taking only strictly smaller f would take. It is kept as a
// four-way heap (half the depth of a binary one, and the four children of an entry share
// a cache line) with one entry per open cell; open and closed membership are flags in
// the cells. The heap's room is reserved when a search starts, so no step allocates.
// Every exact min-heap takes the same cells in the same order: no two open cells have
// equal entries (the order names the cell).
//
// A search touches only the cells it reaches: each search has a new number, and a cell
// whose number is older holds no search values (CLevelNode::InLastSearch), so nothing
// walks the whole grid to clear it. The cost per closed cell is what remains: the
// neighbours are found by index, with constant step costs. On a large search that cost
// is mostly mispredicted jumps, which a search repeated in a benchmark hides (the
// predictor learns a short one by heart): the heap picks children, and the neighbours
// worth visiting are found, by arithmetic rather than by jumps.
#include <algorithm>
#include <vector>

#include "Classes/Level/CLevel.h"

namespace {

const int32_t kSideStep = 500;
const int32_t kDiagonalStep = 707;

// An open-list entry is one number: f in the high half, the cell's insertion order in
// the low half, so that the smallest number is the cell to take next. The order also
// names the cell (g_opened). f is never negative: g and h are sums of distances.
uint64_t Entry(int32_t f, uint32_t order) { return static_cast<uint64_t>(static_cast<uint32_t>(f)) << 32 | order; }
uint32_t EntryOrder(uint64_t entry) { return static_cast<uint32_t>(entry); }

// A four-way min-heap of entries: the children of entry i are 4i+1 to 4i+4. It holds
// one entry per open cell; where_ keeps each entry's place by the cell's order, so a
// cell whose f drops has its entry moved up rather than a second one added.
class OpenHeap {
public:
    bool Empty() const { return entries_.empty(); }
    void Clear() { entries_.clear(); }
    // Room for a search over this many cells.
    void Reserve(size_t cells) {
        if (entries_.capacity() < cells) entries_.reserve(cells);
        if (where_.size() < cells) where_.resize(cells);
    }

    uint64_t Top() const { return entries_.front(); }

    // Adds the entry of a cell not yet in the heap.
    void Push(uint64_t entry) {
        entries_.push_back(entry);
        SiftUp(entries_.size() - 1, entry);
    }

    // Replaces the cell's entry with this smaller one.
    void Decrease(uint64_t entry) { SiftUp(where_[EntryOrder(entry)], entry); }

    // Takes the smallest entry off.
    void Pop() {
        const uint64_t last = entries_.back();
        entries_.pop_back();
        if (!entries_.empty()) ReplaceTop(last);
    }

    // Takes the smallest entry off and adds one of a cell not yet in the heap: one pass
    // instead of two. The hole at the top goes down the path of smallest children to a
    // leaf, then the entry up to its place: it is usually large, so this compares less
    // than stopping on the way down.
    void ReplaceTop(uint64_t entry) {
        uint64_t* const a = entries_.data();
        uint32_t* const where = where_.data();
        const size_t n = entries_.size();
        size_t hole = 0;
        for (;;) {
            const size_t first = hole * 4 + 1;
            if (first + 3 < n) {
                // All four children: the smallest by arithmetic on the comparisons. Which
                // child wins is a coin toss to the branch predictor; written as selects,
                // the compiler makes jumps of them.
                const size_t left = first + static_cast<size_t>(a[first + 1] < a[first]);
                const size_t right = first + 2 + static_cast<size_t>(a[first + 3] < a[first + 2]);
                const uint64_t leftValue = a[left];
                const uint64_t rightValue = a[right];
                const size_t takeRight = static_cast<size_t>(0) - static_cast<size_t>(rightValue < leftValue);
                const size_t child = left ^ ((left ^ right) & takeRight);
                const uint64_t smallest = leftValue ^ ((leftValue ^ rightValue) & takeRight);
                a[hole] = smallest;
                where[EntryOrder(smallest)] = static_cast<uint32_t>(hole);
                hole = child;
            } else {
                if (first < n) {
                    size_t child = first;
                    for (size_t c = first + 1; c < n; ++c)
                        if (a[c] < a[child]) child = c;
                    a[hole] = a[child];
                    where[EntryOrder(a[hole])] = static_cast<uint32_t>(hole);
                    hole = child;
                }
                break;
            }
        }
        SiftUp(hole, entry);
    }

private:
    // Puts the entry in the hole or above it.
    void SiftUp(size_t hole, uint64_t entry) {
        uint64_t* const a = entries_.data();
        uint32_t* const where = where_.data();
        while (hole > 0) {
            const size_t parent = (hole - 1) / 4;
            const uint64_t above = a[parent];
            if (above <= entry) break;
            a[hole] = above;
            where[EntryOrder(above)] = static_cast<uint32_t>(hole);
            hole = parent;
        }
        a[hole] = entry;
        where[EntryOrder(entry)] = static_cast<uint32_t>(hole);
    }

    std::vector<uint64_t> entries_;
    std::vector<uint32_t> where_;
};

// One search state for the whole program: the search is not reentrant.
OpenHeap g_open;
// The cells in the order they were first added to the open list.
std::vector<CLevelNode*> g_opened;

}  // namespace

void CLevel::ClearSearchState() {
    g_open.Clear();
    g_opened.clear();
    // Each cell is opened once at most, and has one entry while open.
    const size_t cells = static_cast<size_t>(rows_.size()) * width_;
    g_open.Reserve(cells);
    if (g_opened.capacity() < cells + 1) g_opened.reserve(cells + 1);
    // Every cell's values now belong to an earlier search: they read as zero.
    ++CLevelNode::last_search_;
}

int CLevel::FindPath(const CUnit* unit, CLevelNode* start, CLevelNode* goal, std::vector<CLevelNode*>& path,
                     int32_t stopBeforeGoal, int32_t ignoreStillUnits, int32_t range) {
    if (start == nullptr || goal == nullptr) return 0;
    ClearSearchState();
    path.clear();
    const uint64_t search = CLevelNode::last_search_;
    // Without a walker no moving unit is slower than it, so none blocks.
    const int32_t walkerSpeed = unit != nullptr ? unit->GetSpeed() : 0;
    // Stands for every cell past the grid's edges: it blocks, so nothing writes to it.
    static CLevelNode* const offGrid = [] {
        static CLevelNode cell;
        cell.walkable_ = false;
        return &cell;
    }();
    const uint32_t height = static_cast<uint32_t>(rows_.size());
    start->search_ = search;
    start->ClearPathData();
    start->in_closed_ = false;
    start->in_open_ = true;
    start->open_order_ = static_cast<uint32_t>(g_opened.size());
    g_opened.push_back(start);
    g_open.Push(Entry(start->f_, start->open_order_));

    while (!g_open.Empty()) {
        CLevelNode* current = g_opened[EntryOrder(g_open.Top())];
        // The taken entry leaves the heap with the first entry the cell's neighbours
        // add, or on its own after them: the neighbours are looked at without waiting
        // for the heap. It leaves before any entry moves up, as one could pass it.
        bool takenInHeap = true;
        const auto push = [&takenInHeap](int32_t f, uint32_t order) __attribute__((always_inline)) {
            if (takenInHeap) {
                g_open.ReplaceTop(Entry(f, order));
                takenInHeap = false;
            } else {
                g_open.Push(Entry(f, order));
            }
        };
        const auto decrease = [&takenInHeap](int32_t f, uint32_t order) __attribute__((always_inline)) {
            if (takenInHeap) {
                g_open.Pop();
                takenInHeap = false;
            }
            g_open.Decrease(Entry(f, order));
        };
        current->in_open_ = false;
        current->in_closed_ = true;

        if (current == goal) {
            // Goal first; the start has no parent and is never part of the path.
            for (CLevelNode* cell = goal; cell->parent_ != nullptr; cell = cell->parent_)
                if (!(stopBeforeGoal != 0 && cell == goal)) path.push_back(cell);
            return 1;
        }

        // The current cell's eight neighbours in the table order of the steps below;
        // the off-grid cell stands in past the edges.
        const uint32_t column = static_cast<uint32_t>(current->position_.x / 500);
        const uint32_t row = static_cast<uint32_t>(current->position_.y / 500);
        CLevelNode* around[8];
        if (column - 1 < width_ - 2 && row - 1 < height - 2) {
            // Inside the border (both tests fail on column or row 0 by wrapping).
            CLevelNode* const above = rows_[row - 1].get() + column;
            CLevelNode* const middle = rows_[row].get() + column;
            CLevelNode* const below = rows_[row + 1].get() + column;
            around[0] = above - 1;
            around[1] = above;
            around[2] = above + 1;
            around[3] = middle - 1;
            around[4] = middle + 1;
            around[5] = below - 1;
            around[6] = below;
            around[7] = below + 1;
        } else {
            int index = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    if (dx == 0 && dy == 0) continue;
                    const uint32_t r = row + static_cast<uint32_t>(dy);
                    const uint32_t c = column + static_cast<uint32_t>(dx);
                    around[index++] = r < height && c < width_ ? rows_[r].get() + c : offGrid;
                }
        }
        // The neighbours worth a closer look, one bit each in table order: walkable,
        // not closed, and for a diagonal step no corner cut past a blocked side cell
        // (whose occupant does not matter). Found for all eight without jumps, then
        // visited bit by bit: a jump per neighbour on these tests would be a coin toss
        // to the branch predictor. Offering one neighbour changes no other's bit.
        const uint32_t northOpen = around[1]->walkable_;
        const uint32_t westOpen = around[3]->walkable_;
        const uint32_t eastOpen = around[4]->walkable_;
        const uint32_t southOpen = around[6]->walkable_;
        const uint32_t sidesOpen[8] = {westOpen & northOpen, 1, eastOpen & northOpen, 1, 1,
                                       westOpen & southOpen, 1, eastOpen & southOpen};
        uint32_t worthVisiting = 0;
        for (int i = 0; i < 8; ++i) {
            const CLevelNode* const candidate = around[i];
            const uint32_t closed = static_cast<uint32_t>(candidate->search_ == search) & candidate->in_closed_;
            worthVisiting |= (sidesOpen[i] & candidate->walkable_ & (closed ^ 1)) << i;
        }

        while (worthVisiting != 0) {
            const int i = __builtin_ctz(worthVisiting);
            worthVisiting &= worthVisiting - 1;
            CLevelNode* const candidate = around[i];
            if (range > 0 && start->ManhattanTo(candidate->position_) > range) continue;
            if (!candidate->occupant_.expired()) {
                if (const boost::shared_ptr<CUnit> occupant = candidate->occupant_.lock()) {
                    if (occupant->IsMoving()) {
                        // Only a slower mover right next to the start is in the way.
                        if (candidate->IsAdjacent(start) && occupant->GetSpeed() < walkerSpeed) continue;
                    } else if (ignoreStillUnits == 0 && !(stopBeforeGoal != 0 && candidate == goal)) {
                        continue;
                    }
                }
            }
            // Cells stand at multiples of 500 (CreateGrid): a side step costs 500 and a
            // diagonal one 707 (the corners are bits 0, 2, 5 and 7), the truncated
            // distances between the cells.
            const int32_t g = current->g_ + ((0xA5u >> i) & 1u ? kDiagonalStep : kSideStep);
            if (candidate->search_ != search || !candidate->in_open_) {
                candidate->search_ = search;
                candidate->in_closed_ = false;
                candidate->g_ = g;
                // Truncated through float, as the cell's own distance is.
                candidate->h_ =
                    static_cast<int32_t>(static_cast<float>(IntVector3Distance(candidate->position_, goal->position_)));
                candidate->f_ = g + candidate->h_;
                candidate->parent_ = current;
                candidate->in_open_ = true;
                candidate->open_order_ = static_cast<uint32_t>(g_opened.size());
                g_opened.push_back(candidate);
                push(candidate->f_, candidate->open_order_);
            } else if (g < candidate->g_) {
                candidate->g_ = g;
                candidate->f_ = g + candidate->h_;
                candidate->parent_ = current;
                decrease(candidate->f_, candidate->open_order_);
            }
        }
        if (takenInHeap) g_open.Pop();
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
