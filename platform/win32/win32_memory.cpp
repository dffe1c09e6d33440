// The memory status (GlobalMemoryStatusEx) and the process table, read from
// one snapshot of the system's list (win32_process_snapshot.cpp).
#include "platform/win32/win32_internal.h"
#include "platform/win32/win32_process_snapshot.h"

#include <psapi.h>

namespace vt::win32 {

// The extended status: the plain GlobalMemoryStatus caps its byte counts at
// 4 GiB, which makes every figure wrong on any machine of today.
bool Win32Platform::QueryMemoryStatus(MemoryStatus& status) {
    MEMORYSTATUSEX m{};
    m.dwLength = sizeof m;
    if (!::GlobalMemoryStatusEx(&m)) return false;
    status = {m.dwMemoryLoad, m.ullTotalPhys, m.ullAvailPhys, m.ullTotalPageFile, m.ullAvailPageFile};
    return true;
}

// The file cache, as the system's performance figures count it in pages.
uint64_t Win32Platform::SystemCacheBytes() {
    PERFORMANCE_INFORMATION info{};
    info.cb = sizeof info;
    if (!K32GetPerformanceInfo(&info, sizeof info)) return 0;
    return static_cast<uint64_t>(info.SystemCache) * info.PageSize;
}

// The snapshot's buffer is taken at the first reading, or earlier when the
// program reserves it, and kept.
void Win32Platform::ReserveProcessTable() {
    if (snapshot_) return;
    try {
        snapshot_ = std::make_unique<ProcessSnapshot>();
    } catch (const std::bad_alloc&) {
        // A later reading tries again.
    }
}

bool Win32Platform::VisitProcesses(ProcessVisitor& visitor) {
    ReserveProcessTable();
    return snapshot_ && snapshot_->Read(visitor);
}

uint32_t Win32Platform::CurrentProcessId() { return ::GetCurrentProcessId(); }

}  // namespace vt::win32
