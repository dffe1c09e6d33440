// The memory status (GlobalMemoryStatusEx) and the process table: every
// process with its private bytes, read with EnumProcesses, OpenProcess,
// GetProcessMemoryInfo and QueryFullProcessImageNameW; no handle outlives
// the reading.
#include "platform/win32/win32_internal.h"

#include <psapi.h>

namespace vt::win32 {
namespace {

// A process's row: false when it will not open for us or not answer. Where
// the memory read is refused, the limited right alone still does on
// Windows 8.1 and later.
bool ReadProcess(DWORD pid, ProcessMemory& row, std::wstring& path) {
    unique_handle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process) process = unique_handle(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process) return false;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                sizeof counters)) {
        return false;
    }
    // Wine leaves PrivateUsage at 0 and keeps the commit charge in
    // PagefileUsage.
    row.privateBytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
    DWORD length = static_cast<DWORD>(path.size());
    if (!::QueryFullProcessImageNameW(process.get(), 0, path.data(), &length)) return false;
    const std::wstring_view full(path.data(), length);
    const size_t slash = full.find_last_of(L'\\');
    row.name = Narrow(slash == std::wstring_view::npos ? full : full.substr(slash + 1));
    return true;
}

}  // namespace

// The extended status: the plain GlobalMemoryStatus caps its byte counts at
// 4 GiB, which makes every figure wrong on any machine of today.
bool Win32Platform::QueryMemoryStatus(MemoryStatus& status) {
    MEMORYSTATUSEX m{};
    m.dwLength = sizeof m;
    if (!::GlobalMemoryStatusEx(&m)) return false;
    status = {m.dwMemoryLoad, m.ullTotalPhys, m.ullAvailPhys, m.ullTotalPageFile, m.ullAvailPageFile};
    return true;
}

std::vector<ProcessMemory> Win32Platform::ProcessTable() {
    std::vector<DWORD> pids(1024);
    DWORD bytes = 0;
    for (;;) {
        const auto room = static_cast<DWORD>(pids.size() * sizeof(DWORD));
        if (!::EnumProcesses(pids.data(), room, &bytes)) return {};
        if (bytes < room) break;  // a full buffer may have left some out
        pids.resize(pids.size() * 2);
    }
    pids.resize(bytes / sizeof(DWORD));
    std::vector<ProcessMemory> table(pids.size());
    std::wstring path(32768, L'\0');  // the longest path the system knows
    for (size_t i = 0; i < pids.size(); ++i) {
        table[i].pid = pids[i];
        table[i].queryable = ReadProcess(pids[i], table[i], path);
        if (!table[i].queryable) table[i] = {pids[i], {}, 0, false};
    }
    return table;
}

uint32_t Win32Platform::CurrentProcessId() { return ::GetCurrentProcessId(); }

}  // namespace vt::win32
