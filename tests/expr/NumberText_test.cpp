// Number text: the literal reader (indig_number, indig), the engineering
// printer sprintf3, ToDouble, their round trip and their independence of the
// host's locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <sys/stat.h>

#include "TestData.h"
#include "base/CLocale.h"
#include "expr/FormulaTest.h"
#include "expr/globals.h"

namespace {

const double kInf = std::numeric_limits<double>::infinity();

std::string Invalid(const std::string& c) {
  return "Syntax error: '" + c + "' is invalid character";
}
std::string TooBig(const std::string& t) {
  return "Syntax error: '" + t + "' is too big for 64 bit integer";
}

struct LiteralRow {
  std::string text;
  Want want;
};

// Reads every row, with prefixes (0x, 0b, leading-0 octal: as in formulas)
// or without; a failure must also leave the number as int 0.
void ExpectLiterals(bool prefix, std::initializer_list<LiteralRow> rows) {
  for (const LiteralRow& row : rows) {
    SCOPED_TRACE("literal \"" + row.text + (prefix ? "\" with prefixes" : "\""));
    m_global_errstr = "";
    SNumber n = NumDouble(99.0);  // must be overwritten, on failure too
    const bool ok = indig_number(AnsiString(row.text), &n, prefix);
    EXPECT_EQ(row.want.kind >= 0, ok) << m_global_errstr.str();
    if (row.want.kind < 0) {
      EXPECT_EQ(row.want.message, m_global_errstr.str());
    }
    EXPECT_TRUE(Holds(n, row.want.kind < 0 ? Int(0) : row.want));
  }
}
constexpr bool kPlain = false, kPrefixed = true;

}  // namespace

TEST(NumberLiteral, DecimalFractionsScaleLettersAndSuffixes) {
  ExpectLiterals(kPlain, {
      // A scale letter serves as the point, or ends the number after one.
      {"4k7", Dbl(4700)}, {"4.7k", Dbl(4700)}, {"4.7e3", Dbl(4700)}, {"2M2", Dbl(2.2e6)},
      {"4.7k5", Dbl(4700)},                                    // digits after the letter dropped
      {"1k", Dbl(1000)}, {"1e3", Dbl(1000)}, {"10", Int(10)},  // 1k is a double, not an int
      {"1T", Dbl(1e12)}, {"1G", Dbl(1e9)}, {"1M", Dbl(1e6)}, {"1K", Dbl(1e3)}, {"1m", Dbl(1e-3)},
      {"1u", Dbl(1e-6)}, {"1n", Dbl(1e-9)}, {"1p", Dbl(1e-12)}, {"1f", Dbl(1e-15)},
      {"1g", Err(Invalid("g"))},  // lower-case g is no scale letter
      {"2.5j", Cplx(0, 2.5)}, {"j", Cplx(0, 0)}, {"1kj", Cplx(0, 1000)}, {"1e-3j", Cplx(0, 1e-3)},
      {"-inf", Dbl(-kInf)}, {"+Inf", Dbl(kInf)}, {" - i n f ", Dbl(-kInf)},
      // Stray characters are named.
      {"10mA", Err(Invalid("A"))}, {"k", Err("Syntax error: 'k' is invalid number")},
      {"12a", Err(Invalid("a"))}, {"1.2.3", Err(Invalid("."))}, {"1e", Err(Invalid("e"))},
      {"1.5e3k", Err(Invalid("k"))}, {"-j", Err(Invalid("-"))},
      // strtod alone would read these as 1.5, NaN and infinity.
      {"0x1.8", Err(Invalid("x"))}, {"0x1.8p1", Err(Invalid("x"))},
      {"NAN(E)", Err(Invalid("N"))}, {"infinity", Err(Invalid("i"))},
      // Without prefixes a leading zero is decimal.
      {"017", Int(17)}, {"010", Int(10)}, {"08", Int(8)},
      {"0x1F", Err(Invalid("x"))}, {"0b101", Err(Invalid("b"))},
  });
  ExpectLiterals(kPrefixed, {{"-4k7", Dbl(-4700)}, {"-3j", Cplx(0, -3)}, {"INF", Dbl(kInf)},
                             {"M", Err("Syntax error: 'M' is invalid number")}});
}

