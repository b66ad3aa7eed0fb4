// Tolerant comparison of doubles, small-value cut-off, characters and names,
// blank removal, hexadecimal bytes and the identity counter.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

#include "expr/globals.h"

namespace {
const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
}  // namespace

TEST(CompareValues, EqualWithinResolutionOfTheSmallerMagnitude) {
  EXPECT_EQ(1e-12, DoubleResolution);
  const struct {
    double a, b;
    int want;
  } rows[] = {
      {1.0, 1.0 + 1e-13, 0}, {-5.0, -5.0 * (1 + 5e-13), 0}, {1.0, 1.0 + 1e-11, -1},
      {1.0 + 1e-11, 1.0, 1}, {-2.0, 3.0, -1}, {3.0, -2.0, 1}, {0.0, -0.0, 0},
      {1.0, 1.0 + 2e-12, -1},
      // Zero never equals non-zero.
      {0.0, 1e-300, -1}, {1e-300, 0.0, 1}, {0.0, -4.9e-324, 1},
      // Relative: 1e6 has a tolerance of 1e-6 (difference 1e-7), 1e-6 one of
      // 1e-18 (difference 1e-17).
      {1e6, 1e6 + 1e-7, 0}, {1e-6, 1e-6 + 1e-17, -1},
      // Opposite infinities are ordered, although inf * 1e-12 as tolerance
      // would cover their distance.
      {kInf, kInf, 0}, {-kInf, -kInf, 0}, {-kInf, kInf, -1}, {kInf, -kInf, 1}, {1e308, kInf, -1},
      {kNaN, 1.0, 1}, {1.0, kNaN, 1},  // NaN: never "b > a", never equal
  };
  for (const auto& row : rows) EXPECT_EQ(row.want, CompareValues(row.a, row.b)) << row.a << " vs " << row.b;
  EXPECT_EQ(0, CompareValuesRes(100.0, 100.5, 1e-2));
  EXPECT_EQ(-1, CompareValuesRes(100.0, 102.0, 1e-2));
  EXPECT_EQ(-1, CompareValuesRes(100.0, 100.5, 0.0));
  EXPECT_EQ(1, CompareValuesRes(100.5, 100.0, 0.0));
}

TEST(CompareDouble, NaNEqualsNaNInfinityEqualsInfinity) {
  const struct {
    double a, b;
    bool want;
  } rows[] = {
      {kNaN, kNaN, true}, {kNaN, 1.0, false}, {0.0, kNaN, false}, {kNaN, kInf, false},
      {kInf, -kInf, true}, {-kInf, -kInf, true}, {kInf, 1e308, false},
      {1.0, 1.0 + 1e-13, true}, {1.0, 1.001, false},
  };
  for (const auto& row : rows) EXPECT_EQ(row.want, CompareDouble(row.a, row.b)) << row.a << " vs " << row.b;
}

TEST(IsTooSmall, CutsValuesBelowResolutionOfTheReference) {
  EXPECT_EQ(0.0, IsTooSmall(1e-13, 1.0));
  EXPECT_EQ(0.0, IsTooSmall(-1e-13, -1.0));
  EXPECT_EQ(1e-11, IsTooSmall(1e-11, 1.0));
  EXPECT_EQ(-3.0, IsTooSmall(-3.0, 1e9));
  EXPECT_EQ(1e-300, IsTooSmall(1e-300, 0.0));  // nothing is small against 0
  for (double x : {0.0, -1e308, 4.9e-324}) EXPECT_TRUE(isgood(x)) << x;
  for (double x : {kNaN, kInf, -kInf}) EXPECT_FALSE(isgood(x)) << x;
}

TEST(Characters, AsciiClassesOnly) {
  EXPECT_TRUE(is_letter('a') && is_letter('Z'));
  EXPECT_FALSE(is_letter('_') || is_letter('5'));
  EXPECT_FALSE(is_letter('\xE4'));  // a Latin-1 letter is not a name letter
  EXPECT_TRUE(is_digit('0') && is_digit('9'));
  EXPECT_FALSE(is_digit('a') || is_digit('\xB2'));
  EXPECT_TRUE(is_underscore('_'));
  EXPECT_FALSE(is_underscore('-'));
}

