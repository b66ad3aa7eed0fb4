#include "base/AnsiString.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(AnsiStringPositions, IndexIsOneBasedAndWritable) {
  AnsiString s("abc");
  EXPECT_EQ('a', s[1]);
  EXPECT_EQ('c', s[3]);
  s[2] = 'X';
  EXPECT_EQ(AnsiString("aXc"), s);
}

TEST(AnsiStringPositions, CopiesAreIndependent) {
  AnsiString a("abc");
  AnsiString b = a;
  b[1] = 'z';
  EXPECT_EQ(AnsiString("abc"), a);
  EXPECT_EQ(AnsiString("zbc"), b);
}

TEST(AnsiStringPositions, CStringIsZeroTerminatedAndLengthCountsBytes) {
  const AnsiString s("h\xe9llo");
  EXPECT_EQ(5, s.Length());
  EXPECT_STREQ("h\xe9llo", s.c_str());
  EXPECT_EQ(0, AnsiString().Length());
  EXPECT_STREQ("", AnsiString(static_cast<const char*>(nullptr)).c_str());
}

TEST(AnsiStringSubString, TakesAtMostLenCharactersFromPos) {
  const AnsiString s("abcdef");
  EXPECT_EQ(AnsiString("bcd"), s.SubString(2, 3));
  EXPECT_EQ(AnsiString("ef"), s.SubString(5, 10));  // fewer when the text ends
  EXPECT_EQ(AnsiString(""), s.SubString(3, 0));
}

TEST(AnsiStringSubString, NegativeLengthTakesTheRest) {
  EXPECT_EQ(AnsiString("cdef"), AnsiString("abcdef").SubString(3, -1));
}

TEST(AnsiStringSubString, PositionJustPastTheEndGivesEmpty) {
  const AnsiString s("abc");
  EXPECT_EQ(AnsiString(""), s.SubString(4, 5));
  EXPECT_EQ(AnsiString(""), AnsiString().SubString(1, 1));
}

TEST(AnsiStringSubString, PositionFurtherOutThrowsOutOfRange) {
  EXPECT_THROW(AnsiString("abc").SubString(5, 1), std::out_of_range);
}

TEST(AnsiStringTrim, BlanksOnlyGivesEmpty) {
  EXPECT_EQ(AnsiString(""), AnsiString("    ").Trim());
}

TEST(AnsiStringTrim, RemovesOnlySpacesAtBothEnds) {
  EXPECT_EQ(AnsiString("a b"), AnsiString("  a b  ").Trim());
  EXPECT_EQ(AnsiString("\ta\t"), AnsiString(" \ta\t ").Trim());
  EXPECT_EQ(AnsiString("a\r\n"), AnsiString("a\r\n").Trim());
}

TEST(AnsiStringToInt, ReadsLeadingDecimalAfterBlanks) {
  EXPECT_EQ(42, AnsiString("  42abc").ToInt());
  EXPECT_EQ(-7, AnsiString("-7").ToInt());
  EXPECT_EQ(3, AnsiString("3.9").ToInt());
}

TEST(AnsiStringToInt, NoIntegerGivesZeroOrDefault) {
  EXPECT_EQ(0, AnsiString("abc").ToInt());
  EXPECT_EQ(0, AnsiString("").ToInt());
  EXPECT_EQ(5, AnsiString("x1").ToIntDef(5));
  EXPECT_EQ(5, AnsiString("").ToIntDef(5));
  EXPECT_EQ(12, AnsiString("12").ToIntDef(5));
}

TEST(AnsiStringLastChar, NullForEmptyElseLastByte) {
  EXPECT_EQ(nullptr, AnsiString().AnsiLastChar());
  const AnsiString s("xyz");
  ASSERT_NE(nullptr, s.AnsiLastChar());
  EXPECT_EQ('z', *s.AnsiLastChar());
  EXPECT_EQ(s.c_str() + 2, s.AnsiLastChar());
}

TEST(AnsiStringEdit, PosIsOneBasedAndZeroWhenAbsent) {
  EXPECT_EQ(3, AnsiString("a.b.c").Pos("b"));
  EXPECT_EQ(2, AnsiString("a.b.c").Pos("."));
  EXPECT_EQ(0, AnsiString("abc").Pos("x"));
}

TEST(AnsiStringEdit, InsertAndDeleteCountFromOne) {
  AnsiString s("ace");
  s.Insert("b", 2);
  EXPECT_EQ(AnsiString("abce"), s);
  s.Delete(3, 2);
  EXPECT_EQ(AnsiString("ab"), s);
}
