#pragma once
// Two sides of a comparison run by turns: each turn times one run of the first side,
// then one of the second, and keeps second / first. Load from elsewhere on the machine
// falls on both sides alike within a turn; the median of the turns' ratios is the
// figure a benchmark prints, robust to the turns a burst of load spoiled. The ratio of
// the CPU time the whole process spent on each side (every thread of it, such as a
// software renderer's) is kept as well: on a loaded machine it is the steadier one.
#include <time.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace benchsupport {

class ByTurns {
public:
    template <class First, class Second>
    void Turn(First&& first, Second&& second) {
        const double c0 = CpuSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        first();
        const auto t1 = std::chrono::steady_clock::now();
        const double c1 = CpuSeconds();
        second();
        const auto t2 = std::chrono::steady_clock::now();
        const double c2 = CpuSeconds();
        const double a = std::chrono::duration<double>(t1 - t0).count();
        const double b = std::chrono::duration<double>(t2 - t1).count();
        first_seconds_ += a;
        second_seconds_ += b;
        if (a > 0.0) ratios_.push_back(b / a);
        if (c1 - c0 > 0.0) cpu_ratios_.push_back((c2 - c1) / (c1 - c0));
    }

    // Median of the turns' second / first; 0 before any turn.
    double MedianRatio() const { return Median(ratios_); }
    // The same for the process's CPU time.
    double MedianCpuRatio() const { return Median(cpu_ratios_); }
    double MinRatio() const { return ratios_.empty() ? 0.0 : *std::min_element(ratios_.begin(), ratios_.end()); }
    double MaxRatio() const { return ratios_.empty() ? 0.0 : *std::max_element(ratios_.begin(), ratios_.end()); }
    size_t Turns() const { return ratios_.size(); }
    // Mean seconds of one run of each side.
    double FirstSeconds() const { return ratios_.empty() ? 0.0 : first_seconds_ / double(ratios_.size()); }
    double SecondSeconds() const { return ratios_.empty() ? 0.0 : second_seconds_ / double(ratios_.size()); }

private:
    static double CpuSeconds() {
        timespec t = {};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    }

    static double Median(std::vector<double> values) {
        if (values.empty()) return 0.0;
        std::sort(values.begin(), values.end());
        const size_t n = values.size();
        return n % 2 == 1 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
    }

    std::vector<double> ratios_;
    std::vector<double> cpu_ratios_;
    double first_seconds_ = 0.0;
    double second_seconds_ = 0.0;
};

}  // namespace benchsupport
