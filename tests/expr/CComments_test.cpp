// Comments and line breaks in C programs: what the parser sees after
// RemoveCComments, and that positions stay those of the text as written.

#include <string>

#include "CScript.h"

class CComments : public CScript {};

namespace {

std::string Clean(const std::string& text) {
  return RemoveCComments(AnsiString(text)).str();
}

// n blanks.
std::string B(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

}  // namespace

TEST_F(CComments, LineBreaksAndTabsBecomeBlanksAndThreeBlanksAreAppended) {
  EXPECT_EQ("x = 1;" + B(2) + "y = 2;" + B(3), Clean("x = 1;\r\ny =\t2;"));
  EXPECT_EQ(B(3), Clean(""));
}

TEST_F(CComments, LineCommentEndsAtCarriageReturn) {
  // "//" and everything up to and including the CR become blanks; the LF
  // after it is an ordinary line break.
  EXPECT_EQ("x = 1; " + B(6 + 2) + "y = 2;" + B(3), Clean("x = 1; // one\r\ny = 2;"));
}

TEST_F(CComments, BareLineFeedDoesNotEndLineComment) {
  // With LF-only line ends the comment runs on over the next line up to the
  // first CR.
  EXPECT_EQ("x = 1; " + B(6 + 1 + 6 + 2) + "z = 3;" + B(3),
            Clean("x = 1; // one\ny = 2;\r\nz = 3;"));
  EXPECT_EQ(B(14 + 3), Clean("// a\nb = 1;\nc;"));
}

TEST_F(CComments, BlockCommentsNestAndEndOnlyAtTheOuterMark) {
  EXPECT_EQ("a" + B(1 + 17 + 1) + "b" + B(3), Clean("a /* x /* y */ z */ b"));
  // Line breaks inside a block comment are blanks too.
  EXPECT_EQ("a" + B(1 + 8 + 1) + "b" + B(3), Clean("a /* \r\n */ b"));
  // An unclosed comment takes the rest of the text.
  EXPECT_EQ("a" + B(12 + 3), Clean("a /* x /* */ "));
  // A close mark outside any comment is ordinary text.
  EXPECT_EQ("a */ b" + B(3), Clean("a */ b"));
  EXPECT_EQ("a" + B(1 + 4 + 1) + "b" + B(3), Clean("a /**/ b"));
}

TEST_F(CComments, CommentMarksInsideStringsAreText) {
  const std::string s = "s = \"// not /* a comment\"; t = 1;";
  EXPECT_EQ(s + B(3), Clean(s));
  // Inside a string even tabs and line breaks stay.
  EXPECT_EQ("s = \"a\tb\r\n\";" + B(3), Clean("s = \"a\tb\r\n\";"));
  // Comment marks count again after the closing quote.
  EXPECT_EQ("s = \"/*\";" + B(1 + 4 + 1) + "t;" + B(3), Clean("s = \"/*\"; /**/ t;"));
}

TEST_F(CComments, QuoteInsideCommentOpensNoString) {
  EXPECT_EQ("a" + B(1 + 7 + 1) + "b" + B(3), Clean("a /* \" */ b"));
  EXPECT_EQ("a" + B(1 + 4 + 2) + "b;" + B(3), Clean("a // \"\r\nb;"));
}

TEST_F(CComments, CommentedOutStatementsAreNotParsed) {
  ASSERT_TRUE(Parse(CrLf({"x = 1; // y = 2;", "/* z = 3; /* w = 4; */ v = 5; */", "u = 6;"})));
  ASSERT_EQ(2, root_.GetCNodeCount());
  EXPECT_EQ("x = 1", root_.GetCNode(0)->Text1().str());
  EXPECT_EQ("u = 6", root_.GetCNode(1)->Text1().str());
}

TEST_F(CComments, LineCommentInLfTextSwallowsTheFollowingLines) {
  ASSERT_TRUE(Parse("x = 1; // note\ny = 2;\nz = 3;"));
  ASSERT_EQ(1, root_.GetCNodeCount());
  EXPECT_EQ("x = 1", root_.GetCNode(0)->Text1().str());
}

TEST_F(CComments, PositionsCountTheCommentsAsWritten) {
  // Line 1 "/* c */ a = 1;" is 14 characters and its CR LF 2, so line 2
  // starts at 17; "b" stands 4 blanks further in.
  ASSERT_TRUE(Parse(CrLf({"/* c */ a = 1;", "    b = 2;"})));
  ASSERT_EQ(2, root_.GetCNodeCount());
  EXPECT_EQ(9, root_.GetCNode(0)->Position());
  EXPECT_EQ(21, root_.GetCNode(1)->Position());
}
