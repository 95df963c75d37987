// Path search (A* over the eight-connected grid) and line of sight.
//
// The open list is ordered by f and, among equal f, by the order in which cells were
// first added, so the cell taken next is the one a front-to-back scan of an
// insertion-ordered list taking only strictly smaller f would take. It is kept as a
// four-way heap (half the depth of a binary one, and the four children of an entry share
// a cache line) with one entry per open cell. The search's room is reserved when it
// starts, so no step allocates. Every exact min-heap takes the same cells in the same
// order: no two open cells have equal entries (the order names the cell).
//
// A search touches only the cells it reaches: each search has a new number, and a cell
// whose number is older holds no search values (CLevelNode::InLastSearch), so nothing
// walks the whole grid to clear it. Walkability is read from the level's search cells,
// a byte per cell with a blocked border, and open and closed membership with the best
// g so far from the search's own value per cell, laid out the same way: the eight
// neighbours are short runs of both, read without edge tests, instead of eight cells'
// worth of cache lines, and an open neighbour that the step does not reach more
// cheaply is never visited. A search sets the values of the cells it opened back when
// it ends. The cost per closed cell is what remains. On a large search that cost is
// mostly mispredicted jumps, which a search repeated in a benchmark hides (the
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
    bool Empty() const { return size_ == 0; }
    void Clear() {
        std::fill(entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(size_), kNone);
        size_ = 0;
    }
    // Room for a search over this many cells.
    void Reserve(size_t cells) {
        if (entries_.size() < cells + 3) entries_.resize(cells + 3, kNone);
        if (where_.size() < cells) where_.resize(cells);
    }

    uint64_t Top() const { return entries_[0]; }

    // Adds the entry of a cell not yet in the heap.
    void Push(uint64_t entry) { SiftUp(size_++, entry); }

    // Replaces the cell's entry with this smaller one.
    void Decrease(uint64_t entry) { SiftUp(where_[EntryOrder(entry)], entry); }

    // Takes the smallest entry off.
    void Pop() {
        const uint64_t last = entries_[--size_];
        entries_[size_] = kNone;
        if (size_ != 0) ReplaceTop(last);
    }

    // Takes the smallest entry off and adds one of a cell not yet in the heap: one pass
    // instead of two. The hole at the top goes down the path of smallest children to a
    // leaf, then the entry up to its place: it is usually large, so this compares less
    // than stopping on the way down.
    void ReplaceTop(uint64_t entry) {
        uint64_t* const a = entries_.data();
        uint32_t* const where = where_.data();
        const size_t n = size_;
        size_t hole = 0;
        // Places past the last entry hold kNone, so every hole with a child has four.
        for (size_t first = 1; first < n; first = hole * 4 + 1) {
            // The smallest child by arithmetic on the comparisons. Which child wins is
            // a coin toss to the branch predictor; written as selects, the compiler
            // makes jumps of them.
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
        }
        SiftUp(hole, entry);
    }

private:
    static constexpr uint64_t kNone = ~static_cast<uint64_t>(0);

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

    // The entries, then kNone in every place up to the end.
    std::vector<uint64_t> entries_;
    size_t size_ = 0;
    std::vector<uint32_t> where_;
};

// One search state for the whole program: the search is not reentrant.
OpenHeap g_open;
// The distances between cells (dc, dr) apart, row dr of side g_distance_side: cells
// stand at multiples of 500 on a flat grid, so every distance the search asks is one
// of these. Grown with the largest grid searched.
std::vector<int32_t> g_distance;
uint32_t g_distance_side = 0;
// The cells in the order they were first added to the open list, and their places in
// the level's search cells.
std::vector<CLevelNode*> g_opened;
std::vector<uint32_t> g_opened_cells;

// A level's search cells: one byte per cell, 1 when walkable, in rows with a blocked
// border around the grid, so that the eight neighbours of any cell are read without
// edge tests.
const uint8_t kCellWalkable = 1;
// The search's own value per cell, laid out as the search cells: kUnreached, the g of
// an open cell, or kClosed. A neighbour is worth offering a step of g when g is below
// it: a new cell, or an open one reached more cheaply. Every value is kUnreached
// between searches.
const int32_t kUnreached = INT32_MAX;
const int32_t kClosed = INT32_MIN;
std::vector<int32_t> g_cell_values;

}  // namespace