TEST(Names, ValidReservedAndInvalid) {
  for (const char* w : {"R1", "_x_2", "infinity" /* only the whole word is reserved */}) {
    EXPECT_EQ(0, is_valid_name(w)) << w;
  }
  for (const char* w : {"", "1R", "R.1", "a b", "\xE4x"}) EXPECT_EQ(-1, is_valid_name(w)) << w;
  for (const char* w : {"inf", "INF", "true", "False", "high", "LOW", "pi", "Pi", "rad"}) {
    EXPECT_EQ(1, is_valid_name(w)) << w;
  }
}

TEST(RemoveSpaces, EveryCLocaleBlankWhereverItStands) {
  AnsiString s(" a\tb\nc\vd\fe\rf ");
  remove_spaces(s);
  EXPECT_EQ("abcdef", s.str());
  char buf[] = "  1 0\t0 ";
  remove_spaces(buf);
  EXPECT_STREQ("100", buf);
  AnsiString blanks("   ");
  remove_spaces(blanks);
  EXPECT_TRUE(blanks.IsEmpty());
  AnsiString other("x\xA0y");  // not a C-locale blank
  remove_spaces(other);
  EXPECT_EQ("x\xA0y", other.str());
}

TEST(Hex, DigitValues) {
  const std::pair<char, int> rows[] = {{'0', 0},  {'9', 9},  {'A', 10}, {'f', 15},
                                       {'g', -1}, {'G', -1}, {' ', -1}, {'\xC1', -1}};
  for (const auto& [c, v] : rows) EXPECT_EQ(v, hex_to_val(c)) << c;
}

TEST(Hex, BytesToTextUpperCaseHighNibbleFirst) {
  const unsigned char bytes[] = {0x00, 0x1F, 0xA5, 0xFF};
  char text[16];
  std::memset(text, 'x', sizeof text);
  EXPECT_EQ(8, bin_to_hex(bytes, text, 4));
  EXPECT_STREQ("001FA5FF", text);
  std::memset(text, 'x', sizeof text);
  EXPECT_EQ(0, bin_to_hex(bytes, text, 0));
  EXPECT_STREQ("", text);
  EXPECT_EQ(0, bin_to_hex(bytes, text, -3));
}

TEST(Hex, TextToBytesStopsAtMaxCharacters) {
  unsigned char b[8] = {};
  EXPECT_EQ(3, hex_to_bin("1fA5c0", b, 100));
  EXPECT_EQ(0x1F, b[0]);
  EXPECT_EQ(0xA5, b[1]);
  EXPECT_EQ(0xC0, b[2]);
  unsigned char c[8] = {};
  EXPECT_EQ(2, hex_to_bin("11223344", c, 4));
  EXPECT_EQ(0x22, c[1]);
  EXPECT_EQ(0x00, c[2]);
  EXPECT_EQ(0, hex_to_bin("11", c, 0));
  EXPECT_EQ(0, hex_to_bin("11", c, -1));
  EXPECT_EQ(0, hex_to_bin("", c, 10));
  // A lone last digit is checked but not stored.
  unsigned char d[2] = {0x55, 0x55};
  EXPECT_EQ(1, hex_to_bin("ABC", d, 10));
  EXPECT_EQ(0xAB, d[0]);
  EXPECT_EQ(0x55, d[1]);
  EXPECT_EQ(~2, hex_to_bin("ABz", d, 3));
}

TEST(Hex, NonHexGivesComplementOfItsPosition) {
  unsigned char b[8] = {};
  EXPECT_EQ(~0, hex_to_bin("x1", b, 10));
  EXPECT_EQ(~2, hex_to_bin("12 4", b, 10));
  EXPECT_EQ(~5, hex_to_bin("abcde#", b, 10));
  EXPECT_LT(hex_to_bin("0g", b, 10), 0);
  EXPECT_EQ(1, hex_to_bin("12zz", b, 2));  // a bad character beyond max is never looked at
}

TEST(Hex, RoundTripOfEveryByte) {
  unsigned char in[256], out[256];
  for (int k = 0; k < 256; ++k) in[k] = static_cast<unsigned char>(k);
  char text[513];
  ASSERT_EQ(512, bin_to_hex(in, text, 256));
  ASSERT_EQ(256, hex_to_bin(text, out, 512));
  EXPECT_EQ(0, std::memcmp(in, out, sizeof in));
}

TEST(UniqueId, CountsUpByOne) {
  const int a = GetUniqueID();
  EXPECT_GE(a, 1);
  EXPECT_EQ(a + 1, GetUniqueID());
}
