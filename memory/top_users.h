// Who holds the memory when it runs low: the three processes with the most
// private bytes, and the balloon's title and text that name them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process_memory.h"

namespace vt::top_users {

// Room in the balloon's fields, in UTF-16 units without the closing NUL.
constexpr size_t kTitleLimit = 63;  // szInfoTitle[64]
constexpr size_t kTextLimit = 255;  // szInfo[256]

// The three largest by private bytes, largest first; equal sizes go by name
// (byte order), then by pid. The program itself and processes the system
// gives no name are left out; fewer than three when fewer remain.
std::vector<ProcessMemory> Largest(const std::vector<ProcessMemory>& table, uint32_t selfPid);

// The same three, kept while a reading of the table goes on: the program
// itself and unnamed rows (processes the system gives no name) left out.
// The names are copied into storage of the keeper's own, so that visiting
// allocates nothing; a longer name is cut on a whole character.
class LargestKeeper final : public ProcessVisitor {
public:
    // The longest file name Windows allows, 255 UTF-16 units, in UTF-8.
    static constexpr size_t kNameBytes = 3 * 255;

    explicit LargestKeeper(uint32_t selfPid) : selfPid_(selfPid) {}
    LargestKeeper(const LargestKeeper&) = delete;
    LargestKeeper& operator=(const LargestKeeper&) = delete;

    void Visit(const ProcessRow& row) override;

    // Largest first; the names live as long as the keeper.
    std::span<const ProcessRow> Kept() const { return {rows_.data(), count_}; }

private:
    uint32_t selfPid_;
    std::array<ProcessRow, 3> rows_{};
    size_t count_ = 0;
    std::array<char, 3 * kNameBytes> names_;  // one slot of kNameBytes per row
};

// Truncated, never rounded up, so that a figure never reads larger than it
// is: under 1 GB (1024^3 bytes) whole MB ("921 MB"), from there GB with one
// decimal ("3.1 GB"). The point is always '.': the text is not a figure the
// user types back.
std::string SizeText(uint64_t bytes);

// "<app>: memory is low", within kTitleLimit.
std::string BalloonTitle(std::string_view appTitle);

// "512 Mb free. Largest: a.exe 3.1 GB, b.exe 921 MB", or "512 Mb free."
// when no process is named. Within kTextLimit: the longest names give way
// first, each cut name ending in "...", so that all of them still show.
std::string BalloonText(int32_t freeMb, std::span<const ProcessRow> largest);
std::string BalloonText(int32_t freeMb, const std::vector<ProcessMemory>& largest);

// "512 Mb free.", the balloon's text when no process can be named, written
// into the caller's storage: it needs no memory of its own.
std::string_view FreeText(int32_t freeMb, std::span<char> storage);

// UTF-16 units the UTF-8 text takes in the wide record.
size_t Utf16Length(std::string_view utf8);

}  // namespace vt::top_users
