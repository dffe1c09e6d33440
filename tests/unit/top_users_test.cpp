#include "memory/top_users.h"
#include "platform/fake/fake_platform.h"

#include <gtest/gtest.h>

namespace vt::top_users {
namespace {

constexpr uint64_t MB = 1ull << 20, GB = 1ull << 30;
constexpr uint32_t kSelf = 42;

ProcessMemory P(uint32_t pid, std::string name, uint64_t bytes) {
    return {pid, std::move(name), bytes};
}

template <typename List>
std::vector<uint32_t> Pids(const List& list) {
    std::vector<uint32_t> pids;
    for (const auto& p : list) pids.push_back(p.pid);
    return pids;
}

TEST(TopUsers, PicksTheThreeLargestByTheStatedOrder) {
    const struct {
        const char* what;
        std::vector<ProcessMemory> table;
        std::vector<uint32_t> pids;
    } cases[] = {
        {"largest first", {P(1, "a.exe", 1 * MB), P(2, "b.exe", 9 * MB), P(3, "c.exe", 5 * MB), P(4, "d.exe", 7 * MB)},
         {2, 4, 3}},
        {"equal sizes by name", {P(1, "zed.exe", 5 * MB), P(2, "Abc.exe", 5 * MB), P(3, "abc.exe", 5 * MB),
                                 P(4, "b.exe", 5 * MB)},
         {2, 3, 4}},
        {"equal sizes and names by pid", {P(9, "x.exe", GB), P(3, "x.exe", GB), P(5, "x.exe", GB), P(1, "x.exe", GB)},
         {1, 3, 5}},
        {"the program itself left out", {P(kSelf, "Veltrane.exe", 10 * GB), P(1, "a.exe", MB), P(2, "b.exe", 2 * MB)},
         {2, 1}},
        {"unnamed left out even when largest",
         {P(1, "", 50 * GB), P(2, "a.exe", MB), P(3, "b.exe", 3 * MB), P(4, "c.exe", 2 * MB), P(5, "d.exe", 0)},
         {3, 4, 2}},
        {"fewer than three", {P(1, "a.exe", MB), P(2, "", 0)}, {1}},
        {"empty table", {}, {}},
        {"zero bytes still listed", {P(1, "a.exe", 0), P(2, "b.exe", 0)}, {1, 2}},
        {"rising, each the largest yet", {P(1, "a.exe", MB), P(2, "b.exe", 2 * MB), P(3, "c.exe", 3 * MB),
                                          P(4, "d.exe", 4 * MB), P(5, "e.exe", 5 * MB)},
         {5, 4, 3}},
        {"a tie with the third goes by name, then by pid",
         {P(1, "a.exe", 9 * MB), P(2, "b.exe", 8 * MB), P(3, "d.exe", 5 * MB), P(4, "c.exe", 5 * MB),
          P(5, "e.exe", 5 * MB), P(9, "c.exe", 5 * MB), P(6, "c.exe", 5 * MB)},
         {1, 2, 4}},
    };
    for (const auto& c : cases) {
        const auto largest = Largest(c.table, kSelf);
        EXPECT_EQ(Pids(largest), c.pids) << c.what;
        // The keeper hears the rows as a reading of the table gives them.
        LargestKeeper keeper(kSelf);
        for (const auto& p : c.table) keeper.Visit({p.pid, p.name, p.privateBytes});
        EXPECT_EQ(Pids(keeper.Kept()), c.pids) << c.what;
        EXPECT_EQ(BalloonText(512, keeper.Kept()), BalloonText(512, largest)) << c.what;
    }
}

TEST(TopUsers, KeeperCutsALongNameOnAWholeCharacter) {
    constexpr size_t kRoom = LargestKeeper::kNameBytes;
    const struct {
        std::string name;
        size_t kept;
    } cases[] = {
        {std::string(kRoom, 'x'), kRoom},
        {std::string(kRoom + 1, 'x'), kRoom},
        {std::string(kRoom - 1, 'x') + "\xE6\x96\x87", kRoom - 1},
        {std::string(kRoom - 2, 'x') + "\xF0\x9F\x98\x80", kRoom - 2},
    };
    for (const auto& c : cases) {
        LargestKeeper keeper(kSelf);
        keeper.Visit({1, c.name, MB});
        ASSERT_EQ(keeper.Kept().size(), 1u);
        EXPECT_EQ(keeper.Kept()[0].name, std::string_view(c.name).substr(0, c.kept)) << c.name.size();
    }
}

TEST(TopUsers, SizesAtTheUnitBorders) {
    const struct {
        uint64_t bytes;
        const char* text;
    } cases[] = {
        {0, "0 MB"},
        {MB - 1, "0 MB"},
        {MB, "1 MB"},
        {921 * MB + MB / 2, "921 MB"},
        {GB - 1, "1023 MB"},
        {GB, "1.0 GB"},
        {GB + GB / 10 - 1, "1.0 GB"},
        {GB + GB / 10 + 1, "1.1 GB"},
        {3 * GB + GB / 5 + 1, "3.2 GB"},
        {10 * GB - 1, "9.9 GB"},
        {1536 * GB, "1536.0 GB"},
        {~0ull, "17179869183.9 GB"},
    };
    for (const auto& c : cases) EXPECT_EQ(SizeText(c.bytes), c.text) << c.bytes;
}

TEST(TopUsers, BalloonTexts) {
    const std::string longName = std::string(200, 'n') + ".exe";
    const std::string wide = "\xE6\x96\x87";          // one unit in UTF-16, three bytes in UTF-8
    const std::string astral = "\xF0\x9F\x98\x80";    // a surrogate pair
    const struct {
        const char* what;
        int32_t freeMb;
        std::vector<ProcessMemory> largest;
        std::string text;
    } cases[] = {
        {"three", 512, {P(1, "chrome.exe", 3 * GB + GB / 10 + 1), P(2, "Code.exe", GB + GB / 5 + 1),
                        P(3, "Teams.exe", 921 * MB)},
         "512 Mb free. Largest: chrome.exe 3.1 GB, Code.exe 1.2 GB, Teams.exe 921 MB"},
        {"one", 80, {P(1, "a.exe", 5 * MB)}, "80 Mb free. Largest: a.exe 5 MB"},
        {"none", 7, {}, "7 Mb free."},
        {"one long name gives way alone", 512, {P(1, longName, GB), P(2, longName, MB), P(3, "c.exe", MB)},
         "512 Mb free. Largest: " + std::string(100, 'n') + "... 1.0 GB, " + std::string(100, 'n') +
             "... 1 MB, c.exe 1 MB"},
        {"a name cut on a whole character", 512,
         {P(1, std::string(3, 'x') + [&] { std::string s; for (int i = 0; i < 200; ++i) s += wide; return s; }(), GB),
          P(2, longName, GB), P(3, "c.exe", GB)},
         "512 Mb free. Largest: xxx" + [&] { std::string s; for (int i = 0; i < 95; ++i) s += wide; return s; }() +
             "... 1.0 GB, " + std::string(98, 'n') + "... 1.0 GB, c.exe 1.0 GB"},
        {"a pair is not split", 1,
         {P(1, [&] { std::string s; for (int i = 0; i < 150; ++i) s += astral; return s; }(), GB),
          P(2, std::string(150, 'y'), GB), P(3, std::string(150, 'z'), GB)},
         "1 Mb free. Largest: " + [&] { std::string s; for (int i = 0; i < 33; ++i) s += astral; return s; }() +
             "... 1.0 GB, " + std::string(67, 'y') + "... 1.0 GB, " + std::string(67, 'z') + "... 1.0 GB"},
    };
    for (const auto& c : cases) {
        const std::string text = BalloonText(c.freeMb, c.largest);
        EXPECT_EQ(text, c.text) << c.what;
        EXPECT_LE(Utf16Length(text), kTextLimit) << c.what;
    }
}

TEST(TopUsers, TitleNamesTheProgramWithinItsField) {
    EXPECT_EQ(BalloonTitle("Veltrane"), "Veltrane: memory is low");
    const std::string title = BalloonTitle(std::string(70, 'V'));
    EXPECT_EQ(title, std::string(63, 'V'));
    EXPECT_EQ(Utf16Length(title), kTitleLimit);
}

}  // namespace
}  // namespace vt::top_users