void CLevel::ClearSearchState() {
    g_open.Clear();
    // Each cell is opened once at most, and has one entry while open.
    const size_t cells = static_cast<size_t>(rows_.size()) * width_;
    g_open.Reserve(cells);
    if (g_opened.size() < cells) g_opened.resize(cells);
    if (g_opened_cells.size() < cells) g_opened_cells.resize(cells);
    const size_t searchCells = (static_cast<size_t>(width_) + 2) * (rows_.size() + 2);
    if (g_cell_values.size() < searchCells) g_cell_values.resize(searchCells, kUnreached);
    const uint32_t side = std::max(width_, static_cast<uint32_t>(rows_.size()));
    if (side > g_distance_side) {
        g_distance.resize(static_cast<size_t>(side) * side);
        for (uint32_t dr = 0; dr < side; ++dr)
            for (uint32_t dc = 0; dc < side; ++dc)
                g_distance[static_cast<size_t>(dr) * side + dc] =
                    static_cast<int32_t>(static_cast<float>(IntVector3Distance(
                        IntVector3(static_cast<int32_t>(dc) * 500, static_cast<int32_t>(dr) * 500, 0), IntVector3())));
        g_distance_side = side;
    }
    // Every cell's values now belong to an earlier search: they read as zero.
    ++CLevelNode::last_search_;
}

void CLevel::MakeSearchCells() {
    const size_t stride = width_ + 2;
    search_cells_.assign(stride * (rows_.size() + 2), 0);
    for (size_t row = 0; row < rows_.size(); ++row)
        for (size_t column = 0; column < width_; ++column)
            search_cells_[(row + 1) * stride + column + 1] = rows_[row][column].walkable_ ? kCellWalkable : 0;
    search_cells_made_at_ = CLevelNode::walkability_changes_;
}

