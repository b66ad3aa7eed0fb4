// The init and main sections, run the way the Code component runs them:
// the whole program once (globals; the sections do nothing), then init,
// then main at every evaluation.

#include "CScript.h"

class CSections : public CScript {};

namespace {

const char* const kCounter =
    "int n = 5;\r\n"
    "init() {\r\n"
    "  n = 10;\r\n"
    "}\r\n"
    "main() {\r\n"
    "  int local = 0;\r\n"
    "  local++;\r\n"
    "  n += local;\r\n"
    "}\r\n";

}  // namespace

TEST_F(CSections, SectionsRunOnlyInTheirModes) {
  ASSERT_TRUE(Parse(kCounter));
  EXPECT_EQ(CN_INIT, root_.GetCNodeType(CN_INIT)->Type());
  ASSERT_NE(nullptr, root_.GetCNodeType(CN_MAIN));

  ASSERT_EQ(0, root_.ExecuteCCode(0, &vars_, 0, CX_CHILDREN));
  EXPECT_EQ(5, Int("n"));  // the sections did nothing
  const int base = vars_.Count();
  ASSERT_EQ(0, root_.ExecuteCCode(0, &vars_, base, CX_INIT));
  EXPECT_EQ(10, Int("n"));
  for (int run = 1; run <= 3; ++run) {
    ASSERT_EQ(0, root_.ExecuteCCode(0, &vars_, base, CX_MAIN));
    // The variable declared in main is new at every run, the global keeps
    // counting.
    EXPECT_EQ(10 + run, Int("n"));
    EXPECT_EQ(base, vars_.Count());
  }
}

TEST_F(CSections, AbsentSectionsDoNothing) {
  ASSERT_TRUE(Parse("int n = 1; n = 2;"));
  EXPECT_EQ(0, root_.ExecuteCCode(0, &vars_, 0, CX_INIT));
  EXPECT_EQ(0, root_.ExecuteCCode(0, &vars_, 0, CX_MAIN));
  EXPECT_EQ(0, vars_.Count());
  ASSERT_TRUE(Parse("main() { n = 3; }"));
  EXPECT_EQ(0, root_.ExecuteCCode(0, &vars_, 0, CX_INIT));
}

TEST_F(CSections, ModeZeroStartsAtTheGivenChild) {
  ASSERT_TRUE(Parse("int a = 1; int b = 2; int c = 3;"));
  ASSERT_EQ(0, root_.ExecuteCCode(1, &vars_, 0, CX_CHILDREN));
  EXPECT_FALSE(Exists("a"));
  EXPECT_EQ(2, Int("b"));
  EXPECT_EQ(3, Int("c"));
  EXPECT_EQ(nullptr, root_.GetCNode(3));
  EXPECT_EQ(nullptr, root_.GetCNode(-1));
}

TEST_F(CSections, BareReturnEndsMainNormally) {
  ASSERT_TRUE(Parse("int n; main() { n = 1; return; n = 2; }"));
  ASSERT_EQ(0, root_.ExecuteCCode(0, &vars_, 0, CX_CHILDREN));
  EXPECT_EQ(0, root_.ExecuteCCode(0, &vars_, 1, CX_MAIN));
  EXPECT_EQ(1, Int("n"));
}

TEST_F(CSections, BreakOrContinueOutsideALoopEndsTheSectionNormally) {
  ASSERT_TRUE(Parse("int n; init() { n = 1; break; n = 2; } main() { n = 3; continue; n = 4; }"));
  ASSERT_EQ(0, root_.ExecuteCCode(0, &vars_, 0, CX_CHILDREN));
  EXPECT_EQ(0, root_.ExecuteCCode(0, &vars_, 1, CX_INIT));
  EXPECT_EQ(1, Int("n"));
  EXPECT_EQ(0, root_.ExecuteCCode(0, &vars_, 1, CX_MAIN));
  EXPECT_EQ(3, Int("n"));
}

TEST_F(CSections, SectionParenthesesAreIgnoredButRequired) {
  ASSERT_TRUE(Parse("init (void) { } main(int argc, x) x = 1;"));
  EXPECT_NE(nullptr, root_.GetCNodeType(CN_INIT));
  EXPECT_EQ(1, root_.GetCNodeType(CN_MAIN)->GetCNodeCount());

  EXPECT_FALSE(Parse("int n;\r\nmain { n = 1; }"));
  EXPECT_EQ("Syntax error: '(' not found", m_global_errstr.str());
  EXPECT_EQ(9, C_error_position);
  // "mainly" is a name, not the section.
  ASSERT_TRUE(Parse("mainly = 1;"));
  EXPECT_EQ(CN_EXPRESSION, root_.GetCNode(0)->Type());
}

TEST_F(CSections, ErrorInASectionFailsWithItsPosition) {
  ASSERT_TRUE(Parse("int n;\r\nmain() {\r\n  n = 1;\r\n  m = 2;\r\n}\r\n"));
  ASSERT_EQ(0, root_.ExecuteCCode(0, &vars_, 0, CX_CHILDREN));
  EXPECT_EQ(-1, root_.ExecuteCCode(0, &vars_, 1, CX_MAIN));
  EXPECT_EQ("Variable 'm' not found", engine_.error.str());
  EXPECT_EQ(1, Int("n"));
  // Lines of 6 + 2, 8 + 2 and 8 + 2 characters, then two blanks before "m".
  EXPECT_EQ(31, C_error_position);
}