namespace vt::fake {
namespace {

// The fake shell answers as Windows does: only for an icon that is there,
// with the protocol's version set at each add, and the balloon leaving the
// icon's record alone.
TEST(FakeShell, AnswersOnlyForAnIconThatIsThere) {
    FakePlatform platform;
    FormEvents formEvents;
    auto window = platform.CreateForm({.name = "W", .clientWidth = 10, .clientHeight = 10, .icon = 1}, formEvents);
    struct Menus : TrayEvents {
        std::vector<TrayMenuRequest> requests;
        void TrayMenu(const TrayMenuRequest& r) override { requests.push_back(r); }
    } events;
    auto host = platform.CreateTrayHost(*window, events);
    host->Balloon("t", "x");
    host->ReturnFocus();
    EXPECT_TRUE(platform.shell.balloons.empty());
    EXPECT_EQ(platform.shell.focusReturns, 0);
    ASSERT_TRUE(host->Add("Veltrane", 1));
    EXPECT_EQ(platform.shell.icon->version, 3u);
    host->Balloon("Veltrane: memory is low", "7 Mb free.");
    host->ReturnFocus();
    ASSERT_EQ(platform.shell.balloons.size(), 1u);
    EXPECT_EQ(platform.shell.balloons[0].text, "7 Mb free.");
    EXPECT_EQ(platform.shell.focusReturns, 1);
    EXPECT_EQ(platform.shell.notifications.size(), 1u);  // the balloon left the record alone

    // The menu key's request carries the icon's place where the shell knows it.
    platform.tray().Report(0x7B);
    platform.shell.iconRectKnown = true;
    platform.tray().Report(0x7B);
    ASSERT_EQ(events.requests.size(), 2u);
    EXPECT_FALSE(events.requests[0].at.has_value());
    ASSERT_TRUE(events.requests[1].at.has_value());
    EXPECT_EQ(events.requests[1].at->x, platform.shell.iconAt.x);
    EXPECT_TRUE(events.requests[1].keyboard);

    platform.shell.refuses = true;
    host->Remove();
    EXPECT_FALSE(platform.shell.icon.has_value());  // a delete takes the icon whatever else the shell refuses
    EXPECT_FALSE(host->Add("Veltrane", 1));

    platform.processes = {{1, "a.exe", 5}, {2, "", 9}};
    struct Count : ProcessVisitor {
        int rows = 0;
        void Visit(const ProcessRow&) override { ++rows; }
    } count;
    EXPECT_TRUE(platform.VisitProcesses(count));
    EXPECT_EQ(count.rows, 2);
    EXPECT_EQ(platform.processTables, 1);
    platform.processTableFails = true;
    EXPECT_FALSE(platform.VisitProcesses(count));
}

}  // namespace
}  // namespace vt::fake
