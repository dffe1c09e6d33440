// The process table as the platform hands it out: plain data, so that the
// rules that read it need nothing of the platform but this header.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vt {

struct ProcessMemory {
    uint32_t pid = 0;
    std::string name;           // the executable's file name, UTF-8 ("chrome.exe"); empty where the system gives none
    uint64_t privateBytes = 0;  // memory only this process holds (commit charge)
};

// One process as a reading of the table sees it; the name lives only for
// the call that hands the row over.
struct ProcessRow {
    uint32_t pid = 0;
    std::string_view name;  // the executable's file name, UTF-8; empty where the system gives none
    uint64_t privateBytes = 0;
};

// Hears every row of one reading of the table, in the system's order. It is
// called while the reading goes on, so it must not allocate what a machine
// short of memory could refuse.
class ProcessVisitor {
public:
    virtual void Visit(const ProcessRow& row) = 0;

protected:
    ~ProcessVisitor() = default;
};

}  // namespace vt
