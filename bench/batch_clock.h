// Per-call time over batches of calls: the median batch, which another
// process holding the core for a while, or the odd batch in which memory
// moved and the shell was handed a new tip, hardly moves; and the fastest
// batch, for a machine that other work slows down for seconds at a time.
// The plain mean over the whole run counts all of it in full.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace bench {

class BatchClock {
public:
    explicit BatchClock(int batch) : batch_(batch) {}
    // Before call number i of the run.
    void Before(int i) {
        if (i % batch_ != 0) return;
        const auto now = std::chrono::steady_clock::now();
        if (i > 0) laps_.push_back(std::chrono::duration<double, std::micro>(now - last_).count() / batch_);
        last_ = now;
    }
    void End(int calls) {
        if (calls % batch_ == 0) Before(calls);
    }
    double MedianUs() {
        if (laps_.empty()) return 0;
        std::sort(laps_.begin(), laps_.end());
        return laps_[laps_.size() / 2];
    }
    // The fastest batch: the cost with the least of anything else in it.
    double LeastUs() const { return laps_.empty() ? 0 : *std::min_element(laps_.begin(), laps_.end()); }

private:
    int batch_;
    std::chrono::steady_clock::time_point last_;
    std::vector<double> laps_;
};

// CPU time of the calling thread (user and kernel) in microseconds: what the
// program itself spent, without the time the shell or another process took.
inline double ThreadCpuUs() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    auto us = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10;
    };
    return us(kernel) + us(user);
}

// Times `updates` calls of update(i), then `hovers` calls of hover() with
// doEvents() after every hundredth, and prints what bench/report.py reads:
// the mean per call, the median and the fastest batch of a hundred, and the
// thread's own CPU time per call.
template <typename Update, typename Hover, typename DoEvents>
void TimeUpdatesAndHovers(int updates, int hovers, Update&& update, Hover&& hover, DoEvents&& doEvents) {
    BatchClock updateBatches(100), hoverBatches(100);
    const double c0 = ThreadCpuUs();
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < updates; ++i) {
        updateBatches.Before(i);
        update(i);
    }
    updateBatches.End(updates);
    const auto t1 = std::chrono::steady_clock::now();
    const double c1 = ThreadCpuUs();
    for (int i = 0; i < hovers; ++i) {
        hoverBatches.Before(i);
        hover();
        if (i % 100 == 0) doEvents();
    }
    hoverBatches.End(hovers);
    const auto t2 = std::chrono::steady_clock::now();
    const double c2 = ThreadCpuUs();
    using us = std::chrono::duration<double, std::micro>;
    const int u = std::max(updates, 1), h = std::max(hovers, 1);
    std::printf("updates=%d us_per_update=%.1f hovers=%d us_per_hover=%.1f median_batch_us_per_update=%.1f "
                "median_batch_us_per_hover=%.1f least_batch_us_per_update=%.1f least_batch_us_per_hover=%.1f "
                "cpu_us_per_update=%.1f cpu_us_per_hover=%.1f\n",
                updates, us(t1 - t0).count() / u, hovers, us(t2 - t1).count() / h, updateBatches.MedianUs(),
                hoverBatches.MedianUs(), updateBatches.LeastUs(), hoverBatches.LeastUs(), (c1 - c0) / u,
                (c2 - c1) / h);
    std::fflush(stdout);
}

}  // namespace bench
