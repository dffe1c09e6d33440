// The options window's "History" tab: free memory over the last hour as a
// graph, with the warning's threshold and the moments the alarm fired, and
// beside it the figures now, named as the system names them.

#include "memory/top_users.h"
#include "ui/options_window.h"

namespace vt {

using namespace frm_options;

namespace {

// Two figures of the clock: "09", "14".
std::string TwoDigits(int value) {
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

std::string ClockText(const MemoryHistory::Sample& s) { return TwoDigits(s.hour) + ":" + TwoDigits(s.minute); }

// The warning's megabytes (1000 Kb) of a byte count, as the threshold counts them.
double WarningMb(uint64_t bytes) { return static_cast<double>(bytes) / 1024.0 / 1000.0; }

}  // namespace

std::string HistoryName(const std::optional<MemoryHistory::Sample>& now,
                        const std::optional<MemoryHistory::Sample>& lowest) {
    if (!now || !lowest) return "Free memory, last hour: no sample yet";
    return "Free memory, last hour: now " + top_users::SizeText(now->available) + ", lowest " +
           top_users::SizeText(lowest->available) + " at " + ClockText(*lowest);
}

void frmOptions::ShowHistory() {
    if (!Loaded()) return;
    const MemoryHistory& history = a_.history;
    const int64_t now = platform_.Now().seconds;
    const auto latest = history.Latest();
    const auto lowest = history.Lowest(now);

    GraphData graph;
    graph.to = now;
    graph.from = now - MemoryHistory::kSpan;
    graph.gapAfter = MemoryHistory::kPeriod * 5 / 2;
    MemoryStatus status;
    const bool known = platform_.QueryMemoryStatus(status);
    graph.high = known ? WarningMb(status.totalPhys) : 1;
    history.ForEachSample(now, [&](const MemoryHistory::Sample& s) {
        graph.points.emplace_back(s.time, WarningMb(s.available));
    });
    if (a_.warning.blnWarnSet()) graph.level = a_.warning.intWarnMb();
    history.ForEachAlarm(now, [&](int64_t t) { graph.marks.push_back(t); });
    form_->SetGraph(Graph1, graph);
    form_->SetCaption(Graph1, HistoryName(latest, lowest));

    form_->SetCaption(Label14, known ? top_users::SizeText(status.availPhys) : "");
    form_->SetCaption(Label16, lowest ? top_users::SizeText(lowest->available) + " at " + ClockText(*lowest) : "");
    form_->SetCaption(Label18, known && status.totalPageFile ? top_users::SizeText(status.totalPageFile - status.availPageFile) + " of " +
                                           top_users::SizeText(status.totalPageFile)
                                     : "");
    // Where the system keeps no figure for its cache (Wine), the line is left out.
    const uint64_t cache = platform_.SystemCacheBytes();
    form_->SetCaption(Label19, cache ? "Cached" : "");
    form_->SetCaption(Label20, cache ? top_users::SizeText(cache) : "");
}

void frmOptions::HistoryChanged() { ShowHistory(); }

}  // namespace vt
