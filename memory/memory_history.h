// The last hour of free memory: a sample every 10 s in a ring of 360, with
// the moments the low-memory alarm fired. A gap in the samples (the machine
// slept) stays a gap; what is older than an hour is no longer read.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/platform.h"

namespace vt {

class MemoryHistory {
public:
    static constexpr int64_t kPeriod = 10;   // seconds between samples
    static constexpr int64_t kSpan = 3600;   // the hour shown
    static constexpr size_t kSamples = kSpan / kPeriod;
    static constexpr size_t kAlarms = 32;

    struct Sample {
        int64_t time = 0;       // seconds
        uint64_t available = 0;  // bytes
        int8_t hour = 0, minute = 0;  // local time of the sample
    };

    explicit MemoryHistory(Platform& platform) : platform_(platform) {}

    // The sampler's tick: the memory status now, when the system gives it.
    void TakeSample();
    void Add(const Sample& sample);
    void MarkAlarm(int64_t time);

    // The samples of the hour up to `now`, oldest first.
    template <typename F>
    void ForEachSample(int64_t now, F&& visit) const {
        for (size_t i = 0; i < count_; ++i) {
            const Sample& s = ring_[(next_ + kSamples - count_ + i) % kSamples];
            if (s.time > now - kSpan && s.time <= now) visit(s);
        }
    }
    template <typename F>
    void ForEachAlarm(int64_t now, F&& visit) const {
        for (size_t i = 0; i < alarmCount_; ++i) {
            const int64_t t = alarms_[(alarmNext_ + kAlarms - alarmCount_ + i) % kAlarms];
            if (t > now - kSpan && t <= now) visit(t);
        }
    }
    std::optional<Sample> Latest() const;
    // The lowest of the hour up to `now`, the latest of equal ones.
    std::optional<Sample> Lowest(int64_t now) const;

private:
    Platform& platform_;
    std::array<Sample, kSamples> ring_{};
    size_t next_ = 0, count_ = 0;
    std::array<int64_t, kAlarms> alarms_{};
    size_t alarmNext_ = 0, alarmCount_ = 0;
};

}  // namespace vt
