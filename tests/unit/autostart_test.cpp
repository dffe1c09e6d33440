#include "autostart/autostart.h"
#include "platform/run_command.h"

#include "form1_fixture.h"

namespace vt {
namespace {

using namespace form1;

class AutostartTest : public Form1Test {
protected:
    std::optional<std::string> Value() {
        const auto it = platform.run.values.find("Veltrane");
        return it == platform.run.values.end() ? std::nullopt : std::optional(it->second);
    }
    void Click() { platform.Dispatch([&] { f.auto_Click(); }); }
    static RunChange Denied() { return {RunChange::Refused, 5, true}; }
};

// Autostart counts as on when the user's value names this program, or when
// an earlier version's machine-wide value is there; an entry the user
// switched off in the system's list of startup programs counts as off.
TEST_F(AutostartTest, StartCaptionFollowsTheRunValue) {
    const struct {
        const char* what;
        std::optional<std::string> value, machineWide;
        bool switchedOff;
        bool on;
    } cases[] = {
        {"none", std::nullopt, std::nullopt, false, false},
        {"empty text", "", std::nullopt, false, false},
        {"this program", "\"C:\\Program Files\\Veltrane\\Veltrane.exe\"", std::nullopt, false, true},
        {"this program, other case, no quotes", "c:\\program files\\veltrane\\VELTRANE.EXE", std::nullopt, false, true},
        {"another copy", "\"D:\\Old\\Veltrane.exe\"", std::nullopt, false, false},
        {"an earlier version's, machine-wide", std::nullopt, "C:\\OLD\\VELTRANE.EXE", false, true},
        {"empty, machine-wide", std::nullopt, "", false, false},
        {"switched off by the user", "\"C:\\Program Files\\Veltrane\\Veltrane.exe\"", std::nullopt, true, false},
    };
    for (const auto& c : cases) {
        fake::FakePlatform p;
        if (c.value) p.run.values["Veltrane"] = *c.value;
        if (c.machineWide) p.run.machineWide["Veltrane"] = *c.machineWide;
        if (c.switchedOff) p.run.switchedOff.insert("Veltrane");
        Form1 form(p);
        p.Dispatch([&] { form.Start(); });
        EXPECT_EQ(form.form().Caption(autoItem), c.on ? "Remove Autostart" : "Make Autostart") << c.what;
        EXPECT_EQ(form.autostart().blnAutostart(), c.on) << c.what;
    }
}

TEST_F(AutostartTest, TwoClicksRegisterTheProgramThenRemoveIt) {
    platform.run.switchedOff.insert("Veltrane");
    Start();
    Click();
    EXPECT_EQ(Value(), "\"C:\\Program Files\\Veltrane\\Veltrane.exe\"");
    EXPECT_TRUE(platform.run.switchedOff.empty());  // switched on again in the system's list too
    EXPECT_EQ(Caption(autoItem), "Remove Autostart");
    EXPECT_TRUE(f.autostart().blnAutostart());
    Click();
    EXPECT_EQ(Value(), std::nullopt);
    EXPECT_EQ(Caption(autoItem), "Make Autostart");
    EXPECT_FALSE(f.autostart().blnAutostart());
    ASSERT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(platform.boxes[0].text, "Autostart fixed!");
    EXPECT_EQ(platform.boxes[1].text, "Autostart removed!");
    EXPECT_EQ(platform.boxes[0].style, kOkOnly);
    EXPECT_EQ(platform.boxes[0].title, "Veltrane");
}

TEST_F(AutostartTest, ValuePresentAtStartIsRemovedByTheFirstClick) {
    for (bool machineWideRefuses : {false, true}) {
        fake::FakePlatform p;
        p.run.values["Veltrane"] = "\"C:\\Program Files\\Veltrane\\Veltrane.exe\"";
        p.run.machineWide["Veltrane"] = "C:\\OLD\\VELTRANE.EXE";
        p.run.machineWideRefuses = machineWideRefuses;
        Form1 form(p);
        p.Dispatch([&] { form.Start(); });
        EXPECT_EQ(form.form().Caption(autoItem), "Remove Autostart");
        p.Dispatch([&] { form.auto_Click(); });
        EXPECT_FALSE(p.run.values.count("Veltrane"));
        // The machine-wide one goes where that is allowed, silently where not.
        EXPECT_EQ(p.run.machineWide.count("Veltrane"), machineWideRefuses ? 1u : 0u);
        EXPECT_EQ(p.boxes.back().text, "Autostart removed!");
        EXPECT_EQ(form.form().Caption(autoItem), "Make Autostart");
    }
}

TEST_F(AutostartTest, ValueAlreadyGoneStillCountsAsRemoved) {
    platform.run.values["Veltrane"] = "\"C:\\Program Files\\Veltrane\\Veltrane.exe\"";
    Start();
    platform.run.values.clear();  // removed behind the program's back
    Click();
    EXPECT_EQ(Caption(autoItem), "Make Autostart");
    EXPECT_EQ(platform.boxes.back().text, "Autostart removed!");
}

TEST_F(AutostartTest, RefusedWriteOrDeleteIsReportedAndChangesNothing) {
    Start();
    platform.run.refuseRegister = Denied();
    Click();
    EXPECT_EQ(Value(), std::nullopt);
    EXPECT_EQ(Caption(autoItem), "Make Autostart");
    EXPECT_FALSE(f.autostart().blnAutostart());
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text,
              "Autostart could not be fixed: the value \"Veltrane\" under "
              "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run could not be written, because "
              "access was denied.");
    EXPECT_EQ(platform.boxes[0].style, kOkOnly | kExclamation);