TEST(NumberLiteral, PrefixesSelectHexBinaryOctal) {
  const std::string f16(16, 'F'), ones(64, '1');
  ExpectLiterals(kPrefixed, {
      {"0x1F", Int(31)}, {"0X1f", Int(31)}, {"0b101", Int(5)}, {"0B11", Int(3)},
      {"017", Int(15)}, {"-0x10", Int(-16)}, {"0x", Int(0)}, {"0", Int(0)},
      {"017i64", Int64(15)}, {"0.5", Dbl(0.5)},  // octal takes "i64"; a point is no octal
      {"0x1G", Err("Syntax error: 'G' is not a valid hex value")},
      {"0x1i64", Err("Syntax error: 'i' is not a valid hex value")},
      {"0x1j", Err("Syntax error: 'j' is not a valid hex value")},
      {"08", Err("Syntax error: '8' is not a valid octal value")},
      {"019", Err("Syntax error: '9' is not a valid octal value")},
      // The binary message quotes the whole text as passed in.
      {"0b102", Err("Syntax error: '0b102' is not a valid binary value")},
      {" 0b1 2", Err("Syntax error: ' 0b1 2' is not a valid binary value")},
      // Length limits: 18, 66 and 23 characters; the sign is not quoted.
      {"0x" + f16, Int(-1)}, {"0x0" + f16, Err(TooBig("0x0" + f16))},
      {"-0x0" + f16, Err(TooBig("0x0" + f16))},
      {"0b" + ones, Int(-1)}, {"0b0" + ones, Err(TooBig("0b0" + ones))},
      // 22 octal digits hold 66 bits; 1777777777777777777777 is 2^64 - 1.
      {"01777777777777777777777", Int(-1)},
      {"001777777777777777777777", Err(TooBig("001777777777777777777777"))},
  });
}

TEST(NumberLiteral, IntegerKindFollowsMagnitudeAndWrapsBeyond64Bits) {
  const int64_t max64 = std::numeric_limits<int64_t>::max();
  const int64_t min64 = std::numeric_limits<int64_t>::min();
  ExpectLiterals(kPlain, {
      {"2147483647", Int(2147483647)}, {"2147483648", Int64(2147483648LL)},
      {"-2147483647", Int(-2147483647)}, {"1i64", Int64(1)}, {"-1i64", Int64(-1)},
      {"1.5i64", Dbl(1.5)},
      {"-2147483648", Int64(-2147483648LL)},  // the magnitude 2^31 is outside int before the sign
      {"18446744073709551615", Int(-1)},  // 2^64 - 1
      {"18446744073709551617", Int(1)},   // 2^64 + 1
      {"18446744073709551616", Int(0)}, {"9223372036854775808", Int64(min64)},
      {"9223372036854775807", Int64(max64)},
  });
  ExpectLiterals(kPrefixed, {
      {"0x80000000", Int64(2147483648LL)}, {"0xFFFFFFFF", Int64(4294967295LL)},
      {"0xFFFFFFFFFFFFFFFF", Int(-1)}, {"0x7FFFFFFFFFFFFFFF", Int64(max64)},
      {"-0x8000000000000000", Int64(min64)},
      // Magnitude reads as -2^31 (an int); its negated low half wraps to itself.
      {"-0xFFFFFFFF80000000", Int(std::numeric_limits<int32_t>::min())},
      {"-0xFFFFFFFFFFFFFFFF", Int(1)},  // magnitude -1; negated low half 1
  });
}

