#include "memory/memory_history.h"

namespace vt {

void MemoryHistory::TakeSample() {
    MemoryStatus status;
    if (!platform_.QueryMemoryStatus(status)) return;  // a gap, as after a sleep
    const ClockTime now = platform_.Now();
    Add({now.seconds, status.availPhys, static_cast<int8_t>(now.hour), static_cast<int8_t>(now.minute)});
}

void MemoryHistory::Add(const Sample& sample) {
    ring_[next_] = sample;
    next_ = (next_ + 1) % kSamples;
    if (count_ < kSamples) ++count_;
}

void MemoryHistory::MarkAlarm(int64_t time) {
    alarms_[alarmNext_] = time;
    alarmNext_ = (alarmNext_ + 1) % kAlarms;
    if (alarmCount_ < kAlarms) ++alarmCount_;
}

std::optional<MemoryHistory::Sample> MemoryHistory::Latest() const {
    if (count_ == 0) return std::nullopt;
    return ring_[(next_ + kSamples - 1) % kSamples];
}

std::optional<MemoryHistory::Sample> MemoryHistory::Lowest(int64_t now) const {
    std::optional<Sample> lowest;
    ForEachSample(now, [&](const Sample& s) {
        if (!lowest || s.available <= lowest->available) lowest = s;
    });
    return lowest;
}

}  // namespace vt
