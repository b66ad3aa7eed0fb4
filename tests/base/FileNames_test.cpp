// File-name pieces; "/", "\" and ":" all separate folders.
#include <gtest/gtest.h>

#include "base/globals.h"

TEST(ExtractFilePath, KeepsTheLastSeparator) {
  EXPECT_EQ(AnsiString("dir/sub/"), extract_file_path("dir/sub/f.qvs"));
  EXPECT_EQ(AnsiString("a\\b\\"), extract_file_path("a\\b\\c.txt"));
  EXPECT_EQ(AnsiString("C:"), extract_file_path("C:f.qvs"));
  EXPECT_EQ(AnsiString("/"), extract_file_path("/f"));
}

TEST(ExtractFilePath, NoSeparatorGivesEmpty) {
  EXPECT_EQ(AnsiString(""), extract_file_path("f.qvs"));
  EXPECT_EQ(AnsiString(""), extract_file_path(""));
}

TEST(ExtractFileExt, FromLastDotWithDot) {
  EXPECT_EQ(AnsiString(".qvs"), extract_file_ext("dir/f.qvs"));
  EXPECT_EQ(AnsiString(".c"), extract_file_ext("a.b.c"));
  EXPECT_EQ(AnsiString("."), extract_file_ext("f."));
}

TEST(ExtractFileExt, DotInFolderNameIsNoExtension) {
  EXPECT_EQ(AnsiString(""), extract_file_ext("dir.old/file"));
  EXPECT_EQ(AnsiString(""), extract_file_ext("dir\\x.y\\f"));
  EXPECT_EQ(AnsiString(""), extract_file_ext("noext"));
  EXPECT_EQ(AnsiString(""), extract_file_ext(""));
}

TEST(ChangeFileExt, TrailingDotIsReplaced) {
  EXPECT_EQ(AnsiString("f.qvt"), change_file_ext("f.", ".qvt"));
  EXPECT_EQ(AnsiString("f"), change_file_ext("f.", ""));
  EXPECT_EQ(AnsiString("f.x"), change_file_ext("f .", ".x"));  // trimmed
}

TEST(ChangeFileExt, DotIsAddedWhenExtensionLacksOne) {
  EXPECT_EQ(AnsiString("f.qvt"), change_file_ext("f", "qvt"));
  EXPECT_EQ(AnsiString("f.qvt"), change_file_ext("f", ".qvt"));
  EXPECT_EQ(AnsiString("f"), change_file_ext("f", ""));
}

TEST(ChangeFileExt, OldExtensionStays) {
  EXPECT_EQ(AnsiString("dir/f.qvs.qvt"), change_file_ext("dir/f.qvs", ".qvt"));
}
