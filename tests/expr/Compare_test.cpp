// Tolerant comparison of doubles, small-value cut-off, characters and names,
// blank removal, hexadecimal bytes and the identity counter.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

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
      {0.0, 1e-300, -1}, {1e-300, 0.0, 1}, {0.0, -4.9e-324, 1},  // zero never equals non-zero
      // Relative: 1e6 has a tolerance of 1e-6 (difference 1e-7), 1e-6 one of
      // 1e-18 (difference 1e-17).
      {1e6, 1e6 + 1e-7, 0}, {1e-6, 1e-6 + 1e-17, -1},
      // Opposite infinities are ordered, although inf * 1e-12 as tolerance
      // would cover their distance.
      {kInf, kInf, 0}, {-kInf, -kInf, 0}, {-kInf, kInf, -1}, {kInf, -kInf, 1}, {1e308, kInf, -1},
      {kNaN, 1.0, 1}, {1.0, kNaN, 1},  // NaN: never "b > a", never equal
  };
  for (const auto& r : rows) EXPECT_EQ(r.want, CompareValues(r.a, r.b)) << r.a << " vs " << r.b;
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
  for (const auto& r : rows) EXPECT_EQ(r.want, CompareDouble(r.a, r.b)) << r.a << " vs " << r.b;
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

TEST(Names, AsciiLettersDigitsAndUnderscoreReservedWordsIgnoreCase) {
  for (char c : {'a', 'Z'}) EXPECT_TRUE(is_letter(c)) << c;
  for (char c : {'_', '5', '\xE4' /* a Latin-1 letter is no name letter */}) {
    EXPECT_FALSE(is_letter(c)) << c;
  }
  EXPECT_TRUE(is_digit('0') && is_digit('9'));
  EXPECT_FALSE(is_digit('a') || is_digit('\xB2'));
  EXPECT_TRUE(is_underscore('_'));
  EXPECT_FALSE(is_underscore('-'));
  for (const char* w : {"R1", "_x_2", "infinity" /* only the whole word is reserved */}) {
    EXPECT_EQ(0, is_valid_name(w)) << w;
  }
  for (const char* w : {"", "1R", "R.1", "a b", "\xE4x"}) EXPECT_EQ(-1, is_valid_name(w)) << w;
  for (const char* w : {"inf", "INF", "true", "False", "high", "LOW", "pi", "Pi", "rad"}) {
    EXPECT_EQ(1, is_valid_name(w)) << w;
  }
}

TEST(RemoveSpaces, EveryCLocaleBlankWhereverItStands) {
  const std::pair<const char*, const char*> rows[] = {
      {" a\tb\nc\vd\fe\rf ", "abcdef"}, {"   ", ""}, {"x\xA0y", "x\xA0y"} /* no C blank */};
  for (const auto& [in, out] : rows) {
    AnsiString s(in);
    remove_spaces(s);
    EXPECT_EQ(out, s.str());
  }
  char buf[] = "  1 0\t0 ";
  remove_spaces(buf);
  EXPECT_STREQ("100", buf);
}

TEST(Hex, DigitValuesAndBytesAsUpperCaseTextHighNibbleFirst) {
  const std::pair<char, int> digits[] = {{'0', 0},  {'9', 9},  {'A', 10}, {'f', 15},
                                         {'g', -1}, {'G', -1}, {' ', -1}, {'\xC1', -1}};
  for (const auto& [c, v] : digits) EXPECT_EQ(v, hex_to_val(c)) << c;
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

TEST(Hex, TextToBytesStopsAtMaxCharactersOrAtNonHex) {
  unsigned char b[8] = {};
  using Bytes = std::vector<int>;
  EXPECT_EQ(3, hex_to_bin("1fA5c0", b, 100));
  EXPECT_EQ((Bytes{0x1F, 0xA5, 0xC0}), Bytes(b, b + 3));
  unsigned char c[8] = {};
  EXPECT_EQ(2, hex_to_bin("11223344", c, 4));
  EXPECT_EQ((Bytes{0x11, 0x22, 0x00}), Bytes(c, c + 3));
  unsigned char d[2] = {0x55, 0x55};
  EXPECT_EQ(1, hex_to_bin("ABC", d, 10));  // a lone last digit is not stored...
  EXPECT_EQ((Bytes{0xAB, 0x55}), Bytes(d, d + 2));
  // ...but checked. A non-hex character gives the complement of its
  // position, unless it lies beyond max.
  const struct {
    const char* text;
    int max, want;
  } rows[] = {{"ABz", 3, ~2}, {"x1", 10, ~0}, {"12 4", 10, ~2}, {"abcde#", 10, ~5},
              {"12zz", 2, 1}, {"11", 0, 0}, {"11", -1, 0}, {"", 10, 0}};
  for (const auto& r : rows) EXPECT_EQ(r.want, hex_to_bin(r.text, b, r.max)) << r.text;
  EXPECT_LT(hex_to_bin("0g", b, 10), 0);
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
