// Number conversions shared by every window: the general number format, text to
// number with halves rounded to the even neighbour, truth values, and the
// overflow-checked integer arithmetic that raises error 6.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vt {

// The user locale's decimal separator, used both when writing numbers as text
// and when reading them back. The Win32 backend sets it at start.
void SetDecimalSeparator(char separator);
char DecimalSeparator();

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundEven(double value);

// Fractional value to integer, nearest-even; error 6 outside the width.
int16_t CInt(double value);
int32_t CLng(double value);

// Text to number. Blanks around the number are allowed; empty text, blanks
// alone or anything that is not a number raise error 13.
double CDbl(std::string_view text);
int16_t CInt(std::string_view text);
int32_t CLng(std::string_view text);
// The parse behind CDbl, without raising: nullopt for text that is no number.
std::optional<double> ParseNumber(std::string_view text);
bool IsNumeric(std::string_view text);

// Truth value: numeric text is false when 0, true otherwise; the words True
// and False (any case) are accepted; anything else raises error 13.
bool CBool(std::string_view text);

// General number format: single at most 7 significant digits, double 15, no
// trailing zeros, no separator for whole values, exponent form outside.
std::string StrSingle(float value);
std::string StrDouble(double value);
std::string StrLong(int64_t value);

// Overflow-checked integer steps (error 6 when the result leaves the width).
int32_t MulLong(int32_t a, int32_t b);
int32_t AddLong(int32_t a, int32_t b);
int32_t SubLong(int32_t a, int32_t b);
int16_t MulInt(int16_t a, int16_t b);
int16_t AddInt(int16_t a, int16_t b);
int16_t SubInt(int16_t a, int16_t b);

// Floating division: error 11 for x / 0, error 6 for 0 / 0.
double Divide(double a, double b);

// Blanks removed from both ends; the first n characters.
std::string Trim(std::string_view text);
std::string Left(std::string_view text, size_t n);

}  // namespace vt
