// Path search timings. Every search starts from a cleared grid, so these are whole
// searches as a brain makes them; "closed" counts the cells a search closes and
// "per_closed" is the time per closed cell (goal: at most 60 ns; a short search, the
// near one within the range, under 10 us); "allocs" counts heap allocations per search
// once the caller's path vector and the search's own room have grown (it should stay 0).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Core/Service.h"
#include "tests/support/AllocationCounter.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/GameData.h"

namespace {

// A 90 x 90 grid, a fifth of its cells blocked, with a clear corner-to-corner course.
std::unique_ptr<CLevel> MakeOpenField() {
    std::unique_ptr<CLevel> level(new CLevel(""));
    level->CreateGrid(90, 90);
    std::mt19937 random(90);
    for (int32_t row = 0; row < 90; ++row)
        for (int32_t column = 0; column < 90; ++column)
            if (random() % 5 == 0 && column > 1 && row > 1 && column < 88 && row < 88)
                level->GetCell(column, row)->SetObject(0, 0, "", 0, 1, 1);
    return level;
}

// The sample map as the game loads it (config.xml's folders are relative to the game).
struct SampleLevel {
    Config config;
    GameDictionary dictionary;
    std::unique_ptr<CLevel> level;
    SampleLevel() {
        if (chdir(DM_BENCH_GAME_DIR) != 0) return;
        config.Read(catalogue::config::kFileName);
        dictionary.Load(config);
        Service<Config>::Register(&config);
        Service<GameDictionary>::Register(&dictionary);
        level.reset(new CLevel(catalogue::gamedata::kMapName));
    }
};

SampleLevel& Sample() {
    static SampleLevel sample;
    return sample;
}

void Search(benchmark::State& state, CLevel& level, CLevelNode* start, CLevelNode* goal, int32_t range) {
    if (start == nullptr || goal == nullptr) {
        state.SkipWithError("no cells to search between");
        return;
    }
    std::vector<CLevelNode*> path;
    int found = level.FindPath(nullptr, start, goal, path, 0, 1, range);  // grows the room once
    for (auto _ : state) {
        found = level.FindPath(nullptr, start, goal, path, 0, 1, range);
        benchmark::DoNotOptimize(found);
    }
    // Counted over searches of their own: around the timed loop the library allocates
    // a few times per run for itself, which would read as a fraction per search.
    const int kCountedSearches = 16;
    const long before = testsupport::Allocations();
    for (int i = 0; i < kCountedSearches; ++i) found = level.FindPath(nullptr, start, goal, path, 0, 1, range);
    const long allocations = testsupport::Allocations() - before;
    // The cells the search closed, and the time per closed cell (goal: at most 60 ns).
    double closed = 0;
    for (uint32_t row = 0; row < level.GetHeight(); ++row)
        for (uint32_t column = 0; column < level.GetWidth(); ++column)
            closed += level.GetCell(static_cast<int32_t>(column), static_cast<int32_t>(row))->IsClosed();
    state.counters["closed"] = closed;
    state.counters["per_closed"] = benchmark::Counter(closed * static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["found"] = found;
    state.counters["path"] = static_cast<double>(path.size());
    state.counters["allocs"] = static_cast<double>(allocations) / kCountedSearches;
}

void BM_SampleEntryToKeeper(benchmark::State& state) {
    CLevel* level = Sample().level.get();
    if (level == nullptr || !level->HasGrid()) {
        state.SkipWithError("no sample level (build the sample_data target)");
        return;
    }
    const boost::shared_ptr<CSpawnPoint> entry = level->GetSpawnPoints(CSpawnPoint::kAttackerEntry).at(0).lock();
    const boost::shared_ptr<CSpawnPoint> keeper = level->GetSpawnPoints(CSpawnPoint::kKeeperPlace).at(0).lock();
    Search(state, *level, level->GetCellOf(entry), level->GetCellOf(keeper), 0);
}

void BM_SampleReachabilityPass(benchmark::State& state) {
    CLevel* level = Sample().level.get();
    if (level == nullptr || !level->HasGrid()) {
        state.SkipWithError("no sample level (build the sample_data target)");
        return;
    }
    for (auto _ : state) level->ComputeReachability();
    int spots = 0;
    for (const boost::shared_ptr<CSpawnPoint>& marker : level->GetMarkers()) spots += marker->IsDefenderSpot();
    state.counters["searches"] = spots;
}

void BM_Field90Unlimited(benchmark::State& state) {
    static std::unique_ptr<CLevel> level = MakeOpenField();
    Search(state, *level, level->GetCell(0, 0), level->GetCell(89, 89), 0);
}

// A goal out of reach of the range: the search fills the diamond of the range and fails.
void BM_Field90Range7500(benchmark::State& state) {
    static std::unique_ptr<CLevel> level = MakeOpenField();
    Search(state, *level, level->GetCell(45, 45), level->GetCell(89, 89), 7500);
}

// A goal inside the range.
void BM_Field90Range7500Near(benchmark::State& state) {
    static std::unique_ptr<CLevel> level = MakeOpenField();
    Search(state, *level, level->GetCell(45, 45), level->GetCell(55, 50), 7500);
}

// Range-limited searches as the brains make them, each from another of 64 starts: a
// search repeated over and over lets the branch predictor learn it by heart, which
// makes the ones above look cheaper per closed cell than a battle's searches are.
void BM_Field90Range7500Varied(benchmark::State& state) {
    static std::unique_ptr<CLevel> level = MakeOpenField();
    std::vector<CLevelNode*> starts;
    std::mt19937 random(64);
    while (starts.size() < 64) {
        CLevelNode* cell =
            level->GetCell(static_cast<int32_t>(10 + random() % 70), static_cast<int32_t>(10 + random() % 70));
        if (cell->IsWalkable()) starts.push_back(cell);
    }
    CLevelNode* const goal = level->GetCell(89, 89);
    std::vector<CLevelNode*> path;
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(level->FindPath(nullptr, starts[next], goal, path, 0, 1, 7500));
        next = (next + 1) % starts.size();
    }
    // The cells closed by each of the starts' searches, on average.
    double closed = 0;
    for (CLevelNode* start : starts) {
        level->FindPath(nullptr, start, goal, path, 0, 1, 7500);
        for (uint32_t row = 0; row < level->GetHeight(); ++row)
            for (uint32_t column = 0; column < level->GetWidth(); ++column)
                closed += level->GetCell(static_cast<int32_t>(column), static_cast<int32_t>(row))->IsClosed();
    }
    closed /= static_cast<double>(starts.size());
    state.counters["closed"] = closed;
    state.counters["per_closed"] = benchmark::Counter(closed * static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_SampleEntryToKeeper)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SampleReachabilityPass)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Field90Unlimited)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Field90Range7500)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Field90Range7500Near)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Field90Range7500Varied)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