TEST(NumberLiteral, BlanksAreRemovedAndLengthIsLimited) {
  const std::string too_long = "Syntax error: number string is too long";
  ExpectLiterals(kPlain, {
      {"", Int(0)}, {"1 000", Int(1000)}, {"\t-\n12\r", Int(-12)}, {" 4 k 7\v", Dbl(4700)},
      // The limit counts the text as passed in, blanks included.
      {std::string(126, ' ') + "7", Int(7)}, {std::string(127, ' ') + "7", Err(too_long)},
      // A blank makes a lone scale letter long enough to pass the
      // invalid-number test; it then fails as a fraction.
      {" k", Err(Invalid("."))},
  });
  ExpectLiterals(kPrefixed, {{"   ", Int(0)}, {std::string(128, '1'), Err(too_long)}});
  m_global_errstr = "";
  EXPECT_TRUE(indig_number("42", nullptr, true));  // a null target is tolerated
  EXPECT_FALSE(indig_number("4x", nullptr, true));
  EXPECT_EQ(Invalid("x"), m_global_errstr.str());
}

TEST(NumberIndig, ReadsWithoutPrefixesAsDoubleAndLeavesTargetOnFailure) {
  const struct {
    const char* text;
    double x;
  } rows[] = {{"4k7", 4700.0}, {"017", 17.0}, {"2147483648", 2147483648.0}, {"-inf", -kInf},
              {"2.5j", 0.0} /* the real part of 0+2.5j */, {"", 0.0}};
  for (const auto& row : rows) {
    double x = 7.0;
    ASSERT_TRUE(indig(row.text, &x)) << row.text;
    EXPECT_EQ(row.x, x) << row.text;
  }
  double x = 42.0;
  EXPECT_FALSE(indig("0x1F", &x));
  EXPECT_EQ(Invalid("x"), m_global_errstr.str());
  EXPECT_FALSE(indig("k", &x));
  EXPECT_EQ("Syntax error: 'k' is invalid number", m_global_errstr.str());
  EXPECT_EQ(42.0, x);
}

TEST(EngineeringText, MantissaInOneToThousandExponentMultipleOfThree) {
  const std::pair<double, const char*> rows[] = {
      {0.001, "1e-3"}, {1500, "1.5e+3"}, {2.2e-11, "22e-12"}, {47, "47"}, {100, "100"}, {1, "1"},
      {0.5, "500e-3"}, {123456789, "123.456789e+6"}, {-0.5, "-500e-3"}, {1000, "1e+3"},
      {1.0 / 3.0, "333.333333333e-3"}, {0.0, "0"}, {-0.0, "-0"}, {std::nan(""), ""},
      {kInf, "inf"}, {-kInf, "-inf"},
      // Rounding up to 1000 moves to the next exponent.
      {999.9999999999999, "1e+3"}, {-999.9999999999999, "-1e+3"}, {0.9999999999999, "1"},
      {999999.9999999, "1e+6"}, {999.999999999, "999.999999999"},  // 12 digits: no carry
      {std::numeric_limits<double>::max(), "179.769313486e+306"},
      {std::numeric_limits<double>::denorm_min(), "4.94065645841e-324"}, {1e-310, "100e-312"},
  };
  for (const auto& [x, text] : rows) EXPECT_EQ(text, sprintf3(x, 12).str()) << x;
  EXPECT_EQ("1.23457e+6", sprintf3(1234567, 6).str());
  EXPECT_EQ("667e-3", sprintf3(2.0 / 3.0, 3).str());
  // A huge precision still gives a mantissa of at most 31 characters.
  const std::string t = sprintf3(-1.0 / 3.0, 40).str();
  ASSERT_NE(std::string::npos, t.find('e'));
  EXPECT_LE(t.find('e'), 31u);
  EXPECT_EQ("-333.33333333333331", t.substr(0, 19));
}

TEST(ToDouble, PlainCNumberSyntax) {
  EXPECT_TRUE(std::isnan(ToDouble("")));
  const std::pair<const char*, double> rows[] = {
      {"inf", kInf}, {"-inf", -kInf}, {"  2.5xyz", 2.5}, {"abc", 0.0},
      {"4k7", 4.0},  // no engineering letters here
      {"-1.5e-3", -1.5e-3}, {"1e+3", 1000.0}};
  for (const auto& [text, x] : rows) EXPECT_EQ(x, ToDouble(text)) << text;
}

