#include "memory/top_users.h"

#include <algorithm>
#include <charconv>
#include <tuple>

namespace vt::top_users {
namespace {

constexpr std::string_view kEllipsis = "...";

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The longest start of the text that takes at most `units` UTF-16 units,
// ending on a whole character.
std::string_view Prefix(std::string_view utf8, size_t units) {
    size_t taken = 0, i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        size_t bytes = 1;
        while (i + bytes < utf8.size() && IsContinuation(static_cast<unsigned char>(utf8[i + bytes]))) ++bytes;
        const size_t need = lead >= 0xF0 ? 2 : 1;  // beyond the BMP: a surrogate pair
        if (taken + need > units) break;
        taken += need;
        i += bytes;
    }
    return utf8.substr(0, i);
}

// The longest start of the text within `bytes`, ending on a whole character.
std::string_view WithinBytes(std::string_view utf8, size_t bytes) {
    if (utf8.size() <= bytes) return utf8;
    while (bytes > 0 && IsContinuation(static_cast<unsigned char>(utf8[bytes]))) --bytes;
    return utf8.substr(0, bytes);
}

// The order of Largest: most private bytes first, equal sizes by name in
// byte order, then by pid.
template <typename Row>
bool Before(const Row& a, const Row& b) {
    return std::tie(b.privateBytes, a.name, a.pid) < std::tie(a.privateBytes, b.name, b.pid);
}

std::string Cut(std::string_view name, size_t cap) {
    if (Utf16Length(name) <= cap) return std::string(name);
    return std::string(Prefix(name, cap - kEllipsis.size())) + std::string(kEllipsis);
}

}  // namespace

size_t Utf16Length(std::string_view utf8) {
    size_t units = 0;
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsContinuation(c)) continue;
        units += c >= 0xF0 ? 2 : 1;
    }
    return units;
}

std::vector<ProcessMemory> Largest(const std::vector<ProcessMemory>& table, uint32_t selfPid) {
    std::vector<ProcessMemory> candidates;
    candidates.reserve(table.size());
    for (const ProcessMemory& p : table) {
        if (!p.name.empty() && p.pid != selfPid) candidates.push_back(p);
    }
    const size_t n = std::min<size_t>(3, candidates.size());
    std::partial_sort(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(n), candidates.end(),
                      Before<ProcessMemory>);
    candidates.resize(n);
    return candidates;
}

void LargestKeeper::Visit(const ProcessRow& row) {
    if (row.pid == selfPid_ || row.name.empty()) return;
    const ProcessRow candidate{row.pid, WithinBytes(row.name, kNameBytes), row.privateBytes};
    const auto kept = rows_.begin() + static_cast<std::ptrdiff_t>(count_);
    const auto at = std::upper_bound(rows_.begin(), kept, candidate, Before<ProcessRow>);
    if (at == rows_.end()) return;

    // The name goes into a free slot, or into the slot of the row that drops out.
    const auto offset = count_ < rows_.size() ? count_ * kNameBytes
                                              : static_cast<size_t>(rows_.back().name.data() - names_.data());
    char* const name = names_.data() + offset;
    std::copy(candidate.name.begin(), candidate.name.end(), name);
    count_ = std::min(count_ + 1, rows_.size());
    std::move_backward(at, rows_.begin() + static_cast<std::ptrdiff_t>(count_) - 1,
                       rows_.begin() + static_cast<std::ptrdiff_t>(count_));
    *at = {candidate.pid, {name, candidate.name.size()}, candidate.privateBytes};
}

std::string SizeText(uint64_t bytes) {
    constexpr uint64_t kMb = 1ull << 20, kGb = 1ull << 30;
    if (bytes < kGb) return std::to_string(bytes / kMb) + " MB";
    const uint64_t tenths = bytes / kGb * 10 + bytes % kGb * 10 / kGb;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " GB";
}

std::string BalloonTitle(std::string_view appTitle) {
    const std::string title = std::string(appTitle) + ": memory is low";
    return std::string(Prefix(title, kTitleLimit));
}

std::string BalloonText(int32_t freeMb, const std::vector<ProcessMemory>& largest) {
    std::vector<ProcessRow> rows;
    for (const ProcessMemory& p : largest) rows.push_back({p.pid, p.name, p.privateBytes});
    return BalloonText(freeMb, rows);
}

std::string_view FreeText(int32_t freeMb, std::span<char> storage) {
    constexpr std::string_view kTail = " Mb free.";
    char* end = std::to_chars(storage.data(), storage.data() + storage.size(), freeMb).ptr;
    const size_t room = static_cast<size_t>(storage.data() + storage.size() - end);
    end = std::copy_n(kTail.data(), std::min(room, kTail.size()), end);
    return {storage.data(), static_cast<size_t>(end - storage.data())};
}

std::string BalloonText(int32_t freeMb, std::span<const ProcessRow> largest) {
    const std::string head = std::to_string(freeMb) + " Mb free.";
    if (largest.empty()) return head;

    std::vector<std::string> sizes;
    size_t fixed = Utf16Length(head) + std::string_view(" Largest: ").size();
    size_t names = 0, longest = 0;
    for (size_t i = 0; i < largest.size(); ++i) {
        std::string size = SizeText(largest[i].privateBytes);
        size.insert(size.begin(), ' ');
        sizes.push_back(std::move(size));
        fixed += sizes.back().size() + (i ? 2 : 0);  // ", " between entries
        const size_t units = Utf16Length(largest[i].name);
        names += units;
        longest = std::max(longest, units);
    }
    // The widest cap on a name's length that lets the whole text fit.
    size_t cap = longest;
    const auto total = [&](size_t c) {
        size_t sum = fixed;
        for (const ProcessRow& p : largest) sum += std::min(Utf16Length(p.name), c);
        return sum;
    };
    if (fixed + names > kTextLimit) {
        while (cap > kEllipsis.size() + 1 && total(cap) > kTextLimit) --cap;
    }

    std::string text = head + " Largest: ";
    for (size_t i = 0; i < largest.size(); ++i) {
        if (i) text += ", ";
        text += Cut(largest[i].name, cap) + sizes[i];
    }
    return std::string(Prefix(text, kTextLimit));
}

}  // namespace vt::top_users
