// Number text: the literal reader (indig_number, indig), the engineering
// printer sprintf3, ToDouble, their round trip and their independence of the
// host's locale.
#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <sys/stat.h>

#include "TestData.h"
#include "base/CLocale.h"
#include "base/globals.h"
#include "expr/globals.h"

namespace {

const double kInf = std::numeric_limits<double>::infinity();

struct Read {
  bool ok;
  SNumber n;
  std::string err;
};

Read ReadLiteral(const std::string& text, bool prefix) {
  m_global_errstr = "";
  SNumber n;
  SetDoubleNumber(&n, 99.0);  // must be overwritten, on failure too
  const bool ok = indig_number(AnsiString(text), &n, prefix);
  return {ok, n, m_global_errstr.str()};
}

::testing::AssertionResult Kind(const Read& r, int kind) {
  if (!r.ok) return ::testing::AssertionFailure() << "failed: " << r.err;
  if (r.n.kind != kind) return ::testing::AssertionFailure() << "kind " << r.n.kind;
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult IsDouble(const std::string& text, bool prefix, double x) {
  const Read r = ReadLiteral(text, prefix);
  if (auto k = Kind(r, NUM_DOUBLE); !k) return k << " for " << text;
  if (r.n.v.d != x) return ::testing::AssertionFailure() << text << " read " << r.n.v.d;
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult IsInt(const std::string& text, bool prefix, int32_t v) {
  const Read r = ReadLiteral(text, prefix);
  if (auto k = Kind(r, NUM_INT); !k) return k << " for " << text;
  if (r.n.v.i != v) return ::testing::AssertionFailure() << text << " read " << r.n.v.i;
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult IsInt64(const std::string& text, bool prefix, int64_t v) {
  const Read r = ReadLiteral(text, prefix);
  if (auto k = Kind(r, NUM_INT64); !k) return k << " for " << text;
  if (r.n.v.i64 != v) return ::testing::AssertionFailure() << text << " read " << r.n.v.i64;
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult IsComplex(const std::string& text, bool prefix, double re, double im) {
  const Read r = ReadLiteral(text, prefix);
  if (auto k = Kind(r, NUM_COMPLEX); !k) return k << " for " << text;
  if (r.n.v.d != re || r.n.im != im) {
    return ::testing::AssertionFailure() << text << " read " << r.n.v.d << ", " << r.n.im;
  }
  return ::testing::AssertionSuccess();
}

// Expects failure with exactly message, and n left as int 0.
::testing::AssertionResult FailsWith(const std::string& text, bool prefix,
                                     const std::string& message) {
  const Read r = ReadLiteral(text, prefix);
  if (r.ok) return ::testing::AssertionFailure() << text << " was accepted";
  if (r.err != message) return ::testing::AssertionFailure() << text << " gave: " << r.err;
  if (r.n.kind != NUM_INT || r.n.v.i != 0) {
    return ::testing::AssertionFailure() << text << " left kind " << r.n.kind;
  }
  return ::testing::AssertionSuccess();
}

std::string Invalid(const std::string& c) { return "Syntax error: '" + c + "' is invalid character"; }

}  // namespace

// --- indig_number ------------------------------------------------------------

TEST(NumberLiteral, ScaleLetterServesAsPointOrEndsTheNumber) {
  EXPECT_TRUE(IsDouble("4k7", false, 4700.0));
  EXPECT_TRUE(IsDouble("4.7k", false, 4700.0));
  EXPECT_TRUE(IsDouble("4.7e3", false, 4700.0));
  EXPECT_TRUE(IsDouble("4.7k5", false, 4700.0));  // digits after the letter dropped
  EXPECT_TRUE(IsDouble("-4k7", true, -4700.0));
  EXPECT_TRUE(IsDouble("1k", false, 1000.0));  // a double, not an int
  EXPECT_TRUE(IsDouble("2M2", false, 2.2e6));
  EXPECT_TRUE(IsDouble("1e3", false, 1000.0));
  EXPECT_TRUE(IsInt("10", false, 10));
}

TEST(NumberLiteral, EveryScaleLetterHasItsPower) {
  EXPECT_TRUE(IsDouble("1T", false, 1e12));
  EXPECT_TRUE(IsDouble("1G", false, 1e9));
  EXPECT_TRUE(IsDouble("1M", false, 1e6));  // mega
  EXPECT_TRUE(IsDouble("1K", false, 1e3));
  EXPECT_TRUE(IsDouble("1k", false, 1e3));
  EXPECT_TRUE(IsDouble("1m", false, 1e-3));  // milli
  EXPECT_TRUE(IsDouble("1u", false, 1e-6));
  EXPECT_TRUE(IsDouble("1n", false, 1e-9));
  EXPECT_TRUE(IsDouble("1p", false, 1e-12));
  EXPECT_TRUE(IsDouble("1f", false, 1e-15));
  EXPECT_TRUE(FailsWith("1g", false, Invalid("g")));  // lower-case g is no scale letter
}

TEST(NumberLiteral, TrailingOrStrayCharactersAreNamed) {
  EXPECT_TRUE(FailsWith("10mA", false, Invalid("A")));
  EXPECT_TRUE(FailsWith("k", false, "Syntax error: 'k' is invalid number"));
  EXPECT_TRUE(FailsWith("M", true, "Syntax error: 'M' is invalid number"));
  EXPECT_TRUE(FailsWith("12a", false, Invalid("a")));
  EXPECT_TRUE(FailsWith("1.2.3", false, Invalid(".")));
  EXPECT_TRUE(FailsWith("1e", false, Invalid("e")));
  EXPECT_TRUE(FailsWith("1.5e3k", false, Invalid("k")));
  EXPECT_TRUE(FailsWith("-j", false, Invalid("-")));
}

TEST(NumberLiteral, ImaginarySuffixMakesComplex) {
  EXPECT_TRUE(IsComplex("2.5j", false, 0.0, 2.5));
  EXPECT_TRUE(IsComplex("-3j", true, 0.0, -3.0));
  EXPECT_TRUE(IsComplex("j", false, 0.0, 0.0));
  EXPECT_TRUE(IsComplex("1kj", false, 0.0, 1000.0));
  EXPECT_TRUE(IsComplex("1e-3j", false, 0.0, 1e-3));
}

TEST(NumberLiteral, InfinityInAnyCase) {
  EXPECT_TRUE(IsDouble("-inf", false, -kInf));
  EXPECT_TRUE(IsDouble("INF", true, kInf));
  EXPECT_TRUE(IsDouble("+Inf", false, kInf));
  EXPECT_TRUE(IsDouble(" - i n f ", false, -kInf));
}

TEST(NumberLiteral, PrefixesSelectHexBinaryOctal) {
  EXPECT_TRUE(IsInt("0x1F", true, 31));
  EXPECT_TRUE(IsInt("0X1f", true, 31));
  EXPECT_TRUE(IsInt("0b101", true, 5));
  EXPECT_TRUE(IsInt("0B11", true, 3));
  EXPECT_TRUE(IsInt("017", true, 15));
  EXPECT_TRUE(IsInt("-0x10", true, -16));
  EXPECT_TRUE(IsInt("0x", true, 0));
  EXPECT_TRUE(IsInt("0", true, 0));
  EXPECT_TRUE(IsInt64("017i64", true, 15));  // octal takes the int64 suffix
  EXPECT_TRUE(IsDouble("0.5", true, 0.5));   // a point is no octal
}

TEST(NumberLiteral, PrefixedDigitErrors) {
  EXPECT_TRUE(FailsWith("0x1G", true, "Syntax error: 'G' is not a valid hex value"));
  EXPECT_TRUE(FailsWith("0x1i64", true, "Syntax error: 'i' is not a valid hex value"));
  EXPECT_TRUE(FailsWith("0x1j", true, "Syntax error: 'j' is not a valid hex value"));
  EXPECT_TRUE(FailsWith("08", true, "Syntax error: '8' is not a valid octal value"));
  EXPECT_TRUE(FailsWith("019", true, "Syntax error: '9' is not a valid octal value"));
  // The binary message quotes the whole text as it was passed in.
  EXPECT_TRUE(FailsWith("0b102", true, "Syntax error: '0b102' is not a valid binary value"));
  EXPECT_TRUE(FailsWith(" 0b1 2", true, "Syntax error: ' 0b1 2' is not a valid binary value"));
}

TEST(NumberLiteral, PrefixedLengthLimits) {
  const std::string f16(16, 'F');
  EXPECT_TRUE(IsInt("0x" + f16, true, -1));  // 18 characters: accepted
  EXPECT_TRUE(FailsWith("0x0" + f16, true,
                        "Syntax error: '0x0" + f16 + "' is too big for 64 bit integer"));
  // The sign is not part of the quoted text.
  EXPECT_TRUE(FailsWith("-0x0" + f16, true,
                        "Syntax error: '0x0" + f16 + "' is too big for 64 bit integer"));
  const std::string ones(64, '1');
  EXPECT_TRUE(IsInt("0b" + ones, true, -1));
  EXPECT_TRUE(FailsWith("0b0" + ones, true,
                        "Syntax error: '0b0" + ones + "' is too big for 64 bit integer"));
  // 22 octal digits hold 66 bits; 1777777777777777777777 is 2^64 - 1.
  EXPECT_TRUE(IsInt("01777777777777777777777", true, -1));
  EXPECT_TRUE(FailsWith("001777777777777777777777", true,
                        "Syntax error: '001777777777777777777777' is too big for 64 bit integer"));
}

TEST(NumberLiteral, WithoutPrefixesLeadingZeroIsDecimal) {
  EXPECT_TRUE(IsInt("017", false, 17));
  EXPECT_TRUE(IsInt("010", false, 10));
  EXPECT_TRUE(IsInt("08", false, 8));
  EXPECT_TRUE(FailsWith("0x1F", false, Invalid("x")));
  EXPECT_TRUE(FailsWith("0b101", false, Invalid("b")));
}

TEST(NumberLiteral, CLibraryNumberExtensionsAreNotLiterals) {
  // strtod alone would read these as 1.5, NaN and infinity.
  EXPECT_TRUE(FailsWith("0x1.8", false, Invalid("x")));
  EXPECT_TRUE(FailsWith("0x1.8p1", false, Invalid("x")));
  EXPECT_TRUE(FailsWith("NAN(E)", false, Invalid("N")));
  EXPECT_TRUE(FailsWith("infinity", false, Invalid("i")));
}

TEST(NumberLiteral, IntegerKindFollowsMagnitude) {
  EXPECT_TRUE(IsInt("2147483647", false, 2147483647));
  EXPECT_TRUE(IsInt64("2147483648", false, 2147483648LL));
  EXPECT_TRUE(IsInt("-2147483647", false, -2147483647));
  // The magnitude 2^31 is outside int before the sign is applied.
  EXPECT_TRUE(IsInt64("-2147483648", false, -2147483648LL));
  EXPECT_TRUE(IsInt64("1i64", false, 1));
  EXPECT_TRUE(IsInt64("-1i64", false, -1));
  EXPECT_TRUE(IsDouble("1.5i64", false, 1.5));
  EXPECT_TRUE(IsInt64("0x80000000", true, 2147483648LL));
  EXPECT_TRUE(IsInt64("0xFFFFFFFF", true, 4294967295LL));
  EXPECT_TRUE(IsInt("0xFFFFFFFFFFFFFFFF", true, -1));
  EXPECT_TRUE(IsInt64("0x7FFFFFFFFFFFFFFF", true, std::numeric_limits<int64_t>::max()));
  EXPECT_TRUE(IsInt64("-0x8000000000000000", true, std::numeric_limits<int64_t>::min()));
  // Magnitude reads as -2^31 (an int); its negated low half wraps to itself.
  EXPECT_TRUE(IsInt("-0xFFFFFFFF80000000", true, std::numeric_limits<int32_t>::min()));
  // Magnitude reads as -1; the negated low half is 1.
  EXPECT_TRUE(IsInt("-0xFFFFFFFFFFFFFFFF", true, 1));
}

TEST(NumberLiteral, DecimalBeyond64BitsWraps) {
  EXPECT_TRUE(IsInt("18446744073709551615", false, -1));  // 2^64 - 1
  EXPECT_TRUE(IsInt("18446744073709551617", false, 1));   // 2^64 + 1
  EXPECT_TRUE(IsInt("18446744073709551616", false, 0));
  EXPECT_TRUE(IsInt64("9223372036854775808", false, std::numeric_limits<int64_t>::min()));
  EXPECT_TRUE(IsInt64("9223372036854775807", false, std::numeric_limits<int64_t>::max()));
}

TEST(NumberLiteral, BlanksAreRemovedAndLengthIsLimited) {
  EXPECT_TRUE(IsInt("", false, 0));
  EXPECT_TRUE(IsInt("   ", true, 0));
  EXPECT_TRUE(IsInt("1 000", false, 1000));
  EXPECT_TRUE(IsInt("\t-\n12\r", false, -12));
  EXPECT_TRUE(IsDouble(" 4 k 7\v", false, 4700.0));
  // The limit counts the text as passed in, blanks included.
  EXPECT_TRUE(IsInt(std::string(126, ' ') + "7", false, 7));
  EXPECT_TRUE(FailsWith(std::string(127, ' ') + "7", false,
                        "Syntax error: number string is too long"));
  EXPECT_TRUE(FailsWith(std::string(128, '1'), true, "Syntax error: number string is too long"));
  // A blank between a lone scale letter and nothing makes the text long
  // enough to pass the invalid-number test; it then fails as a fraction.
  EXPECT_TRUE(FailsWith(" k", false, Invalid(".")));
}

TEST(NumberLiteral, NullTargetIsTolerated) {
  m_global_errstr = "";
  EXPECT_TRUE(indig_number("42", nullptr, true));
  EXPECT_FALSE(indig_number("4x", nullptr, true));
  EXPECT_EQ(Invalid("x"), m_global_errstr.str());
}

// --- indig -----------------------------------------------------------------------

TEST(NumberIndig, ReadsWithoutPrefixesAsDouble) {
  double x = -1.0;
  ASSERT_TRUE(indig("4k7", &x));
  EXPECT_EQ(4700.0, x);
  ASSERT_TRUE(indig("017", &x));
  EXPECT_EQ(17.0, x);
  ASSERT_TRUE(indig("2147483648", &x));
  EXPECT_EQ(2147483648.0, x);
  ASSERT_TRUE(indig("-inf", &x));
  EXPECT_EQ(-kInf, x);
  ASSERT_TRUE(indig("2.5j", &x));
  EXPECT_EQ(0.0, x);  // the real part of 0+2.5j
  x = 7.0;
  ASSERT_TRUE(indig("", &x));
  EXPECT_EQ(0.0, x);
}

TEST(NumberIndig, FailureLeavesTargetUntouched) {
  double x = 42.0;
  EXPECT_FALSE(indig("0x1F", &x));
  EXPECT_EQ(42.0, x);
  EXPECT_EQ(Invalid("x"), m_global_errstr.str());
  EXPECT_FALSE(indig("k", &x));
  EXPECT_EQ(42.0, x);
  EXPECT_EQ("Syntax error: 'k' is invalid number", m_global_errstr.str());
}

// --- sprintf3 ---------------------------------------------------------------------

TEST(EngineeringText, MantissaInOneToThousandExponentMultipleOfThree) {
  EXPECT_EQ("1e-3", sprintf3(0.001, 12).str());
  EXPECT_EQ("1.5e+3", sprintf3(1500, 12).str());
  EXPECT_EQ("22e-12", sprintf3(2.2e-11, 12).str());
  EXPECT_EQ("47", sprintf3(47, 12).str());
  EXPECT_EQ("100", sprintf3(100, 12).str());
  EXPECT_EQ("1", sprintf3(1, 12).str());
  EXPECT_EQ("500e-3", sprintf3(0.5, 12).str());
  EXPECT_EQ("123.456789e+6", sprintf3(123456789, 12).str());
  EXPECT_EQ("-500e-3", sprintf3(-0.5, 12).str());
  EXPECT_EQ("1e+3", sprintf3(1000, 12).str());
  EXPECT_EQ("333.333333333e-3", sprintf3(1.0 / 3.0, 12).str());
}

TEST(EngineeringText, ZeroAndNonFinite) {
  EXPECT_EQ("0", sprintf3(0.0, 12).str());
  EXPECT_EQ("-0", sprintf3(-0.0, 12).str());
  EXPECT_EQ("", sprintf3(std::nan(""), 12).str());
  EXPECT_EQ("inf", sprintf3(kInf, 12).str());
  EXPECT_EQ("-inf", sprintf3(-kInf, 12).str());
}

TEST(EngineeringText, RoundingUpToThousandMovesToNextExponent) {
  EXPECT_EQ("1e+3", sprintf3(999.9999999999999, 12).str());
  EXPECT_EQ("-1e+3", sprintf3(-999.9999999999999, 12).str());
  EXPECT_EQ("1", sprintf3(0.9999999999999, 12).str());
  EXPECT_EQ("1e+6", sprintf3(999999.9999999, 12).str());
  EXPECT_EQ("999.999999999", sprintf3(999.999999999, 12).str());  // 12 digits: no carry
}

TEST(EngineeringText, PrecisionAndExtremes) {
  EXPECT_EQ("1.23457e+6", sprintf3(1234567, 6).str());
  EXPECT_EQ("667e-3", sprintf3(2.0 / 3.0, 3).str());
  EXPECT_EQ("179.769313486e+306", sprintf3(std::numeric_limits<double>::max(), 12).str());
  EXPECT_EQ("4.94065645841e-324", sprintf3(std::numeric_limits<double>::denorm_min(), 12).str());
  EXPECT_EQ("100e-312", sprintf3(1e-310, 12).str());
  // A huge precision still gives a mantissa of at most 31 characters.
  const std::string t = sprintf3(-1.0 / 3.0, 40).str();
  ASSERT_NE(std::string::npos, t.find('e'));
  EXPECT_LE(t.find('e'), 31u);
  EXPECT_EQ("-333.33333333333331", t.substr(0, 19));
}

// --- ToDouble -------------------------------------------------------------------

TEST(ToDouble, PlainCNumberSyntax) {
  EXPECT_TRUE(std::isnan(ToDouble("")));
  EXPECT_EQ(kInf, ToDouble("inf"));
  EXPECT_EQ(-kInf, ToDouble("-inf"));
  EXPECT_EQ(2.5, ToDouble("  2.5xyz"));
  EXPECT_EQ(0.0, ToDouble("abc"));
  EXPECT_EQ(4.0, ToDouble("4k7"));  // no engineering letters here
  EXPECT_EQ(-1.5e-3, ToDouble("-1.5e-3"));
  EXPECT_EQ(1000.0, ToDouble("1e+3"));
}

// --- Round trip -------------------------------------------------------------------

namespace {

// Checks that text has the engineering shape (mantissa in [1, 1000), exponent
// a multiple of 3) and that indig reads it back to x within 12 digits.
::testing::AssertionResult RoundTrips(double x) {
  const AnsiString text = sprintf3(x, 12);
  double back = std::nan("");
  if (!indig(text, &back)) {
    return ::testing::AssertionFailure() << text.str() << " from " << x << ": " << m_global_errstr.str();
  }
  if (x == 0.0) {
    if (back != 0.0) return ::testing::AssertionFailure() << text.str() << " read " << back;
    return ::testing::AssertionSuccess();
  }
  // 12 digits of a mantissa >= 1 are within 5e-12; the scaling loop adds
  // at most ~1e-14 and strtod half an ulp.
  if (!(std::fabs(back - x) <= 1e-11 * std::fabs(x))) {
    return ::testing::AssertionFailure() << std::hexfloat << x << " -> " << text.str() << " -> " << back;
  }
  const std::string& s = text.str();
  const std::size_t e = s.find('e');
  const double mant = std::fabs(strtod_c(s.substr(0, e).c_str(), nullptr));
  if (!(mant >= 1.0 && mant < 1000.0)) {
    return ::testing::AssertionFailure() << s << ": mantissa out of [1, 1000)";
  }
  if (e != std::string::npos && std::atoi(s.c_str() + e + 1) % 3 != 0) {
    return ::testing::AssertionFailure() << s << ": exponent not a multiple of 3";
  }
  return ::testing::AssertionSuccess();
}

}  // namespace

TEST(EngineeringRoundTrip, RandomDoublesOverTheWholeRange) {
  std::mt19937_64 rng(20240424);
  int checked = 0;
  for (int k = 0; k < 60000; ++k) {
    const uint64_t bits = rng();
    double x;
    std::memcpy(&x, &bits, sizeof x);
    if (!std::isfinite(x)) continue;
    ASSERT_TRUE(RoundTrips(x));
    ++checked;
  }
  EXPECT_GT(checked, 59000);
  // Subnormals specifically: the exponent field is zero.
  for (int k = 0; k < 5000; ++k) {
    const uint64_t bits = (rng() & 0x800FFFFFFFFFFFFFull);
    double x;
    std::memcpy(&x, &bits, sizeof x);
    ASSERT_TRUE(RoundTrips(x));
  }
  // Ordinary magnitudes, where most values live.
  std::uniform_real_distribution<double> exp10(-20.0, 20.0);
  for (int k = 0; k < 20000; ++k) {
    const double x = std::pow(10.0, exp10(rng)) * (k % 2 ? -1.0 : 1.0);
    ASSERT_TRUE(RoundTrips(x));
  }
}

TEST(EngineeringRoundTrip, NearThousandPowerBoundaries) {
  // 1000 * 10^k and its neighbours: the mantissa rounds to "1000" or stays
  // at 999.999999999..., and must still read back.
  for (int p = -321; p <= 308; ++p) {
    char lit[16];
    std::snprintf(lit, sizeof lit, "1e%d", p);
    const double b = strtod_c(lit, nullptr);
    double lo = b, hi = b;
    for (int step = 0; step < 4; ++step) {
      ASSERT_TRUE(RoundTrips(lo));
      ASSERT_TRUE(RoundTrips(hi));
      ASSERT_TRUE(RoundTrips(-hi));
      lo = std::nextafter(lo, 0.0);
      hi = std::nextafter(hi, kInf);
    }
    for (double f : {1 - 4e-13, 1 - 6e-13, 1 - 5e-12, 1 + 4e-13, 1 + 5e-12}) {
      if (std::isfinite(b * f)) {
        ASSERT_TRUE(RoundTrips(b * f));
      }
    }
  }
}

// --- Locale independence ----------------------------------------------------------

namespace {

bool TrySetDecimalCommaLocale(const char* name) {
  if (std::setlocale(LC_ALL, name) == nullptr) return false;
  if (std::strcmp(std::localeconv()->decimal_point, ",") == 0) return true;
  std::setlocale(LC_ALL, "C");
  return false;
}

// Makes the process locale one whose decimal point is ",": an installed one
// when there is any, else one compiled with localedef into the scratch
// directory and found through LOCPATH. False when none can be had.
bool SetDecimalCommaLocale(bool* set_locpath) {
  *set_locpath = false;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
    if (TrySetDecimalCommaLocale(name)) return true;
  }
  if (FILE* p = popen("locale -a 2>/dev/null", "r")) {
    char line[256];
    bool found = false;
    while (!found && std::fgets(line, sizeof line, p) != nullptr) {
      line[std::strcspn(line, "\r\n")] = '\0';
      found = TrySetDecimalCommaLocale(line);
    }
    pclose(p);
    if (found) return true;
  }
  const std::string dir = ScratchDir() + "locales";
  mkdir(dir.c_str(), 0700);
  const std::string cmd =
      "localedef -i de_DE -f ISO-8859-1 '" + dir + "/de_DE.ISO-8859-1' >/dev/null 2>&1";
  [[maybe_unused]] const int rc = std::system(cmd.c_str());  // warnings give rc 1
  setenv("LOCPATH", dir.c_str(), 1);
  *set_locpath = true;
  return TrySetDecimalCommaLocale("de_DE.ISO-8859-1");
}

class DecimalCommaLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!SetDecimalCommaLocale(&set_locpath_)) GTEST_SKIP() << "no decimal-comma locale";
  }
  void TearDown() override {
    std::setlocale(LC_ALL, "C");
    if (set_locpath_) unsetenv("LOCPATH");
  }
  bool set_locpath_ = false;
};

}  // namespace