    platform.run.refuseRegister = RunChange{RunChange::Refused, 1234, false};
    Click();
    EXPECT_NE(platform.boxes.back().text.find("because Windows error 1234."), std::string::npos);
    EXPECT_FALSE(f.autostart().blnAutostart());

    platform.run.refuseRegister.reset();
    Click();
    ASSERT_TRUE(f.autostart().blnAutostart());
    platform.run.refuseUnregister = Denied();
    Click();
    EXPECT_NE(Value(), std::nullopt);
    EXPECT_EQ(Caption(autoItem), "Remove Autostart");
    EXPECT_TRUE(f.autostart().blnAutostart());
    EXPECT_NE(platform.boxes.back().text.find("could not be deleted"), std::string::npos);
}

TEST_F(AutostartTest, ProgramFileThatCannotBeNamedIsNotRegistered) {
    platform.run.program.clear();
    Start();
    Click();
    EXPECT_EQ(Value(), std::nullopt);
    EXPECT_FALSE(f.autostart().blnAutostart());
    EXPECT_NE(platform.boxes.back().text.find("could not be fixed"), std::string::npos);
}

// The value is the program's whole path in quotes, whatever the path holds;
// it names the program with or without the quotes, in any case.
TEST(RunCommand, TheProgramsWholePathInQuotes) {
    const struct {
        const char* program;
        const char* command;
    } cases[] = {
        {"C:\\Program Files\\Veltrane\\Veltrane.exe", "\"C:\\Program Files\\Veltrane\\Veltrane.exe\""},
        {"D:\\Tools\\vt2.exe", "\"D:\\Tools\\vt2.exe\""},
        {"C:\\Łódź\\Veltrane.exe", "\"C:\\Łódź\\Veltrane.exe\""},
        {"C:\\ツール\\Veltrane.exe", "\"C:\\ツール\\Veltrane.exe\""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(RunCommandFor(c.program), c.command) << c.program;

    auto exact = [](std::string_view a, std::string_view b) { return a == b; };
    const std::string path = "C:\\Tools\\Veltrane.exe";
    const struct {
        std::string value;
        bool names;
    } values[] = {
        {"\"C:\\Tools\\Veltrane.exe\"", true}, {"C:\\Tools\\Veltrane.exe", true}, {"  \"C:\\Tools\\Veltrane.exe\" ", true},
        {"\"C:\\Tools\\Veltrane.exe\" /min", false}, {"C:\\Other\\Veltrane.exe", false}, {"", false}, {"\"\"", false},
    };
    for (const auto& v : values) EXPECT_EQ(NamesProgram(v.value, path, exact), v.names) << v.value;
}

}  // namespace
}  // namespace vt
