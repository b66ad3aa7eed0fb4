#pragma once
// Numbers as the command line reads and prints them: engineering notation
// with the scale letters T G M k m u n p f ("M" mega, "m" milli; "K" is
// read as kilo too). A letter may stand for the decimal point: 4k7 is
// 4700. Plain and exponent forms (1.5, 2e-3) are read as well. Reading and
// printing never depend on the locale.

#include <optional>
#include <string>
#include <string_view>

namespace qvs {

// The value of text, or nothing when text is not a number in one of the
// forms above (surrounding blanks are allowed, nothing else is).
std::optional<double> ParseEng(std::string_view text);

// v with `digits` significant digits and a scale letter: 0.01 gives "10m",
// 4700 "4.7k", -1.5e-6 "-1.5u", 0 "0". Trailing zeros are dropped. Values
// beyond the letters (below 1f or from 1000T on) use an exponent ("1e-18");
// "inf", "-inf" and "nan" for the rest.
std::string FormatEng(double v, int digits = 4);

// A double in the shortest text that reads back to the same value ("0.1",
// "1e-07"), for machine-read output such as CSV.
std::string FormatExact(double v);

}  // namespace qvs
