// Comments and line breaks in C programs: what the parser sees after
// RemoveCComments, and that positions stay those of the text as written.

#include <string>

#include "CScript.h"

class CComments : public CScript {};

namespace {

// n blanks.
std::string B(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

}  // namespace

TEST_F(CComments, CommentsAndLineBreaksBecomeBlanksInPlace) {
  const struct {
    std::string in, out;
  } rows[] = {
      // Tabs and line breaks become blanks, and three blanks are appended.
      {"x = 1;\r\ny =\t2;", "x = 1;" + B(2) + "y = 2;" + B(3)},
      {"", B(3)},
      // "//" up to and including the CR becomes blanks; the LF after it is
      // an ordinary line break.
      {"x = 1; // one\r\ny = 2;", "x = 1; " + B(6 + 2) + "y = 2;" + B(3)},
      // A bare LF does not end a line comment: it runs on to the first CR.
      {"x = 1; // one\ny = 2;\r\nz = 3;", "x = 1; " + B(6 + 1 + 6 + 2) + "z = 3;" + B(3)},
      {"// a\nb = 1;\nc;", B(14 + 3)},
      // Block comments nest and end only at the outer mark; line breaks in
      // them are blanks too; an unclosed one takes the rest of the text.
      {"a /* x /* y */ z */ b", "a" + B(1 + 17 + 1) + "b" + B(3)},
      {"a /* \r\n */ b", "a" + B(1 + 8 + 1) + "b" + B(3)},
      {"a /* x /* */ ", "a" + B(12 + 3)},
      {"a /**/ b", "a" + B(1 + 4 + 1) + "b" + B(3)},
      // A close mark outside any comment is ordinary text.
      {"a */ b", "a */ b" + B(3)},
      // Inside strings comment marks, tabs and line breaks stay; marks count
      // again after the closing quote.
      {"s = \"// not /* a comment\"; t = 1;", "s = \"// not /* a comment\"; t = 1;" + B(3)},
      {"s = \"a\tb\r\n\";", "s = \"a\tb\r\n\";" + B(3)},
      {"s = \"/*\"; /**/ t;", "s = \"/*\";" + B(1 + 4 + 1) + "t;" + B(3)},
      // A quote inside a comment opens no string.
      {"a /* \" */ b", "a" + B(1 + 7 + 1) + "b" + B(3)},
      {"a // \"\r\nb;", "a" + B(1 + 4 + 2) + "b;" + B(3)},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.out, RemoveCComments(AnsiString(row.in)).str()) << "input: " << row.in;
  }
}

TEST_F(CComments, CommentedOutStatementsAreNotParsed) {
  ASSERT_TRUE(Parse(CrLf({"x = 1; // y = 2;", "/* z = 3; /* w = 4; */ v = 5; */", "u = 6;"})));
  EXPECT_EQ("expr(x = 1) expr(u = 6)", Tree());
  // In LF-only text a line comment swallows the following lines.
  ASSERT_TRUE(Parse("x = 1; // note\ny = 2;\nz = 3;"));
  EXPECT_EQ("expr(x = 1)", Tree());
}

TEST_F(CComments, PositionsCountTheCommentsAsWritten) {
  // Line 1 "/* c */ a = 1;" is 14 characters and its CR LF 2, so line 2
  // starts at 17; "b" stands 4 blanks further in.
  ASSERT_TRUE(Parse(CrLf({"/* c */ a = 1;", "    b = 2;"})));
  ASSERT_EQ(2, root_.GetCNodeCount());
  EXPECT_EQ(9, root_.GetCNode(0)->Position());
  EXPECT_EQ(21, root_.GetCNode(1)->Position());
}
