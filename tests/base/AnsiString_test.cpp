// AnsiString: 1-based positions, value semantics, blank-only trimming.
#include "base/AnsiString.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(AnsiString, IndexIsOneBasedWritableAndCopiesAreIndependent) {
  AnsiString a("abc");
  const AnsiString copy = a;
  EXPECT_EQ('a', a[1]);
  EXPECT_EQ('c', a[3]);
  a[2] = 'X';
  EXPECT_EQ("aXc", a.str());
  EXPECT_EQ("abc", copy.str());
}

TEST(AnsiString, CStringIsZeroTerminatedAndLengthCountsBytes) {
  const AnsiString s("h\xe9llo");
  EXPECT_EQ(5, s.Length());
  EXPECT_STREQ("h\xe9llo", s.c_str());
  EXPECT_EQ(0, AnsiString().Length());
  EXPECT_STREQ("", AnsiString(static_cast<const char*>(nullptr)).c_str());
}

TEST(AnsiString, SubStringTakesAtMostLenFromPos) {
  const AnsiString s("abcdef");
  EXPECT_EQ("bcd", s.SubString(2, 3).str());
  EXPECT_EQ("ef", s.SubString(5, 10).str());  // fewer when the text ends
  EXPECT_EQ("", s.SubString(3, 0).str());
  EXPECT_EQ("cdef", s.SubString(3, -1).str());  // a negative length takes the rest
  EXPECT_EQ("", AnsiString("abc").SubString(4, 5).str());  // just past the end
  EXPECT_EQ("", AnsiString().SubString(1, 1).str());
  EXPECT_THROW(AnsiString("abc").SubString(5, 1), std::out_of_range);
}

TEST(AnsiString, TrimRemovesOnlySpacesAtBothEnds) {
  EXPECT_EQ("", AnsiString("    ").Trim().str());
  EXPECT_EQ("a b", AnsiString("  a b  ").Trim().str());
  EXPECT_EQ("\ta\t", AnsiString(" \ta\t ").Trim().str());
  EXPECT_EQ("a\r\n", AnsiString("a\r\n").Trim().str());
}

TEST(AnsiString, ToIntReadsLeadingDecimalElseZeroOrDefault) {
  EXPECT_EQ(42, AnsiString("  42abc").ToInt());
  EXPECT_EQ(-7, AnsiString("-7").ToInt());
  EXPECT_EQ(3, AnsiString("3.9").ToInt());
  EXPECT_EQ(0, AnsiString("abc").ToInt());
  EXPECT_EQ(0, AnsiString("").ToInt());
  EXPECT_EQ(5, AnsiString("x1").ToIntDef(5));
  EXPECT_EQ(5, AnsiString("").ToIntDef(5));
  EXPECT_EQ(12, AnsiString("12").ToIntDef(5));
}

TEST(AnsiString, LastCharIsNullForEmptyElseLastByte) {
  EXPECT_EQ(nullptr, AnsiString().AnsiLastChar());
  const AnsiString s("xyz");
  EXPECT_EQ(s.c_str() + 2, s.AnsiLastChar());
}

TEST(AnsiString, PosInsertAndDeleteCountFromOne) {
  EXPECT_EQ(3, AnsiString("a.b.c").Pos("b"));
  EXPECT_EQ(2, AnsiString("a.b.c").Pos("."));
  EXPECT_EQ(0, AnsiString("abc").Pos("x"));
  AnsiString s("ace");
  s.Insert("b", 2);
  EXPECT_EQ("abce", s.str());
  s.Delete(3, 2);
  EXPECT_EQ("ab", s.str());
}