namespace {

// The text of x has the engineering shape (mantissa in [1, 1000), exponent a
// multiple of 3) and indig reads it back to x within 12 digits.
::testing::AssertionResult RoundTrips(double x) {
  const std::string s = sprintf3(x, 12).str();
  auto fail = [&] { return ::testing::AssertionFailure() << std::hexfloat << x << " -> " << s; };
  double back = std::nan("");
  if (!indig(AnsiString(s), &back)) return fail() << ": " << m_global_errstr.str();
  // 12 digits of a mantissa >= 1 are within 5e-12; the scaling loop adds
  // at most ~1e-14 and strtod half an ulp. Zero must come back exactly.
  if (!(std::fabs(back - x) <= 1e-11 * std::fabs(x))) return fail() << " -> " << back;
  if (x == 0.0) return ::testing::AssertionSuccess();
  const std::size_t e = s.find('e');
  const double mant = std::fabs(strtod_c(s.substr(0, e).c_str(), nullptr));
  if (!(mant >= 1.0 && mant < 1000.0)) return fail() << ": mantissa out of [1, 1000)";
  if (e != std::string::npos && std::atoi(s.c_str() + e + 1) % 3 != 0) {
    return fail() << ": exponent not a multiple of 3";
  }
  return ::testing::AssertionSuccess();
}

double FromBits(uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

}  // namespace

TEST(EngineeringRoundTrip, RandomDoublesOverTheWholeRange) {
  std::mt19937_64 rng(20240424);
  int checked = 0;
  for (int k = 0; k < 60000; ++k) {
    const double x = FromBits(rng());
    if (!std::isfinite(x)) continue;
    ASSERT_TRUE(RoundTrips(x));
    ++checked;
  }
  EXPECT_GT(checked, 59000);
  // Subnormals specifically: the exponent field is zero.
  for (int k = 0; k < 5000; ++k) ASSERT_TRUE(RoundTrips(FromBits(rng() & 0x800FFFFFFFFFFFFFull)));
  // Ordinary magnitudes, where most values live.
  std::uniform_real_distribution<double> exp10(-20.0, 20.0);
  for (int k = 0; k < 20000; ++k) {
    ASSERT_TRUE(RoundTrips(std::pow(10.0, exp10(rng)) * (k % 2 ? -1.0 : 1.0)));
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

namespace {

bool TrySetDecimalCommaLocale(const char* name) {
  if (std::setlocale(LC_ALL, name) != nullptr &&
      std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
    return true;
  }
  std::setlocale(LC_ALL, "C");
  return false;
}

// Makes the process locale one whose decimal point is ",": an installed one
// when there is any, else one compiled with localedef into the scratch
// directory and found through LOCPATH. Skips when none can be had.
class DecimalCommaLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
      if (TrySetDecimalCommaLocale(name)) return;
    }
    const std::string dir = ScratchDir() + "locales";
    mkdir(dir.c_str(), 0700);
    const std::string cmd =
        "localedef -i de_DE -f ISO-8859-1 '" + dir + "/de_DE.ISO-8859-1' >/dev/null 2>&1";
    [[maybe_unused]] const int rc = std::system(cmd.c_str());  // warnings give rc 1
    set_locpath_ = setenv("LOCPATH", dir.c_str(), 1) == 0;
    if (!TrySetDecimalCommaLocale("de_DE.ISO-8859-1")) GTEST_SKIP() << "no decimal-comma locale";
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
  const SNumber n = NumComplex(1.5, -2.25);
  EXPECT_EQ("1.5-2.25j", OutNumber(&n).str());
  // Blanks are those of the C locale: a no-break space (0xA0 in
  // ISO-8859-1 locales) is not removed.
  EXPECT_FALSE(indig("1\xA0" "5", &x));
  EXPECT_EQ(Invalid("\xA0"), m_global_errstr.str());
}
