// Tolerant comparison of doubles, small-value cut-off, characters and names,
// blank removal, hexadecimal bytes and the identity counter.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "expr/globals.h"

namespace {
const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
}  // namespace

TEST(CompareValues, EqualWithinResolutionOfTheSmallerMagnitude) {
  EXPECT_EQ(1e-12, DoubleResolution);
  EXPECT_EQ(0, CompareValues(1.0, 1.0 + 1e-13));
  EXPECT_EQ(0, CompareValues(-5.0, -5.0 * (1 + 5e-13)));
  EXPECT_EQ(-1, CompareValues(1.0, 1.0 + 1e-11));
  EXPECT_EQ(1, CompareValues(1.0 + 1e-11, 1.0));
  EXPECT_EQ(-1, CompareValues(-2.0, 3.0));
  EXPECT_EQ(1, CompareValues(3.0, -2.0));
  EXPECT_EQ(0, CompareValues(0.0, -0.0));
}

TEST(CompareValues, ZeroNeverEqualsNonZero) {
  EXPECT_EQ(-1, CompareValues(0.0, 1e-300));
  EXPECT_EQ(1, CompareValues(1e-300, 0.0));
  EXPECT_EQ(1, CompareValues(0.0, -4.9e-324));
}

TEST(CompareValues, ToleranceIsRelative) {
  // 1e6 vs 1e6 + 1e-7: tolerance 1e-6, difference 1e-7.
  EXPECT_EQ(0, CompareValues(1e6, 1e6 + 1e-7));
  // 1e-6 vs 1e-6 + 1e-17: tolerance 1e-18, difference 1e-17.
  EXPECT_EQ(-1, CompareValues(1e-6, 1e-6 + 1e-17));
  EXPECT_EQ(-1, CompareValues(1.0, 1.0 + 2e-12));
}

TEST(CompareValues, NonFiniteValues) {
  EXPECT_EQ(0, CompareValues(kInf, kInf));
  EXPECT_EQ(0, CompareValues(-kInf, -kInf));
  // Opposite infinities are ordered, although inf * 1e-12 as tolerance
  // would cover their distance.
  EXPECT_EQ(-1, CompareValues(-kInf, kInf));
  EXPECT_EQ(1, CompareValues(kInf, -kInf));
  EXPECT_EQ(-1, CompareValues(1e308, kInf));
  EXPECT_EQ(1, CompareValues(kNaN, 1.0));  // never "b > a", never equal
  EXPECT_EQ(1, CompareValues(1.0, kNaN));
}

TEST(CompareValues, CallerResolution) {
  EXPECT_EQ(0, CompareValuesRes(100.0, 100.5, 1e-2));
  EXPECT_EQ(-1, CompareValuesRes(100.0, 102.0, 1e-2));
  EXPECT_EQ(-1, CompareValuesRes(100.0, 100.5, 0.0));
  EXPECT_EQ(1, CompareValuesRes(100.5, 100.0, 0.0));
}

TEST(CompareDouble, NaNAndInfinityRules) {
  EXPECT_TRUE(CompareDouble(kNaN, kNaN));
  EXPECT_FALSE(CompareDouble(kNaN, 1.0));
  EXPECT_FALSE(CompareDouble(0.0, kNaN));
  EXPECT_FALSE(CompareDouble(kNaN, kInf));
  EXPECT_TRUE(CompareDouble(kInf, -kInf));  // both infinite, either sign
  EXPECT_TRUE(CompareDouble(-kInf, -kInf));
  EXPECT_FALSE(CompareDouble(kInf, 1e308));
  EXPECT_TRUE(CompareDouble(1.0, 1.0 + 1e-13));
  EXPECT_FALSE(CompareDouble(1.0, 1.001));
}

TEST(IsTooSmall, CutsValuesBelowResolutionOfTheReference) {
  EXPECT_EQ(0.0, IsTooSmall(1e-13, 1.0));
  EXPECT_EQ(0.0, IsTooSmall(-1e-13, -1.0));
  EXPECT_EQ(1e-11, IsTooSmall(1e-11, 1.0));
  EXPECT_EQ(-3.0, IsTooSmall(-3.0, 1e9));
  EXPECT_EQ(1e-300, IsTooSmall(1e-300, 0.0));  // nothing is small against 0
}

