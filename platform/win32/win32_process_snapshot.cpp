// One snapshot of the system's process list, read where the system wrote it.
// The record is winternl.h's: the fields read here sit where Windows puts
// them on both widths (checked below), whatever the header calls the rest.
#include "platform/win32/win32_process_snapshot.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <new>
#include <string_view>

namespace vt::win32 {
namespace {

constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);  // STATUS_INFO_LENGTH_MISMATCH
constexpr size_t kLeastRoom = 64 * 1024;

constexpr bool kWide = sizeof(void*) == 8;
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, ImageName) == 56);
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, UniqueProcessId) == (kWide ? 80 : 68));
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, VirtualMemoryCounters) + offsetof(VM_COUNTERS, PagefileUsage) ==
              (kWide ? 184 : 124));
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, PrivatePageCount) == (kWide ? 200 : 132));

}  // namespace

ProcessSnapshot::QueryProc ProcessSnapshot::FindQuery() {
    // ntdll is mapped into every process for its whole life: no reference
    // to hold.
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    const FARPROC proc = ntdll ? ::GetProcAddress(ntdll, "NtQuerySystemInformation") : nullptr;
    return reinterpret_cast<ProcessSnapshot::QueryProc>(reinterpret_cast<void (*)()>(proc));
}

ProcessSnapshot::ProcessSnapshot() : query_(FindQuery()) {
    if (!query_) return;
    ULONG needed = 0;
    query_(SystemProcessInformation, nullptr, 0, &needed);
    Grow(needed);
}

ProcessSnapshot::ProcessSnapshot(size_t bytes) : query_(FindQuery()) {
    buffer_.reset(new (std::nothrow) std::byte[bytes]);
    capacity_ = buffer_ ? bytes : 0;
}

bool ProcessSnapshot::Grow(size_t atLeast) {
    // Half as much again: the list is measured by one call and read by the
    // next, and it grows fastest when memory runs short, which is when it
    // is read.
    const size_t bytes = std::min<size_t>(std::max(atLeast + atLeast / 2, kLeastRoom),
                                          std::numeric_limits<ULONG>::max());
    // The old buffer goes first, so that its room can serve the new one.
    buffer_.reset();
    buffer_.reset(new (std::nothrow) std::byte[bytes]);
    capacity_ = buffer_ ? bytes : 0;
    return capacity_ > atLeast;
}

bool ProcessSnapshot::Read(ProcessVisitor& visitor) {
    if (!query_) return false;
    // Processes may start between the call that finds the buffer short and
    // the next: a few tries.
    for (int attempt = 0; attempt < 4; ++attempt) {
        ULONG returned = 0;
        const NTSTATUS status =
            query_(SystemProcessInformation, buffer_.get(), static_cast<ULONG>(capacity_), &returned);
        if (NT_SUCCESS(status)) {
            Walk(Buffer().first(std::min<size_t>(returned, capacity_)), visitor);
            return true;
        }
        if (status != kInfoLengthMismatch) return false;
        // The figure answered is what the list takes now; where it is no
        // more than the buffer already holds, twice the room.
        if (!Grow(returned > capacity_ ? returned : 2 * capacity_)) return false;
    }
    return false;
}

void ProcessSnapshot::Walk(std::span<const std::byte> list, ProcessVisitor& visitor) {
    for (size_t offset = 0; offset + sizeof(SYSTEM_PROCESS_INFORMATION) <= list.size();) {
        const auto& p = *reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(list.data() + offset);
        // Windows fills PrivatePageCount (in bytes, whatever its name says);
        // Wine leaves it at 0 and keeps the commit charge in PagefileUsage.
        const SIZE_T commit = p.PrivatePageCount ? p.PrivatePageCount : p.VirtualMemoryCounters.PagefileUsage;
        const auto pid = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p.UniqueProcessId));
        visitor.Visit({pid, Name(p.ImageName.Buffer, p.ImageName.Length), commit});
        if (p.NextEntryOffset == 0) break;
        offset += p.NextEntryOffset;
    }
}

std::string_view ProcessSnapshot::Name(const wchar_t* image, size_t bytes) {
    std::wstring_view name(image, image ? bytes / sizeof(wchar_t) : 0);
    // Windows gives the file name alone; a path would be cut to it.
    if (const size_t slash = name.find_last_of(L'\\'); slash != std::wstring_view::npos) {
        name.remove_prefix(slash + 1);
    }
    if (name.size() > kNameUnits) {
        name = name.substr(0, IS_HIGH_SURROGATE(name[kNameUnits - 1]) ? kNameUnits - 1 : kNameUnits);
    }
    if (name.empty()) return {};
    const int written = ::WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), name_,
                                              static_cast<int>(sizeof name_), nullptr, nullptr);
    return {name_, written > 0 ? static_cast<size_t>(written) : 0};
}

}  // namespace vt::win32
