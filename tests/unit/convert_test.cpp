#include "platform/convert.h"

#include <gtest/gtest.h>

#include <cmath>

#include <limits>

#include "platform/errors.h"

namespace vt {
namespace {

int ErrorOf(auto&& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

TEST(Convert, RoundsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(CInt(2.5), 2);
    EXPECT_EQ(CInt(3.5), 4);
    EXPECT_EQ(CInt(-2.5), -2);
    EXPECT_EQ(CLng(60.5), 60);
    EXPECT_EQ(CInt(99.5), 100);
    EXPECT_EQ(CInt(100.5), 100);
    EXPECT_EQ(CInt(std::string_view("  18.5 ")), 18);
    EXPECT_EQ(CInt(std::string_view("19.5")), 20);
    EXPECT_EQ(CInt(-3.5), -4);
    EXPECT_EQ(CInt(-0.5), 0);
    EXPECT_EQ(CLng(2147483646.5), 2147483646);
    EXPECT_TRUE(std::signbit(RoundEven(-0.4)));  // -0, as the system's rounding gives it
    EXPECT_EQ(RoundEven(4503599627370497.0), 4503599627370497.0);
}

TEST(Convert, TextToIntegerRaisesTypeMismatchAndOverflow) {
    EXPECT_EQ(ErrorOf([] { CLng(std::string_view("abc")); }), kTypeMismatch);
    EXPECT_EQ(ErrorOf([] { CLng(std::string_view("")); }), kTypeMismatch);
    EXPECT_EQ(ErrorOf([] { CLng(std::string_view("   ")); }), kTypeMismatch);
    EXPECT_EQ(ErrorOf([] { CLng(std::string_view("1 2")); }), kTypeMismatch);
    EXPECT_EQ(ErrorOf([] { CInt(std::string_view("99999")); }), kOverflow);
    EXPECT_EQ(ErrorOf([] { CInt(std::string_view("1e9")); }), kOverflow);
    EXPECT_EQ(ErrorOf([] { CLng(std::string_view("2147483648")); }), kOverflow);
    EXPECT_EQ(CLng(std::string_view("-2147483648")), INT32_MIN);
    EXPECT_EQ(CInt(std::string_view("-32768")), -32768);
    EXPECT_EQ(CLng(std::string_view("-120")), -120);
    EXPECT_EQ(CLng(std::string_view("+7")), 7);
}

TEST(Convert, ReadsAsNumber) {
    EXPECT_TRUE(IsNumeric(" 200 "));
    EXPECT_TRUE(IsNumeric("-3"));
    EXPECT_TRUE(IsNumeric(".5"));
    EXPECT_TRUE(IsNumeric("1e3"));
    EXPECT_FALSE(IsNumeric(""));
    EXPECT_FALSE(IsNumeric("   "));
    EXPECT_FALSE(IsNumeric("12abc"));
    EXPECT_FALSE(IsNumeric("-"));
    EXPECT_FALSE(IsNumeric("1e"));
    EXPECT_FALSE(IsNumeric("1e999"));  // no finite value
    EXPECT_EQ(CDbl("1e-400"), 0.0);     // underflow reads as zero
    EXPECT_EQ(CDbl("+.25"), 0.25);
    EXPECT_EQ(CDbl("-5."), -5.0);
}

TEST(Convert, TruthValuesFromNumbersAndWords) {
    EXPECT_TRUE(CBool("1"));
    EXPECT_TRUE(CBool("5"));
    EXPECT_TRUE(CBool("-1"));
    EXPECT_FALSE(CBool("0"));
    EXPECT_TRUE(CBool("True"));
    EXPECT_TRUE(CBool("TRUE"));
    EXPECT_FALSE(CBool("false"));
    EXPECT_EQ(ErrorOf([] { CBool("yes"); }), kTypeMismatch);
    EXPECT_EQ(ErrorOf([] { CBool(""); }), kTypeMismatch);
}

TEST(Convert, GeneralNumberFormat) {
    EXPECT_EQ(StrSingle(524), "524");
    EXPECT_EQ(StrSingle(38.167938f), "38.16794");
    EXPECT_EQ(StrSingle(0.5f), "0.5");
    EXPECT_EQ(StrSingle(0), "0");
    EXPECT_EQ(StrSingle(-0.0f), "0");
    EXPECT_EQ(StrSingle(1234567), "1234567");
    EXPECT_EQ(StrSingle(25165824), "2.516582E+07");
    EXPECT_EQ(StrSingle(0.0001f), "0.0001");
    EXPECT_EQ(StrSingle(0.00001f), "1E-05");
    EXPECT_EQ(StrDouble(100.0 - 38.1), "61.9");
    EXPECT_EQ(StrDouble(123456789012345.0), "123456789012345");
    EXPECT_EQ(StrDouble(1e15), "1E+15");
    EXPECT_EQ(StrLong(-120), "-120");
}

TEST(Convert, TopOfTheDoubleRangeIsWrittenSoItReadsBack) {
    const double top = std::numeric_limits<double>::max();
    EXPECT_EQ(StrDouble(top), "1.79769313486231E+308");  // not ...232, which lies beyond the range
    EXPECT_EQ(StrDouble(-top), "-1.79769313486231E+308");
    EXPECT_TRUE(IsNumeric(StrDouble(top)));
    EXPECT_EQ(StrDouble(1.79769313486231e308), "1.79769313486231E+308");
    EXPECT_EQ(StrSingle(std::numeric_limits<float>::max()), "3.402823E+38");
}

TEST(Convert, LocaleSeparatorWrittenAndReadBack) {
    SetDecimalSeparator(',');
    EXPECT_EQ(StrSingle(38.16794f), "38,16794");
    EXPECT_DOUBLE_EQ(CDbl("38,1"), 38.1);
    EXPECT_FALSE(IsNumeric("38.1"));
    EXPECT_EQ(CLng(std::string_view("2,5")), 2);
    SetDecimalSeparator('.');
}

TEST(Convert, CheckedIntegerArithmetic) {
    EXPECT_EQ(MulLong(-120, 15), -1800);
    EXPECT_EQ(ErrorOf([] { MulLong(200000000, 15); }), kOverflow);
    EXPECT_EQ(ErrorOf([] { MulInt(20000, 2); }), kOverflow);
    EXPECT_EQ(ErrorOf([] { SubLong(INT32_MIN, 1); }), kOverflow);
    EXPECT_EQ(ErrorOf([] { Divide(1, 0); }), kDivisionByZero);
    EXPECT_EQ(ErrorOf([] { Divide(0, 0); }), kOverflow);
}

TEST(Convert, TrimAndLeft) {
    EXPECT_EQ(Trim("  5 "), "5");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Left("38.16794", 4), "38.1");
    EXPECT_EQ(Left("25", 4), "25");
}

}  // namespace
}  // namespace vt
