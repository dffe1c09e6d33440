// Who holds the memory when it runs low: the three processes with the most
// private bytes, and the balloon's title and text that name them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process_memory.h"

namespace vt::top_users {

// Room in the balloon's fields, in UTF-16 units without the closing NUL.
constexpr size_t kTitleLimit = 63;  // szInfoTitle[64]
constexpr size_t kTextLimit = 255;  // szInfo[256]

// The three largest by private bytes, largest first; equal sizes go by name
// (byte order), then by pid. The program itself and processes it may not
// query are left out; fewer than three when fewer remain.
std::vector<ProcessMemory> Largest(const std::vector<ProcessMemory>& table, uint32_t selfPid);

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
std::string BalloonText(int32_t freeMb, const std::vector<ProcessMemory>& largest);

// UTF-16 units the UTF-8 text takes in the wide record.
size_t Utf16Length(std::string_view utf8);

}  // namespace vt::top_users
