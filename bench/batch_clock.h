// Per-call time over batches of calls: the median batch, which another
// process holding the core for a while, or the odd batch in which memory
// moved and the shell was handed a new tip, hardly moves; and the fastest
// batch, for a machine that other work slows down for seconds at a time.
// The plain mean over the whole run counts all of it in full.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
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

}  // namespace bench
