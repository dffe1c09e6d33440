// What the hand-written window shows of a memory sample: the general number
// format in the user's decimal separator, halves rounded to the even
// neighbour, and the texts and figures of the Update, the hover refresh and
// the theme picture, as Veltrane shows them. Plain C++, no system calls.
#pragma once

#include <string>

namespace same_window {

void SetDecimalSeparator(char separator);

double RoundEven(double value);
std::string Single(float value);   // at most 7 significant digits
std::string Double(double value);  // at most 15

// Bytes to Kb of 1024, rounded, held in 32 bits.
int KbOf(unsigned long long bytes);

// "Busy= " + (100 - V) + ending, V read back from the first four characters
// of the free percent's text.
std::string BusyText(float freePercent, const char* ending);

// What the Update shows of a sample in Kb: the two status lines, the busy
// bar (2 pixels a percent) and its tip, and the busy text of the tray tip and
// the status menu line.
struct UpdateFigures {
    std::string totals, busy;
    int barWidth;
    std::string barTip;
    float freePercent;
    std::string busyText;
};
UpdateFigures ForUpdate(int totalKb, int freeKb);

// The hover refresh's free percent: from whole megabytes, divided in double.
float TipFreePercent(int totalKb, int freeKb);

// The icon resource of a theme (1 to 5) for a free percent; 0 for any other
// theme.
int ThemeIcon(int theme, float freePercent);

}  // namespace same_window
