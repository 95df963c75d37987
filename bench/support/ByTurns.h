#pragma once
// Two sides of a comparison run by turns: each turn times one run of the first side,
// then one of the second, and keeps second / first. Load from elsewhere on the machine
// falls on both sides alike within a turn; the median of the turns' ratios is the
// figure a benchmark prints, robust to the turns a burst of load spoiled.
#include <algorithm>
#include <chrono>
#include <vector>

namespace benchsupport {

class ByTurns {
public:
    template <class First, class Second>
    void Turn(First&& first, Second&& second) {
        const auto t0 = std::chrono::steady_clock::now();
        first();
        const auto t1 = std::chrono::steady_clock::now();
        second();
        const auto t2 = std::chrono::steady_clock::now();
        const double a = std::chrono::duration<double>(t1 - t0).count();
        const double b = std::chrono::duration<double>(t2 - t1).count();
        first_seconds_ += a;
        second_seconds_ += b;
        if (a > 0.0) ratios_.push_back(b / a);
    }

    // Median of the turns' second / first; 0 before any turn.
    double MedianRatio() const {
        if (ratios_.empty()) return 0.0;
        std::vector<double> sorted = ratios_;
        std::sort(sorted.begin(), sorted.end());
        const size_t n = sorted.size();
        return n % 2 == 1 ? sorted[n / 2] : 0.5 * (sorted[n / 2 - 1] + sorted[n / 2]);
    }
    double MinRatio() const { return ratios_.empty() ? 0.0 : *std::min_element(ratios_.begin(), ratios_.end()); }
    double MaxRatio() const { return ratios_.empty() ? 0.0 : *std::max_element(ratios_.begin(), ratios_.end()); }
    size_t Turns() const { return ratios_.size(); }
    // Mean seconds of one run of each side.
    double FirstSeconds() const { return ratios_.empty() ? 0.0 : first_seconds_ / double(ratios_.size()); }
    double SecondSeconds() const { return ratios_.empty() ? 0.0 : second_seconds_ / double(ratios_.size()); }

private:
    std::vector<double> ratios_;
    double first_seconds_ = 0.0;
    double second_seconds_ = 0.0;
};

}  // namespace benchsupport
