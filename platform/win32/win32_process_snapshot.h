// The process table from one snapshot of the system's process list
// (NtQuerySystemInformation): no process is opened, so every process is
// named, a service or another user's as much as our own, and nothing is
// asked of a process that credential-theft rules watch (lsass.exe).
#pragma once

#include <windows.h>

#include <winternl.h>

#include <cstddef>
#include <memory>
#include <span>
#include <string_view>

#include "platform/process_memory.h"

namespace vt::win32 {

class ProcessSnapshot {
public:
    // Takes the buffer for the system's list as it is now, with room for
    // it to grow, so that a later reading need not allocate.
    ProcessSnapshot();
    // Starts from a buffer of `bytes` instead; a reading grows it when the
    // system says the list does not fit.
    explicit ProcessSnapshot(size_t bytes);
    ProcessSnapshot(const ProcessSnapshot&) = delete;
    ProcessSnapshot& operator=(const ProcessSnapshot&) = delete;

    // Takes one snapshot and hands every process in it to the visitor, in
    // the system's order. Allocates nothing but a larger buffer when the
    // list has outgrown the one kept; false when the system refuses or that
    // buffer cannot be had, the visitor having heard nothing.
    bool Read(ProcessVisitor& visitor);

    // Hands over every process of a list laid out as the system writes it
    // (what Read does with its snapshot).
    void Walk(std::span<const std::byte> list, ProcessVisitor& visitor);

    // The buffer kept between readings.
    std::span<const std::byte> Buffer() const { return {buffer_.get(), capacity_}; }

private:
    // The longest file name Windows allows, 255 UTF-16 units, takes at most
    // three bytes in UTF-8 for each.
    static constexpr size_t kNameUnits = 255;
    static constexpr size_t kNameBytes = 3 * kNameUnits;

    using QueryProc = NTSTATUS(NTAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);

    static QueryProc FindQuery();
    bool Grow(size_t atLeast);
    std::string_view Name(const wchar_t* image, size_t bytes);

    QueryProc query_ = nullptr;
    std::unique_ptr<std::byte[]> buffer_;
    size_t capacity_ = 0;
    char name_[kNameBytes];
};

}  // namespace vt::win32