TEST_F(DecimalCommaLocale, NumberTextStaysInCLocale) {
  char probe[16];
  std::snprintf(probe, sizeof probe, "%g", 1.5);
  ASSERT_STREQ("1,5", probe) << "the host locale is not in effect";

  EXPECT_EQ("1.5e+3", sprintf3(1500, 12).str());
  EXPECT_EQ("250e-3", sprintf3(0.25, 12).str());
  double x = 0.0;
  ASSERT_TRUE(indig("4.7k", &x)) << m_global_errstr.str();
  EXPECT_EQ(4700.0, x);
  ASSERT_TRUE(indig("2.5", &x)) << m_global_errstr.str();
  EXPECT_EQ(2.5, x);
  EXPECT_FALSE(indig("1,5", &x));
  EXPECT_EQ(Invalid(","), m_global_errstr.str());
  EXPECT_EQ(2.5, ToDouble("2.5"));
  SNumber n;
  SetComplexNumber(&n, 1.5, -2.25);
  EXPECT_EQ("1.5-2.25j", OutNumber(&n).str());
  // Blanks are those of the C locale: a no-break space (0xA0 in
  // ISO-8859-1 locales) is not removed.
  EXPECT_FALSE(indig("1\xA0" "5", &x));
  EXPECT_EQ(Invalid("\xA0"), m_global_errstr.str());
}
