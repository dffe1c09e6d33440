// The process table from one system snapshot, under Wine: what the system
// hands over, and that a reading holds nothing and takes no new buffer.
#include <windows.h>

#include <psapi.h>

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/win32/handle.h"
#include "platform/win32/win32_process_snapshot.h"
#include "tests/win32/own_memory.h"

namespace vt::win32 {
namespace {

struct Row {
    uint32_t pid;
    std::string name;
    uint64_t privateBytes;
};

// Copies every row: a test may allocate where the program's visitors may not.
struct Collector : ProcessVisitor {
    std::vector<Row> rows;
    void Visit(const ProcessRow& row) override { rows.push_back({row.pid, std::string(row.name), row.privateBytes}); }
};

TEST(Win32Backend, ProcessSnapshotNamesThisProcessWithItsFigure) {
    ProcessSnapshot snapshot;
    Collector table;
    ASSERT_TRUE(snapshot.Read(table));

    const Row* self = nullptr;
    std::map<uint32_t, int> seen;
    int named = 0;
    for (const Row& row : table.rows) {
        ++seen[row.pid];
        if (row.pid == GetCurrentProcessId()) self = &row;
        if (row.pid == 0) {
            EXPECT_EQ(row.name, "") << "the idle process";
        }
        if (!row.name.empty()) ++named;
        EXPECT_EQ(row.name.find('\\'), std::string::npos) << row.name;
    }
    for (const auto& [pid, count] : seen) EXPECT_EQ(count, 1) << pid;
    EXPECT_GT(named, 1);  // the shell's own processes at least
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(self->name, "win32_tests.exe");
    win32::ExpectOwnPrivateBytes(self->privateBytes);
}

// Rows as Windows lays them out, with what Wine leaves out (no
// PrivatePageCount) and what only Windows has (the idle process, unnamed,
// after a named row whose name the snapshot's one buffer still holds).
TEST(Win32Backend, ProcessSnapshotRowsAsTheSystemLaysThemOut) {
    const std::wstring astral = L"\xD83D\xDE00";  // one character, a surrogate pair
    std::wstring longName(254, L'x');
    longName += astral + L".exe";  // the pair straddles the 255th unit
    std::wstring names[] = {L"Code.exe", L"", longName, L"C:\\Windows\\explorer.exe", L"\x6587.exe"};
    const struct {
        uint32_t pid;
        size_t name;
        SIZE_T pagefile, privatePages;
        Row row;
    } cases[] = {
        {8, 0, 5 << 20, 0, {8, "Code.exe", 5 << 20}},  // Wine: PagefileUsage alone
        {0, 1, 0, 0, {0, "", 0}},
        {9, 2, 1, 7 << 20, {9, std::string(254, 'x'), 7 << 20}},
        {10, 3, 1, 2, {10, "explorer.exe", 2}},
        {11, 4, 0, 3, {11, "\xE6\x96\x87.exe", 3}},
    };
    std::vector<SYSTEM_PROCESS_INFORMATION> list(std::size(cases));
    for (size_t i = 0; i < list.size(); ++i) {
        auto& p = list[i];
        p.NextEntryOffset = i + 1 < list.size() ? sizeof p : 0;
        p.UniqueProcessId = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(cases[i].pid));
        std::wstring& name = names[cases[i].name];
        p.ImageName.Buffer = name.empty() ? nullptr : name.data();
        p.ImageName.Length = p.ImageName.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
        p.VirtualMemoryCounters.PagefileUsage = cases[i].pagefile;
        p.PrivatePageCount = cases[i].privatePages;
    }
    ProcessSnapshot snapshot(0);
    Collector table;
    snapshot.Walk(std::as_bytes(std::span(list)), table);
    ASSERT_EQ(table.rows.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(table.rows[i].pid, cases[i].row.pid);
        EXPECT_EQ(table.rows[i].name, cases[i].row.name) << cases[i].pid;
        EXPECT_EQ(table.rows[i].privateBytes, cases[i].row.privateBytes) << cases[i].pid;
    }
}

TEST(Win32Backend, ProcessSnapshotKeepsItsBufferAndHoldsNoHandle) {
    const struct {
        const char* what;
        size_t startBytes;
    } cases[] = {
        {"sized for the list when made", 0},
        {"grown by the first reading", 16},
    };
    for (const auto& c : cases) {
        const int kernel = LiveHandles(HandleKind::Kernel);
        const auto made = c.startBytes ? std::make_unique<ProcessSnapshot>(c.startBytes)
                                       : std::make_unique<ProcessSnapshot>();
        ProcessSnapshot& snapshot = *made;
        Collector first, second;
        ASSERT_TRUE(snapshot.Read(first)) << c.what;
        const auto buffer = snapshot.Buffer();
        EXPECT_GT(buffer.size(), c.startBytes) << c.what;
        for (int i = 0; i < 20; ++i) {
            second.rows.clear();
            ASSERT_TRUE(snapshot.Read(second)) << c.what;
        }
        EXPECT_EQ(snapshot.Buffer().data(), buffer.data()) << c.what;
        EXPECT_EQ(snapshot.Buffer().size(), buffer.size()) << c.what;
        EXPECT_NEAR(static_cast<double>(second.rows.size()), static_cast<double>(first.rows.size()), 2) << c.what;
        EXPECT_EQ(LiveHandles(HandleKind::Kernel), kernel) << c.what;
    }
}

}  // namespace
}  // namespace vt::win32