TEST(IsGood, FiniteOnly) {
  EXPECT_TRUE(isgood(0.0));
  EXPECT_TRUE(isgood(-1e308));
  EXPECT_TRUE(isgood(4.9e-324));
  EXPECT_FALSE(isgood(kNaN));
  EXPECT_FALSE(isgood(kInf));
  EXPECT_FALSE(isgood(-kInf));
}

TEST(Characters, AsciiClassesOnly) {
  EXPECT_TRUE(is_letter('a'));
  EXPECT_TRUE(is_letter('Z'));
  EXPECT_FALSE(is_letter('_'));
  EXPECT_FALSE(is_letter('5'));
  EXPECT_FALSE(is_letter('\xE4'));  // a Latin-1 letter is not a name letter
  EXPECT_TRUE(is_digit('0'));
  EXPECT_TRUE(is_digit('9'));
  EXPECT_FALSE(is_digit('a'));
  EXPECT_FALSE(is_digit('\xB2'));
  EXPECT_TRUE(is_underscore('_'));
  EXPECT_FALSE(is_underscore('-'));
}

TEST(Names, ValidReservedAndInvalid) {
  EXPECT_EQ(0, is_valid_name("R1"));
  EXPECT_EQ(0, is_valid_name("_x_2"));
  EXPECT_EQ(0, is_valid_name("infinity"));  // only the whole word is reserved
  EXPECT_EQ(-1, is_valid_name(""));
  EXPECT_EQ(-1, is_valid_name("1R"));
  EXPECT_EQ(-1, is_valid_name("R.1"));
  EXPECT_EQ(-1, is_valid_name("a b"));
  EXPECT_EQ(-1, is_valid_name("\xE4x"));
  for (const char* w : {"inf", "INF", "true", "False", "high", "LOW", "pi", "Pi", "rad"}) {
    EXPECT_EQ(1, is_valid_name(w)) << w;
  }
}

TEST(RemoveSpaces, EveryBlankWhereverItStands) {
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
  EXPECT_EQ(0, hex_to_val('0'));
  EXPECT_EQ(9, hex_to_val('9'));
  EXPECT_EQ(10, hex_to_val('A'));
  EXPECT_EQ(15, hex_to_val('f'));
  EXPECT_EQ(-1, hex_to_val('g'));
  EXPECT_EQ(-1, hex_to_val('G'));
  EXPECT_EQ(-1, hex_to_val(' '));
  EXPECT_EQ(-1, hex_to_val('\xC1'));
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

TEST(Hex, TextToBytes) {
  unsigned char b[8] = {};
  EXPECT_EQ(3, hex_to_bin("1fA5c0", b, 100));
  EXPECT_EQ(0x1F, b[0]);
  EXPECT_EQ(0xA5, b[1]);
  EXPECT_EQ(0xC0, b[2]);
  // Stops after max characters.
  unsigned char c[8] = {};
  EXPECT_EQ(2, hex_to_bin("11223344", c, 4));
  EXPECT_EQ(0x22, c[1]);
  EXPECT_EQ(0x00, c[2]);
  EXPECT_EQ(0, hex_to_bin("11", c, 0));
  EXPECT_EQ(0, hex_to_bin("11", c, -1));
  EXPECT_EQ(0, hex_to_bin("", c, 10));
}

TEST(Hex, NonHexGivesComplementOfItsPosition) {
  unsigned char b[8] = {};
  EXPECT_EQ(~0, hex_to_bin("x1", b, 10));
  EXPECT_EQ(~2, hex_to_bin("12 4", b, 10));
  EXPECT_EQ(~5, hex_to_bin("abcde#", b, 10));
  EXPECT_LT(hex_to_bin("0g", b, 10), 0);
  // A bad character beyond max is never looked at.
  EXPECT_EQ(1, hex_to_bin("12zz", b, 2));
}

TEST(Hex, LoneLastDigitIsNotStored) {
  unsigned char b[2] = {0x55, 0x55};
  EXPECT_EQ(1, hex_to_bin("ABC", b, 10));
  EXPECT_EQ(0xAB, b[0]);
  EXPECT_EQ(0x55, b[1]);
  EXPECT_EQ(~2, hex_to_bin("ABz", b, 3));  // but it is checked
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
  const int b = GetUniqueID();
  EXPECT_GE(a, 1);
  EXPECT_EQ(a + 1, b);
}