int CLevel::FindPath(const CUnit* unit, CLevelNode* start, CLevelNode* goal, std::vector<CLevelNode*>& path,
                     int32_t stopBeforeGoal, int32_t ignoreStillUnits, int32_t range) {
    if (start == nullptr || goal == nullptr) return 0;
    // The search indexes its own arrays by the cells' places: cells of this grid only.
    if (!IsCellValid(start->position_.x / 500, start->position_.y / 500) ||
        !IsCellValid(goal->position_.x / 500, goal->position_.y / 500))
        return 0;
    ClearSearchState();
    path.clear();
    if (search_cells_.empty() || search_cells_made_at_ != CLevelNode::walkability_changes_) MakeSearchCells();
    const uint64_t search = CLevelNode::last_search_;
    // Without a walker no moving unit is slower than it, so none blocks.
    const int32_t walkerSpeed = unit != nullptr ? unit->GetSpeed() : 0;
    const uint32_t height = static_cast<uint32_t>(rows_.size());
    const int32_t stride = static_cast<int32_t>(width_) + 2;
    const uint8_t* const cells = search_cells_.data();
    int32_t* const values = g_cell_values.data();
    // The neighbours in table order: offsets in the search's cells, column and row steps.
    const int32_t offsets[8] = {-stride - 1, -stride, -stride + 1, -1, 1, stride - 1, stride, stride + 1};
    static const int32_t kColumnStep[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
    static const int32_t kRowStep[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
    const int32_t startColumn = start->position_.x / 500;
    const int32_t startRow = start->position_.y / 500;
    const int32_t goalColumn = goal->position_.x / 500;
    const int32_t goalRow = goal->position_.y / 500;
    const int32_t* const distance = g_distance.data();
    const size_t distanceSide = g_distance_side;

    start->search_ = search;
    start->ClearPathData();
    start->in_closed_ = false;
    start->open_order_ = 0;
    // The opened cells are written through pointers: their room is reserved.
    CLevelNode** opened = g_opened.data();
    uint32_t* openedCells = g_opened_cells.data();
    uint32_t openedCount = 1;
    opened[0] = start;
    openedCells[0] = static_cast<uint32_t>((startRow + 1) * stride + startColumn + 1);
    values[openedCells[0]] = 0;
    g_open.Push(Entry(start->f_, start->open_order_));

    int found = 0;
    while (!g_open.Empty()) {
        const uint32_t order = EntryOrder(g_open.Top());
        CLevelNode* const current = opened[order];
        const int32_t index = static_cast<int32_t>(openedCells[order]);
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
        values[index] = kClosed;
        current->in_closed_ = true;

        if (current == goal) {
            // Goal first; the start has no parent and is never part of the path.
            for (CLevelNode* cell = goal; cell->parent_ != nullptr; cell = cell->parent_)
                if (!(stopBeforeGoal != 0 && cell == goal)) path.push_back(cell);
            found = 1;
            break;
        }

        const int32_t column = current->position_.x / 500;
        const int32_t row = current->position_.y / 500;
        // The neighbours worth a closer look, one bit each in table order: walkable,
        // not closed and not reached more cheaply already, within the range, and for a
        // diagonal step no corner cut past a blocked side cell (whose occupant does not
        // matter). Found for all eight without jumps, then visited bit by bit: a jump
        // per neighbour on these tests would be a coin toss to the branch predictor.
        // Offering one neighbour changes no other's bit. Cells stand at multiples of 500
        // (CreateGrid): a side step costs 500 and a diagonal one 707 (the corners are
        // bits 0, 2, 5 and 7), the truncated distances between the cells.
        const int32_t sideG = current->g_ + kSideStep;
        const int32_t diagonalG = current->g_ + kDiagonalStep;
        const int32_t stepG[8] = {diagonalG, sideG, diagonalG, sideG, sideG, diagonalG, sideG, diagonalG};
        const uint32_t northOpen = cells[index + offsets[1]];
        const uint32_t westOpen = cells[index + offsets[3]];
        const uint32_t eastOpen = cells[index + offsets[4]];
        const uint32_t southOpen = cells[index + offsets[6]];
        const uint32_t sidesOpen[8] = {westOpen & northOpen, 1, eastOpen & northOpen, 1, 1,
                                       westOpen & southOpen, 1, eastOpen & southOpen};
        uint32_t worthVisiting = 0;
        for (int i = 0; i < 8; ++i)
            worthVisiting |= (sidesOpen[i] & cells[index + offsets[i]] &
                              static_cast<uint32_t>(stepG[i] < values[index + offsets[i]]))
                             << i;
        const int64_t columnFromStart = column - startColumn;
        const int64_t rowFromStart = row - startRow;
        // No neighbour is more than two steps farther from the start than the cell.
        if (range > 0 && (std::llabs(columnFromStart) + std::llabs(rowFromStart) + 2) * 500 > range) {
            uint32_t inRange = 0;
            for (int i = 0; i < 8; ++i)
                inRange |=
                    static_cast<uint32_t>(
                        (std::llabs(columnFromStart + kColumnStep[i]) + std::llabs(rowFromStart + kRowStep[i])) * 500 <=
                        range)
                    << i;
            worthVisiting &= inRange;
        }
        // Walkable neighbours are inside the grid.
        CLevelNode* const rowCells[3] = {
            row > 0 ? rows_[static_cast<size_t>(row) - 1].get() : nullptr, rows_[static_cast<size_t>(row)].get(),
            static_cast<uint32_t>(row) + 1 < height ? rows_[static_cast<size_t>(row) + 1].get() : nullptr};

        while (worthVisiting != 0) {
            const int i = __builtin_ctz(worthVisiting);
            worthVisiting &= worthVisiting - 1;
            CLevelNode* const candidate = rowCells[kRowStep[i] + 1] + column + kColumnStep[i];
            int32_t& value = values[index + offsets[i]];
            const int32_t g = stepG[i];
            if (value != kUnreached) {
                // Open, and reached more cheaply now.
                value = g;
                candidate->g_ = g;
                candidate->f_ = g + candidate->h_;
                candidate->parent_ = current;
                decrease(candidate->f_, candidate->open_order_);
                continue;
            }
            // A cell its occupant keeps out is kept out the whole search, so an open cell
            // has passed this.
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
            value = g;
            candidate->search_ = search;
            candidate->in_closed_ = false;
            candidate->g_ = g;
            candidate->h_ = distance[static_cast<size_t>(std::abs(row + kRowStep[i] - goalRow)) * distanceSide +
                                     static_cast<size_t>(std::abs(column + kColumnStep[i] - goalColumn))];
            candidate->f_ = g + candidate->h_;
            candidate->parent_ = current;
            candidate->open_order_ = openedCount;
            opened[openedCount] = candidate;
            openedCells[openedCount++] = static_cast<uint32_t>(index + offsets[i]);
            push(candidate->f_, candidate->open_order_);
        }
        if (takenInHeap) g_open.Pop();
    }
    // Every value is kUnreached again, ready for the next search.
    for (uint32_t i = 0; i < openedCount; ++i) values[openedCells[i]] = kUnreached;
    return found;
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
