#include "autostart/autostart.h"

#include "form1_fixture.h"

namespace vt {
namespace {

using namespace form1;
using namespace win32c;
using fake::RegValue;

class AutostartTest : public Form1Test {
protected:
    void SetRun(uint32_t type, const std::string& bytes) {
        platform.api.SetRegValue(kHkeyLocalMachine, kRunKey, "Veltrane", type, bytes);
    }
    const RegValue* Value() { return platform.api.FindRegValue(kHkeyLocalMachine, kRunKey, "Veltrane"); }
    std::string RunText() { return std::string(Value()->data.begin(), Value()->data.end()); }
    void Click() { platform.Dispatch([&] { f.auto_Click(); }); }
};

TEST_F(AutostartTest, ReadsOnlyNonEmptyStringValues) {
    struct Case {
        const char* what;
        uint32_t type;
        std::string bytes;
        std::string read;
    };
    const Case cases[] = {
        {"with NUL", kRegSz, std::string("C:\\V.EXE\0", 9), "C:\\V.EXE"},
        {"without NUL", kRegSz, "C:\\V.EXE", "C:\\V.EXE"},
        {"text after a NUL", kRegSz, std::string("A\0B", 3), "A"},
        {"empty", kRegSz, "", ""},
        {"wrong type", kRegDword, std::string("\1\0\0\0", 4), ""},
    };
    for (const Case& c : cases) {
        SetRun(c.type, c.bytes);
        EXPECT_EQ(Tray_function::GetRegString(platform.api, kHkeyLocalMachine, kRunKey, "Veltrane"), c.read) << c.what;
    }
    EXPECT_EQ(Tray_function::GetRegString(platform.api, kHkeyLocalMachine, kRunKey, "Other"), "");
    EXPECT_EQ(Tray_function::GetRegString(platform.api, kHkeyLocalMachine, "Software\\Missing", "Veltrane"), "");
    EXPECT_EQ(platform.api.openKeys, 0);  // every key opened is closed
}

TEST_F(AutostartTest, StartCaptionFollowsTheRegistry) {
    Start();
    EXPECT_EQ(Caption(autoItem), "Make Autostart");
    EXPECT_FALSE(f.autostart().blnAutostart);
}

TEST_F(AutostartTest, EmptyValueAtStartOffersMakeAgain) {
    SetRun(kRegSz, "");
    Start();
    EXPECT_EQ(Caption(autoItem), "Make Autostart");
}

TEST_F(AutostartTest, TwoClicksWriteTheProgramsShortPathThenDeleteIt) {
    Start();
    Click();
    ASSERT_NE(Value(), nullptr);
    EXPECT_EQ(Value()->type, kRegSz);
    EXPECT_EQ(RunText(), "C:\\PROGRA~1\\Veltrane\\Veltrane.exe");  // no NUL counted
    EXPECT_EQ(Caption(autoItem), "Remove Autostart");
    EXPECT_TRUE(f.autostart().blnAutostart);
    Click();
    EXPECT_EQ(Value(), nullptr);
    EXPECT_EQ(Caption(autoItem), "Make Autostart");
    EXPECT_FALSE(f.autostart().blnAutostart);
    ASSERT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(platform.boxes[0].text, "Autostart fixed!");
    EXPECT_EQ(platform.boxes[1].text, "Autostart removed!");
    EXPECT_EQ(platform.boxes[0].style, kOkOnly);
    EXPECT_EQ(platform.boxes[0].title, "Veltrane");
}

TEST_F(AutostartTest, ValuePresentAtStartIsRemovedByTheFirstClick) {
    SetRun(kRegSz, "C:\\OLD\\VELTRANE.EXE");
    Start();
    EXPECT_EQ(Caption(autoItem), "Remove Autostart");
    Click();
    EXPECT_EQ(Value(), nullptr);
    EXPECT_EQ(platform.boxes.back().text, "Autostart removed!");
}

TEST_F(AutostartTest, ValueAlreadyGoneStillCountsAsRemoved) {
    SetRun(kRegSz, "C:\\V.EXE");
    Start();
    platform.api.registry.clear();  // removed behind the program's back
    Click();
    EXPECT_EQ(Caption(autoItem), "Make Autostart");
    EXPECT_EQ(platform.boxes.back().text, "Autostart removed!");
}

TEST_F(AutostartTest, RefusedWriteOrDeleteIsReportedAndChangesNothing) {
    Start();
    platform.api.createError = kErrorAccessDenied;
    Click();
    EXPECT_EQ(Value(), nullptr);
    EXPECT_EQ(Caption(autoItem), "Make Autostart");
    EXPECT_FALSE(f.autostart().blnAutostart);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_NE(platform.boxes[0].text.find("could not be written"), std::string::npos) << platform.boxes[0].text;
    EXPECT_NE(platform.boxes[0].text.find("Administrator rights"), std::string::npos);
    EXPECT_EQ(platform.boxes[0].style, kOkOnly | kExclamation);

    platform.api.createError = 0;
    platform.api.setError = kErrorAccessDenied;  // the key opens, the value is refused
    Click();
    EXPECT_EQ(Value(), nullptr);
    EXPECT_FALSE(f.autostart().blnAutostart);

    platform.api.setError = 0;
    Click();
    ASSERT_TRUE(f.autostart().blnAutostart);
    platform.api.deleteError = kErrorAccessDenied;
    Click();
    EXPECT_NE(Value(), nullptr);
    EXPECT_EQ(Caption(autoItem), "Remove Autostart");
    EXPECT_TRUE(f.autostart().blnAutostart);
    EXPECT_NE(platform.boxes.back().text.find("could not be deleted"), std::string::npos);
}

TEST_F(AutostartTest, RegistersTheRunningFileWhateverItsName) {
    platform.api.moduleFileName = "D:\\Tools\\vt2.exe";
    platform.api.files = {{"D:\\Tools\\vt2.exe", ""}};  // exists, no short form needed
    EXPECT_EQ(AutostartCommand(platform.api), "D:\\Tools\\vt2.exe");
}

TEST_F(AutostartTest, NameTheCodePageCannotSpellIsNotRegistered) {
    platform.api.moduleFileName = "C:\\Programs\\???\\Veltrane.exe";  // as GetModuleFileNameA spells it
    platform.api.files.clear();
    Start();
    Click();
    EXPECT_EQ(Value(), nullptr);
    EXPECT_FALSE(f.autostart().blnAutostart);
    EXPECT_NE(platform.boxes.back().text.find("could not be fixed"), std::string::npos);
}

TEST_F(AutostartTest, PathWithBlanksAndNoShortFormIsQuoted) {
    platform.api.moduleFileName = "C:\\My Tools\\Veltrane.exe";
    platform.api.files = {{"C:\\My Tools\\Veltrane.exe", ""}};
    Start();
    Click();
    EXPECT_EQ(RunText(), "\"C:\\My Tools\\Veltrane.exe\"");
    // Read back as registered, quotes and all.
    EXPECT_EQ(Tray_function::GetRegString(platform.api, kHkeyLocalMachine, kRunKey, "Veltrane"),
              "\"C:\\My Tools\\Veltrane.exe\"");
}

TEST_F(AutostartTest, ShortNameOfLongPathsAndMissingFiles) {
    const std::string deep = "C:\\" + std::string(200, 'd') + "\\Veltrane.exe";
    platform.api.files = {{deep, "C:\\" + std::string(180, 'S') + "\\VELTRANE.EXE"}};
    EXPECT_EQ(modSND::GetShortName(platform.api, deep), "C:\\" + std::string(180, 'S') + "\\VELTRANE.EXE");
    EXPECT_EQ(modSND::GetShortName(platform.api, "C:\\nothing.exe"), "");
}

}  // namespace
}  // namespace vt
