// File-name pieces; "/", "\" and ":" all separate folders.
#include <gtest/gtest.h>

#include "base/globals.h"

TEST(FileNames, PathKeepsTheLastSeparatorElseEmpty) {
  EXPECT_EQ("dir/sub/", extract_file_path("dir/sub/f.qvs").str());
  EXPECT_EQ("a\\b\\", extract_file_path("a\\b\\c.txt").str());
  EXPECT_EQ("C:", extract_file_path("C:f.qvs").str());
  EXPECT_EQ("/", extract_file_path("/f").str());
  EXPECT_EQ("", extract_file_path("f.qvs").str());
  EXPECT_EQ("", extract_file_path("").str());
}

TEST(FileNames, ExtensionRunsFromLastDotUnlessASeparatorFollows) {
  EXPECT_EQ(".qvs", extract_file_ext("dir/f.qvs").str());
  EXPECT_EQ(".c", extract_file_ext("a.b.c").str());
  EXPECT_EQ(".", extract_file_ext("f.").str());
  EXPECT_EQ("", extract_file_ext("dir.old/file").str());
  EXPECT_EQ("", extract_file_ext("dir\\x.y\\f").str());
  EXPECT_EQ("", extract_file_ext("noext").str());
  EXPECT_EQ("", extract_file_ext("").str());
}

TEST(FileNames, ChangeExtDropsTrailingDotAddsDotAndKeepsOldExtension) {
  EXPECT_EQ("f.qvt", change_file_ext("f.", ".qvt").str());
  EXPECT_EQ("f", change_file_ext("f.", "").str());
  EXPECT_EQ("f.x", change_file_ext("f .", ".x").str());  // trimmed
  EXPECT_EQ("f.qvt", change_file_ext("f", "qvt").str());
  EXPECT_EQ("f.qvt", change_file_ext("f", ".qvt").str());
  EXPECT_EQ("f", change_file_ext("f", "").str());
  EXPECT_EQ("dir/f.qvs.qvt", change_file_ext("dir/f.qvs", ".qvt").str());
}
