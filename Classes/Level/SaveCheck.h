#pragma once
// The values of a savegame, checked before a battle is rebuilt from them: every number
// within what the game itself could have written, every float finite. A damaged file
// that still reads whole is refused here rather than half taken.
#include <cmath>
#include <cstdint>

// Collects the checks of one record; the first failure sticks.
class SaveCheck {
public:
    SaveCheck& In(int64_t value, int64_t low, int64_t high) {
        ok_ = ok_ && value >= low && value <= high;
        return *this;
    }
    SaveCheck& Flag(int32_t value) { return In(value, 0, 1); }
    SaveCheck& Within(float value, float low, float high) {
        ok_ = ok_ && std::isfinite(value) && value >= low && value <= high;
        return *this;
    }
    SaveCheck& That(bool condition) {
        ok_ = ok_ && condition;
        return *this;
    }
    bool Passed() const { return ok_; }

private:
    bool ok_ = true;
};

namespace savecheck {

// Milliseconds, steps and counters: eleven days of play, far below where adding a step
// to them could overflow.
constexpr int32_t kMaxTime = 1000000000;
constexpr int32_t kMaxGold = 1000000000;
// World units; the grid is at most 1024 cells of 500 a side.
constexpr int32_t kMaxCoordinate = 10000000;
// A step's time can take a count-down this far below zero before it is noticed.
constexpr int32_t kStepOvershoot = 1000;

}  // namespace savecheck

// What the battle's own section says about the level's: its step counter and elapsed
// time bound the steps and ages the records hold.
struct SaveLimits {
    uint32_t steps = 0;
    int32_t elapsedMs = 0;
};
