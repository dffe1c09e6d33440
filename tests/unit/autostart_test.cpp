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

TEST_F(AutostartTest, StartCaptionFollowsTheRunValue) {
    const struct {
        const char* what;
        std::optional<std::string> value;
        const char* caption;
    } cases[] = {
        {"none", std::nullopt, "Make Autostart"},
        {"empty text", "", "Make Autostart"},
        {"a path", "C:\\OLD\\VELTRANE.EXE", "Remove Autostart"},
    };
    for (const auto& c : cases) {
        fake::FakePlatform p;
        if (c.value) p.run.values["Veltrane"] = *c.value;
        Form1 form(p);
        p.Dispatch([&] { form.Start(); });
        EXPECT_EQ(form.form().Caption(autoItem), c.caption) << c.what;
        EXPECT_EQ(form.autostart().blnAutostart(), c.value && !c.value->empty()) << c.what;
    }
}

TEST_F(AutostartTest, TwoClicksRegisterTheProgramThenRemoveIt) {
    Start();
    Click();
    EXPECT_EQ(Value(), platform.run.command);
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
    platform.run.values["Veltrane"] = "C:\\OLD\\VELTRANE.EXE";
    Start();
    EXPECT_EQ(Caption(autoItem), "Remove Autostart");
    Click();
    EXPECT_EQ(Value(), std::nullopt);
    EXPECT_EQ(platform.boxes.back().text, "Autostart removed!");
}

TEST_F(AutostartTest, ValueAlreadyGoneStillCountsAsRemoved) {
    platform.run.values["Veltrane"] = "C:\\V.EXE";
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
              "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run could not be written, because "
              "access was denied. Administrator rights are needed to change the programs that start with Windows.");
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
    platform.run.command.clear();
    Start();
    Click();
    EXPECT_EQ(Value(), std::nullopt);
    EXPECT_FALSE(f.autostart().blnAutostart());
    EXPECT_NE(platform.boxes.back().text.find("could not be fixed"), std::string::npos);
}

TEST(RunCommand, TheRunningFileWhateverItsName) {
    const struct {
        const char* module;
        const char* shortPath;  // "": the system has none
        const char* command;
    } cases[] = {
        {"C:\\Program Files\\Veltrane\\Veltrane.exe", "C:\\PROGRA~1\\Veltrane\\Veltrane.exe",
         "C:\\PROGRA~1\\Veltrane\\Veltrane.exe"},
        {"D:\\Tools\\vt2.exe", "", "D:\\Tools\\vt2.exe"},
        {"C:\\My Tools\\Veltrane.exe", "", "\"C:\\My Tools\\Veltrane.exe\""},  // quoted, blanks and all
        {"C:\\Programs\\???\\Veltrane.exe", "", ""},  // as the code page spells a name it cannot
        {"C:\\Programs\\???\\Veltrane.exe", "C:\\PROGRA~2\\ABC~1\\VELTRANE.EXE", "C:\\PROGRA~2\\ABC~1\\VELTRANE.EXE"},
        {"", "", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(RunCommandFor(c.module, c.shortPath), c.command) << c.module;
}

}  // namespace
}  // namespace vt
